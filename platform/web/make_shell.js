// make_shell.js: writes the page's shell: the designs' pictures, and the start-up window as the
// page first shows it, for the program to take over once it runs (web_windows.js).
//
// The pictures go where the shell says <!-- pictures -->, each named by its file name. The
// start-up window's go in as its own <img>s, which the browser loads while it parses the page;
// the others go in as inert base64 text that costs the parser next to nothing and becomes an
// image when a window first shows it. Bitmaps go in as PNG: the same pixels in under half the
// bytes.
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
const zlib = require('node:zlib');
const parts = require('./web_window_parts.js');

const CRC_TABLE = Array.from({length: 256}, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = CRC_TABLE[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
}

// One row of RGB samples under PNG filter `type`, after the filter byte; `prior` is the row above.
function filtered(type, row, prior) {
  const out = Buffer.alloc(row.length);
  for (let i = 0; i < row.length; ++i) {
    const a = i >= 3 ? row[i - 3] : 0;
    const b = prior ? prior[i] : 0;
    const c = prior && i >= 3 ? prior[i - 3] : 0;
    let predicted = 0;
    if (type === 1) predicted = a;
    else if (type === 2) predicted = b;
    else if (type === 3) predicted = (a + b) >> 1;
    else if (type === 4) {
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    out[i] = (row[i] - predicted) & 0xff;
  }
  return out;
}

// A 24-bit uncompressed bitmap (rows bottom-up unless its height is negative, each padded to
// four bytes, blue first) as an RGB PNG of the same pixels, each row under whichever filter
// leaves the smallest sum of differences, or all under one filter when that deflates smaller.
function bitmapToPng(bytes) {
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = bytes.readInt32LE(22);
  if (bytes.readUInt16LE(28) !== 24 || bytes.readUInt32LE(30) !== 0) {
    throw new Error('only uncompressed 24-bit bitmaps are carried');
  }
  const rows = Math.abs(height);
  const stride = Math.ceil(width * 3 / 4) * 4;
  const lines = [];
  for (let y = 0; y < rows; ++y) {
    const from = offset + (height > 0 ? rows - 1 - y : y) * stride;
    const line = Buffer.alloc(width * 3);
    for (let x = 0; x < width; ++x) {
      line[3 * x] = bytes[from + 3 * x + 2];
      line[3 * x + 1] = bytes[from + 3 * x + 1];
      line[3 * x + 2] = bytes[from + 3 * x];
    }
    lines.push(line);
  }
  const cost = (line) => line.reduce((sum, v) => sum + (v < 128 ? v : 256 - v), 0);
  const image = (choose) => Buffer.concat(lines.flatMap((line, y) => {
    const [type, out] = choose(line, y > 0 ? lines[y - 1] : null);
    return [Buffer.from([type]), out];
  }));
  const adaptive = (line, prior) => [0, 1, 2, 3, 4].map((type) => [type, filtered(type, line, prior)])
    .reduce((best, next) => (cost(next[1]) < cost(best[1]) ? next : best));
  const data = [adaptive, ...[0, 1, 2, 3, 4].map((type) => (line, prior) =>
    [type, filtered(type, line, prior)])]
    .map((choose) => zlib.deflateSync(image(choose), {level: 9}))
    .reduce((best, next) => (next.length < best.length ? next : best));
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(rows, 4);
  header[8] = 8;  // bits per sample
  header[9] = 2;  // RGB
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header), chunk('IDAT', data), chunk('IEND', Buffer.alloc(0))]);
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

// The designs' figures, each form with its name, the start-up window first.
function readForms(figures) {
  const forms = Object.entries(JSON.parse(fs.readFileSync(figures, 'utf8')).forms)
    .map(([name, form]) => ({ name, ...form }));
  if (forms.length === 0) throw new Error(`${figures} has no form`);
  return forms;
}

// The shell with the program's font and own sentences, from the designs' figures: the page
// holds no text or font of its own.
function fillShell(shell, figures) {
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
                               width, height, controls }, urlOf, true));
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
  for (const mark of ['<!-- pictures -->', '<!-- start-up window -->']) {
    if (!shell.includes(mark)) throw new Error(`${shellIn} has no ${mark}`);
  }
  shell = shell.replace('<!-- start-up window -->', () => startUp)
    .replace('<!-- pictures -->', () => `<div id="pictures" hidden>\n${pictures.join('\n')}\n</div>`);
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

module.exports = { bitmapToPng, fillShell, pictureUrl, readForms, startWindow };
if (require.main === module) main();
