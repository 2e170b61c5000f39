// rules.test.js: the slide and parking rules, "Brasser" and the restart, by real clicks.
'use strict';

const assert = require('node:assert/strict');
const { test } = require('node:test');
const s = require('./support');

// Board notation: the pieces by cell, row by row, '|' then the parking cell; 0 is the hole.
const board = (text) => text.replace(/[/|]/g, ' ').trim().split(/\s+/).map(Number);
const INITIAL = '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 | 0';

test('the rules, played with the mouse', async (t) => {
  const browser = await s.launch();
  try {
    const page = await s.openGame(browser.context);
    const expectBoard = async (text, why) =>
      assert.equal(s.describe(await s.readBoard(page)), s.describe(board(text)), why);
    const caption = () => s.control(page, 'Vorek', 'Quitter').textContent();

    await t.test('on the initial layout only p20 moves, to the parking cell and back', async () => {
      for (const p of [19, 15, 1, 7]) await s.play(page, s.piece(page, p));
      await expectBoard(INITIAL, 'a piece away from the hole moved');
      await s.play(page, s.piece(page, 20));
      await expectBoard('1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 0 | 20');
      await s.play(page, s.piece(page, 20));
      await expectBoard(INITIAL);
      assert.equal(await caption(), 'Quitter', 'no game was started');
      assert.equal((await s.flags(page)).box, undefined, 'a solved board outside a game is no win');
      await s.play(page, s.piece(page, 20));
    });

    await t.test('a piece next to the hole slides into it, in all four directions', async () => {
      await s.play(page, s.piece(page, 19));  // the hole was on its right
      await expectBoard('1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 0 19 | 20');
      await s.play(page, s.piece(page, 19));  // on its left
      await expectBoard('1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 0 | 20');
      await s.play(page, s.piece(page, 15));  // below it
      await expectBoard('1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 0 / 16 17 18 19 15 | 20');
      await s.play(page, s.piece(page, 15));  // above it
      await expectBoard('1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 0 | 20');
    });

    await t.test('diagonal and distant pieces, the hole marker and a stranded p20 stay', async () => {
      await s.play(page, s.piece(page, 15));
      const hole = '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 0 / 16 17 18 19 15 | 20';
      await expectBoard(hole);
      // p19 is diagonal to the hole, p13 two cells from it, p20 parked with the hole elsewhere.
      for (const p of [19, 13, 20]) await s.play(page, s.piece(page, p));
      await expectBoard(hole, 'a piece moved that is not next to the hole');
      // p0 takes no clicks at all; a delivered no-op click after it proves it was handled.
      await s.click(page, s.piece(page, 0));
      await s.play(page, s.piece(page, 1));
      await expectBoard(hole, 'a click on the hole marker moved something');
      assert.equal(await caption(), 'Quitter');
    });

    await t.test('"Brasser" rebuilds the window and deals a solvable game', async () => {
      await page.evaluate(() => { document.querySelector('[data-form="Vorek"]').dataset.old = 1; });
      await s.play(page, s.control(page, 'Vorek', 'Command1'));
      assert.equal(await page.locator('section.window[data-form="Vorek"]').count(), 1);
      assert.equal(await page.locator('[data-old]').count(), 0, 'the old window is still there');
      assert.equal(await caption(), 'Finir');
      const layout = await s.readBoard(page);
      assert.equal(layout[s.PARKING], 20, 'p20 waits on the parking cell during a game');
      assert.ok(layout.slice(0, s.GRID).includes(s.HOLE), 'the hole is inside the grid');
      assert.ok(s.solvable(layout), `no slides can finish the deal ${s.describe(layout)}`);
      await s.screenshot(page, 'dealt');
    });

    await t.test('"Quitter" during a game starts again from the initial layout', async () => {
      await s.play(page, s.control(page, 'Vorek', 'Quitter'));
      await expectBoard(INITIAL);
      assert.equal(await caption(), 'Quitter');
      assert.deepEqual(await page.locator('section.window').evaluateAll((all) =>
        all.map((w) => w.dataset.form)), ['Vorek'], 'only the main window is open');
    });
  } finally {
    await browser.close();
  }
});
