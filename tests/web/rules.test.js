// rules.test.js: the slide and parking rules and "Brasser", by real clicks (the restart:
// windows.test.js).
'use strict';

const assert = require('node:assert/strict');
const { test } = require('node:test');
const s = require('./support');

const { PARKED } = s;
const HOLE_UP = '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 _ / 16 17 18 19 15 | 20';

// With no game going, in turn: the pieces clicked, the board they leave. A click on p0 (the hole
// marker), which takes no clicks at all, is followed by one that does to prove it was handled.
const SLIDES = [
  ['on the initial layout a piece away from the hole stays', [19, 15, 1, 7], s.INITIAL],
  ['p20 moves to the parking cell', [20], PARKED],
  ['and back', [20], s.INITIAL],
  ['p20 parks again', [20], PARKED],
  ['a piece left of the hole slides right into it', [19], PARKED.replace('19 _', '_ 19')],
  ['a piece right of the hole slides left into it', [19], PARKED],
  ['a piece above the hole slides down into it', [15], HOLE_UP],
  ['a piece below the hole slides up into it', [15], PARKED],
  ['p15 slides down again', [15], HOLE_UP],
  ['diagonal and distant pieces and a stranded p20 stay', [19, 13, 20], HOLE_UP],
  ['the hole marker stays', [0, 1], HOLE_UP],
];

test('the rules, played with the mouse', async (t) => {
  const browser = await s.launch();
  try {
    const page = await s.openGame(browser);

    for (const [title, clicks, board] of SLIDES) {
      await t.test(title, async () => {
        for (const p of clicks) await (p === 0 ? s.click : s.play)(page, s.piece(p));
        assert.equal(await s.readBoard(page), board);
        assert.equal(await s.quitCaption(page), 'Quitter', 'a game was started');
        assert.equal((await s.flags(page)).box, undefined,
          'a solved board outside a game is no win');
      });
    }

    await t.test('"Brasser" rebuilds the window and deals a solvable game', async () => {
      await s.js(page, (main) => { document.querySelector(main).dataset.old = 1; },
                 s.windowOf('Vorek'));
      await s.play(page, s.control('Vorek', 'Command1'));
      assert.equal(await s.count(page, s.windowOf('Vorek')), 1);
      assert.equal(await s.count(page, '[data-old]'), 0, 'the old window is still there');
      const dealt = await s.expectDealt(page);
      assert.ok(s.solvable(dealt), `no slides can finish the deal ${dealt}`);
      await s.screenshot(page, 'dealt');
    });
  } finally {
    await browser.close();
  }
});
