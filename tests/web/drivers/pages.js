// pages.js: what the Chromium and Firefox adapters share, Playwright's and Puppeteer's pages
// having the same mouse and the same way of asking a browser its version.
'use strict';

const { execFileSync } = require('node:child_process');

// Presses at the first point, moves through the others and lets go at the last; `leave` moves
// the mouse away to the corner at once.
async function mouseGesture(page, [first, ...rest], leave) {
  await page.mouse.move(first.x, first.y);
  await page.mouse.down();
  for (const point of rest) await page.mouse.move(point.x, point.y);
  await page.mouse.up();
  if (leave) await page.mouse.move(0, 0);
}

const versionOf = (executable) =>
  execFileSync(executable, ['--version'], { encoding: 'utf8' }).trim();

module.exports = { mouseGesture, versionOf };
