// layout.test.js: the page as it opens from disk: the main window, its pictures, the page's
// language and icon, accessible names and the keyboard.
'use strict';

const assert = require('node:assert/strict');
const crypto = require('node:crypto');
const { test } = require('node:test');
const s = require('./support');

// Opens the page with its program's WebAssembly held back until the page calls releaseProgram(),
// once the page has drawn its start-up window.
async function openHeld(context) {
  const page = await context.newPage();
  await page.addInitScript(() => {
    const compile = WebAssembly.compileStreaming;
    const held = new Promise((resolve) => { window.releaseProgram = resolve; });
    WebAssembly.compileStreaming = (...args) => held.then(() => compile.apply(WebAssembly, args));
  });
  await page.goto(s.pageUrl());
  await s.until(page, () => window.vorekShellFrame > 0);
  return page;
}

test('the page opened from disk', async (t) => {
  const browser = await s.launch();
  try {
    const requests = [];
    const edge = s.edge('Vorek', 'p1');  // every piece's
    browser.context.on('request', (request) => requests.push(request.url()));
    const page = await s.openGame(browser.context);
    const main = s.windowOf(page, 'Vorek');

    await t.test('loads nothing but itself and opens the main window alone, centred', async () => {
      const elsewhere = requests.filter((url) => !url.startsWith('file:') &&
                                                 !url.startsWith('data:'));
      assert.deepEqual(elsewhere, [], 'the page fetched something beyond its own file');
      assert.equal(await page.locator('section.window').count(), 1);
      assert.equal(await main.locator('.titlebar .caption').textContent(), 'Vorek');
      const client = await main.locator('.client').boundingBox();
      assert.deepEqual([client.width, client.height], s.client('Vorek'));
      const outer = await main.boundingBox();
      const viewport = page.viewportSize();
      assert.ok(Math.abs(outer.x + outer.width / 2 - viewport.width / 2) <= 1, 'not centred across');
      assert.ok(Math.abs(outer.y + outer.height / 2 - viewport.height / 2) <= 1, 'not centred down');
      await s.screenshot(page, 'initial');
    });

    await t.test('starts with every piece home and the hole marker on the parking cell', async () => {
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
      const buttons = await main.locator('button.button').evaluateAll((all) =>
        all.map((b) => [b.textContent, b.offsetLeft, b.offsetTop, b.offsetWidth, b.offsetHeight])
          .sort((a, b) => a[2] - b[2]));
      assert.deepEqual(buttons, [['Voir', ...s.rect('Vorek', 'Voir')],
        ['Brasser', ...s.rect('Vorek', 'Command1')], ['Quitter', ...s.rect('Vorek', 'Quitter')]]);
    });

    await t.test('shows each picture unscaled inside a two-pixel sunken border', async () => {
      const client = await main.locator('.client').boundingBox();
      const grabbed = await s.grab(page, client);
      const layout = s.initialLayout();
      for (let cell = 0; cell <= s.PARKING; cell += 1) {
        const { left, top } = s.cellOrigin(cell);
        const tile = s.readBitmap(s.tileName(layout[cell]));
        const [x, y] = [left + edge, top + edge];
        assert.equal(s.differences(grabbed, x, y, tile), 0,
          `p${layout[cell]}'s picture is not shown whole at ${x},${y}`);
      }
      // The sunken ring around p1: dark grey outside, darker inside, on its top and left.
      const at = (x, y) => Array.from(grabbed.rgb.subarray((y * grabbed.width + x) * 3,
                                                          (y * grabbed.width + x) * 3 + 3));
      assert.deepEqual(at(10, 0), [128, 128, 128]);
      assert.deepEqual(at(0, 10), [128, 128, 128]);
      assert.deepEqual(at(10, 1), [64, 64, 64]);
      assert.deepEqual(at(1, 10), [64, 64, 64]);
      const rendering = await s.piece(page, 7).locator('img')
        .evaluate((img) => getComputedStyle(img).imageRendering);
      assert.equal(rendering, 'pixelated');
    });

    await t.test('is in French, with the icon as favicon and a steady font', async () => {
      assert.equal(await page.getAttribute('html', 'lang'), 'fr');
      const icon = await page.getAttribute('link[rel="icon"]', 'href');
      const expected = s.readBitmap('vorek.ico').bytes.toString('base64');
      assert.equal(icon, 'data:image/x-icon;base64,' + expected);
      const fonts = await page.evaluate(() => [document.body, document.querySelector('.button')]
        .map((element) => getComputedStyle(element).fontFamily));
      for (const font of fonts) assert.match(font, /^"DejaVu Sans"/);
    });

    await t.test('names every piece in French and follows the design\'s tab order', async () => {
      const names = await main.locator('.picture').evaluateAll((all) =>
        Object.fromEntries(all.map((box) => [box.dataset.name, box.getAttribute('aria-label')])));
      for (let p = 1; p <= 20; p += 1) assert.equal(names['p' + p], 'Pièce ' + p);
      assert.equal(names.p0, 'Case libre');

      const focused = () => page.evaluate(() => document.activeElement.dataset.name);
      assert.equal(await focused(), 'p1', 'the first in the tab order has the focus at the start');
      const order = [];
      for (let i = 0; i < 24; i += 1) {
        await page.keyboard.press('Tab');
        order.push(await focused());
      }
      const expected = ['p2', 'p3', 'p4', 'p5', 'p6', 'p7', 'p8', 'p9', 'p10', 'p11', 'p12',
        'p13', 'p14', 'p15', 'p17', 'p18', 'p19', 'p20', 'p0', 'p16', 'Voir', 'Quitter',
        'Command1', 'p1'];
      assert.deepEqual(order, expected);
      await page.keyboard.press('Shift+Tab');
      assert.equal(await focused(), 'Command1');
    });

    await t.test('shows the keyboard focus on every control, a picture box\'s over its picture',
      async () => {
        const button = await s.control(page, 'Vorek', 'Command1').boundingBox();
        const withFocus = await s.grab(page, button);
        await page.keyboard.press('Tab');
        assert.equal(await page.evaluate(() => document.activeElement.dataset.name), 'p1');
        const withoutFocus = await s.grab(page, button);
        assert.notDeepEqual(withFocus.rgb, withoutFocus.rgb, 'the focused button looks the same');

        // Where p1's picture differs from its tile: a rectangle's outline around most of it.
        const tile = s.readBitmap(s.tileName(1));
        const grabbed = await s.grab(page, await s.piece(page, 1).boundingBox());
        const changed = [];
        for (let y = 0; y < tile.height; y += 1) {
          for (let x = 0; x < tile.width; x += 1) {
            const g = ((y + edge) * grabbed.width + x + edge) * 3, p = (y * tile.width + x) * 3;
            if (!grabbed.rgb.subarray(g, g + 3).equals(tile.rgb.subarray(p, p + 3)))
              changed.push([x, y]);
          }
        }
        const xs = changed.map(([x]) => x), ys = changed.map(([, y]) => y);
        const [left, right, top, bottom] = [Math.min(...xs), Math.max(...xs), Math.min(...ys),
          Math.max(...ys)];
        assert.ok(changed.length >= tile.width, `only ${changed.length} pixels show the focus`);
        assert.ok(right - left >= tile.width - 8 && bottom - top >= tile.height - 8,
          `the focus rectangle spans only ${left}-${right} × ${top}-${bottom}`);
        assert.deepEqual(changed.filter(([x, y]) => x !== left && x !== right && y !== top &&
          y !== bottom), [], 'the focus covers the picture beyond a rectangle\'s outline');
        await s.screenshot(page, 'focus');
        await page.keyboard.press('Shift+Tab');
      });

    await t.test('plays from the keyboard: Space on "Brasser" deals a game', async () => {
      const before = Number((await s.flags(page)).events);
      await page.keyboard.press('Space');
      await s.until(page, (n) => Number(document.body.dataset.events) > n, before);
      await s.settled(page);
      assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Finir');
      const layout = await s.readBoard(page);
      assert.equal(layout[s.PARKING], 20, 'p20 waits on the parking cell during a game');
      assert.notEqual(s.describe(layout), s.describe(s.initialLayout()));
    });

    await t.test('draws the board before the program runs, and hands it, in order and once, ' +
      'the clicks and keys made meanwhile', async () => {
        const early = await openHeld(browser.context);
        const shown = s.windowOf(early, 'Vorek');
        const client = await shown.locator('.client').boundingBox();
        assert.deepEqual(client, await main.locator('.client').boundingBox(),
          'the window the page draws is not where the program puts it');
        const grabbed = await s.grab(early, client);
        const layout = s.initialLayout();
        for (let cell = 0; cell <= s.PARKING; cell += 1) {
          const { left, top } = s.cellOrigin(cell);
          assert.equal(s.differences(grabbed, left + edge, top + edge,
                                     s.readBitmap(s.tileName(layout[cell]))), 0);
        }

        // p20 to the parking cell, p19 into the hole it leaves, then from p19 four steps along
        // the tab order to "Voir", which Enter presses.
        await s.click(early, s.piece(early, 20));
        await s.click(early, s.piece(early, 19));
        for (let i = 0; i < 4; i += 1) await early.keyboard.press('Tab');
        await early.keyboard.press('Enter');
        assert.notEqual((await s.flags(early)).state, 'running');
        assert.equal(s.describe(await s.readBoard(early)), s.describe(layout),
          'a piece moved before the program ran');
        await early.evaluate(() => window.releaseProgram());
        await s.until(early, () => document.body.dataset.state === 'running');
        await s.settled(early);
        assert.equal((await s.flags(early)).events, '3', 'not every early input counted once');
        assert.equal(s.describe(await s.readBoard(early)),
          '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 0 19 | 20');
        assert.deepEqual(await early.locator('section.window').evaluateAll((all) =>
          all.map((w) => w.dataset.form).sort()), ['V_portrait', 'Vorek']);
        assert.equal(await early.locator('[data-shell]').count(), 0);
        await early.close();
      });

    await t.test('takes over a start-up window that is, attribute for attribute, the one the ' +
      'program draws itself', async () => {
        const opened = async (drawnFirst) => {
          const other = await browser.context.newPage();
          if (!drawnFirst) {
            // The window the page drew is not the program's: the program draws its own.
            await other.addInitScript(() => document.addEventListener('DOMContentLoaded', () => {
              document.querySelector('#desktop > [data-shell]').dataset.form = 'not-the-program';
            }));
          }
          await other.goto(s.pageUrl());
          await s.until(other, () => document.body.dataset.state === 'running');
          await s.settled(other);
          return other;
        };
        const takenOver = await opened(true);
        const drawn = await opened(false);
        assert.equal(await drawn.locator('[data-form="not-the-program"]').count(), 0);
        // Tag by tag, each picture by its digest, for a readable difference.
        const tags = (html) => html.split('><').map((tag) => tag.replace(/data:[^"]*/g, (url) =>
          'data:sha1,' + crypto.createHash('sha1').update(url).digest('hex')));
        const [taken, own] = await Promise.all([takenOver, drawn].map(async (other) =>
          tags(await s.windowOf(other, 'Vorek').evaluate((element) => element.outerHTML))));
        assert.ok(own.some((tag) => tag.includes('data-name="p20"')), 'the program drew no p20');
        assert.deepEqual(taken, own);
        await takenOver.close();
        await drawn.close();
      });

    await t.test('hands the program a close made before it ran: the game ends', async () => {
      const early = await openHeld(browser.context);
      await s.click(early, s.windowOf(early, 'Vorek').locator('.titlebar .close'));
      await early.evaluate(() => window.releaseProgram());
      await s.until(early, () => document.body.dataset.state === 'ended');
      assert.equal((await s.flags(early)).status, '0');
      await early.close();
    });
  } finally {
    await browser.close();
  }
});
