// games.test.js: whole shuffled games solved to "Bravo !" by real clicks and by a phone's taps, and
// the box's modality.
'use strict';

const assert = require('node:assert/strict');
const { test } = require('node:test');
const s = require('./support');

test('whole games', async (t) => {
  const browser = await s.launch();
  try {
    const page = await s.openGame(browser.context);
    const main = s.windowOf(page, 'Vorek');

    await t.test('a shuffled game solved by clicks ends on "Bravo !"', async () => {
      await s.playToTheEnd(page);
      const { title, text, buttons } = await s.theBox(page);
      assert.equal(title, 'Vorek');
      assert.equal(text, 'Bravo !');
      assert.deepEqual(buttons, ['OK']);
      assert.equal((await s.flags(page)).busy, '1', 'the handler waits on the box');
      assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Finir',
        'the caption changes only once the box is closed');
      await s.screenshot(page, 'bravo');
    });

    await t.test('while the box is open nothing else on the page reacts', async () => {
      const events = (await s.flags(page)).events;
      const placeBefore = await main.boundingBox();
      await s.click(page, s.piece(page, 19));
      await s.click(page, s.control(page, 'Vorek', 'Command1'));
      await s.click(page, s.control(page, 'Vorek', 'Quitter'));
      await s.click(page, main.locator('.titlebar .close'));
      const bar = await s.centreOf(main.locator('.titlebar .caption'));
      await page.mouse.move(bar.x, bar.y);
      await page.mouse.down();
      await page.mouse.move(bar.x + 120, bar.y + 90, { steps: 4 });
      await page.mouse.up();
      await page.keyboard.press('Tab');
      assert.equal(await page.evaluate(() => document.activeElement.textContent), 'OK',
        'the focus left the box');
      assert.equal((await s.flags(page)).box, 'open');
      await s.closeTheBox(page);
      const flags = await s.flags(page);
      assert.equal(Number(flags.events), Number(events) + 1, 'a click reached the program');
      assert.deepEqual(await main.boundingBox(), placeBefore, 'the window moved under the box');
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
      assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Quitter');
      assert.equal(await page.locator('section.window').count(), 1);
    });

    await t.test('a second game plays the same way', async () => {
      await s.playToTheEnd(page);
      assert.equal((await s.theBox(page)).text, 'Bravo !');
      await s.closeTheBox(page);
      assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Quitter');
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
      await s.screenshot(page, 'after-second-game');
    });
  } finally {
    await browser.close();
  }
});

test('a whole game on a phone, by taps', async () => {
  const browser = await s.launch({ screen: s.phone(390, 844) });
  try {
    const page = await s.openGame(browser.context);
    const tap = { tap: true };
    await s.playToTheEnd(page, tap);
    assert.equal((await s.theBox(page)).text, 'Bravo !');
    await s.closeTheBox(page, tap);
    assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Quitter');
    await s.screenshot(page, 'phone-after-game');
  } finally {
    await browser.close();
  }
});
