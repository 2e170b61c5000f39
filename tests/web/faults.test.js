// faults.test.js: a runtime error in a handler: the French error box, then the end; and a page
// whose program cannot run in the browser.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { pathToFileURL } = require('node:url');
const { test } = require('node:test');
const s = require('./support');

const CANNOT_RUN = 'Vorek ne peut pas fonctionner dans ce navigateur\u00a0: ';

// Opens `url` and waits until the page says, in place of any window, that it cannot run.
async function expectCannotRun(context, url, why) {
  const page = await context.newPage();
  await page.goto(url);
  await s.until(page, () => document.body.dataset.state === 'cannot-run');
  assert.equal(await page.locator('#cannot-run').textContent(), CANNOT_RUN + why);
  assert.ok(await page.locator('#cannot-run').isVisible());
  assert.equal(await page.locator('#desktop > *').count(), 0, 'a board is left on the page');
  return page;
}

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

test('a page that cannot run', async (t) => {
  await t.test('says that WebAssembly is off in a browser without it', async () => {
    const browser = await s.launch({ args: ['--js-flags=--jitless'] });
    try {
      const page = await expectCannotRun(browser.context, s.pageUrl(),
        'WebAssembly y est désactivé ou absent.');
      assert.equal(await page.evaluate(() => typeof WebAssembly), 'undefined');
      await s.screenshot(page, 'without-webassembly');
    } finally {
      await browser.close();
    }
  });

  await t.test('says that its program could not be loaded when a block of it is broken',
    async () => {
      const built = fs.readFileSync(process.env.VOREK_PAGE, 'utf8');
      const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-broken-'));
      const browser = await s.launch();
      try {
        // The WebAssembly as bytes that are no program; the script as no gzip at all.
        const broken = {
          'vorek-wasm': zlib.gzipSync(Buffer.from('pas un programme')).toString('base64'),
          'vorek-script': 'cGFzIGR1IGd6aXA=',
        };
        for (const [id, text] of Object.entries(broken)) {
          const block = new RegExp(`(<script type="application/gzip" id="${id}">)[^<]*`);
          assert.match(built, block);
          const file = path.join(folder, `${id}.html`);
          fs.writeFileSync(file, built.replace(block, (_, tag) => tag + text));
          await expectCannotRun(browser.context, pathToFileURL(file).href,
            'son programme n\u2019a pas pu être chargé.');
        }
      } finally {
        await browser.close();
        fs.rmSync(folder, { recursive: true, force: true });
      }
    });
});
