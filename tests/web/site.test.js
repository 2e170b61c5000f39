// site.test.js: the separate files for a web server, served over HTTP from the build tree.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { test } = require('node:test');
const s = require('./support');

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript',
                '.wasm': 'application/wasm' };

function serve(directory) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(directory, name);
    if (!name || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(name)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

test('the page served by a web server', async (t) => {
  const directory = process.env.VOREK_SITE;
  const server = await serve(directory);
  const browser = await s.launch({ offline: false });
  try {
    await t.test('is the page, its script and its WebAssembly, and plays', async () => {
      assert.deepEqual(fs.readdirSync(directory).sort(), ['vorek.html', 'vorek.js', 'vorek.wasm']);
      const fetched = [];
      browser.context.on('request', (request) => fetched.push(new URL(request.url()).pathname));
      const url = `http://127.0.0.1:${server.address().port}/vorek.html`;
      const page = await s.openGame(browser.context, url);
      assert.deepEqual(fetched.filter((p) => !p.startsWith('image/')).sort(),
        ['/vorek.html', '/vorek.js', '/vorek.wasm']);
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
      await s.play(page, s.piece(page, 20));
      assert.equal(s.describe(await s.readBoard(page)),
        '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 0 | 20');
    });
  } finally {
    await browser.close();
    server.close();
  }
});
