// support.js: what the browser suites share: Chromium, the page's flags, real mouse clicks, the
// designs' figures, the board read from the page, the committed pictures, and the clicks that
// finish a board, from vorek-solve.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');

// The designs in pixels, as the build wrote them from the design tables.
const figures = JSON.parse(fs.readFileSync(process.env.VOREK_DESIGN_FIGURES, 'utf8'));
const { columns: COLUMNS, rows: ROWS } = figures.board;
const GRID = COLUMNS * ROWS;
const PARKING = GRID;  // the cell right of the grid's last cell
const HOLE = 0;        // p0, the white marker of the free cell

// A window's client area, [width, height]; a control's place in it, [left, top, width, height];
// the width of a picture box's sunken edge, inside which its picture stands.
const client = (form) => figures.forms[form].client;
const rect = (form, name) => figures.forms[form].controls[name].rect;
const edge = (form, name) => figures.forms[form].controls[name].edge;

const pagePath = process.env.VOREK_PAGE;
const picturesDir = process.env.VOREK_PICTURES;
const screenshotsDir = process.env.VOREK_SCREENSHOTS;

const CHROMIUM_ARGS = ['--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// A phone's screen, in CSS pixels, and its touch screen.
const phone = (width, height) => ({ viewport: { width, height }, isMobile: true, hasTouch: true,
                                    deviceScaleFactor: 3 });

// A fresh browser with a profile of its own, offline unless the suite serves the page itself;
// `args` are more of Chromium's switches, `screen` a phone's (phone()) or a desktop's.
async function launch({ offline = true, args = [], screen = {} } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.VOREK_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: CHROMIUM_ARGS.concat(args),
    viewport: { width: 1024, height: 768 },
    deviceScaleFactor: 1,
    locale: 'fr-FR',
    offline,
    ...screen,
  });
  context.setDefaultTimeout(60000);
  const close = async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { context, close };
}

const pageUrl = () => pathToFileURL(pagePath).href;

const scriptErrors = new WeakMap();

// Opens the game and waits for its first settled frame. A script error in the page fails the
// next wait at once.
async function openGame(context, url = pageUrl()) {
  const page = context.pages()[0] || await context.newPage();
  const errors = [];
  scriptErrors.set(page, errors);
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(url);
  await until(page, () => document.body.dataset.state === 'running');
  await settled(page);
  return page;
}

// Waits for `condition` in the page, and gives up as soon as the page has a script error.
async function until(page, condition, argument) {
  const errors = scriptErrors.get(page) || [];
  let failed;
  const failure = new Promise((_, reject) => {
    const check = setInterval(() => {
      if (errors.length > 0) reject(new Error('script error in the page: ' + errors.join('; ')));
    }, 50);
    failed = () => clearInterval(check);
  });
  try {
    await Promise.race([page.waitForFunction(condition, argument), failure]);
  } finally {
    failed();
  }
}

const flags = (page) => page.evaluate(() => ({ ...document.body.dataset }));

// Every delivered event has finished and its frame has been drawn.
async function settled(page) {
  await until(page, () => {
    const d = document.body.dataset;
    return d.busy !== '1' && Number(d.frame) === Number(d.events) + 1;
  });
}

async function centreOf(locator) {
  const box = await locator.boundingBox();
  assert.ok(box, 'the control is not on the page');
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

// A real mouse click in the middle of `locator`, or with `tap` a finger's tap there; with
// `leave`, the pointer leaves for the page's corner as soon as the button is released.
async function click(page, locator, { leave = false, tap = false } = {}) {
  const { x, y } = await centreOf(locator);
  if (tap) {
    await page.touchscreen.tap(x, y);
    return;
  }
  await page.mouse.click(x, y);
  if (leave) await page.mouse.move(0, 0);
}

// A click that the page delivers to the program: waits until its event has run and shown.
async function play(page, locator, options) {
  const before = Number((await flags(page)).events);
  await click(page, locator, options);
  await until(page, (n) => Number(document.body.dataset.events) > n, before);
  await settled(page);
}

const windowOf = (page, form) => page.locator(`section.window[data-form="${form}"]`);
const control = (page, form, name) => windowOf(page, form).locator(`[data-name="${name}"]`);
const piece = (page, number) => control(page, 'Vorek', 'p' + number);

// The board from the pieces' places on the page: the piece on each of the 21 cells.
async function readBoard(page) {
  const places = await windowOf(page, 'Vorek').evaluate((element) => {
    const found = {};
    for (let p = 0; p <= 20; p += 1) {
      const box = element.querySelector(`[data-name="p${p}"]`);
      found[p] = { left: box.offsetLeft, top: box.offsetTop };
    }
    return found;
  });
  const layout = new Array(GRID + 1).fill(null);
  for (const [p, { left, top }] of Object.entries(places)) {
    const cell = figures.board.cells.findIndex(([x, y]) => x === left && y === top);
    assert.ok(cell >= 0, `p${p} stands on no cell of the board, at ${left},${top}`);
    assert.equal(layout[cell], null, `two pieces on cell ${cell}`);
    layout[cell] = Number(p);
  }
  return layout;
}

// The top-left corner, in client pixels, of the picture box on a cell.
function cellOrigin(cell) {
  const [left, top] = figures.board.cells[cell];
  return { left, top };
}

const initialLayout = () => [...Array(GRID).keys()].map((i) => i + 1).concat([HOLE]);

// "1 2 3 4 5 / ... / 16 17 18 19 20 | 0"
function describe(layout) {
  const rows = [];
  for (let r = 0; r < ROWS; r += 1)
    rows.push(layout.slice(r * COLUMNS, r * COLUMNS + COLUMNS).join(' '));
  return rows.join(' / ') + ' | ' + layout[PARKING];
}

// Deals a game with « Brasser » and plays it to the last click on p20, which wins it and opens
// the box; `options` are click()'s.
async function playToTheEnd(page, options) {
  await play(page, control(page, 'Vorek', 'Command1'), options);
  assert.equal(await control(page, 'Vorek', 'Quitter').textContent(), 'Finir');
  const dealt = await readBoard(page);
  assert.equal(dealt[PARKING], 20);
  // The clicks that finish the deal; the last, p20's, opens the box and so waits for it alone.
  const clicks = solve(dealt);
  const last = clicks.pop();
  assert.equal(last, 20);
  for (const p of clicks) await play(page, piece(page, p), options);
  const before = await readBoard(page);
  assert.equal(describe(before), '1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 0 | 20');
  await click(page, piece(page, last), options);
  await until(page, () => document.body.dataset.box === 'open');
}

// The open message box: its title, its text and its buttons.
async function theBox(page) {
  const box = page.locator('#modal section.msgbox');
  return {
    box,
    title: await box.locator('.titlebar .caption').textContent(),
    text: await box.locator('.msgbox-text').textContent(),
    buttons: await box.locator('.msgbox-buttons button').allTextContents(),
  };
}

async function closeTheBox(page, options) {
  await click(page, page.locator('#modal .msgbox-buttons button'), options);
  await settled(page);
}

// --- the committed pictures, decoded: 24-bit bitmaps, rows bottom-up ---

function readBitmap(name) {
  const bytes = fs.readFileSync(path.join(picturesDir, name));
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = bytes.readInt32LE(22);
  const stride = Math.ceil((width * 3) / 4) * 4;
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; y += 1) {
    const row = offset + (height - 1 - y) * stride;
    for (let x = 0; x < width; x += 1) {
      rgb[(y * width + x) * 3] = bytes[row + x * 3 + 2];
      rgb[(y * width + x) * 3 + 1] = bytes[row + x * 3 + 1];
      rgb[(y * width + x) * 3 + 2] = bytes[row + x * 3];
    }
  }
  return { width, height, rgb, bytes };
}

const tileName = (piece) => (piece === HOLE ? 'blank.bmp'
  : `tile${String(piece).padStart(2, '0')}.bmp`);

// A screenshot of `clip` (page pixels) as RGB, decoded by the browser in a page of its own.
async function grab(page, clip) {
  const png = await page.screenshot({ clip });
  const lab = await page.context().newPage();
  try {
    const rgba = await lab.evaluate(async (data) => {
      const image = new Image();
      image.src = 'data:image/png;base64,' + data;
      await image.decode();
      const canvas = document.createElement('canvas');
      canvas.width = image.width;
      canvas.height = image.height;
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      return Array.from(context.getImageData(0, 0, image.width, image.height).data);
    }, png.toString('base64'));
    const rgb = Buffer.alloc((rgba.length / 4) * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
      rgb[j] = rgba[i]; rgb[j + 1] = rgba[i + 1]; rgb[j + 2] = rgba[i + 2];
    }
    return { width: clip.width, height: clip.height, rgb };
  } finally {
    await lab.close();
  }
}

// Pixels of `picture` that differ from the grab at (x, y).
function differences(grabbed, x, y, picture) {
  let count = 0;
  for (let py = 0; py < picture.height; py += 1) {
    for (let px = 0; px < picture.width; px += 1) {
      const g = ((y + py) * grabbed.width + x + px) * 3;
      const p = (py * picture.width + px) * 3;
      if (grabbed.rgb[g] !== picture.rgb[p] || grabbed.rgb[g + 1] !== picture.rgb[p + 1] ||
          grabbed.rgb[g + 2] !== picture.rgb[p + 2]) count += 1;
    }
  }
  return count;
}

async function screenshot(page, name) {
  fs.mkdirSync(screenshotsDir, { recursive: true });
  await page.screenshot({ path: path.join(screenshotsDir, name + '.png') });
}

// --- the clicks that finish a board, from vorek-solve, the one solver of every suite ---

// Runs vorek-solve (VOREK_SOLVE, through VOREK_SOLVE_WITH: Node.js for the web build) on a board.
function runSolver(words) {
  const runner = process.env.VOREK_SOLVE_WITH;
  const command = (runner ? [runner] : []).concat([process.env.VOREK_SOLVE], words.map(String));
  const run = spawnSync(command[0], command.slice(1),
    { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'], timeout: 60000 });
  const failed = () => new Error(`vorek-solve ended with status ${run.status}: ` +
    (run.error ? String(run.error) : run.stderr.trim()));
  return { ...run, failed };
}

// Whether slides can finish a board: the piece on each of the 21 cells, the hole as 0.
function solvable(layout) {
  const run = runSolver(['--solvable', ...layout]);
  const answer = { 0: 'solvable', 1: 'unsolvable' }[run.status];
  if (answer === undefined || run.stdout.trim() !== answer) throw run.failed();
  return run.status === 0;
}

// The pieces to click, in order, that finish a board: every piece home, the hole marker parked.
// During a game the last click is p20's, which wins it.
function solve(layout) {
  const run = runSolver(layout);
  if (run.status !== 0) throw run.failed();
  return run.stdout.split(/\s+/).filter(Boolean).map(Number);
}

module.exports = {
  COLUMNS, ROWS, GRID, PARKING, HOLE, client, rect, edge, phone, launch, openGame, pageUrl, flags,
  until, settled, click, play, centreOf, windowOf, control, piece, readBoard, cellOrigin,
  initialLayout, describe, playToTheEnd, theBox, closeTheBox, readBitmap, tileName, grab,
  differences, screenshot, solvable, solve,
};
