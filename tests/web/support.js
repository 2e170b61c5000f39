// support.js: what the browser suites share. First the driver: the cases name what they act on
// by CSS selectors and go through it alone, and it speaks to the browser through one adapter per
// engine (drivers/, chosen by VOREK_BROWSER: chromium, firefox or webkit), so that the cases are
// written once. Then the game: the page's flags and windows, the board in the suites' notation,
// the designs' figures, the committed pictures, and the clicks that finish a board, from
// vorek-solve.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { pathToFileURL } = require('node:url');
const { PNG } = require('pngjs');
const { decodeBitmap } = require('../../platform/web/make_shell.js');

// --- the driver ---

const engine = require(`./drivers/${process.env.VOREK_BROWSER || 'chromium'}`);

// A phone's screen, in CSS pixels, at 3 device pixels a pixel, with a touch screen.
const phone = (width, height) => ({ width, height, scale: 3, touch: true });
const DESKTOP = { width: 1024, height: 768, scale: 1, touch: false };

// A fresh browser with a profile of its own, offline unless the suite serves the page itself;
// without `webAssembly`, a browser that has none; `screen` a phone's (phone()) or a desktop's.
async function launch({ offline = true, webAssembly = true, screen = DESKTOP } = {}) {
  return engine.launch({ offline, webAssembly, screen: { ...DESKTOP, ...screen } });
}

const failures = new WeakMap();

// `url` in the browser's first tab, or with `fresh` in a new one; `before` runs in it ahead of
// the page's own scripts (a page from disk only: a copy of it starts with the script). A script
// error in the page fails the next wait at once, where the engine's driver reports it, unless
// the page is expected to `fail`.
async function open(browser, url, { fresh = false, before, fail = false } = {}) {
  let onError = () => {};
  const failed = new Promise((_, reject) => {
    if (!fail) onError = (error) => reject(new Error('script error in the page: ' + error));
  });
  failed.catch(() => {});
  if (before) url = pathToFileURL(withScript(new URL(url), before)).href;
  const page = await engine.open(browser, url, { fresh, onError });
  failures.set(page, failed);
  return page;
}

// A copy of the page at `url` whose head starts with `script`, beside the original.
function withScript(url, script) {
  const file = require('node:url').fileURLToPath(url);
  const copy = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-before-')),
                         path.basename(file));
  fs.writeFileSync(copy, fs.readFileSync(file, 'utf8')
    .replace('<head>', () => `<head><script>(${script})();</script>`));
  return copy;
}

// Waits for `condition` (a function or an expression) to hold in the page.
const until = (page, condition, argument) =>
  Promise.race([engine.until(page, condition, argument), failures.get(page)]);
const js = (page, fn, argument) => engine.js(page, fn, argument);
// `read` in the page once `selector` is there, given `argument` (the selector unless told).
async function element(page, selector, read, argument = selector) {
  await until(page, (s) => document.querySelector(s) !== null, selector);
  return js(page, read, argument);
}
const text = (page, selector) => element(page, selector,
  (s) => document.querySelector(s).textContent);
const texts = (page, selector) => js(page, (s) => Array.from(document.querySelectorAll(s),
  (e) => e.textContent), selector);
const count = (page, selector) => js(page, (s) => document.querySelectorAll(s).length, selector);
const visible = (page, selector) => element(page, selector,
  (s) => document.querySelector(s).getClientRects().length > 0);
const attribute = (page, selector, name) => element(page, selector,
  ([s, n]) => document.querySelector(s).getAttribute(n), [selector, name]);
const key = (page, name) => engine.key(page, name);
const reload = (page) => engine.reload(page);
const closePage = (page) => engine.close(page);
const resize = (page, width, height) => engine.resize(page, width, height);
// The page's size once resized to `width` × `height`: some browsers' windows are wider.
const fitted = (width, height) =>
  ({ width: Math.max(width, engine.narrowest ? engine.narrowest() : 0), height });
const viewport = (page) => js(page, () => ({ width: innerWidth, height: innerHeight }));
const setOffline = (browser, offline) => engine.setOffline(browser, offline);

// Where `selector` is, in page pixels: { x, y, width, height }.
async function box(page, selector) {
  const found = await js(page, (s) => {
    const e = document.querySelector(s);
    if (!e) return null;
    const { x, y, width, height } = e.getBoundingClientRect();
    return { x, y, width, height };
  }, selector);
  assert.ok(found, `${selector} is not on the page`);
  return found;
}
const middle = ({ x, y, width, height }) => ({ x: x + width / 2, y: y + height / 2 });
const centreOf = async (page, selector) => middle(await box(page, selector));

// A real mouse click in the middle of `target` (a selector, or a page point), or with `tap` a
// finger's tap there (the mouse's click where the engine's driver has no touch); with `leave`,
// the pointer leaves for the corner as soon as it is released.
async function click(page, target, { leave = false, tap = false } = {}) {
  const point = typeof target === 'string' ? await centreOf(page, target) : target;
  await engine.pointer(page, tap ? 'touch' : 'mouse', [point], { leave });
}

// Presses at `from` (a page point), moves by dx, dy in five steps and lets go: the mouse's left
// button, or with `finger` a finger on the touch screen.
const drag = (page, from, dx, dy, { finger = false } = {}) => engine.pointer(page,
  finger ? 'touch' : 'mouse', [0, 1, 2, 3, 4, 5].map((step) =>
    ({ x: from.x + (dx * step) / 5, y: from.y + (dy * step) / 5 })));

// Every address the browser asks for from now on, as `(page) => addresses`; where the engine's
// driver cannot tell, what the page itself records it fetched.
function requests(browser) {
  const asked = engine.requests(browser);
  return async (page) => asked || js(page, () => performance.getEntries()
    .filter((entry) => ['navigation', 'resource'].includes(entry.entryType))
    .map((entry) => entry.name));
}

// The app's manifest, and what keeps the browser from installing it: as the browser reads them
// where its driver tells, else as the page links the manifest.
const app = (page) => (engine.app ? engine.app(page) : js(page, async () => ({ errors: [],
  manifest: await (await fetch(document.querySelector('link[rel="manifest"]').href)).json() })));

// The page's pixels in `clip` (page pixels), as RGB, one value for each device pixel.
async function grab(page, clip) {
  const shot = PNG.sync.read(await engine.capture(page));
  const scale = shot.width / (await viewport(page)).width;
  const [x, y, width, height] = [clip.x, clip.y, clip.width, clip.height]
    .map((v) => Math.round(v * scale));
  const rgb = Buffer.alloc(width * height * 3);
  for (let row = 0; row < height; row += 1) {
    for (let column = 0; column < width; column += 1) {
      const from = ((y + row) * shot.width + x + column) * 4;
      shot.data.copy(rgb, (row * width + column) * 3, from, from + 3);
    }
  }
  return { width, height, rgb };
}

// The page as it stands, in the screenshots' folder, under the engine's name.
async function screenshot(page, name) {
  const folder = path.join(process.env.VOREK_SCREENSHOTS, engine.name);
  fs.mkdirSync(folder, { recursive: true });
  fs.writeFileSync(path.join(folder, name + '.png'), await engine.capture(page));
}

// --- the game's page ---

const pageUrl = (file = process.env.VOREK_PAGE) => pathToFileURL(file).href;
const flags = (page) => js(page, () => ({ ...document.body.dataset }));
const events = async (page) => Number((await flags(page)).events);

// Every delivered event has finished and its frame has been drawn.
const settled = (page) => until(page, () => {
  const d = document.body.dataset;
  return d.busy !== '1' && Number(d.frame) === Number(d.events) + 1;
});

// The program has started (again) and shown its first frame.
async function started(page) {
  await until(page, () => document.body.dataset.state === 'running');
  await settled(page);
  return page;
}

// The game opened, or opened again.
const openGame = (browser, url = pageUrl()) => open(browser, url).then(started);
const reopen = (page) => reload(page).then(() => started(page));

// Once `more` events than the `before` delivered have run and shown (one question a poll).
const delivered = (page, before, more = 1) => until(page, (n) => {
  const d = document.body.dataset;
  return Number(d.events) >= n && d.busy !== '1' && Number(d.frame) === Number(d.events) + 1;
}, before + more);

// A click that the page delivers to the program: waits until its event has run and shown.
async function play(page, selector, options) {
  const before = await events(page);
  await click(page, selector, options);
  await delivered(page, before);
}

const windowOf = (form) => `section.window[data-form="${form}"]`;
const control = (form, name) => `${windowOf(form)} [data-name="${name}"]`;
const clientOf = (form) => `${windowOf(form)} > .client`;
const piece = (number) => control('Vorek', 'p' + number);
// A part of a window's title bar: its caption or its close box.
const titleBar = (form, part = 'caption') => `${windowOf(form)} > .titlebar .${part}`;

async function expectCentred(page, form) {
  const { x, y } = middle(await box(page, windowOf(form)));
  const { width, height } = await viewport(page);
  assert.ok(Math.abs(x - width / 2) <= 1 && Math.abs(y - height / 2) <= 1, `${form} off centre`);
}

// The windows open on the page, by name; the message box as "MsgBox".
const forms = (page) => js(page, () => Array.from(document.querySelectorAll('section.window'),
  (w) => w.dataset.form || 'MsgBox').sort());
// "Quitter", or "Finir" during a game.
const quitCaption = (page) => text(page, control('Vorek', 'Quitter'));

// The designs in pixels, as the build wrote them from the design tables.
const figures = JSON.parse(fs.readFileSync(process.env.VOREK_DESIGN_FIGURES, 'utf8'));
const { columns: COLUMNS, cells: CELLS } = figures.board;

// --- boards, in every suite's notation: the rows top to bottom, " / " between them, then " | "
// and the parking cell; a piece's number, "_" for the hole marker p0, "?" for a cell whose piece
// cannot be told (none there, or two) ---

const INITIAL = '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 | _';
// Every piece home but p20, parked: one click from the initial layout, or from a win.
const PARKED = '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 _ | 20';

// The board from the pieces' places on the page.
async function readBoard(page) {
  const places = await js(page, ([main, pieces]) => Array.from({ length: pieces }, (_, p) => {
    const element = document.querySelector(`${main} [data-name="p${p}"]`);
    return `${element.offsetLeft},${element.offsetTop}`;
  }), [windowOf('Vorek'), CELLS.length]);
  return CELLS.map(([x, y], i) => {
    const on = places.flatMap((place, p) => (place === `${x},${y}` ? [p] : []));
    const between = i === 0 ? '' : i === CELLS.length - 1 ? ' | ' : i % COLUMNS ? ' ' : ' / ';
    return between + (on.length !== 1 ? '?' : on[0] || '_');
  }).join('');
}

// Checks that the board is a game just dealt: every piece on a cell of its own, p20 parked (and
// so the hole in the grid), "Finir" in place of "Quitter"; returns the board.
async function expectDealt(page) {
  assert.equal(await quitCaption(page), 'Finir', 'no game was dealt');
  const board = await readBoard(page);
  assert.match(board, /^[^?]* \| 20$/, 'a deal keeps p20 parked, every piece on a cell');
  return board;
}

// Deals a game with « Brasser » and plays it to the last click on p20, which wins it and opens
// the box; `options` are click()'s.
async function playToTheEnd(page, options) {
  await play(page, control('Vorek', 'Command1'), options);
  // The last click, p20's, opens the box and so waits for it alone.
  const clicks = solve(await expectDealt(page));
  assert.equal(clicks.pop(), 20);
  for (const p of clicks) await play(page, piece(p), options);
  assert.equal(await readBoard(page), PARKED);
  await click(page, piece(20), options);
  await until(page, () => document.body.dataset.box === 'open');
}

// The open message box: its title, its text and its buttons.
const theBox = async (page, box = '#modal section.msgbox') => ({
  title: await text(page, `${box} .titlebar .caption`),
  text: await text(page, `${box} .msgbox-text`),
  buttons: await texts(page, `${box} .msgbox-buttons button`) });

async function closeTheBox(page, options) {
  await click(page, '#modal .msgbox-buttons button', options);
  await settled(page);
}

// A whole game played to « Bravo ! », whose box closed leaves the initial layout and "Quitter".
async function winGame(page, options) {
  await playToTheEnd(page, options);
  assert.equal((await theBox(page)).text, 'Bravo !');
  await closeTheBox(page, options);
  assert.equal(await quitCaption(page), 'Quitter');
  assert.equal(await readBoard(page), INITIAL);
}

// A committed picture, decoded as the build decodes it.
const picture = (name) =>
  decodeBitmap(fs.readFileSync(path.join(process.env.VOREK_PICTURES, name)));

// The pixels, [x, y] in `shown`, where the grab at (x, y) is not `shown`.
function changedPixels(grabbed, x, y, shown) {
  const changed = [];
  for (let py = 0; py < shown.height; py += 1) {
    for (let px = 0; px < shown.width; px += 1) {
      const g = ((y + py) * grabbed.width + x + px) * 3, p = (py * shown.width + px) * 3;
      if (!grabbed.rgb.subarray(g, g + 3).equals(shown.rgb.subarray(p, p + 3)))
        changed.push([px, py]);
    }
  }
  return changed;
}

// vorek-solve, the one solver of every suite (VOREK_SOLVE, through VOREK_SOLVE_WITH: Node.js for
// the web build), on a board, which it takes as the 21 pieces by cell, 0 for the hole. With
// --solvable, whether slides can finish the board; without, the pieces to click in turn that do.
function solver(board, ...options) {
  const cells = board.split(/[\s/|]+/).map((cell) => (cell === '_' ? '0' : cell));
  assert.ok(cells.every((cell) => /^\d+$/.test(cell)), `no board to solve: ${board}`);
  const [command, ...words] = [process.env.VOREK_SOLVE_WITH, process.env.VOREK_SOLVE,
    ...options, ...cells].filter(Boolean);
  const run = spawnSync(command, words, { encoding: 'utf8', timeout: 60000 });
  const answer = options.length ? { 0: 'solvable', 1: 'unsolvable' }[run.status] : run.status === 0;
  if (!answer || (options.length && run.stdout.trim() !== answer)) {
    throw new Error(`vorek-solve ended with status ${run.status}: ${
      run.error || run.stderr.trim()}`);
  }
  return options.length ? run.status === 0 : run.stdout.split(/\s+/).filter(Boolean).map(Number);
}
const solvable = (board) => solver(board, '--solvable');
const solve = (board) => solver(board);

module.exports = {
  engine, phone, launch, open, until, js, text, texts, count, visible, attribute, key, closePage,
  resize, fitted, viewport, setOffline, box, middle, centreOf, click, drag, requests, app, grab,
  screenshot,
  pageUrl, flags, events, settled, started, reopen, openGame, delivered, play, windowOf, control,
  clientOf, piece, titleBar, expectCentred, forms, quitCaption, figures, INITIAL, PARKED,
  readBoard, expectDealt, playToTheEnd, theBox, closeTheBox, winGame, picture, changedPixels,
  solvable,
};
