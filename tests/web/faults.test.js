// faults.test.js: a runtime error in a handler: the French error box, then the end.
'use strict';

const assert = require('node:assert/strict');
const { pathToFileURL } = require('node:url');
const { test } = require('node:test');
const s = require('./support');

test('a runtime error', async (t) => {
  const browser = await s.launch();
  try {
    const page = await s.openGame(browser.context,
      pathToFileURL(process.env.VOREK_FAULTY_PAGE).href);

    await t.test('is told in a French box, and nothing else reacts meanwhile', async () => {
      await s.click(page, s.control(page, 'V_portrait', 'Command1'));
      await s.until(page, () => document.body.dataset.box === 'open');
      const box = page.locator('#modal section.msgbox');
      assert.equal(await box.locator('.titlebar .caption').textContent(), 'Vorek');
      assert.equal(await box.locator('.msgbox-text').textContent(),
        "Erreur d'exécution '5' :\n\nArgument ou appel de procédure incorrect (MsgBox)");
      assert.deepEqual(await box.locator('.msgbox-buttons button').allTextContents(), ['OK']);
      await s.screenshot(page, 'runtime-error');
      await s.click(page, s.windowOf(page, 'V_portrait').locator('.titlebar .close'));
      assert.equal(await s.windowOf(page, 'V_portrait').count(), 1, 'the close box reacted');
    });

    await t.test('ends the program once the box is closed', async () => {
      await page.keyboard.press('Enter');  // the box's OK has the focus
      await s.settled(page);
      const flags = await s.flags(page);
      assert.equal(flags.state, 'ended');
      assert.equal(flags.status, '1');
      assert.equal(await page.locator('section.window').count(), 0);
      assert.equal(await page.locator('#ended .ended-text').textContent(),
        'Vorek s’est arrêté sur une erreur.');
    });
  } finally {
    await browser.close();
  }
});
