// games.test.js: whole shuffled games solved to "Bravo !" by real clicks, and the box's modality.
'use strict';

const assert = require('node:assert/strict');
const { test } = require('node:test');
const s = require('./support');

// Deals a game and plays it to the last click on p20, which opens the box.
async function playToTheEnd(page) {
  await s.play(page, s.control(page, 'Vorek', 'Command1'));
  assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Finir');
  const dealt = await s.readBoard(page);
  assert.equal(dealt[s.PARKING], 20);
  // The clicks that finish the deal; the last, p20's, opens the box and so waits for it alone.
  const clicks = s.solve(dealt);
  const last = clicks.pop();
  assert.equal(last, 20);
  for (const p of clicks) await s.play(page, s.piece(page, p));
  const before = await s.readBoard(page);
  assert.equal(s.describe(before), '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 0 | 20');
  await s.click(page, s.piece(page, last));
  await s.until(page, () => document.body.dataset.box === 'open');
}

async function theBox(page) {
  const box = page.locator('#modal section.msgbox');
  return {
    box,
    title: await box.locator('.titlebar .caption').textContent(),
    text: await box.locator('.msgbox-text').textContent(),
    buttons: await box.locator('.msgbox-buttons button').allTextContents(),
  };
}

async function closeTheBox(page) {
  await s.click(page, page.locator('#modal .msgbox-buttons button'));
  await s.settled(page);
}

test('whole games', async (t) => {
  const browser = await s.launch();
  try {
    const page = await s.openGame(browser.context);
    const main = s.windowOf(page, 'Vorek');

    await t.test('a shuffled game solved by clicks ends on "Bravo !"', async () => {
      await playToTheEnd(page);
      const { title, text, buttons } = await theBox(page);
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
      await closeTheBox(page);
      const flags = await s.flags(page);
      assert.equal(Number(flags.events), Number(events) + 1, 'a click reached the program');
      assert.deepEqual(await main.boundingBox(), placeBefore, 'the window moved under the box');
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
      assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Quitter');
      assert.equal(await page.locator('section.window').count(), 1);
    });

    await t.test('a second game plays the same way', async () => {
      await playToTheEnd(page);
      assert.equal((await theBox(page)).text, 'Bravo !');
      await closeTheBox(page);
      assert.equal(await s.control(page, 'Vorek', 'Quitter').textContent(), 'Quitter');
      assert.equal(s.describe(await s.readBoard(page)), s.describe(s.initialLayout()));
      await s.screenshot(page, 'after-second-game');
    });
  } finally {
    await browser.close();
  }
});
