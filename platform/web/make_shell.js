// make_shell.js: writes the page's shell: the designs' pictures, and the start-up window as the
// page first shows it, for the program to take over once it runs (web_windows.js).
//
// The pictures go where the shell says <!-- pictures -->, each named by its file name, as inert
// base64 text that costs the parser next to nothing; the page makes an image of it where a
// window shows it (shell.html, vorekPictureUrls). A bitmap that stands whole inside a larger
// one, as a piece inside the whole picture, goes in as that rectangle of it: its picture boxes
// show the larger image through a window of the picture's size (a style rule by its name), so
// that the page carries each pixel once and the browser decodes it once. Bitmaps go in as
// lossless WebP, written by cwebp (Debian's webp): a sixth smaller than the smallest PNG.
//
// The start-up window goes where the shell says <!-- start-up window -->, drawn from the designs'
// figures by the parts the page script draws every window with (web_window_parts.js), for the
// program to take over; its images get their pictures from the page as it opens. A window with
// labels or frames is left to the program: its figures do not say how their text is aligned.
//
// Writes also a C++ source that lists the pictures' names with their sizes in pixels, for the
// host to check names and size auto-sized picture boxes.
//
//   node make_shell.js CWEBP SHELL_IN SHELL_OUT OUTPUT.cpp DESIGN_FIGURES.json FILE...
//
// CWEBP is the cwebp program; DESIGN_FIGURES.json is the designs in pixels, the start-up window
// first.
'use strict';

const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
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

// Where `small` stands whole inside `large`, as [left, top], or null.
function placeInside(small, large) {
  const row = small.width * 3;
  const rowAt = (left, top, y) => {
    const from = ((top + y) * large.width + left) * 3;
    return small.rgb.compare(large.rgb, from, from + row, y * row, (y + 1) * row) === 0;
  };
  for (let top = 0; top + small.height <= large.height; ++top) {
    for (let left = 0; left + small.width <= large.width; ++left) {
      let y = 0;
      while (y < small.height && rowAt(left, top, y)) ++y;
      if (y === small.height) return [left, top];
    }
  }
  return null;
}

// A bitmap's pixels as lossless WebP, written by `cwebp` at its smallest (-z 9) from a PPM file.
function toWebp(cwebp, { width, height, rgb }) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-picture-'));
  try {
    const ppm = path.join(folder, 'picture.ppm');
    fs.writeFileSync(ppm, Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`), rgb]));
    return execFileSync(cwebp, ['-quiet', '-lossless', '-z', '9', '-metadata', 'none', ppm,
                                '-o', '-'], { maxBuffer: 64 << 20 });
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// The picture files as the page carries them, by file name, in their order: each an image
// ({ type, bytes }: a bitmap as WebP, an icon as it is), or a rectangle of another's image
// ({ within, rect: [left, top, width, height] }), that one carried whole. The largest bitmaps
// are placed first, so that a picture inside one that is itself inside another goes straight
// to the outermost.
function carry(cwebp, files) {
  const carried = new Map(files.map((file) => [path.basename(file), {
    type: 'image/x-icon', bytes: fs.readFileSync(file) }]));
  const bitmaps = files.filter((file) => file.endsWith('.bmp'))
    .map((file) => ({ name: path.basename(file), ...decodeBitmap(fs.readFileSync(file)) }))
    .sort((a, b) => b.width * b.height - a.width * a.height);
  const whole = [];
  for (const bitmap of bitmaps) {
    let found = null;
    for (const other of whole) {
      const at = placeInside(bitmap, other);
      if (at) {
        found = { within: other.name, rect: [...at, bitmap.width, bitmap.height] };
        break;
      }
    }
    if (!found) {
      whole.push(bitmap);
      found = { type: 'image/webp', bytes: toWebp(cwebp, bitmap) };
    }
    carried.set(bitmap.name, found);
  }
  return carried;
}

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/"/g, '&quot;');

// A part (web_window_parts.js) as HTML, nothing between its tags, as the page script builds it;
// without its attributes that have no value.
function markup(part) {
  if (typeof part === 'string') return escape(part);
  const [tag, attributes, ...children] = part;
  const open = `<${tag}` + Object.entries(attributes).filter(([, value]) => value !== undefined)
    .map(([name, value]) => ` ${name}="${escape(value)}"`).join('') + '>';
  return tag === 'img' ? open : open + children.map(markup).join('') + `</${tag}>`;
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
// take over, its images without their sources: the page gives them their pictures as it opens
// (shell.html), from its one copy of each. Empty when the program has to draw it itself.
// `isCarried(name)`: whether the page carries the picture `name`.
function startWindow(form, isCarried) {
  const controls = Object.entries(form.controls).map(([name, control]) => ({ name, ...control }));
  if (controls.some((c) => !['picture', 'button'].includes(c.kind) || c.container)) return '';
  const [width, height] = form.client;
  return markup(parts.window({ name: form.name, caption: form.caption, icon: form.icon,
    width, height, closeName: form.closeName, controls }, (name) => {
    if (!isCarried(name)) throw new Error(`the start-up window shows ${name}, not carried`);
    return undefined;
  }, true));
}

// The pictures as the page carries them (`carry`): a style rule that shows each rectangle of
// another's image through a window of its size onto that image, and an inert block for each,
// with its image's bytes or the name of the picture whose image it is part of.
function picturesBlock(carried) {
  const css = (text) => text.replace(/["\\]/g, '\\$&');
  const rules = [], blocks = [];
  for (const [name, { type, bytes, within, rect }] of carried) {
    if (within) {
      const [left, top, width, height] = rect;
      rules.push(`img[data-picture="${css(name)}"]{width:${width}px;height:${height}px;` +
                 `object-fit:none;object-position:${-left}px ${-top}px}`);
      blocks.push(`<script type="text/plain" data-name="${escape(name)}" ` +
                  `data-within="${escape(within)}"></script>`);
    } else {
      blocks.push(`<script type="text/plain" data-name="${escape(name)}" data-type="${type}">` +
                  `${bytes.toString('base64')}</script>`);
    }
  }
  return `<style>\n${rules.join('\n')}\n</style>\n${blocks.join('\n')}`;
}

function main() {
  const [cwebp, shellIn, shellOut, source, figures, ...files] = process.argv.slice(2);
  const forms = readForms(figures);
  const rows = files.map((file) => {
    const bytes = fs.readFileSync(file);
    // A bitmap's size is in its information header; an icon's in its first directory entry.
    const bitmap = file.endsWith('.bmp');
    const width = bitmap ? bytes.readInt32LE(18) : bytes[6] || 256;
    const height = bitmap ? Math.abs(bytes.readInt32LE(22)) : bytes[7] || 256;
    return `    {"${path.basename(file)}", ${width}, ${height}},`;
  });
  const carried = carry(cwebp, files);
  let shell = fillShell(fs.readFileSync(shellIn, 'utf8'), figures);
  for (const mark of MARKS) {
    if (!shell.includes(mark)) throw new Error(`${shellIn} has no ${mark}`);
  }
  shell = shell.replace(MARKS[0], () => startWindow(forms[0], (name) => carried.has(name)))
    .replace(MARKS[1], () => picturesBlock(carried));
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

module.exports = { decodeBitmap, readForms, startWindow };
if (require.main === module) main();
