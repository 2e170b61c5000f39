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

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript',
                '.wasm': 'application/wasm', '.png': 'image/png',
                '.webmanifest': 'application/manifest+json' };

// Serves `site.directory`; with `site.cut`, every connection is dropped, as with no network.
function serve(site) {
  const server = http.createServer((request, response) => {
    if (site.cut) {
      request.socket.destroy();
      return;
    }
    const name = path.basename(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(site.directory, name);
    if (!name || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(name)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The names of the page's caches, and the files the newest one keeps.
const caches = (page) => page.evaluate(async () => {
  const names = await window.caches.keys();
  const kept = names.length === 0 ? []
    : (await (await window.caches.open(names[names.length - 1])).keys())
      .map((request) => new URL(request.url).pathname.slice(1)).sort();
  return { names, kept };
});

async function reopen(page) {
  await page.reload();
  await s.until(page, () => document.body.dataset.state === 'running');
  await s.settled(page);
}

test('the site served by a web server', async (t) => {
  const site = { directory: process.env.VOREK_SITE, cut: false };
  const server = await serve(site);
  const browser = await s.launch({ offline: false });
  const url = `http://127.0.0.1:${server.address().port}/vorek.html`;
  const files = ['vorek-192.png', 'vorek-512.png', 'vorek-maskable-512.png', 'vorek-sw.js',
                 'vorek.html', 'vorek.js', 'vorek.wasm', 'vorek.webmanifest'];
  let page;
  try {
    await t.test('is the page, its program and its app, and plays', async () => {
      assert.deepEqual(fs.readdirSync(site.directory).sort(), files);
      const fetched = [];
      browser.context.on('request', (request) => fetched.push(new URL(request.url()).pathname));
      page = await s.openGame(browser.context, url);
      for (const file of ['/vorek.html', '/vorek.js', '/vorek.wasm'])
        assert.ok(fetched.includes(file), `${file} was not fetched`);
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
      await s.play(page, s.piece(page, 20));
      assert.equal(s.describe(await s.readBoard(page)),
        '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 0 | 20');
    });

    await t.test('installs: its manifest reads without errors and nothing keeps it from it',
      async () => {
        await s.until(page, () => navigator.serviceWorker.controller !== null);
        const cdp = await browser.context.newCDPSession(page);
        const { errors, data } = await cdp.send('Page.getAppManifest');
        assert.deepEqual(errors, []);
        const manifest = JSON.parse(data);
        assert.equal(manifest.name, 'Vorek');
        assert.equal(manifest.lang, 'fr');
        assert.equal(manifest.display, 'standalone');
        assert.deepEqual(manifest.icons.map((icon) => [icon.sizes, icon.purpose]),
          [['192x192', 'any'], ['512x512', 'any'], ['512x512', 'maskable']]);
        const colour = await page.evaluate(() => getComputedStyle(document.body).backgroundColor);
        const hex = '#' + colour.match(/\d+/g).map((c) => Number(c).toString(16).padStart(2, '0'))
          .join('');
        assert.deepEqual([manifest.theme_color, manifest.background_color], [hex, hex]);
        for (const icon of manifest.icons) {
          const size = await page.evaluate(async (src) => {
            const image = new Image();
            image.src = src;
            await image.decode();
            return `${image.naturalWidth}x${image.naturalHeight}`;
          }, icon.src);
          assert.equal(size, icon.sizes, icon.src);
        }
        assert.deepEqual(
          (await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
      });

    await t.test('once visited, plays a whole game with the network cut', async () => {
      const kept = await caches(page);
      assert.equal(kept.names.length, 1);
      assert.ok(kept.names[0].startsWith(`vorek ${process.env.VOREK_VERSION} `), kept.names[0]);
      assert.deepEqual(kept.kept, files.filter((file) => file !== 'vorek-sw.js'));
      site.cut = true;
      await browser.context.setOffline(true);
      await reopen(page);
      await s.playToTheEnd(page);
      assert.equal((await s.theBox(page)).text, 'Bravo !');
      await s.closeTheBox(page);
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
    });

    await t.test('a later version replaces the cache at the next visit', async () => {
      await browser.context.setOffline(false);
      Object.assign(site, { directory: process.env.VOREK_NEXT_SITE, cut: false });
      await reopen(page);
      await s.until(page, async () => {
        const names = await caches.keys();
        return names.length === 1 && names[0].startsWith('vorek 9.99 ');
      });
      assert.deepEqual((await caches(page)).kept, files.filter((file) => file !== 'vorek-sw.js'));
    });

    await t.test('the one-file page registers no worker and names no manifest', async () => {
      const onePage = fs.readFileSync(process.env.VOREK_PAGE, 'utf8');
      assert.ok(!onePage.includes('rel="manifest"'));
      assert.ok(!onePage.includes('serviceWorker'));
    });
  } finally {
    await browser.close();
    server.close();
  }
});
