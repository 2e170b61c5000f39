// layout.test.js: the page as it opens from disk: every window where the runtime's layout puts
// it, with its pictures, names and tab order; the page's language and icon, the keyboard, and
// the start-up window the page draws before its program runs.
'use strict';

const assert = require('node:assert/strict');
const crypto = require('node:crypto');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');
const s = require('./support');

// How each window opens, by clicks from the one before it (the main window opens at the start).
const OPENED_BY = { Vorek: [], V_portrait: [['Vorek', 'Voir']],
                    Sujet: [['V_portrait', 'Command1'], ['Vorek', 'Quitter']] };
// What the figures do not carry: the names a screen reader says, the author's words.
const NAMES = { V_portrait: { Picture1: 'Image entière du puzzle' }, Vorek: Object.fromEntries(
  Array.from({ length: 21 }, (_, p) => ['p' + p, p ? 'Pièce ' + p : 'Case libre'])) };
const AUTHOR = 'Si vous désirez me dire quelque chose au sujet du programme (ex: une ' +
  "amélioration à faire), n'hésitez pas : ";

// Every picture box of `form` shows its picture unscaled (as a piece on its home cell does)
// inside its sunken edge: grey, then darker, on its top and left; on a screen of `scale` device
// pixels a pixel, each of them a square of whole device pixels.
async function expectPictures(page, form, scale = 1) {
  const grabbed = await s.grab(page, await s.box(page, s.clientOf(form)));
  const at = (x, y) =>
    [...grabbed.rgb.subarray((y * scale * grabbed.width + x * scale) * 3).subarray(0, 3)];
  for (const [name, { kind, rect: [x, y, width, height], edge, picture }] of
    Object.entries(s.figures.forms[form].controls).filter(([, c]) => c.kind === 'picture')) {
    const shown = s.picture(picture);
    assert.deepEqual([width, height], [shown.width + 2 * edge, shown.height + 2 * edge], name);
    assert.equal(s.changedPixels(grabbed, (x + edge) * scale, (y + edge) * scale,
      magnified(shown, scale)).length, 0, `${name} does not show ${picture} whole at ${
      x + edge},${y + edge}`);
    assert.deepEqual([at(x + 10, y), at(x, y + 10), at(x + 10, y + 1), at(x + 1, y + 10)],
      [[128, 128, 128], [128, 128, 128], [64, 64, 64], [64, 64, 64]], `${name}'s sunken edge`);
  }
}

// A picture with each pixel made a square of `scale` × `scale`.
function magnified({ width, height, rgb }, scale) {
  const big = Buffer.alloc(rgb.length * scale * scale);
  for (let y = 0; y < height * scale; y += 1) {
    for (let x = 0; x < width * scale; x += 1) {
      const from = (Math.trunc(y / scale) * width + Math.trunc(x / scale)) * 3;
      rgb.copy(big, (y * width * scale + x) * 3, from, from + 3);
    }
  }
  return { width: width * scale, height: height * scale, rgb: big };
}

// The controls of `form` on the page: each one's name, place in the client area, text, name for
// a screen reader, and how its text and picture show.
const controlsShown = (page, form) => s.js(page, (client) => Array.from(
  document.querySelector(client).children, (e) => [e.dataset.name, {
    rect: [e.offsetLeft, e.offsetTop, e.offsetWidth, e.offsetHeight],
    caption: (e.querySelector('.frame-caption') || e).textContent, kind: e.className,
    name: e.getAttribute('aria-label'), fits: e.scrollHeight <= e.clientHeight,
    align: getComputedStyle(e).textAlign,
    rendering: e.querySelector('img') && getComputedStyle(e.querySelector('img')).imageRendering,
  }]), s.clientOf(form));

const focused = (page) => s.js(page, () => document.activeElement.dataset.name);

// Opens the page with its program's WebAssembly held back until the page calls releaseProgram(),
// once the page has drawn its start-up window.
async function openHeld(browser) {
  const page = await s.open(browser, s.pageUrl(), { fresh: true, before: () => {
    const compile = WebAssembly.compileStreaming;
    const held = new Promise((resolve) => { window.releaseProgram = resolve; });
    WebAssembly.compileStreaming = (...args) => held.then(() => compile.apply(WebAssembly, args));
  } });
  await s.until(page, () => window.vorekShellFrame > 0);
  return page;
}

test('the page opened from disk', async (t) => {
  const browser = await s.launch();
  try {
    const requested = s.requests(browser);
    const page = await s.openGame(browser);

    await t.test('loads nothing but itself and opens the main window alone, every piece home',
      async () => {
        assert.deepEqual((await requested(page)).filter((url) => !/^(file|data):/.test(url)), [],
          'the page fetched something beyond its own file');
        assert.deepEqual(await s.forms(page), ['Vorek']);
        assert.equal(await s.readBoard(page), s.INITIAL);
        await s.screenshot(page, 'initial');
      });

    await t.test('shows every window centred, each control where the layout puts it', async () => {
      for (const [form, design] of Object.entries(s.figures.forms)) {
        assert.ok(OPENED_BY[form], `no way to open ${form}`);
        for (const [from, name] of OPENED_BY[form]) await s.play(page, s.control(from, name));
        assert.equal(await s.text(page, s.titleBar(form)), design.caption, `${form}'s title`);
        const client = await s.box(page, s.clientOf(form));
        assert.deepEqual([client.width, client.height], design.client, `${form}'s client area`);
        await s.expectCentred(page, form);
        const shown = await controlsShown(page, form);
        assert.deepEqual(shown.map(([name]) => name).sort(), Object.keys(design.controls).sort());
        for (const [name, is] of shown) {
          const { kind, rect, caption } = design.controls[name];
          assert.deepEqual([is.kind.split(' ')[0], is.rect], [kind, rect], `${form}.${name}`);
          if (kind === 'button' || kind === 'frame') assert.equal(is.caption, caption, name);
          if (kind === 'picture') assert.equal(is.rendering, 'pixelated', `${name} is smoothed`);
          if (kind === 'label') {
            assert.ok(is.caption.length > 0 && is.fits, `${name}'s text is empty or does not fit`);
            assert.equal(is.align, 'center', name);
          }
          if (NAMES[form] && NAMES[form][name]) assert.equal(is.name, NAMES[form][name]);
        }
        if (form === 'Sujet') assert.ok(new Map(shown).get('auteur').caption.startsWith(AUTHOR));
        await expectPictures(page, form);
        // The pieces are windows onto the whole picture: one image, which the page carries once.
        if (form === 'V_portrait') {
          const images = [s.control(form, 'Picture1'), ...Array.from({ length: 20 },
            (_, p) => s.piece(p + 1))].map((selector) => selector + ' img');
          assert.equal(new Set(await s.js(page, (all) => all.map((selector) =>
            document.querySelector(selector).getAttribute('src')), images)).size, 1);
        }
        // The focus starts on the first control in the tab order, and Tab goes round them all.
        const order = Object.keys(design.controls).filter((name) =>
          ['picture', 'button'].includes(design.controls[name].kind))
          .sort((a, b) => design.controls[a].tab - design.controls[b].tab);
        const tabbed = [await focused(page)];
        for (const _ of order) tabbed.push(await s.key(page, 'Tab').then(() => focused(page)));
        await s.key(page, 'Shift+Tab');
        tabbed.push(await focused(page));
        assert.deepEqual(tabbed, [...order, order[0], order[order.length - 1]], `${form}'s tabs`);
      }
      await s.screenshot(page, 'about');
      await s.reopen(page);
    });

    await t.test('is in French, with the icon as favicon and a steady font', async () => {
      assert.equal(await s.attribute(page, 'html', 'lang'), 'fr');
      const icon = path.join(process.env.VOREK_PICTURES, s.figures.forms.Vorek.icon);
      assert.equal(await s.attribute(page, 'link[rel="icon"]', 'href'),
        'data:image/x-icon;base64,' + fs.readFileSync(icon).toString('base64'));
      const fonts = await s.js(page, () => [document.body, document.querySelector('.button')]
        .map((element) => getComputedStyle(element).fontFamily));
      for (const font of fonts) assert.match(font, /^"DejaVu Sans"/);
    });

    await t.test('shows the keyboard focus on every control, a picture box\'s over its picture',
      async () => {
        const button = await s.box(page, s.control('Vorek', 'Command1'));
        const withoutFocus = await s.grab(page, button);
        await s.key(page, 'Shift+Tab');
        assert.equal(await focused(page), 'Command1');
        assert.notDeepEqual((await s.grab(page, button)).rgb, withoutFocus.rgb,
          'the focused button looks the same');
        await s.key(page, 'Tab');
        assert.equal(await focused(page), 'p1');
        // Where p1's picture differs from its tile: a rectangle's outline around most of it.
        const { edge, picture } = s.figures.forms.Vorek.controls.p1, tile = s.picture(picture);
        const changed = s.changedPixels(await s.grab(page, await s.box(page, s.piece(1))),
                                        edge, edge, tile);
        const [xs, ys] = [changed.map(([x]) => x), changed.map(([, y]) => y)];
        const [left, right, top, bottom] = [Math.min(...xs), Math.max(...xs), Math.min(...ys),
          Math.max(...ys)];
        assert.ok(changed.length >= tile.width, `only ${changed.length} pixels show the focus`);
        assert.ok(right - left >= tile.width - 8 && bottom - top >= tile.height - 8,
          `the focus rectangle spans only ${left}-${right} × ${top}-${bottom}`);
        assert.deepEqual(changed.filter(([x, y]) => ![left, right].includes(x) &&
          ![top, bottom].includes(y)), [], 'the focus covers the picture beyond an outline');
        await s.screenshot(page, 'focus');
        await s.key(page, 'Shift+Tab');
      });

    await t.test('plays from the keyboard: Space on "Brasser" deals a game', async () => {
      const before = await s.events(page);
      await s.key(page, 'Space');
      await s.delivered(page, before);
      assert.notEqual(await s.expectDealt(page), s.INITIAL);
    });

    await t.test('draws the board before the program runs, and hands it, in order and once, ' +
      'the clicks and keys made meanwhile', async () => {
        const early = await openHeld(browser);
        assert.deepEqual(await s.box(early, s.clientOf('Vorek')),
          await s.box(page, s.clientOf('Vorek')), 'the page draws its window elsewhere');
        await expectPictures(early, 'Vorek');
        // p20 to the parking cell, p19 into the hole it leaves, then from p19 four steps along
        // the tab order to "Voir", which Enter presses.
        await s.click(early, s.piece(20));
        await s.click(early, s.piece(19));
        for (const k of ['Tab', 'Tab', 'Tab', 'Tab', 'Enter']) await s.key(early, k);
        assert.notEqual((await s.flags(early)).state, 'running');
        assert.equal(await s.readBoard(early), s.INITIAL, 'a piece moved before the program ran');
        await s.js(early, () => window.releaseProgram());
        await s.started(early);
        assert.equal(await s.events(early), 3, 'not every early input counted once');
        assert.equal(await s.readBoard(early), s.PARKED.replace('19 _', '_ 19'));
        assert.deepEqual(await s.forms(early), ['V_portrait', 'Vorek']);
        assert.equal(await s.count(early, '[data-shell]'), 0);
        await s.closePage(early);
      });

    await t.test('takes over a start-up window that is, attribute for attribute, the one the ' +
      'program draws itself', async () => {
        // Told that the window the page drew is not its own, the program draws its own.
        const opened = async (before) => {
          const other = await s.open(browser, s.pageUrl(), { fresh: true, before });
          await s.started(other);
          return other;
        };
        const pages = [await opened(), await opened(() => document.addEventListener(
          'DOMContentLoaded', () => {
            document.querySelector('#desktop > [data-shell]').dataset.form = 'not-the-program';
          }))];
        assert.equal(await s.count(pages[1], '[data-form="not-the-program"]'), 0);
        // Tag by tag, each picture by its digest, for a readable difference.
        const [taken, own] = await Promise.all(pages.map(async (other) => (await s.js(other,
          (main) => document.querySelector(main).outerHTML, s.windowOf('Vorek'))).split('><')
          .map((tag) => tag.replace(/data:[^"]*/g, (url) =>
            'data:sha1,' + crypto.createHash('sha1').update(url).digest('hex')))));
        assert.ok(own.some((tag) => tag.includes('data-name="p20"')), 'the program drew no p20');
        assert.deepEqual(taken, own);
        for (const other of pages) await s.closePage(other);
      });

    await t.test('hands the program a close made before it ran: the game ends', async () => {
      const early = await openHeld(browser);
      await s.click(early, s.titleBar('Vorek', 'close'));
      await s.js(early, () => window.releaseProgram());
      await s.until(early, () => document.body.dataset.state === 'ended');
      assert.equal((await s.flags(early)).status, '0');
      await s.closePage(early);
    });
  } finally {
    await browser.close();
  }
});

test('the page at 200 %', async (t) => {
  const browser = await s.launch({ screen: { scale: 2 } });
  try {
    const page = await s.openGame(browser);
    await t.test('draws each pixel of every picture as 2 × 2 whole pixels, its edges 4 wide',
      () => expectPictures(page, 'Vorek', 2));
  } finally {
    await browser.close();
  }
});
