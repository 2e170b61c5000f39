// support.js: what the browser suites share. First the driver, the one part that speaks to the
// browser (Playwright, on Chromium): the cases name what they act on by CSS selectors and go
// through it alone, so that another engine needs another driver and no other change. Then the
// game: the page's flags and windows, the board in the suites' notation, the designs' figures,
// the committed pictures, and the clicks that finish a board, from vorek-solve.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');
const { PNG } = require('pngjs');
const { decodeBitmap } = require('../../platform/web/make_shell.js');

// --- the driver ---

// A phone's screen, in CSS pixels, and its touch screen.
const phone = (width, height) =>
  ({ viewport: { width, height }, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });

// A fresh browser with a profile of its own, offline unless the suite serves the page itself;
// `args` are more of Chromium's switches, `screen` a phone's (phone()) or a desktop's.
async function launch({ offline = true, args = [], screen = {} } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.VOREK_CHROMIUM || '/usr/bin/chromium', headless: true,
    args: ['--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      ...args], viewport: { width: 1024, height: 768 }, deviceScaleFactor: 1, locale: 'fr-FR',
    offline, ...screen });
  context.setDefaultTimeout(60000);
  return { context, close: async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  } };
}

const failures = new WeakMap();

// `url` in the browser's first tab, or with `fresh` in a new one; `before` runs in it ahead of
// the page's own scripts. A script error in the page fails the next wait at once, unless the
// page is expected to `fail`.
async function open(browser, url, { fresh = false, before, fail = false } = {}) {
  const page = (!fresh && browser.context.pages()[0]) || await browser.context.newPage();
  const failed = new Promise((_, reject) => fail || page.on('pageerror',
    (error) => reject(new Error('script error in the page: ' + error))));
  failed.catch(() => {});
  failures.set(page, failed);
  if (before) await page.addInitScript(before);
  await page.goto(url);
  return page;
}

// Waits for `condition` (a function or an expression) to hold in the page.
const until = (page, condition, argument) =>
  Promise.race([page.waitForFunction(condition, argument), failures.get(page)]);
const js = (page, fn, argument) => page.evaluate(fn, argument);
const text = (page, selector) => page.locator(selector).textContent();
const texts = (page, selector) => page.locator(selector).allTextContents();
const count = (page, selector) => page.locator(selector).count();
const visible = (page, selector) => page.locator(selector).isVisible();
const attribute = (page, selector, name) => page.locator(selector).getAttribute(name);
const key = (page, name) => page.keyboard.press(name);
const reload = (page) => page.reload();
const closePage = (page) => page.close();
const resize = (page, width, height) => page.setViewportSize({ width, height });
const viewport = (page) => page.viewportSize();
const setOffline = (browser, offline) => browser.context.setOffline(offline);

// Where `selector` is, in page pixels: { x, y, width, height }.
async function box(page, selector) {
  const found = await page.locator(selector).boundingBox();
  assert.ok(found, `${selector} is not on the page`);
  return found;
}
const middle = ({ x, y, width, height }) => ({ x: x + width / 2, y: y + height / 2 });
const centreOf = async (page, selector) => middle(await box(page, selector));

// A real mouse click in the middle of `target` (a selector, or a page point), or with `tap` a
// finger's tap there; with `leave`, the pointer leaves for the corner as soon as it is released.
async function click(page, target, { leave = false, tap = false } = {}) {
  const { x, y } = typeof target === 'string' ? await centreOf(page, target) : target;
  if (tap) return page.touchscreen.tap(x, y);
  await page.mouse.click(x, y);
  if (leave) await page.mouse.move(0, 0);
}

// DevTools, which Chromium alone speaks: one session per page.
const sessions = new WeakMap();
async function devtools(page, method, parameters) {
  if (!sessions.has(page)) sessions.set(page, await page.context().newCDPSession(page));
  return sessions.get(page).send(method, parameters);
}

// Presses at `from` (a page point), moves by dx, dy in five steps and lets go: the mouse's left
// button, or with `finger` a finger on the touch screen.
async function drag(page, from, dx, dy, { finger = false } = {}) {
  const at = (step) => ({ x: from.x + (dx * step) / 5, y: from.y + (dy * step) / 5 });
  if (!finger) {
    await page.mouse.move(from.x, from.y);
    await page.mouse.down();
    await page.mouse.move(from.x + dx, from.y + dy, { steps: 5 });
    return page.mouse.up();
  }
  const touch = (type, point) =>
    devtools(page, 'Input.dispatchTouchEvent', { type, touchPoints: point ? [point] : [] });
  await touch('touchStart', from);
  for (let step = 1; step <= 5; step += 1) await touch('touchMove', at(step));
  await touch('touchEnd');
}

// Every address the browser asks for from now on.
function requests(browser) {
  const asked = [];
  browser.context.on('request', (request) => asked.push(request.url()));
  return asked;
}

// The page's pixels in `clip` (page pixels), as RGB.
async function grab(page, clip) {
  const { data, width, height } = PNG.sync.read(await page.screenshot({ clip }));
  return { width, height, rgb: data.filter((_, i) => i % 4 !== 3) };
}

async function screenshot(page, name) {
  fs.mkdirSync(process.env.VOREK_SCREENSHOTS, { recursive: true });
  await page.screenshot({ path: path.join(process.env.VOREK_SCREENSHOTS, name + '.png') });
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

// Once `more` events than the `before` delivered have run and shown.
async function delivered(page, before, more = 1) {
  await until(page, (n) => Number(document.body.dataset.events) >= n, before + more);
  await settled(page);
}

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
  const { x, y } = middle(await box(page, windowOf(form))), { width, height } = viewport(page);
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
  phone, launch, open, until, js, text, texts, count, visible, attribute, key, closePage, resize,
  viewport, setOffline, box, middle, centreOf, click, devtools, drag, requests, grab, screenshot,
  pageUrl, flags, events, settled, started, reopen, openGame, delivered, play, windowOf, control,
  clientOf, piece, titleBar, expectCentred, forms, quitCaption, figures, INITIAL, PARKED,
  readBoard, expectDealt, playToTheEnd, theBox, closeTheBox, winGame, picture, changedPixels,
  solvable,
};
