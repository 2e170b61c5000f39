// make_shell.js: writes the page's shell: the designs' pictures, and the start-up window as the
// page first shows it, for the program to take over once it runs (web_windows.js).
//
// The pictures go where the shell says <!-- pictures -->, each named by its file name. The
// start-up window's go in as its own <img>s, which the browser loads while it parses the page;
// the others go in as inert base64 text that costs the parser next to nothing and becomes an
// image when a window first shows it. Bitmaps go in as PNG (pngjs, package.json): the same
// pixels in under half the bytes.
//
// The start-up window goes where the shell says <!-- start-up window -->, drawn from the designs'
// figures by the parts the page script draws every window with (web_window_parts.js), for the
// program to take over. A window with labels or frames is left to the program: its figures do
// not say how their text is aligned.
//
// Writes also a C++ source that lists the pictures' names with their sizes in pixels, for the
// host to check names and size auto-sized picture boxes.
//
//   node make_shell.js SHELL_IN SHELL_OUT OUTPUT.cpp DESIGN_FIGURES.json FILE...
//
// DESIGN_FIGURES.json is the designs in pixels, the start-up window first.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const parts = require('./web_window_parts.js');

// A 24-bit uncompressed bitmap (rows bottom-up unless its height is negative, each padded to
// four bytes, blue first) as its pixels: RGB, the top row first.
function decodeBitmap(bytes) {
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = bytes.readInt32LE(22);
  if (bytes.readUInt16LE(28) !== 24 || bytes.readUInt32LE(30) !== 0) {
    throw new Error('only uncompressed 24-bit bitmaps are carried');
  }
  const rows = Math.abs(height);
  const stride = Math.ceil(width * 3 / 4) * 4;
  const rgb = Buffer.alloc(width * rows * 3);
  for (let y = 0; y < rows; ++y) {
    const from = offset + (height > 0 ? rows - 1 - y : y) * stride;
    for (let x = 0; x < width; ++x) {
      const to = (y * width + x) * 3;
      rgb[to] = bytes[from + 3 * x + 2];
      rgb[to + 1] = bytes[from + 3 * x + 1];
      rgb[to + 2] = bytes[from + 3 * x];
    }
  }
  return { width, height: rows, rgb };
}

// A bitmap as an RGB PNG of the same pixels, written by pngjs. Each of its row filters and
// deflate strategies wins on some picture: all are tried and the smallest kept.
function bitmapToPng(bytes) {
  // Loaded here, not above: the benchmark and the browser suite read this file's other
  // functions without the build's packages (package.json).
  const { PNG } = require('pngjs');
  const { width, height, rgb } = decodeBitmap(bytes);
  let smallest = null;
  // -1: each row under the filter of the smallest sum of differences.
  for (const filterType of [-1, 0, 1, 2, 3, 4]) {
    for (const deflateStrategy of [0, 1, 2, 3, 4]) {
      const png = PNG.sync.write({ width, height, data: rgb }, {
        colorType: 2, inputColorType: 2, inputHasAlpha: false, filterType, deflateLevel: 9,
        deflateStrategy });
      if (!smallest || png.length < smallest.length) smallest = png;
    }
  }
  return smallest;
}

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/"/g, '&quot;');

// A part (web_window_parts.js) as HTML, nothing between its tags, as the page script builds it.
function markup(part) {
  if (typeof part === 'string') return escape(part);
  const [tag, attributes, ...children] = part;
  const open = `<${tag}` + Object.entries(attributes)
    .map(([name, value]) => ` ${name}="${escape(value)}"`).join('') + '>';
  return tag === 'img' ? open : open + children.map(markup).join('') + `</${tag}>`;
}

// A picture file as the page carries it: a data: URL, a bitmap as PNG.
function pictureUrl(file) {
  const bytes = fs.readFileSync(file);
  return file.endsWith('.bmp') ? `data:image/png;base64,${bitmapToPng(bytes).toString('base64')}`
    : `data:image/x-icon;base64,${bytes.toString('base64')}`;
}

// The designs' figures, each form with its name and its close box's, the start-up window first.
function readForms(figures) {
  const record = JSON.parse(fs.readFileSync(figures, 'utf8'));
  const forms = Object.entries(record.forms)
    .map(([name, form]) => ({ name, closeName: record.texts.closeBox, ...form }));
  if (forms.length === 0) throw new Error(`${figures} has no form`);
  return forms;
}

// Where the start-up window and the pictures go in the shell.
const MARKS = ['<!-- start-up window -->', '<!-- pictures -->'];

// The shell without the comments written for its readers: the browser parses every byte of the
// page before it draws, and Debian's Emscripten cannot minify the page (-sMINIFY_HTML=0). From
// its scripts, only lines that are all comment go.
function withoutComments(shell) {
  return shell
    .replace(/<!--[\s\S]*?-->\n?/g, (comment) => (MARKS.includes(comment.trim()) ? comment : ''))
    .replace(/<style>[\s\S]*?<\/style>/g, (style) => style.replace(/\/\*[\s\S]*?\*\/\n?/g, ''))
    .replace(/<script>[\s\S]*?<\/script>/g, (script) => script.replace(/^[ \t]*\/\/.*\n/gm, ''));
}

// The shell with the program's font and own sentences, from the designs' figures, and without
// its comments: the page holds no text or font of its own.
function fillShell(shell, figures) {
  shell = withoutComments(shell);
  const { font, texts } = JSON.parse(fs.readFileSync(figures, 'utf8'));
  const marks = {
    '{{ FONT }}': `"${font.family}", sans-serif`,
    '{{ FONT SIZE }}': `${font.pointSize}pt`,
    '{{ NEEDS SCRIPT }}': escape(texts.needsScript),
    '{{ REPLAY }}': escape(texts.replay),
    '{{ TEXTS }}': JSON.stringify(texts).replace(/</g, '\\u003c'),
  };
  for (const [mark, value] of Object.entries(marks)) {
    if (!shell.includes(mark)) throw new Error(`the shell has no ${mark}`);
    shell = shell.replaceAll(mark, () => value);
  }
  return shell;
}

// The start-up window as the page script would draw it (web_window_parts.js), for the program to
// take over, with each picture as an <img> of its data: URL (`urlOf(name)`). Empty when the
// program has to draw it itself.
function startWindow(form, urlOf) {
  const controls = Object.entries(form.controls).map(([name, control]) => ({ name, ...control }));
  if (controls.some((c) => !['picture', 'button'].includes(c.kind) || c.container)) return '';
  const [width, height] = form.client;
  return markup(parts.window({ name: form.name, caption: form.caption, icon: form.icon,
                               width, height, closeName: form.closeName, controls }, urlOf, true));
}

// The pictures a page written from this shell carries, by name, as data: URLs: the start-up
// window's in its images, the others in their blocks.
function carriedPictures(page) {
  const found = new Map();
  for (const [image] of page.matchAll(/<img [^>]*data-picture="[^>]*>/g)) {
    const [, name] = image.match(/ data-picture="([^"]*)"/);
    const [, url] = image.match(/ src="([^"]*)"/);
    found.set(name, url);
  }
  const block = /<script type="text\/plain" data-name="([^"]*)" data-type="([^"]*)">([^<]*)</g;
  for (const [, name, type, data] of page.matchAll(block)) {
    found.set(name, `data:${type};base64,${data}`);
  }
  return found;
}

function main() {
  const [shellIn, shellOut, source, figures, ...files] = process.argv.slice(2);
  const forms = readForms(figures);
  const urls = new Map();
  const rows = [];
  for (const file of files) {
    const name = path.basename(file);
    const bytes = fs.readFileSync(file);
    const bitmap = name.endsWith('.bmp');
    urls.set(name, pictureUrl(file));
    // A bitmap's size is in its information header; an icon's in its first directory entry.
    const width = bitmap ? bytes.readInt32LE(18) : bytes[6] || 256;
    const height = bitmap ? Math.abs(bytes.readInt32LE(22)) : bytes[7] || 256;
    rows.push(`    {"${name}", ${width}, ${height}},`);
  }
  // The pictures the start-up window carries itself, and the others.
  const carried = new Set();
  const startUp = startWindow(forms[0], (name) => {
    carried.add(name);
    return urls.get(name);
  });
  const pictures = [...urls].filter(([name]) => !carried.has(name)).map(([name, url]) => {
    const [, type, data] = url.match(/^data:([^;]+);base64,(.*)$/);
    return `<script type="text/plain" data-name="${escape(name)}" data-type="${type}">${data}</script>`;
  });
  let shell = fillShell(fs.readFileSync(shellIn, 'utf8'), figures);
  for (const mark of MARKS) {
    if (!shell.includes(mark)) throw new Error(`${shellIn} has no ${mark}`);
  }
  shell = shell.replace(MARKS[0], () => startUp)
    .replace(MARKS[1], () => `<div id="pictures" hidden>\n${pictures.join('\n')}\n</div>`);
  fs.writeFileSync(shellOut, shell);
  fs.writeFileSync(source, `// Generated by make_shell.js from the designs' pictures; do not edit.
  #include "platform/web_app.h"

  namespace platform {

  std::span<const PictureInfo> embeddedPictures() {
    static constexpr PictureInfo kPictures[] = {
  ${rows.join('\n')}
    };
    return kPictures;
  }

  }  // namespace platform
  `);
}

module.exports = { bitmapToPng, carriedPictures, decodeBitmap, fillShell, pictureUrl, readForms,
                   startWindow };
if (require.main === module) main();
