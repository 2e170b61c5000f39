// one_file.js: writes the one-file page from the three files of the site: the page, its script
// and its WebAssembly. The WebAssembly goes in as base64 in an inert block of its own ahead of
// the script, which compiles it at once (web_page.js); carried inside the script instead, as a
// data: URL, it would cost the script's parse and then a fetch queued behind the page's parsing.
//
//   node one_file.js SITE_PAGE OUTPUT
'use strict';

const fs = require('node:fs');
const path = require('node:path');

function main() {
  const [sitePage, output] = process.argv.slice(2);
  const page = fs.readFileSync(sitePage, 'utf8');
  const tag = page.match(/<script async type="text\/javascript" src="([^"]+)"><\/script>/);
  if (!tag) throw new Error(`${sitePage} loads no script`);
  const scriptFile = path.join(path.dirname(sitePage), tag[1]);
  const wasmFile = scriptFile.replace(/\.js$/, '.wasm');
  // Inline, "</script" would end the element early.
  const script = fs.readFileSync(scriptFile, 'utf8').replace(/<\/script/gi, '<\\/script');
  const wasm = fs.readFileSync(wasmFile).toString('base64');
  const inline = `<script type="application/wasm" id="vorek-wasm">${wasm}</script>\n` +
    `<script>${script}</script>`;
  // A function as replacement: the script's own "$&" and "$1" stay as they are.
  fs.writeFileSync(output, page.replace(tag[0], () => inline));
}

main();
