// faults.test.js: a runtime error in a handler: the French error box, then the end; and a page
// whose program cannot run in the browser.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { after, before, test } = require('node:test');
const s = require('./support');

const CANNOT_RUN = 'Vorek ne peut pas fonctionner dans ce navigateur\u00a0: ';

// Opens `url` and waits until the page says, in place of any window, that it cannot run.
async function expectCannotRun(browser, url, why) {
  const page = await s.open(browser, url, { fresh: true, fail: true });
  await s.until(page, () => document.body.dataset.state === 'cannot-run');
  assert.equal(await s.text(page, '#cannot-run'), CANNOT_RUN + why);
  assert.ok(await s.visible(page, '#cannot-run'));
  assert.equal(await s.count(page, '#desktop > *'), 0, 'a board is left on the page');
  return page;
}

// One browser for the cases that need no setting of their own: a start costs seconds of the
// processor in some engines.
let browser;
before(async () => { browser = await s.launch(); });
after(() => browser.close());

test('a runtime error', async (t) => {
  const page = await s.openGame(browser, s.pageUrl(process.env.VOREK_FAULTY_PAGE));

  await t.test('is told in a French box, and nothing else reacts meanwhile', async () => {
    await s.click(page, s.control('V_portrait', 'Command1'));
    await s.until(page, () => document.body.dataset.box === 'open');
    assert.deepEqual(await s.theBox(page), { title: 'Vorek', buttons: ['OK'],
      text: "Erreur d'exécution '5' :\n\nArgument ou appel de procédure incorrect (MsgBox)" });
    await s.screenshot(page, 'runtime-error');
    await s.click(page, s.titleBar('V_portrait', 'close'));
    assert.deepEqual(await s.forms(page), ['MsgBox', 'V_portrait'], 'the close box reacted');
  });

  await t.test('ends the program once the box is closed', async () => {
    await s.key(page, 'Enter');  // the box's OK has the focus
    await s.settled(page);
    const { state, status } = await s.flags(page);
    assert.deepEqual([state, status, await s.forms(page)], ['ended', '1', []]);
    assert.equal(await s.text(page, '#ended .ended-text'),
      'Vorek s’est arrêté sur une erreur.');
  });
});

test('a page that cannot run', async (t) => {
  await t.test('says that WebAssembly is off in a browser without it', async () => {
    const withoutWasm = await s.launch({ webAssembly: false });
    try {
      const page = await expectCannotRun(withoutWasm, s.pageUrl(),
        'WebAssembly y est désactivé ou absent.');
      assert.equal(await s.js(page, () => typeof WebAssembly), 'undefined');
      await s.screenshot(page, 'without-webassembly');
    } finally {
      await withoutWasm.close();
    }
  });

  await t.test('says that its program could not be loaded when a block of it is broken',
    async () => {
      const built = fs.readFileSync(process.env.VOREK_PAGE, 'utf8');
      const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-broken-'));
      try {
        // The WebAssembly as bytes that are no program; the script as no gzip at all.
        for (const [id, text] of [['vorek-script', 'cGFzIGR1IGd6aXA='], ['vorek-wasm',
          zlib.gzipSync(Buffer.from('pas un programme')).toString('base64')]]) {
          const block = new RegExp(`(<script type="application/gzip" id="${id}">)[^<]*`);
          assert.match(built, block);
          const file = path.join(folder, `${id}.html`);
          fs.writeFileSync(file, built.replace(block, (_, tag) => tag + text));
          await expectCannotRun(browser, s.pageUrl(file),
            'son programme n\u2019a pas pu être chargé.');
        }
      } finally {
        fs.rmSync(folder, { recursive: true, force: true });
      }
    });
});
