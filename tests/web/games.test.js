// games.test.js: whole shuffled games solved to "Bravo !" by real clicks, and the box's modality
// (on a phone, by taps: windows.test.js).
'use strict';

const assert = require('node:assert/strict');
const { test } = require('node:test');
const s = require('./support');

test('whole games', async (t) => {
  const browser = await s.launch();
  try {
    const page = await s.openGame(browser);
    const main = s.windowOf('Vorek');

    await t.test('a shuffled game solved by clicks ends on "Bravo !"', async () => {
      await s.playToTheEnd(page);
      assert.deepEqual(await s.theBox(page), { title: 'Vorek', text: 'Bravo !', buttons: ['OK'] });
      assert.equal((await s.flags(page)).busy, '1', 'the handler waits on the box');
      assert.equal(await s.quitCaption(page), 'Finir',
        'the caption changes only once the box is closed');
      await s.screenshot(page, 'bravo');
    });

    await t.test('while the box is open nothing else on the page reacts', async () => {
      const events = await s.events(page);
      const placeBefore = await s.box(page, main);
      for (const target of [s.piece(19), s.control('Vorek', 'Command1'),
        s.control('Vorek', 'Quitter'), s.titleBar('Vorek', 'close')]) await s.click(page, target);
      await s.drag(page, await s.centreOf(page, s.titleBar('Vorek')), 120, 90);
      await s.key(page, 'Tab');
      assert.equal(await s.js(page, () => document.activeElement.textContent), 'OK',
        'the focus left the box');
      assert.equal((await s.flags(page)).box, 'open');
      const active = () => s.js(page, () =>
        Array.from(document.querySelectorAll('.window.active'), (w) => w.dataset.form || 'box'));
      assert.deepEqual(await active(), ['box'], 'a window behind the box looks active');
      await s.closeTheBox(page);
      assert.deepEqual(await active(), ['Vorek']);
      assert.equal(await s.events(page), events + 1, 'a click reached the program');
      assert.deepEqual(await s.box(page, main), placeBefore, 'the window moved under the box');
      assert.equal(await s.readBoard(page), s.INITIAL);
      assert.equal(await s.quitCaption(page), 'Quitter');
      assert.deepEqual(await s.forms(page), ['Vorek']);
    });

    await t.test('a second game plays the same way', async () => {
      await s.winGame(page);
      await s.screenshot(page, 'after-second-game');
    });
  } finally {
    await browser.close();
  }
});
