// support.js: what the browser suites share: Chromium, the page's flags, real mouse clicks, the
// board read from the page, the committed pictures and a solver.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');

const COLUMNS = 5;
const ROWS = 4;
const GRID = COLUMNS * ROWS;
const PARKING = GRID;  // the cell right of the grid's last cell
const HOLE = 0;        // p0, the white marker of the free cell
const TWIPS_PER_PIXEL = 15;
const STEP = 800;

const pagePath = process.env.VOREK_PAGE;
const picturesDir = process.env.VOREK_PICTURES;
const screenshotsDir = process.env.VOREK_SCREENSHOTS;

const CHROMIUM_ARGS = ['--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// A fresh browser with a profile of its own, offline unless the suite serves the page itself;
// `args` are more of Chromium's switches.
async function launch({ offline = true, args = [] } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.VOREK_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: CHROMIUM_ARGS.concat(args),
    viewport: { width: 1024, height: 768 },
    deviceScaleFactor: 1,
    locale: 'fr-FR',
    offline,
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

// A real mouse click in the middle of `locator`; with `leave`, the pointer leaves for the
// page's corner as soon as the button is released.
async function click(page, locator, { leave = false } = {}) {
  const { x, y } = await centreOf(locator);
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
    const column = Math.round((left * TWIPS_PER_PIXEL) / STEP);
    const row = Math.round((top * TWIPS_PER_PIXEL) / STEP);
    const at = cellOrigin(column === COLUMNS ? PARKING : row * COLUMNS + column);
    assert.deepEqual({ left, top }, at, `p${p} stands off its cell`);
    const cell = column === COLUMNS ? PARKING : row * COLUMNS + column;
    assert.ok(column <= COLUMNS && row < ROWS && (column < COLUMNS || row === ROWS - 1),
      `p${p} stands outside the board at ${left},${top}`);
    assert.equal(layout[cell], null, `two pieces on cell ${cell}`);
    layout[cell] = Number(p);
  }
  return layout;
}

const pixels = (twips) => Math.round(twips / TWIPS_PER_PIXEL);

// The top-left corner, in client pixels, of the picture box on a cell.
function cellOrigin(cell) {
  if (cell === PARKING) return { left: pixels(5 * STEP), top: pixels(3 * STEP) };
  return { left: pixels(STEP * (cell % COLUMNS)), top: pixels(STEP * Math.floor(cell / COLUMNS)) };
}

const initialLayout = () => [...Array(GRID).keys()].map((i) => i + 1).concat([HOLE]);

// "1 2 3 4 5 / ... / 16 17 18 19 20 | 0"
function describe(layout) {
  const rows = [];
  for (let r = 0; r < ROWS; r += 1)
    rows.push(layout.slice(r * COLUMNS, r * COLUMNS + COLUMNS).join(' '));
  return rows.join(' / ') + ' | ' + layout[PARKING];
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

// --- a solver: weighted A* stage by stage (top row, second row, the last two rows) ---

function distance(a, b) {
  return Math.abs((a % COLUMNS) - (b % COLUMNS)) +
         Math.abs(Math.floor(a / COLUMNS) - Math.floor(b / COLUMNS));
}

function neighbours(cell) {
  const c = cell % COLUMNS, r = Math.floor(cell / COLUMNS), found = [];
  if (c > 0) found.push(cell - 1);
  if (c < COLUMNS - 1) found.push(cell + 1);
  if (r > 0) found.push(cell - COLUMNS);
  if (r < ROWS - 1) found.push(cell + COLUMNS);
  return found;
}

class Heap {
  constructor() { this.items = []; }
  get size() { return this.items.length; }
  push(item) {
    const a = this.items;
    a.push(item);
    for (let i = a.length - 1; i > 0;) {
      const up = (i - 1) >> 1;
      if (a[up][0] <= a[i][0]) break;
      [a[up], a[i]] = [a[i], a[up]];
      i = up;
    }
  }
  pop() {
    const a = this.items, top = a[0], last = a.pop();
    if (a.length > 0) {
      a[0] = last;
      for (let i = 0; ;) {
        const l = 2 * i + 1, r = l + 1;
        let m = i;
        if (l < a.length && a[l][0] < a[m][0]) m = l;
        if (r < a.length && a[r][0] < a[m][0]) m = r;
        if (m === i) break;
        [a[m], a[i]] = [a[i], a[m]];
        i = m;
      }
    }
    return top;
  }
}

// The hole's path that brings `pieces` home without touching `frozen` cells.
function bringHome(grid, pieces, frozen, weight) {
  const homes = pieces.map((p) => p - 1);
  const estimate = (at) => at.reduce((sum, cell, i) => sum + distance(cell, homes[i]), 0);
  const keyOf = (at, hole) => at.join(',') + ';' + hole;
  const start = { at: pieces.map((p) => grid.indexOf(p)), hole: grid.indexOf(HOLE) };
  const cost = new Map([[keyOf(start.at, start.hole), 0]]);
  const cameFrom = new Map([[keyOf(start.at, start.hole), null]]);
  const queue = new Heap();
  queue.push([weight * estimate(start.at), 0, start]);
  let goal = null;
  while (queue.size > 0) {
    const [, steps, state] = queue.pop();
    if (estimate(state.at) === 0) { goal = state; break; }
    if (steps > cost.get(keyOf(state.at, state.hole))) continue;
    for (const cell of neighbours(state.hole)) {
      if (frozen.has(cell)) continue;
      const at = state.at.map((a) => (a === cell ? state.hole : a));
      const key = keyOf(at, cell);
      if (steps + 1 < (cost.has(key) ? cost.get(key) : Infinity)) {
        cost.set(key, steps + 1);
        cameFrom.set(key, [keyOf(state.at, state.hole), cell]);
        queue.push([steps + 1 + weight * estimate(at), steps + 1, { at, hole: cell }]);
      }
    }
  }
  if (!goal) throw new Error('no way home for ' + pieces.join(', '));
  const holes = [];
  for (let key = keyOf(goal.at, goal.hole); cameFrom.get(key);) {
    const [previous, cell] = cameFrom.get(key);
    holes.push(cell);
    key = previous;
  }
  return holes.reverse();
}

// The pieces to click, in order, to take the grid (hole as 0) to p1..p19 home, hole last.
function solve(grid) {
  grid = grid.slice(0, GRID);
  const clicks = [];
  const stages = [[[1, 2, 3, 4, 5], new Set(), 3],
    [[6, 7, 8, 9, 10], new Set([0, 1, 2, 3, 4]), 3],
    [[11, 12, 13, 14, 15, 16, 17, 18, 19], new Set([...Array(10).keys()]), 1.5]];
  for (const [pieces, frozen, weight] of stages) {
    for (const cell of bringHome(grid, pieces, frozen, weight)) {
      const hole = grid.indexOf(HOLE);
      clicks.push(grid[cell]);
      grid[hole] = grid[cell];
      grid[cell] = HOLE;
    }
  }
  const goal = [...Array(19).keys()].map((i) => i + 1).concat([HOLE]);
  assert.deepEqual(grid, goal, 'the solver did not finish the board');
  return clicks;
}

module.exports = {
  COLUMNS, ROWS, GRID, PARKING, HOLE, launch, openGame, pageUrl, flags, until, settled, click, play,
  centreOf, windowOf, control, piece, readBoard, cellOrigin, initialLayout, describe, readBitmap,
  tileName, grab, differences, screenshot, solve, pixels,
};
