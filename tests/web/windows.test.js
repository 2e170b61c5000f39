// windows.test.js: the portrait and About windows, moving, stacking and closing windows, and the
// end of the program.
'use strict';

const assert = require('node:assert/strict');
const { test } = require('node:test');
const s = require('./support');

const forms = (page) => page.locator('section.window').evaluateAll((all) =>
  all.map((w) => w.dataset.form).sort());

// Which window the player sees at a point of the page.
const windowAt = (page, { x, y }) => page.evaluate(([px, py]) => {
  const hit = document.elementFromPoint(px, py);
  const found = hit && hit.closest('section.window');
  return found ? found.dataset.form : null;
}, [x, y]);

// In the page: the middle of the part of a window's title bar that is in the page, beside its
// close box, and how much of the bar that is.
function gripOf(element) {
  const bar = element.querySelector('.titlebar').getBoundingClientRect();
  const close = element.querySelector('.titlebar .close').getBoundingClientRect();
  const [left, right] = [Math.max(0, bar.left), Math.min(innerWidth, close.left)];
  const [top, bottom] = [Math.max(0, bar.top), Math.min(innerHeight, bar.bottom)];
  return { x: (left + right) / 2, y: (top + bottom) / 2, across: right - left, down: bottom - top,
           whole: bar.height };
}
const grip = (locator) => locator.evaluate(gripOf);
// The page is `width` × `height` and every window can be taken by 30 pixels of its title bar,
// the whole bar down.
const allInReach = (width, height) => `innerWidth === ${width} && innerHeight === ${height} &&
  Array.from(document.querySelectorAll('section.window')).every((w) => {
    const grip = (${gripOf})(w);
    return grip.across >= 30 && grip.down === grip.whole;
  })`;

async function drag(page, locator, dx, dy) {
  const from = await grip(locator);
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(from.x + dx, from.y + dy, { steps: 5 });
  await page.mouse.up();
}

function centred(page, box) {
  const viewport = page.viewportSize();
  return Math.abs(box.x + box.width / 2 - viewport.width / 2) <= 1 &&
         Math.abs(box.y + box.height / 2 - viewport.height / 2) <= 1;
}

test('the windows', async (t) => {
  const browser = await s.launch();
  try {
    const page = await s.openGame(browser.context);
    const main = s.windowOf(page, 'Vorek');
    const portrait = s.windowOf(page, 'V_portrait');
    const about = s.windowOf(page, 'Sujet');

    await t.test('"Voir" opens the whole picture, centred and in front', async () => {
      await s.play(page, s.control(page, 'Vorek', 'Voir'));
      assert.deepEqual(await forms(page), ['V_portrait', 'Vorek']);
      assert.equal(await portrait.locator('.titlebar .caption').textContent(), 'Vorek');
      const client = await portrait.locator('.client').boundingBox();
      assert.deepEqual([client.width, client.height], s.client('V_portrait'));
      assert.ok(centred(page, await portrait.boundingBox()), 'the portrait is not centred');
      const picture = s.control(page, 'V_portrait', 'Picture1');
      const box = await picture.boundingBox();
      const shown = s.readBitmap('portrait.bmp'), edge = s.edge('V_portrait', 'Picture1');
      assert.deepEqual([box.width, box.height], [shown.width + 2 * edge, shown.height + 2 * edge],
        'sized to its picture');
      const grabbed = await s.grab(page, box);
      assert.equal(s.differences(grabbed, edge, edge, shown), 0);
      assert.equal(await picture.getAttribute('aria-label'), 'Image entière du puzzle');
      assert.equal(await page.evaluate(() => document.activeElement.dataset.name), 'Picture1');
      assert.equal(await windowAt(page, await s.centreOf(portrait)), 'V_portrait');
      await s.screenshot(page, 'portrait');
    });

    await t.test('windows move by their title bar and the clicked one comes to the front',
      async () => {
        const before = await portrait.boundingBox();
        await drag(page, portrait, 200, 60);
        const after = await portrait.boundingBox();
        assert.deepEqual([after.x - before.x, after.y - before.y], [200, 60]);
        // Where the two windows overlap, the one clicked last is seen.
        const mainBox = await main.boundingBox();
        const overlap = { x: Math.max(mainBox.x, after.x) + 5, y: Math.max(mainBox.y, after.y) + 5 };
        assert.equal(await windowAt(page, overlap), 'V_portrait');
        await s.click(page, main.locator('.titlebar .caption'));
        assert.equal(await windowAt(page, overlap), 'Vorek');
      });

    await t.test('"Voir" again brings the one portrait forward where the player left it',
      async () => {
        const place = await portrait.boundingBox();
        await s.play(page, s.control(page, 'Vorek', 'Voir'));
        assert.deepEqual(await forms(page), ['V_portrait', 'Vorek']);
        assert.deepEqual(await portrait.boundingBox(), place);
        assert.equal(await windowAt(page, await s.centreOf(portrait)), 'V_portrait');
      });

    await t.test('a shuffle leaves the portrait open where it stands', async () => {
      const place = await portrait.boundingBox();
      await s.click(page, main.locator('.titlebar .caption'));  // the portrait hides "Brasser"
      await s.play(page, s.control(page, 'Vorek', 'Command1'));
      assert.deepEqual(await forms(page), ['V_portrait', 'Vorek']);
      assert.deepEqual(await portrait.boundingBox(), place);
      await s.play(page, s.control(page, 'Vorek', 'Quitter'));  // back to the initial layout
    });

    await t.test('"Ok" closes the portrait; "Voir" then builds a fresh one, centred', async () => {
      await s.play(page, s.control(page, 'V_portrait', 'Command1'));
      assert.deepEqual(await forms(page), ['Vorek']);
      await s.play(page, s.control(page, 'Vorek', 'Voir'));
      assert.ok(centred(page, await portrait.boundingBox()), 'the new portrait is not centred');
    });

    await t.test('"Quitter" with no game leaves for the About window', async () => {
      await drag(page, portrait, -300, 0);  // out of the way of the About window
      await s.play(page, s.control(page, 'Vorek', 'Quitter'));
      assert.deepEqual(await forms(page), ['Sujet', 'V_portrait']);
      assert.equal(await about.locator('.titlebar .caption').textContent(), 'A propos de Tralden');
      const client = await about.locator('.client').boundingBox();
      assert.deepEqual([client.width, client.height], s.client('Sujet'));
      assert.ok(centred(page, await about.boundingBox()), 'the About window is not centred');
      const frames = await about.locator('.frame-caption').allTextContents();
      assert.deepEqual(frames.sort(), ["L'auteur", 'Le programme']);
      const labels = await about.locator('.label').evaluateAll((all) => all.map((label) => ({
        name: label.dataset.name, text: label.textContent, align: getComputedStyle(label).textAlign,
        fits: label.scrollHeight <= label.clientHeight, lines: label.getClientRects().length,
      })));
      for (const label of labels) {
        assert.ok(label.text.length > 0, `${label.name} is empty`);
        assert.ok(label.fits, `${label.name}'s text does not fit`);
        assert.equal(label.align, 'center');
      }
      const author = labels.find((label) => label.name === 'auteur').text;
      assert.ok(author.startsWith('Si vous désirez me dire quelque chose au sujet du programme ' +
        "(ex: une amélioration à faire), n'hésitez pas : "), author);
      for (let k = 1; k <= 4; k += 1) {
        const box = await s.control(page, 'Sujet', 'Picture' + k).boundingBox();
        const grabbed = await s.grab(page, box);
        const edge = s.edge('Sujet', 'Picture' + k);
        assert.equal(s.differences(grabbed, edge, edge, s.readBitmap(`about${k}.bmp`)), 0,
          `Picture${k} does not show about${k}.bmp`);
      }
      assert.equal(await page.evaluate(() => document.activeElement.dataset.name), 'Picture1');
      await s.screenshot(page, 'about');
    });

    await t.test('the About window\'s "Ok" ends the program, portrait and all', async () => {
      await s.play(page, s.control(page, 'Sujet', 'ok'));
      const flags = await s.flags(page);
      assert.equal(flags.state, 'ended');
      assert.equal(flags.status, '0');
      assert.deepEqual(await forms(page), []);
      assert.equal(await page.locator('#ended .ended-text').textContent(),
        'Vorek est terminé. Merci d’avoir joué !');
      await s.screenshot(page, 'ended');
    });

    await t.test('"Rejouer" starts the program again', async () => {
      await page.locator('#replay').click();
      await s.until(page, () => document.body.dataset.state === 'running');
      await s.settled(page);
      assert.deepEqual(await forms(page), ['Vorek']);
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
    });

    await t.test('closing the main window leaves the portrait; closing that one ends', async () => {
      await s.play(page, s.control(page, 'Vorek', 'Voir'));
      await drag(page, portrait, 0, 200);
      await s.play(page, main.locator('.titlebar .close'));
      assert.deepEqual(await forms(page), ['V_portrait']);
      assert.equal((await s.flags(page)).state, 'running');
      await s.play(page, portrait.locator('.titlebar .close'));
      assert.equal((await s.flags(page)).state, 'ended');
      assert.deepEqual(await forms(page), []);
    });

    await t.test('closing the About window by its close box ends the program', async () => {
      await page.locator('#replay').click();
      await s.until(page, () => document.body.dataset.state === 'running');
      await s.settled(page);
      await s.play(page, s.control(page, 'Vorek', 'Quitter'));
      assert.deepEqual(await forms(page), ['Sujet']);
      await s.play(page, about.locator('.titlebar .close'));
      assert.equal((await s.flags(page)).state, 'ended');
    });

    await t.test('every button click counts, the pointer leaving as soon as it is released',
      async () => {
        await page.locator('#replay').click();
        await s.until(page, () => document.body.dataset.state === 'running');
        await s.settled(page);
        const leave = { leave: true };
        const caption = () => s.control(page, 'Vorek', 'Quitter').textContent();
        for (let round = 1; round <= 5; round += 1) {
          await s.play(page, s.control(page, 'Vorek', 'Command1'), leave);
          assert.equal(await caption(), 'Finir', `round ${round}: "Brasser" dealt no game`);
          await s.play(page, s.control(page, 'Vorek', 'Quitter'), leave);
          assert.equal(await caption(), 'Quitter', `round ${round}: "Finir" did not restart`);
          assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
          await s.play(page, s.control(page, 'Vorek', 'Voir'), leave);
          assert.deepEqual(await forms(page), ['V_portrait', 'Vorek'], `round ${round}: "Voir"`);
          await s.play(page, s.control(page, 'V_portrait', 'Command1'), leave);
          assert.deepEqual(await forms(page), ['Vorek'], `round ${round}: the portrait's "Ok"`);
        }
        await s.play(page, s.control(page, 'Vorek', 'Quitter'), leave);
        assert.deepEqual(await forms(page), ['Sujet']);
        await s.play(page, s.control(page, 'Sujet', 'ok'), leave);
        assert.equal((await s.flags(page)).state, 'ended');
      });

    await t.test('a smaller page keeps every window\'s title bar in reach, moved in no further',
      async () => {
        for (const [width, height] of [[640, 1080], [1920, 360]]) {
          await page.setViewportSize({ width: 1920, height: 1080 });
          await page.reload();
          await s.until(page, () => document.body.dataset.state === 'running');
          await s.settled(page);
          await s.play(page, s.control(page, 'Vorek', 'Voir'));
          const windows = [main, portrait];
          const before = await Promise.all(windows.map((w) => w.boundingBox()));
          await page.setViewportSize({ width, height });
          await s.until(page, allInReach(width, height));
          for (const [i, w] of windows.entries()) {
            const [was, is] = [before[i], await w.boundingBox()];
            const at = `${width} × ${height}, window ${i}`;
            if (width < 1920) {
              assert.equal(is.y, was.y, `${at} moved down or up`);
              assert.ok(is.x > width - 60, `${at} moved in further than needed, to ${is.x}`);
            } else {
              assert.equal(is.x, was.x, `${at} moved across`);
              assert.ok(is.y > height - 60, `${at} moved up further than needed, to ${is.y}`);
            }
          }
          const place = await portrait.boundingBox();
          await drag(page, portrait, -200, -100);
          const moved = await portrait.boundingBox();
          assert.deepEqual([moved.x - place.x, moved.y - place.y], [-200, -100],
            `at ${width} × ${height} the portrait does not follow its title bar`);
        }
      });
  } finally {
    await browser.close();
  }
});

// A finger on a touch screen, through DevTools: touches at page points.
async function fingerDrag(page, cdp, from, dx, dy) {
  const touch = (type, x, y) => cdp.send('Input.dispatchTouchEvent',
    { type, touchPoints: type === 'touchEnd' ? [] : [{ x, y }] });
  await touch('touchStart', from.x, from.y);
  for (let step = 1; step <= 5; step += 1)
    await touch('touchMove', from.x + (dx * step) / 5, from.y + (dy * step) / 5);
  await touch('touchEnd');
}

// Whether a window's title bar, close box included, is on the screen.
const barOnScreen = (locator) => locator.locator('.titlebar').evaluate((bar) => {
  const r = bar.getBoundingClientRect();
  return r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight;
});

test('on a phone', async (t) => {
  const browser = await s.launch({ screen: s.phone(360, 640) });
  try {
    const page = await s.openGame(browser.context);
    const cdp = await browser.context.newCDPSession(page);
    const main = s.windowOf(page, 'Vorek');
    const portrait = s.windowOf(page, 'V_portrait');
    const about = s.windowOf(page, 'Sujet');
    const tap = { tap: true };
    const still = () => page.evaluate(() => [visualViewport.scale, visualViewport.offsetLeft,
      visualViewport.offsetTop, scrollX, scrollY]);

    await t.test('every window opens with its title bar on the screen, either way up', async () => {
      for (const [width, height] of [[360, 640], [640, 360]]) {
        const at = `${width} × ${height}`;
        await page.setViewportSize({ width, height });
        await s.until(page, (w) => innerWidth === w, width);
        await page.reload();
        await s.until(page, () => document.body.dataset.state === 'running');
        await s.settled(page);
        assert.ok(await barOnScreen(main), `${at}: the main window's title bar`);
        await s.play(page, s.control(page, 'Vorek', 'Voir'), tap);
        assert.ok(await barOnScreen(portrait), `${at}: the portrait's title bar`);
        await s.play(page, s.control(page, 'V_portrait', 'Command1'), tap);
        await s.play(page, s.control(page, 'Vorek', 'Quitter'), tap);
        assert.ok(await barOnScreen(about), `${at}: the About window's title bar`);
        await s.screenshot(page, `phone-about-${width}x${height}`);
      }
    });

    await t.test('a tap is one click, and two quick taps are two clicks, with no zoom', async () => {
      await page.reload();
      await s.until(page, () => document.body.dataset.state === 'running');
      await s.settled(page);
      const events = Number((await s.flags(page)).events);
      await s.play(page, s.piece(page, 20), tap);
      assert.equal(Number((await s.flags(page)).events), events + 1);
      assert.equal(s.describe(await s.readBoard(page)),
        '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 0 | 20');
      // Two quick taps on « Brasser » deal two games: the second is no double tap to zoom.
      const { x, y } = await s.centreOf(s.control(page, 'Vorek', 'Command1'));
      await page.touchscreen.tap(x, y);
      await page.touchscreen.tap(x, y);
      await s.until(page, (n) => Number(document.body.dataset.events) >= n + 3, events);
      await s.settled(page);
      assert.equal(Number((await s.flags(page)).events), events + 3, 'a tap was lost or doubled');
      assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Finir');
      assert.deepEqual(await still(), [1, 0, 0, 0, 0]);
    });

    // Headless Chromium neither zooms on a synthesized pinch nor reloads on a pull, whatever
    // the page says; what a phone's browser obeys is the page's touch-action, on every element.
    await t.test('nothing on the page lets the fingers scroll, zoom or select', async () => {
      await s.play(page, s.control(page, 'Vorek', 'Voir'), tap);
      const free = await page.evaluate(() => Array.from(document.querySelectorAll('html, body, body *'))
        .filter((element) => getComputedStyle(element).touchAction !== 'none')
        .map((element) => element.tagName + (element.dataset.name ? ' ' + element.dataset.name : '')));
      assert.deepEqual(free, []);
      const selectable = await page.locator('#desktop .label, #desktop .frame-caption, #desktop .button')
        .evaluateAll((all) => all.filter((e) => getComputedStyle(e).userSelect !== 'none').length);
      assert.equal(selectable, 0);
      await s.play(page, s.control(page, 'V_portrait', 'Command1'), tap);
    });

    await t.test('a finger on the title bar moves the window', async () => {
      const before = await main.boundingBox();
      await fingerDrag(page, cdp, await grip(main), -40, 90);
      await s.until(page, (top) => document.querySelector('section.window[data-form="Vorek"]')
        .getBoundingClientRect().top !== top, before.y);
      const after = await main.boundingBox();
      assert.deepEqual([after.x - before.x, after.y - before.y], [-40, 90]);
      assert.deepEqual(await still(), [1, 0, 0, 0, 0]);
      await s.screenshot(page, 'phone-moved');
    });
  } finally {
    await browser.close();
  }
});
