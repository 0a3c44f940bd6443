// Copies IN to OUT without what the browser never needs: lines that hold
// only a // comment, a drawing's <!-- --> comments, and the indentation of every line. The page's files are
// written so that this is safe (no line breaks inside strings or templates).
// --constants FILE: the line "/* PAGE CONSTANTS */" of IN, which must hold it
// exactly once, becomes FILE's lines.
// --include FILE: the line "/* INCLUDE NAME */" of IN, NAME being FILE's
// name, becomes FILE's lines, shortened as IN's are; every such line of IN
// must have its file.
// --inline FILE: the line <script src="NAME"></script> of IN, NAME being
// FILE's name, becomes a script element holding FILE as it is.
// usage: node minify.js IN OUT [--constants FILE] [--include FILE]... [--inline FILE]...
'use strict';
const fs = require('fs');
const path = require('path');
const [input, output, ...options] = process.argv.slice(2);

function fail(message) {
  console.error(`minify.js: ${message}`);
  process.exit(1);
}

function shorten(text) {
  return text.split('\n').map((line) => line.trimStart()).filter((line) => !line.startsWith('//'));
}

// A drawing's comments are for its readers, not the browser's.
const source = fs.readFileSync(input, 'utf8');
let lines = shorten(input.endsWith('.svg') ? source.replace(/<!--[\s\S]*?-->\n?/g, '') : source);
function replaceLine(marker, replacement) {
  const at = lines.indexOf(marker);
  if (at < 0 || lines.indexOf(marker, at + 1) >= 0)
    fail(`${input} must hold the line ${marker} exactly once`);
  lines.splice(at, 1, ...replacement);
}
for (let i = 0; i < options.length; i += 2) {
  const [option, file] = [options[i], options[i + 1]];
  if (file === undefined)
    fail(`${option} needs a file`);
  const text = fs.readFileSync(file, 'utf8').trimEnd();
  if (option === '--constants') {
    replaceLine('/* PAGE CONSTANTS */', text.split('\n'));
  } else if (option === '--include') {
    replaceLine(`/* INCLUDE ${path.basename(file)} */`, shorten(text));
  } else if (option === '--inline') {
    if (/<\/script/i.test(text))
      fail(`${file} cannot sit inside a script element: it holds "</script"`);
    replaceLine(`<script src="${path.basename(file)}"></script>`, ['<script>', text, '</script>']);
  } else {
    fail(`unknown option ${option}`);
  }
}
const missing = lines.find((line) => /^\/\* INCLUDE .* \*\/$/.test(line));
if (missing)
  fail(`${input}: no --include for ${missing}`);
fs.writeFileSync(output, lines.join('\n'));
