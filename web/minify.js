// Copies IN to OUT without what the browser never needs: lines that hold
// only a // comment, and the indentation of every line. The page's files are
// written so that this is safe (no line breaks inside strings or templates).
'use strict';
const fs = require('fs');
const [input, output] = process.argv.slice(2);
const lines = fs.readFileSync(input, 'utf8').split('\n').map((line) => line.trimStart());
fs.writeFileSync(output, lines.filter((line) => !line.startsWith('//')).join('\n'));
