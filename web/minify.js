// Copies IN to OUT without what the browser never needs: lines that hold
// only a // comment, and the indentation of every line. The page's files are
// written so that this is safe (no line breaks inside strings or templates).
// With CONSTANTS, the line "/* PAGE CONSTANTS */" of IN becomes that file's
// lines, and IN must hold it exactly once.
// usage: node minify.js IN OUT [CONSTANTS]
'use strict';
const fs = require('fs');
const [input, output, constants] = process.argv.slice(2);
const marker = '/* PAGE CONSTANTS */';
let lines = fs.readFileSync(input, 'utf8').split('\n').map((line) => line.trimStart());
if (constants) {
  const at = lines.indexOf(marker);
  if (at < 0 || lines.indexOf(marker, at + 1) >= 0) {
    console.error(`minify.js: ${input} must hold the line ${marker} exactly once`);
    process.exit(1);
  }
  lines.splice(at, 1, ...fs.readFileSync(constants, 'utf8').trimEnd().split('\n'));
}
fs.writeFileSync(output, lines.filter((line) => !line.startsWith('//')).join('\n'));
