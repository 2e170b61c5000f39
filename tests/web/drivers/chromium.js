// chromium.js: Debian's Chromium through playwright-core, over the DevTools protocol.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');
const { mouseGesture, versionOf } = require('./pages');

const name = 'chromium';
const executable = () => process.env.VOREK_CHROMIUM || '/usr/bin/chromium';

// A fresh browser with a profile of its own; `screen` is { width, height, scale, touch }.
async function launch({ offline, webAssembly, screen }) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vorek-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: executable(), headless: true,
    args: ['--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      ...(webAssembly ? [] : ['--js-flags=--jitless'])],
    viewport: { width: screen.width, height: screen.height }, deviceScaleFactor: screen.scale,
    isMobile: screen.touch, hasTouch: screen.touch, locale: 'fr-FR', offline });
  context.setDefaultTimeout(60000);
  return { context, close: async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  } };
}

async function open(browser, url, { fresh, onError }) {
  const page = (!fresh && browser.context.pages()[0]) || await browser.context.newPage();
  page.on('pageerror', onError);
  await page.goto(url);
  return page;
}

const until = (page, condition, argument) => page.waitForFunction(condition, argument);
const js = (page, fn, argument) => page.evaluate(fn, argument);
const reload = (page) => page.reload();
const close = (page) => page.close();
const key = (page, name) => page.keyboard.press(name);
const resize = (page, width, height) => page.setViewportSize({ width, height });
const setOffline = (browser, offline) => browser.context.setOffline(offline);
const capture = (page) => page.screenshot();

// DevTools, for touches and the app's manifest: one session per page.
const sessions = new WeakMap();
async function devtools(page, method, parameters) {
  if (!sessions.has(page)) sessions.set(page, await page.context().newCDPSession(page));
  return sessions.get(page).send(method, parameters);
}

// A finger's tap or drag through DevTools, or the mouse's (pages.js).
async function pointer(page, kind, points, { leave = false } = {}) {
  const [first, ...rest] = points;
  if (kind === 'touch' && rest.length === 0) return page.touchscreen.tap(first.x, first.y);
  if (kind === 'touch') {
    const touch = (type, point) =>
      devtools(page, 'Input.dispatchTouchEvent', { type, touchPoints: point ? [point] : [] });
    await touch('touchStart', first);
    for (const point of rest) await touch('touchMove', point);
    return touch('touchEnd');
  }
  return mouseGesture(page, points, leave);
}

// Every address the browser asks for from now on.
function requests(browser) {
  const asked = [];
  browser.context.on('request', (request) => asked.push(request.url()));
  return asked;
}

// The app's manifest as the browser reads it, and what keeps the app from being installed.
async function app(page) {
  const { errors, data } = await devtools(page, 'Page.getAppManifest');
  const { installabilityErrors } = await devtools(page, 'Page.getInstallabilityErrors');
  return { errors: [...errors, ...installabilityErrors], manifest: JSON.parse(data) };
}

const version = () => versionOf(executable());

module.exports = { name, launch, open, until, js, reload, close, key, resize, setOffline,
  capture, pointer, requests, app, version };
