// one_file.js: writes the one-file page from the three files of the site: the page, its script
// and its WebAssembly. Both go in gzipped, as base64 in inert blocks, where the site's page loads
// its script: the browser draws nothing until it has parsed the page, so every byte before the
// end costs the first frame, and gzip takes two thirds of them off. A small script after the
// blocks unpacks them at once, so that the WebAssembly compiles, mostly off the page's thread,
// while the browser draws the start-up window (shell.html); the program's script runs, and the
// program starts, once that window is on screen, so that the browser draws it as soon as a page
// with no program would.
//
//   node one_file.js SITE_PAGE OUTPUT
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');

const starter = `<script>
(function () {
  if (typeof WebAssembly !== 'object') return;  // the page says why it cannot run (shell.html)
  // A block's bytes, ungzipped as they are read. From memory: a Blob's bytes would go to the
  // browser's own process and back, which a slow phone's page waits for.
  function unpack(id) {
    const text = document.getElementById(id).textContent;
    let bytes;
    if (Uint8Array.fromBase64) {
      bytes = Uint8Array.fromBase64(text);
    } else {
      const binary = atob(text);
      bytes = new Uint8Array(binary.length);
      for (let i = 0; i < binary.length; i += 1) bytes[i] = binary.charCodeAt(i);
    }
    return new ReadableStream({ start(stream) { stream.enqueue(bytes); stream.close(); } })
      .pipeThrough(new DecompressionStream('gzip'));
  }
  window.vorekWasm = WebAssembly.compileStreaming(
    new Response(unpack('vorek-wasm'), { headers: { 'Content-Type': 'application/wasm' } }));
  window.vorekWasm.catch(() => undefined);  // reported when the program instantiates it
  // Run sooner, the program's script would delay the window's frame.
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
  const script = fs.readFileSync(scriptFile, 'utf8');
  const blocks =
    `<script type="application/gzip" id="vorek-wasm">${packed(fs.readFileSync(wasmFile))}</script>\n` +
    `<script type="application/gzip" id="vorek-script">${packed(script)}</script>\n` +
    starter;
  // A function as replacement: "$&" in the blocks stays as it is.
  fs.writeFileSync(output, page.replace(tag[0], () => blocks));
}

main();
