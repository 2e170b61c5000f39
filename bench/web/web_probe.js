// web_probe.js: times vorek.html against a floor page (the same window, drawn statically, with
// no program), and weighs the page gzipped. Prints a Markdown table. In headless Chromium, on a
// desktop and on an emulated phone whose processor is slowed four times; with --browser firefox
// or webkit, through the browser suite's adapter for that engine (tests/web/drivers/), on a
// desktop and, where the engine emulates one, a phone's screen at its own speed.
//
//   node web_probe.js --page build/web/vorek.html --figures build/web/design-figures.json
//                     [--runs 15] [--clicks 40] [--browser chromium|firefox|webkit]
//
// The floor's pictures are the page's own, the same bytes shown the same way.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');
const { readForms, startWindow } = require('../../platform/web/make_shell.js');

function options() {
  const found = { runs: 15, clicks: 40, browser: 'chromium' };
  const args = process.argv.slice(2);
  for (let i = 0; i < args.length; i += 2) found[args[i].replace(/^--/, '')] = args[i + 1];
  for (const name of ['page', 'figures']) {
    if (!found[name]) throw new Error(`web_probe.js: --${name} is missing`);
  }
  found.runs = Number(found.runs);
  found.clicks = Number(found.clicks);
  return found;
}

// The floor: the start-up window as the page draws it before its program runs (make_shell.js),
// written out alone under the page's own head (its style sheet, its pictures and the function
// that shows them), with its pictures and icon shown as the page shows them, the same
// first-frame mark as the program's page, and a click on a piece that swaps it with the hole
// marker, the two moves of the program's slide, timed as the program's page times its clicks.
function floorPage(page, figures) {
  const html = fs.readFileSync(page, 'utf8');
  const head = html.match(/<head>[\s\S]*?<\/head>/)[0];
  const carried = new Set(Array.from(html.matchAll(/<script [^>]*data-name="([^"]*)"/g),
                                     ([, name]) => name));
  const form = readForms(figures)[0];
  const drawn = startWindow(form, (name) => carried.has(name));
  if (!drawn) throw new Error('the page does not draw its start-up window itself');
  return `<!DOCTYPE html><html lang="fr">${head}<body><div id="desktop">
${drawn}</div>
<script>
window.floorPage = { firstFrame: 0, clickToHandled: [], clickToFrame: [] };
const main = document.querySelector('#desktop > section');
const urls = vorekPictureUrls();
for (const image of main.querySelectorAll('img[data-picture]')) {
  image.src = urls.get(image.dataset.picture);
}
document.querySelector('link[rel="icon"]').href = urls.get(${JSON.stringify(form.icon)});
main.style.left = Math.round((innerWidth - main.offsetWidth) / 2) + 'px';
main.style.top = Math.round((innerHeight - main.offsetHeight) / 2) + 'px';
main.style.visibility = 'visible';
Promise.all(Array.from(document.images).map((i) => i.decode())).then(() =>
  requestAnimationFrame(() => setTimeout(() => {
    floorPage.firstFrame = performance.now();
    console.debug('floorPage ready');
  }, 0)));
const hole = document.querySelector('[data-name="p0"]');
for (const box of document.querySelectorAll('.picture')) {
  box.addEventListener('click', (event) => {
    const { left, top } = box.style;
    box.style.left = hole.style.left;
    box.style.top = hole.style.top;
    hole.style.left = left;
    hole.style.top = top;
    floorPage.clickToHandled.push(performance.now() - event.timeStamp);
    requestAnimationFrame(() => setTimeout(() => {
      floorPage.clickToFrame.push(performance.now() - event.timeStamp);
    }, 0));
  });
}
</script></body></html>`;
}

const median = (values) => {
  const sorted = values.slice().sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const ms = (value) => value.toFixed(2) + ' ms';
const range = (values) => `${ms(median(values))} [${ms(Math.min(...values))}–${ms(Math.max(...values))}]`;

// A phone: its screen, touch and pixel ratio, and DevTools' processor slowdown standing in for
// its slower processor.
const PHONE = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true,
                deviceScaleFactor: 3 };
const PHONE_SLOWDOWN = 4;

// The probe's own instruments in the program's page, fed by the moments the page announces;
// the page itself keeps none. The steps of the start come from the browser's functions the page
// calls, wrapped here before it runs, and from the page's state, which turns to running once the
// program's main has returned.
function instruments() {
  const times = { firstFrame: 0, readyFrame: 0, clickToHandled: [], clickToFrame: [], steps: {} };
  window.vorekPage = times;
  const step = (name) => {
    if (times.steps[name] === undefined) times.steps[name] = performance.now();
  };
  for (const [name, begun, done] of [['compile', 'compiling', 'compiled'],
                                     ['compileStreaming', 'compiling', 'compiled'],
                                     ['instantiate', 'instantiating', 'instantiated'],
                                     ['instantiateStreaming', 'instantiating', 'instantiated']]) {
    const original = WebAssembly[name];
    WebAssembly[name] = function (...args) {
      step(begun);
      const result = original.apply(this, args);
      result.then(() => step(done), () => undefined);
      return result;
    };
  }
  new MutationObserver(() => {
    if (document.body && document.body.dataset.state === 'running') step('started');
  }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-state'] });
  document.addEventListener('vorek:handled', (event) =>
    times.clickToHandled.push(performance.now() - event.detail.input));
  document.addEventListener('vorek:frame', (event) => {
    if (event.detail.input !== undefined) {
      times.clickToFrame.push(performance.now() - event.detail.input);
    } else {
      times.readyFrame = performance.now();
      times.firstFrame = event.detail.shellFrame || times.readyFrame;
      console.debug('vorekPage ready');
    }
  });
}

// Opens `url` in a page of its own and waits until the page takes clicks: the first frame of
// the board, and the program's own first frame (the page may draw the board before it runs).
// With `slowdown`, the page runs that many times slower from before its navigation.
async function open(context, url, state, slowdown = 0) {
  const page = await context.newPage();
  if (slowdown) {
    const session = await context.newCDPSession(page);
    await session.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
  }
  // Told by a console message rather than by asking the page: Playwright's first question
  // compiles its own script in the page, which would weigh on the start being timed.
  const told = page.waitForEvent('console', (message) => message.text() === `${state} ready`);
  await page.goto(url);
  await told;
  const [first, ready, steps] = await page.evaluate((name) =>
    [window[name].firstFrame, window[name].readyFrame || 0, window[name].steps], state);
  return { page, first, ready, steps };
}

// p20 goes to the parking cell and back, one real click at a time, on the one page open (a page
// behind another draws its frames late). Returns the clicks' figures after 5 unmeasured ones.
async function clickTimes(context, url, state, count) {
  const { page } = await open(context, url, state);
  const handled = [], drawn = [];
  try {
    await page.bringToFront();
    const piece = page.locator('[data-name="p20"]');
    for (let i = 0; i < count + 5; i += 1) {
      const box = await piece.boundingBox();
      const before = await page.evaluate((name) => window[name].clickToFrame.length, state);
      await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
      await page.waitForFunction(([name, n]) => window[name].clickToFrame.length > n,
                                 [state, before]);
      if (i >= 5) {
        const [h, d] = await page.evaluate((name) => [window[name].clickToHandled.at(-1),
                                                      window[name].clickToFrame.at(-1)], state);
        handled.push(h);
        drawn.push(d);
      }
    }
  } finally {
    await page.close();
  }
  return { handled, drawn };
}

// Chromium, with its own instruments: the phone's processor slowed by DevTools.
async function measureChromium(o, vorekUrl, floorUrl) {
  const browser = await chromium.launch({
    executablePath: process.env.VOREK_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // Frames as soon as there is something to draw, so that a click's repaint is not rounded
    // up to the next tick of a 60 Hz clock.
    args: ['--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-gpu-vsync', '--disable-frame-rate-limit'],
  });
  // The openings by device: the board's first frame on each page, and the program's own.
  const desktop = { vorek: [], floor: [], ready: [], steps: [] };
  const phone = { vorek: [], floor: [], ready: [], steps: [] };
  const vorekClicks = { handled: [], drawn: [] }, floorClicks = { handled: [], drawn: [] };
  try {
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 },
                                               deviceScaleFactor: 1, offline: true });
    const phoneContext = await browser.newContext({ ...PHONE, offline: true });
    await context.addInitScript(instruments);
    await phoneContext.addInitScript(instruments);
    // One unmeasured opening of each, then interleaved runs, the phone's after the desktop's.
    for (let run = -1; run < o.runs; run += 1) {
      for (const [device, into, slowdown] of [[context, desktop, 0],
                                              [phoneContext, phone, PHONE_SLOWDOWN]]) {
        for (const [url, state] of [[vorekUrl, 'vorekPage'], [floorUrl, 'floorPage']]) {
          const { page, first, ready, steps } = await open(device, url, state, slowdown);
          if (run >= 0 && state === 'floorPage') into.floor.push(first);
          if (run >= 0 && state === 'vorekPage') {
            into.vorek.push(first);
            into.ready.push(ready);
            into.steps.push(steps);
          }
          await page.close();
        }
      }
    }
    // The clicks in rounds of at most 10 a page, the pages in turn, so that the machine's load
    // weighs on both alike.
    for (let done = 0; done < o.clicks; done += 10) {
      const count = Math.min(10, o.clicks - done);
      for (const [url, state, into] of [[vorekUrl, 'vorekPage', vorekClicks],
                                        [floorUrl, 'floorPage', floorClicks]]) {
        const { handled, drawn } = await clickTimes(context, url, state, count);
        into.handled.push(...handled);
        into.drawn.push(...drawn);
      }
    }
  } finally {
    await browser.close();
  }
  return { desktop, phone, phoneTitle: `phone, processor ${PHONE_SLOWDOWN} × slower`,
           vorekClicks, floorClicks };
}

// Another engine, through the browser suite's adapter: a window of its own for each opening,
// told ready by asking the page (its driver reports no console messages).
async function measureWith(name, o, vorekUrl, floorUrl) {
  const engine = require(`../../tests/web/drivers/${name}.js`);
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-bench-'));
  const urls = { vorekPage: withScript(vorekUrl, instruments, scratch), floorPage: floorUrl };
  const screens = { desktop: { width: 1024, height: 768, scale: 1, touch: false } };
  // WebKitGTK's window cannot be made as narrow as a phone.
  if (name === 'firefox') screens.phone = { ...PHONE.viewport, scale: 3, touch: true };
  const found = {};
  const vorekClicks = { handled: [], drawn: [] }, floorClicks = { handled: [], drawn: [] };
  const open = async (browser, state) => {
    const page = await engine.open(browser, urls[state], { fresh: true, onError: () => {} });
    await engine.until(page, (n) => window[n] && window[n].firstFrame > 0 &&
      (n === 'floorPage' || window[n].readyFrame > 0), state);
    return page;
  };
  try {
    for (const [device, screen] of Object.entries(screens)) {
      const into = found[device] = { vorek: [], floor: [], ready: [], steps: [] };
      const browser = await engine.launch({ offline: true, webAssembly: true, screen });
      try {
        for (let run = -1; run < o.runs; run += 1) {
          for (const state of ['vorekPage', 'floorPage']) {
            const page = await open(browser, state);
            const [first, ready, steps] = await engine.js(page, (n) => [window[n].firstFrame,
              window[n].readyFrame || 0, window[n].steps || {}], state);
            if (run >= 0 && state === 'floorPage') into.floor.push(first);
            if (run >= 0 && state === 'vorekPage') {
              into.vorek.push(first);
              into.ready.push(ready);
              into.steps.push(steps);
            }
            await engine.close(page);
          }
        }
        // The clicks on the desktop, in rounds of at most 10 a page, the pages in turn.
        for (let done = 0; device === 'desktop' && done < o.clicks; done += 10) {
          for (const [state, clicks] of [['vorekPage', vorekClicks], ['floorPage', floorClicks]]) {
            const page = await open(browser, state);
            for (let i = 0; i < Math.min(10, o.clicks - done) + 5; i += 1) {
              const [box, before] = await engine.js(page, (n) => {
                const r = document.querySelector('[data-name="p20"]').getBoundingClientRect();
                return [{ x: r.x + r.width / 2, y: r.y + r.height / 2 },
                        window[n].clickToFrame.length];
              }, state);
              await engine.pointer(page, 'mouse', [box]);
              await engine.until(page, ([n, count]) => window[n].clickToFrame.length > count,
                                 [state, before]);
              if (i < 5) continue;
              const [h, d] = await engine.js(page, (n) => [window[n].clickToHandled.at(-1),
                                                           window[n].clickToFrame.at(-1)], state);
              clicks.handled.push(h);
              clicks.drawn.push(d);
            }
            await engine.close(page);
          }
        }
      } finally {
        await browser.close();
      }
    }
  } finally {
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  return { desktop: found.desktop, phone: found.phone, phoneTitle: "phone's screen",
           vorekClicks, floorClicks, version: engine.version() };
}

// A copy of the page at `url` whose head starts with `script`, in `folder`.
function withScript(url, script, folder) {
  const file = path.join(folder, 'vorek.html');
  fs.writeFileSync(file, fs.readFileSync(new URL(url), 'utf8')
    .replace('<head>', () => `<head><script>(${script})();</script>`));
  return pathToFileURL(file).href;
}

async function main() {
  const o = options();
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-bench-'));
  const floorPath = path.join(scratch, 'floor.html');
  fs.writeFileSync(floorPath, floorPage(o.page, o.figures));
  const vorekUrl = pathToFileURL(path.resolve(o.page)).href;
  const floorUrl = pathToFileURL(floorPath).href;
  let measured;
  try {
    measured = o.browser === 'chromium' ? await measureChromium(o, vorekUrl, floorUrl)
      : await measureWith(o.browser, o, vorekUrl, floorUrl);
  } finally {
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  const { desktop, phone, phoneTitle, vorekClicks, floorClicks } = measured;
  const size = fs.statSync(o.page).size;
  const gzipped = zlib.gzipSync(fs.readFileSync(o.page), { level: 9 }).length;
  const beyond = median(vorekClicks.drawn) - median(floorClicks.drawn);
  const held = (ok) => (ok ? 'yes' : '**no**');
  const beside = (value) => `${value < 0 ? '−' : '+'} ${ms(Math.abs(value))}`;
  const kb = (bytes) => (bytes / 1024).toFixed(1) + ' KB';
  // The board's first frame against the floor's, and the program's against the board's.
  const openingRows = (device, figures) => {
    const first = median(figures.vorek) / median(figures.floor);
    const ready = median(figures.ready) / median(figures.vorek);
    console.log(`| ${device}navigation → first frame of the board | ${range(figures.vorek)} | ` +
      `${range(figures.floor)} | ÷ ${first.toFixed(2)} of the floor | ≤ 1.3 × floor | ` +
      `${held(first <= 1.3)} |`);
    console.log(`| ${device}navigation → the program's first frame (it takes clicks; earlier ` +
      `ones wait) | ${range(figures.ready)} | — | ÷ ${ready.toFixed(2)} of the board's first ` +
      `frame | ${device ? `≤ 1.3 × the board's first frame | ${held(ready <= 1.3)}` : '— | —'} |`);
  };
  console.log('| figure | vorek.html median [min–max] | floor median [min–max] | against | target | held? |');
  console.log('|---|---|---|---|---|---|');
  openingRows('', desktop);
  if (phone) openingRows(`${phoneTitle}: `, phone);
  console.log(`| click on p20 → handler done, page changed | ${range(vorekClicks.handled)} | ` +
    `${range(floorClicks.handled)} | ${beside(median(vorekClicks.handled) - median(floorClicks.handled))} | — | — |`);
  console.log(`| click on p20 → repaint (next frame drawn) | ${range(vorekClicks.drawn)} | ` +
    `${range(floorClicks.drawn)} | ${beside(beyond)} | ≤ 4 ms beyond the floor | ${held(beyond <= 4)} |`);
  console.log(`| vorek.html, gzipped (raw) | ${kb(gzipped)} (${kb(size)}) | — | — | ≤ 150 KB gzipped | ` +
    `${held(gzipped <= 150 * 1024)} |`);
  console.log();
  // Where the program's start goes, each step's median on its own.
  const stepNames = [['compiling', 'compiling begins'], ['compiled', 'compiled'],
                     ['instantiating', 'instantiating begins'], ['instantiated', 'instantiated'],
                     ['started', 'main has returned']];
  console.log(`| the program's start, ms after navigation (medians) | first frame of the board | ` +
    `${stepNames.map(([, title]) => title).join(' | ')} | the program's first frame |`);
  console.log(`|---|---|${stepNames.map(() => '---|').join('')}---|`);
  for (const [device, figures] of [['desktop', desktop], [phoneTitle, phone]]) {
    if (!figures) continue;
    const at = (name) => {
      const values = figures.steps.map((steps) => steps[name]).filter((v) => v !== undefined);
      return values.length ? median(values).toFixed(1) : '—';
    };
    console.log(`| ${device} | ${median(figures.vorek).toFixed(1)} | ` +
      `${stepNames.map(([name]) => at(name)).join(' | ')} | ${median(figures.ready).toFixed(1)} |`);
  }
  console.log();
  console.log(`${o.runs} interleaved openings of each page on each device after one unmeasured ` +
    `opening; ${vorekClicks.drawn.length} clicks on each page on the desktop, alone in the ` +
    'browser, in rounds of 10 after 5 unmeasured ones, the pages in turn.');
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
