// web_probe.js: times vorek.html in headless Chromium against a floor page (the same window,
// drawn statically, with no program), and weighs the page gzipped. Prints a Markdown table.
//
//   node web_probe.js --page build/web/vorek.html --shell platform/web/shell.html
//                     --pictures forms/pictures [--runs 15] [--clicks 40]
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');
const { bitmapToPng } = require('../../platform/web/embed_pictures.js');

function options() {
  const found = { runs: 15, clicks: 40 };
  const args = process.argv.slice(2);
  for (let i = 0; i < args.length; i += 2) found[args[i].replace(/^--/, '')] = args[i + 1];
  for (const name of ['page', 'shell', 'pictures']) {
    if (!found[name]) throw new Error(`web_probe.js: --${name} is missing`);
  }
  found.runs = Number(found.runs);
  found.clicks = Number(found.clicks);
  return found;
}

const pixels = (twips) => Math.round(twips / 15);

// The floor: the main window as the program first shows it, written out as plain HTML with the
// shell's own style sheet, and the same first-frame mark as the program's page.
function floorPage(shell, pictures) {
  const style = fs.readFileSync(shell, 'utf8').match(/<style>[\s\S]*?<\/style>/)[0];
  // The pictures as the page carries them.
  const url = (name) => 'data:image/png;base64,' +
    bitmapToPng(fs.readFileSync(path.join(pictures, name))).toString('base64');
  const boxes = [];
  for (let k = 0; k <= 20; k += 1) {
    const cell = k === 0 ? 20 : k - 1;
    const [left, top] = cell === 20 ? [4000, 2400] : [800 * (cell % 5), 800 * Math.floor(cell / 5)];
    const name = k === 0 ? 'blank.bmp' : `tile${String(k).padStart(2, '0')}.bmp`;
    boxes.push(`<div class="picture" style="left:${pixels(left)}px;top:${pixels(top)}px;` +
      `width:54px;height:54px"><img alt="" src="${url(name)}"></div>`);
  }
  const buttons = [['Voir', 120], ['Brasser', 840], ['Quitter', 1560]].map(([text, top]) =>
    `<button class="button" style="left:272px;top:${pixels(top)}px;width:49px;height:33px">` +
    `${text}</button>`);
  const icon = 'data:image/x-icon;base64,' +
    fs.readFileSync(path.join(pictures, 'vorek.ico')).toString('base64');
  return `<!DOCTYPE html><html lang="fr"><head><meta charset="utf-8"><title>Vorek</title>
<link rel="icon" href="${icon}">${style}</head><body><div id="desktop">
<section class="window active" id="main" style="visibility:hidden"><div class="titlebar">
<img class="icon" alt="" src="${icon}"><span class="caption">Vorek</span>
<button class="close">\u2715</button></div><div class="client" style="width:323px;height:213px">
${boxes.join('\n')}${buttons.join('\n')}</div></section></div>
<script>
const main = document.getElementById('main');
main.style.left = Math.round((innerWidth - main.offsetWidth) / 2) + 'px';
main.style.top = Math.round((innerHeight - main.offsetHeight) / 2) + 'px';
main.style.visibility = 'visible';
Promise.all(Array.from(document.images).map((i) => i.decode())).then(() =>
  requestAnimationFrame(() => setTimeout(() => { window.firstFrame = performance.now(); }, 0)));
</script></body></html>`;
}

const median = (values) => {
  const sorted = values.slice().sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const ms = (value) => value.toFixed(2) + ' ms';
const range = (values) => `${ms(median(values))} [${ms(Math.min(...values))}–${ms(Math.max(...values))}]`;

async function firstFrame(context, url, read) {
  const page = await context.newPage();
  await page.goto(url);
  const value = await page.waitForFunction(read).then((handle) => handle.jsonValue());
  return { page, value };
}

async function main() {
  const o = options();
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-bench-'));
  const floorPath = path.join(scratch, 'floor.html');
  fs.writeFileSync(floorPath, floorPage(o.shell, o.pictures));
  const browser = await chromium.launch({
    executablePath: process.env.VOREK_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // Frames as soon as there is something to draw, so that a click's repaint is not rounded
    // up to the next tick of a 60 Hz clock.
    args: ['--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-gpu-vsync', '--disable-frame-rate-limit'],
  });
  const vorekFrames = [], floorFrames = [], clicks = [], handledClicks = [];
  try {
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 },
                                               deviceScaleFactor: 1, offline: true });
    const vorekUrl = pathToFileURL(path.resolve(o.page)).href;
    const floorUrl = pathToFileURL(floorPath).href;
    // One unmeasured opening of each, then interleaved runs.
    for (let run = -1; run < o.runs; run += 1) {
      const vorek = await firstFrame(context, vorekUrl, () => window.vorekPage.firstFrame);
      const floor = await firstFrame(context, floorUrl, () => window.firstFrame);
      if (run >= 0) {
        vorekFrames.push(vorek.value);
        floorFrames.push(floor.value);
      }
      if (run === o.runs - 1) {
        // p20 goes to the parking cell and back, one real click at a time.
        const box = await vorek.page.locator('[data-name="p20"]').boundingBox();
        for (let i = 0; i < o.clicks + 5; i += 1) {
          const before = await vorek.page.evaluate(() => window.vorekPage.clickToFrame.length);
          await vorek.page.mouse.click(box.x + 27, box.y + 27);
          await vorek.page.waitForFunction((n) => window.vorekPage.clickToFrame.length > n, before);
          if (i >= 5) {
            const [handled, drawn] = await vorek.page.evaluate(() => [
              window.vorekPage.clickToHandled.at(-1), window.vorekPage.clickToFrame.at(-1)]);
            handledClicks.push(handled);
            clicks.push(drawn);
          }
          // p20 moved: it is clicked where it now stands.
          const moved = await vorek.page.locator('[data-name="p20"]').boundingBox();
          box.x = moved.x;
          box.y = moved.y;
        }
      }
      await vorek.page.close();
      await floor.page.close();
    }
  } finally {
    await browser.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  const size = fs.statSync(o.page).size;
  const gzipped = zlib.gzipSync(fs.readFileSync(o.page), { level: 9 }).length;
  const ratio = median(vorekFrames) / median(floorFrames);
  const held = (ok) => (ok ? 'yes' : '**no**');
  const kb = (bytes) => (bytes / 1024).toFixed(1) + ' KB';
  console.log('| figure | vorek.html median [min–max] | floor median [min–max] | ratio | target | held? |');
  console.log('|---|---|---|---|---|---|');
  console.log(`| navigation → first frame of the board | ${range(vorekFrames)} | ${range(floorFrames)} | ` +
    `${ratio.toFixed(2)} | ≤ 1.3 × floor | ${held(ratio <= 1.3)} |`);
  console.log(`| click on p20 → handler done, DOM changed | ${range(handledClicks)} | — | — | — | — |`);
  console.log(`| click on p20 → repaint (next frame drawn) | ${range(clicks)} | — | — | ≤ 4 ms median | ` +
    `${held(median(clicks) <= 4)} |`);
  console.log(`| vorek.html, gzipped (raw) | ${kb(gzipped)} (${kb(size)}) | — | — | ≤ 400 KB gzipped | ` +
    `${held(gzipped <= 400 * 1024)} |`);
  console.log();
  console.log(`${o.runs} interleaved openings of each page after one unmeasured opening; ` +
    `${clicks.length} clicks after 5 unmeasured ones.`);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
