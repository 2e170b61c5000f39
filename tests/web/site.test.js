// site.test.js: the site for a web server, served over HTTP from the build tree: the page and
// its program, and the app it makes: installable, playing offline once visited, and replaced by
// a later version.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { test } = require('node:test');
const s = require('./support');

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.png': 'image/png',
                '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json' };

// Serves `site.directory`, the folder's address as its index.html, as web servers do; with
// `site.cut`, every connection is dropped, as with no network.
function serve(site) {
  const server = http.createServer((request, response) => {
    if (site.cut) return request.socket.destroy();
    const name = path.basename(new URL(request.url, 'http://localhost').pathname) || 'index.html';
    const file = path.join(site.directory, name);
    if (!fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200,
      { 'Content-Type': TYPES[path.extname(name)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The names of the page's caches, and the files the newest one keeps.
const caches = (page) => s.js(page, async () => {
  const names = await window.caches.keys();
  const kept = names.length === 0 ? []
    : (await (await window.caches.open(names[names.length - 1])).keys())
      .map((request) => new URL(request.url).pathname.slice(1)).sort();
  return { names, kept };
});

test('the site served by a web server', async (t) => {
  const site = { directory: process.env.VOREK_SITE, cut: false };
  const server = await serve(site);
  const browser = await s.launch({ offline: false });
  // The site opens from its folder's address, and from its page's.
  const url = `http://127.0.0.1:${server.address().port}/`;
  const files = ['index.html', 'vorek-192.png', 'vorek-512.png', 'vorek-maskable-512.png',
                 'vorek-sw.js', 'vorek.html', 'vorek.js', 'vorek.wasm', 'vorek.webmanifest'];
  // What the worker keeps: all but itself and the page's other name.
  const kept = files.filter((file) => !['vorek-sw.js', 'index.html'].includes(file));
  let page;
  try {
    await t.test('is the page, its program and its app, and plays', async () => {
      assert.deepEqual(fs.readdirSync(site.directory).sort(), files);
      assert.ok(fs.readFileSync(path.join(site.directory, 'index.html'))
        .equals(fs.readFileSync(path.join(site.directory, 'vorek.html'))));
      const requested = s.requests(browser);
      page = await s.openGame(browser, url);
      const fetched = await requested(page);
      for (const file of ['', 'vorek.js', 'vorek.wasm'])
        assert.ok(fetched.some((u) => new URL(u).pathname === '/' + file),
          `${file} was not fetched`);
      assert.equal(await s.readBoard(page), s.INITIAL);
      await s.play(page, s.piece(20));
      assert.equal(await s.readBoard(page), s.PARKED);
    });

    await t.test('installs: its manifest reads without errors, and nothing keeps it from it ' +
      'where the browser installs apps', async () => {
        await s.until(page, () => navigator.serviceWorker.controller !== null);
        const { errors, manifest: { name, lang, display, icons, ...manifest } } = await s.app(page);
        assert.deepEqual(errors, []);
        assert.deepEqual([name, lang, display], ['Vorek', 'fr', 'standalone']);
        assert.equal(new URL(manifest.start_url, url).href, url, 'it starts elsewhere');
        assert.deepEqual(icons.map((icon) => [icon.sizes, icon.purpose]),
          [['192x192', 'any'], ['512x512', 'any'], ['512x512', 'maskable']]);
        const hex = '#' + (await s.js(page, () => getComputedStyle(document.body).backgroundColor))
          .match(/\d+/g).map((c) => Number(c).toString(16).padStart(2, '0')).join('');
        assert.deepEqual([manifest.theme_color, manifest.background_color], [hex, hex]);
        // Each icon, as the browser reads it, is of the size the manifest says.
        assert.deepEqual(await s.js(page, (all) => Promise.all(all.map(async ({ src }) => {
          const image = Object.assign(new Image(), { src });
          await image.decode();
          return `${image.naturalWidth}x${image.naturalHeight}`;
        })), icons), icons.map((icon) => icon.sizes));
      });

    await t.test('once visited, plays a whole game with the network cut', async () => {
      const cached = await caches(page);
      assert.equal(cached.names.length, 1);
      assert.ok(cached.names[0].startsWith(`vorek ${process.env.VOREK_VERSION} `), cached.names[0]);
      assert.deepEqual(cached.kept, kept);
      site.cut = true;
      await s.setOffline(browser, true);
      await s.reopen(page);
      await s.winGame(page);
      page = await s.openGame(browser, url + 'vorek.html');
      assert.equal(await s.readBoard(page), s.INITIAL);
    });

    await t.test('a later version replaces the cache at the next visit', async () => {
      await s.setOffline(browser, false);
      Object.assign(site, { directory: process.env.VOREK_NEXT_SITE, cut: false });
      await s.reopen(page);
      await s.until(page, async () => {
        const names = await caches.keys();
        return names.length === 1 && names[0].startsWith('vorek 9.99 ');
      });
      assert.deepEqual((await caches(page)).kept, kept);
    });

    await t.test('the one-file page registers no worker and names no manifest', async () => {
      assert.doesNotMatch(fs.readFileSync(process.env.VOREK_PAGE, 'utf8'),
        /rel="manifest"|serviceWorker/);
    });
  } finally {
    await browser.close();
    server.close();
  }
});
