// one_file.js: writes the one-file page from the three files of the site: the page, its script
// and its WebAssembly. Both go in gzipped, as base64 in inert blocks, where the site's page loads
// its script: the browser draws nothing until it has parsed the page, so every byte before the
// end costs the first frame, and gzip takes two thirds of them off. A small script after the
// blocks waits until the start-up window is on screen (shell.html), so that the browser draws
// that window as soon as a page with no program would, then unpacks and compiles the WebAssembly
// off the page's thread and runs the program's script.
//
//   node one_file.js SITE_PAGE OUTPUT
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');

const starter = `<script>
(function () {
  if (typeof WebAssembly !== 'object') return;  // the page says why it cannot run (shell.html)
  function unpack(id) {
    const text = document.getElementById(id).textContent;
    const bytes = Uint8Array.fromBase64 ? Uint8Array.fromBase64(text)
      : Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
    return new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  }
  // Compiled once the window is on screen: on two cores, compiling sooner delays that frame.
  window.vorekWasm = vorekShellShown.then(() => WebAssembly.compileStreaming(
    new Response(unpack('vorek-wasm'), { headers: { 'Content-Type': 'application/wasm' } })));
  window.vorekWasm.catch(() => undefined);  // reported when the program instantiates it
  Promise.all([new Response(unpack('vorek-script')).text(), vorekShellShown]).then(([text]) => {
    const program = document.createElement('script');
    program.textContent = text;
    document.body.appendChild(program);
  }, () => vorekCannotRun(false));
})();
</script>`;

const packed = (bytes) => zlib.gzipSync(bytes, { level: 9 }).toString('base64');

function main() {
  const [sitePage, output] = process.argv.slice(2);
  const page = fs.readFileSync(sitePage, 'utf8');
  const tag = page.match(/<script async type="text\/javascript" src="([^"]+)"><\/script>/);
  if (!tag) throw new Error(`${sitePage} loads no script`);
  const scriptFile = path.join(path.dirname(sitePage), tag[1]);
  const wasmFile = scriptFile.replace(/\.js$/, '.wasm');
  const blocks =
    `<script type="application/gzip" id="vorek-wasm">${packed(fs.readFileSync(wasmFile))}</script>\n` +
    `<script type="application/gzip" id="vorek-script">${packed(fs.readFileSync(scriptFile))}</script>\n` +
    starter;
  // A function as replacement: "$&" in the blocks stays as it is.
  fs.writeFileSync(output, page.replace(tag[0], () => blocks));
}

main();
