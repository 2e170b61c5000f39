// webkit.js: Debian's WebKitGTK, its MiniBrowser driven through WebKitWebDriver by
// selenium-webdriver, on an X server of its own (Xvfb). WebDriver speaks to one window at a
// time, so each page is a window and each call first switches to it.
'use strict';

const { execFile, spawn } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const { Builder, Capabilities, Key } = require('selenium-webdriver');
const input = require('selenium-webdriver/lib/input');

const name = 'webkit';
const library = process.env.VOREK_WEBKIT || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1';
const driverProgram = process.env.VOREK_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver';

// Starts `program`, failing with what it said if it ends first.
function start(program, args, options) {
  const child = spawn(program, args, { stdio: ['ignore', 'pipe', 'pipe'], ...options });
  let said = '';
  for (const stream of [child.stdout, child.stderr].filter(Boolean))
    stream.on('data', (chunk) => { said += chunk; });
  // 'close' comes once the output is read too.
  child.ended = new Promise((resolve) => child.on('close', resolve));
  child.failed = child.ended.then((code) => {
    throw new Error(`${program} ended (${code}): ${said}`);
  });
  child.failed.catch(() => {});
  return child;
}

// An X server on a display it chooses itself, so that suites run side by side; its display.
async function startX(children) {
  // -noreset: a server resets as its last client leaves, refusing whoever connects meanwhile.
  const server = start('Xvfb', ['-displayfd', '3', '-screen', '0', '2048x1536x24', '-nolisten',
    'tcp', '-noreset'], { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
  children.push(server);
  return Promise.race([server.failed, new Promise((resolve) => {
    let digits = '';
    server.stdio[3].on('data', (chunk) => {
      digits += chunk;
      if (digits.includes('\n')) resolve(':' + digits.trim());
    });
  })]);
}

// Asks the X server at `display` about its root window until `answer` holds (at most 30 s).
async function rootSays(display, property, answer) {
  const ask = () => new Promise((resolve) => execFile('xprop', ['-display', display, '-root',
    property], (error, out) => resolve(!error && answer(out))));
  for (const deadline = Date.now() + 30000; !(await ask());) {
    if (Date.now() > deadline) throw new Error(`${display}'s root window never said ${property}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

const freePort = () => new Promise((resolve) => {
  const probe = net.createServer().listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => resolve(port));
  });
});

// The WebDriver server answers once it is ready.
async function ready(url, child) {
  for (;;) {
    const up = await fetch(url + '/status').then((r) => r.ok, () => false);
    if (up) return;
    await Promise.race([child.failed, new Promise((resolve) => setTimeout(resolve, 50))]);
  }
}

let narrowest = 0;

// `screen`'s scale is the X server's for GTK (GDK_SCALE): whole numbers only. WebKitGTK's driver
// turns touches into the mouse's events, so `touch` is only the screen's size here.
async function launch({ webAssembly, screen }) {
  const children = [];
  const browser = { close: async () => {
    try {
      await browser.driver?.quit();
    } finally {
      for (const child of children.reverse()) child.kill();
    }
  } };
  try {
    const display = await startX(children);
    // A window manager, so that the browser's window has the keyboard's focus as on a desktop:
    // without it WebKit draws no focus, and :focus matches nothing.
    const manager = start('openbox', ['--sm-disable'],
                          { env: { ...process.env, DISPLAY: display } });
    children.push(manager);
    await Promise.race([manager.failed,
      rootSays(display, '_NET_SUPPORTING_WM_CHECK', (out) => /window id/.test(out))]);
    const port = await freePort();
    // Xvfb has no GPU: Skia's GPU painting then runs on Mesa's software OpenGL, and the driver
    // waits for each frame after each action (150 ms a click at the phone's scale). WebKitGTK's
    // painting on the CPU, made for machines without a GPU, halves that and draws the same.
    const driver = start(driverProgram, ['--port=' + port], { env: { ...process.env,
      DISPLAY: display, LANG: 'fr_FR.UTF-8', LANGUAGE: 'fr_FR', GDK_SCALE: String(screen.scale),
      GDK_BACKEND: 'x11', WEBKIT_SKIA_ENABLE_CPU_RENDERING: '1',
      ...(webAssembly ? {} : { JSC_useWasm: '0' }) } });
    children.push(driver);
    await ready(`http://127.0.0.1:${port}`, driver);
    browser.driver = await new Builder().usingServer(`http://127.0.0.1:${port}`)
      .withCapabilities(new Capabilities({ browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': { binary: library + '/MiniBrowser', args: ['--automation'] },
      })).build();
    await browser.driver.manage().setTimeouts({ script: 60000, pageLoad: 60000 });
    browser.current = await browser.driver.getWindowHandle();
    browser.first = { browser, handle: browser.current };
    // MiniBrowser's toolbar keeps its window from getting narrower than the toolbar's buttons.
    await resize(browser.first, 1, screen.height);
    narrowest = await js(browser.first, () => innerWidth);
    await resize(browser.first, screen.width, screen.height);
  } catch (error) {
    await browser.close();
    throw error;
  }
  return browser;
}

// Makes `page` the window the driver speaks to.
async function to(page) {
  if (page.browser.current !== page.handle) {
    await page.browser.driver.switchTo().window(page.handle);
    page.browser.current = page.handle;
  }
  return page.browser.driver;
}

async function open(browser, url, { fresh }) {
  let page = browser.first;
  if (fresh) {
    await browser.driver.switchTo().newWindow('window');
    browser.current = await browser.driver.getWindowHandle();
    page = { browser, handle: browser.current };
    const { width, height } = await js(browser.first, () => ({ width: innerWidth,
      height: innerHeight }));
    await resize(page, width, height);
  }
  await (await to(page)).get(url);
  return page;
}

// A function and its argument, or an expression, as a script; a promise is waited for.
const script = (fn) => (typeof fn === 'function'
  ? `return (${fn}).apply(null, arguments)` : `return (${fn})`);
const js = async (page, fn, argument) => (await to(page)).executeScript(script(fn), argument);

// Asks again as soon as the page answers: each question is a few milliseconds.
async function until(page, condition, argument) {
  const driver = await to(page);
  return driver.wait(() => driver.executeScript(script(condition), argument), 60000, undefined, 0);
}

const reload = async (page) => (await to(page)).navigate().refresh();
async function close(page) {
  await (await to(page)).close();
  page.browser.current = page.browser.first.handle;
  await page.browser.driver.switchTo().window(page.browser.current);
}

// The window's size less the page's is MiniBrowser's own toolbar.
async function resize(page, width, height) {
  const driver = await to(page);
  const rect = await driver.manage().window().getRect();
  const inner = await driver.executeScript('return [innerWidth, innerHeight]');
  await driver.manage().window().setRect({ x: 0, y: 0, width: width + rect.width - inner[0],
    height: height + rect.height - inner[1] });
}

const KEYS = { Tab: Key.TAB, Enter: Key.ENTER, Space: ' ', Shift: Key.SHIFT, Escape: Key.ESCAPE };
async function key(page, combination) {
  const keys = combination.split('+').map((k) => KEYS[k] ?? k);
  let actions = (await to(page)).actions({ async: true });
  for (const k of keys) actions = actions.keyDown(k);
  for (const k of keys.reverse()) actions = actions.keyUp(k);
  await actions.perform();
}

// The mouse, whatever `kind`: the driver has no touch screen.
async function pointer(page, kind, points, { leave = false } = {}) {
  const driver = await to(page);
  // Selenium spreads a move over 100 ms unless told: the pointer jumps, as the other drivers'.
  const at = ({ x, y }) => ({ x: Math.round(x), y: Math.round(y), origin: input.Origin.VIEWPORT,
                              duration: 0 });
  const [first, ...rest] = points;
  let actions = driver.actions({ async: true }).move(at(first)).press();
  for (const point of rest) actions = actions.move(at(point));
  actions = actions.release();
  if (leave) actions = actions.move(at({ x: 0, y: 0 }));
  await actions.perform();
}

const setOffline = async () => {};  // the driver cannot cut the network: the server does
const capture = async (page) => Buffer.from(await (await to(page)).takeScreenshot(), 'base64');

// The driver reports no requests: the page's own record of what it fetched stands in.
function requests() {
  return null;
}

const version = () => {
  const packaged = require('node:child_process').execFileSync('dpkg-query',
    ['-W', '-f=${Version}', 'libwebkit2gtk-4.1-0'], { encoding: 'utf8' });
  return `WebKitGTK ${packaged.replace(/-.*/, '')}`;
};

// Taps are the mouse's clicks here (pointer above).
const touch = false;

module.exports = { name, touch, narrowest: () => narrowest, launch, open, until, js, reload, close, key,
  resize, setOffline, capture, pointer, requests, version };
