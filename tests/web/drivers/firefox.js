// firefox.js: Debian's Firefox ESR through puppeteer-core, over WebDriver BiDi.
'use strict';

const puppeteer = require('puppeteer-core');
const { mouseGesture, versionOf } = require('./pages');

const name = 'firefox';
const executable = () => process.env.VOREK_FIREFOX || '/usr/bin/firefox-esr';

const viewportOf = (screen) => ({ width: screen.width, height: screen.height,
  deviceScaleFactor: screen.scale, isMobile: screen.touch, hasTouch: screen.touch });

// Puppeteer gives the browser a profile of its own and removes it on closing.
async function launch({ offline, webAssembly, screen }) {
  const browser = await puppeteer.launch({ browser: 'firefox', executablePath: executable(),
    headless: true, defaultViewport: viewportOf(screen), protocolTimeout: 60000,
    extraPrefsFirefox: { 'intl.accept_languages': 'fr-FR', 'javascript.options.wasm': webAssembly,
      // The suites' own server on 127.0.0.1 is the only network there is.
      'network.proxy.type': 0, 'browser.shell.checkDefaultBrowser': false } });
  // The tab the browser opens with never has the focus: keys reach it, but press no button.
  const [blank] = await browser.pages();
  const first = await browser.newPage();
  await blank.close();
  return { browser, first, pages: new Set(), screen, close: () => browser.close() };
}

async function open(browser, url, { fresh, onError }) {
  const page = fresh ? await browser.browser.newPage() : browser.first;
  if (!browser.pages.has(page)) {
    browser.pages.add(page);
    page.setDefaultTimeout(60000);
    page.on('pageerror', onError);
    for (const watch of browser.watchers || []) watch(page);
  }
  await page.goto(url);
  return page;
}

// Asks again as soon as the page answers: Puppeteer's own wait, which installs a task in the
// page each time, takes several times as long over BiDi. A question the page cannot answer
// (one asked while it loads again) is asked again, until the time is up.
async function until(page, condition, argument) {
  const ask = typeof condition === 'function' ? condition : new Function(`return (${condition})`);
  let failure = null;
  for (const deadline = Date.now() + 60000; Date.now() < deadline;) {
    try {
      const answer = await page.evaluate(ask, argument);
      if (answer) return answer;
    } catch (error) {
      failure = error;
    }
  }
  throw new Error(`the page never came to ${condition}${failure ? ': ' + failure : ''}`);
}
const js = (page, fn, argument) => page.evaluate(fn, argument);
const reload = (page) => page.reload();
const close = (page) => page.close();
const resize = (page, width, height) =>
  page.setViewport({ ...page.viewport(), width, height });
const setOffline = async (browser, offline) => {
  for (const page of browser.pages) await page.setOfflineMode(offline);
};
const capture = (page) => page.screenshot();

// Puppeteer presses one key at a time: "Shift+Tab" holds Shift around Tab. Enter goes as the
// main keyboard's (WebDriver's Return): Puppeteer would send the keypad's.
const KEYS = { Enter: '\uE006', Space: ' ' };
async function key(page, combination) {
  const [last, ...held] = combination.split('+').reverse().map((k) => KEYS[k] || k);
  for (const name of held) await page.keyboard.down(name);
  await page.keyboard.press(last);
  for (const name of held) await page.keyboard.up(name);
}

async function pointer(page, kind, points, { leave = false } = {}) {
  const [first, ...rest] = points;
  if (kind === 'touch' && rest.length === 0) return page.touchscreen.tap(first.x, first.y);
  if (kind === 'touch') {
    await page.touchscreen.touchStart(first.x, first.y);
    for (const point of rest) await page.touchscreen.touchMove(point.x, point.y);
    return page.touchscreen.touchEnd();
  }
  return mouseGesture(page, points, leave);
}

function requests(browser) {
  const asked = [];
  const watch = (page) => page.on('request', (request) => asked.push(request.url()));
  browser.watchers = [...(browser.watchers || []), watch];
  browser.pages.forEach(watch);
  return asked;
}

const version = () => versionOf(executable());

module.exports = { name, launch, open, until, js, reload, close, key, resize, setOffline,
  capture, pointer, requests, version };
