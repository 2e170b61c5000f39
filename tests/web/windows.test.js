// windows.test.js: the windows' scenarios, on a desktop and on a phone: opening, moving, stacking
// and closing windows, the end of the program and a smaller page. Each is a row: what the player
// does, then what must hold; one driver plays the rows in turn on one page.
'use strict';

const assert = require('node:assert/strict');
const { test } = require('node:test');
const s = require('./support');

const LEAVE = { leave: true }, TAP = { tap: true }, FINGER = { finger: true };
const BOTH = ['V_portrait', 'Vorek'];

// In the page: the middle of the part of a window's title bar that is in the page, beside its
// close box, and how much of the bar that is.
function gripOf(element) {
  const bar = element.querySelector('.titlebar').getBoundingClientRect();
  const close = element.querySelector('.titlebar .close').getBoundingClientRect();
  const [left, right] = [Math.max(0, bar.left), Math.min(innerWidth, close.left)];
  const [top, bottom] = [Math.max(0, bar.top), Math.min(innerHeight, bar.bottom)];
  return { x: (left + right) / 2, y: (top + bottom) / 2, across: right - left, down: bottom - top,
           whole: bar.height };
}
// The page is `width` × `height` and every window can be taken by 30 pixels of its title bar,
// the whole bar down.
const allInReach = (width, height) => `innerWidth === ${width} && innerHeight === ${height} &&
  Array.from(document.querySelectorAll('section.window')).every((w) => {
    const grip = (${gripOf})(w);
    return grip.across >= 30 && grip.down === grip.whole;
  })`;

// Which window the player sees at a point of the page.
const windowAt = (page, { x, y }) => s.js(page, ([px, py]) => {
  const hit = document.elementFromPoint(px, py);
  return hit && hit.closest('section.window') ? hit.closest('section.window').dataset.form : null;
}, [x, y]);

const boxes = async (page) => Object.fromEntries(await Promise.all((await s.forms(page))
  .map(async (form) => [form, await s.box(page, s.windowOf(form))])));

// What the player does: each step waits for its effect.
const STEPS = {
  click: (page, form, name, options) => s.play(page, s.control(form, name), options),
  raise: (page, form) => s.click(page, s.titleBar(form)),
  close: (page, form) => s.play(page, s.titleBar(form, 'close')),
  // By the title bar; the window follows it exactly.
  async drag(page, form, dx, dy, options) {
    const before = await s.box(page, s.windowOf(form));
    const grip = `(${gripOf})(document.querySelector('${s.windowOf(form)}'))`;
    await s.drag(page, await s.js(page, grip), dx, dy, options);
    await s.until(page, ([w, x, y]) => {
      const now = document.querySelector(w).getBoundingClientRect();
      return now.x !== x || now.y !== y;
    }, [s.windowOf(form), before.x, before.y]);
    const after = await s.box(page, s.windowOf(form));
    assert.deepEqual([after.x - before.x, after.y - before.y], [dx, dy], `${form} lags its bar`);
  },
  replay: (page) => s.click(page, '#replay').then(() => s.started(page)),
  reopen: (page) => s.reopen(page),
  resize: (page, width, height) => s.resize(page, width, height).then(() => s.until(page,
    ({ width: w, height: h }) => innerWidth === w && innerHeight === h, s.fitted(width, height))),
  // The page shrinks across or down: each window it leaves beyond its edge comes back just
  // enough to be taken by its title bar, and moves no other way.
  async shrink(page, width, height) {
    const [view, before] = [await s.viewport(page), await boxes(page)];
    await s.resize(page, width, height);
    ({ width, height } = s.fitted(width, height));
    await s.until(page, allInReach(width, height));
    const [along, across, edge] = width < view.width ? ['x', 'y', width] : ['y', 'x', height];
    for (const [form, is] of Object.entries(await boxes(page))) {
      assert.equal(is[across], before[form][across], `${form} moved along ${across}`);
      assert.ok(is[along] > edge - 60, `${form} moved in further than needed, to ${is[along]}`);
    }
  },
  // A whole game to « Bravo ! » and its box closed, by taps.
  win: (page) => s.winGame(page, TAP),
  // Two quick taps, with no wait between them.
  async taps(page, form, name) {
    const [point, before] = [await s.centreOf(page, s.control(form, name)), await s.events(page)];
    for (const _ of [1, 2]) await s.click(page, point, TAP);
    await s.delivered(page, before, 2);
  },
};

// What must then hold; `before` is the windows' places and the events delivered before the row.
const EXPECT = {
  forms: async (page, names) => assert.deepEqual(await s.forms(page), names),
  state: async (page, state) => assert.equal((await s.flags(page)).state, state),
  status: async (page, status) => assert.equal((await s.flags(page)).status, status),
  centred: (page, form) => s.expectCentred(page, form),
  // The window is seen at its middle and where it overlaps every other window.
  async front(page, form) {
    const { [form]: mine, ...others } = await boxes(page);
    const points = [s.middle(mine)];
    for (const [other, theirs] of Object.entries(others)) {
      const [x, y] = [Math.max(mine.x, theirs.x) + 5, Math.max(mine.y, theirs.y) + 5];
      assert.ok(x < Math.min(mine.x + mine.width, theirs.x + theirs.width) &&
        y < Math.min(mine.y + mine.height, theirs.y + theirs.height), `no overlap with ${other}`);
      points.push({ x, y });
    }
    for (const point of points) assert.equal(await windowAt(page, point), form);
  },
  kept: async (page, form, before) =>
    assert.deepEqual(await s.box(page, s.windowOf(form)), before.boxes[form], `${form} moved`),
  board: async (page, board) => assert.equal(await s.readBoard(page), board),
  dealt: (page) => s.expectDealt(page),
  quit: async (page, caption) => assert.equal(await s.quitCaption(page), caption),
  ended: async (page, text) => assert.equal(await s.text(page, '#ended .ended-text'), text),
  events: async (page, more, before) => assert.equal(await s.events(page), before.events + more),
  // Every window's title bar, close box included, is on the screen.
  bars: async (page) => assert.deepEqual(await s.js(page, () => Array.from(
    document.querySelectorAll('section.window'), (w) => [w.dataset.form,
      w.querySelector('.titlebar').getBoundingClientRect()])
    .filter(([, r]) => r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight)
    .map(([form]) => form)), []),
  // The page neither zoomed nor scrolled.
  still: async (page) => assert.deepEqual(await s.js(page, () => [visualViewport.scale,
    visualViewport.offsetLeft, visualViewport.offsetTop, scrollX, scrollY]), [1, 0, 0, 0, 0]),
  check: (page, check) => check(page),
  shot: (page, name) => s.screenshot(page, name),
};

// Plays the rows [title, steps, expected] in turn on `page`, each as a test of its own.
async function playScenarios(t, page, rows) {
  for (const [title, steps, expected] of rows) {
    await t.test(title, async () => {
      const before = { boxes: await boxes(page), events: await s.events(page) };
      for (const [step, ...args] of steps) await STEPS[step](page, ...args);
      for (const [what, value] of Object.entries(expected)) await EXPECT[what](page, value, before);
    });
  }
}

const DESKTOP = [
  ['"Voir" opens the whole picture, centred and in front', [['click', 'Vorek', 'Voir']],
    { forms: BOTH, centred: 'V_portrait', front: 'V_portrait', shot: 'portrait' }],
  ['a window moves by its title bar', [['drag', 'V_portrait', 200, 60]], { front: 'V_portrait' }],
  ['the window clicked comes to the front', [['raise', 'Vorek']], { front: 'Vorek' }],
  ['"Voir" again brings the one portrait forward where the player left it',
    [['click', 'Vorek', 'Voir']], { forms: BOTH, kept: 'V_portrait', front: 'V_portrait' }],
  ['a shuffle leaves the portrait open where it stands',
    [['raise', 'Vorek'], ['click', 'Vorek', 'Command1']], { forms: BOTH, kept: 'V_portrait' }],
  ['so does starting again', [['click', 'Vorek', 'Quitter']],
    { forms: BOTH, kept: 'V_portrait', board: s.INITIAL }],
  ['"Ok" closes the portrait', [['click', 'V_portrait', 'Command1']], { forms: ['Vorek'] }],
  ['"Voir" then builds a fresh one, centred', [['click', 'Vorek', 'Voir']],
    { forms: BOTH, centred: 'V_portrait' }],
  ['"Quitter" with no game leaves for the About window, centred',
    [['drag', 'V_portrait', -300, 0], ['click', 'Vorek', 'Quitter']],
    { forms: ['Sujet', 'V_portrait'], centred: 'Sujet' }],
  ['the About window\'s "Ok" ends the program, portrait and all', [['click', 'Sujet', 'ok']],
    { state: 'ended', status: '0', forms: [], ended: 'Vorek est terminé. Merci d’avoir joué !',
      shot: 'ended' }],
  ['"Rejouer" starts the program again', [['replay']],
    { state: 'running', forms: ['Vorek'], board: s.INITIAL }],
  ['closing the main window leaves the portrait',
    [['click', 'Vorek', 'Voir'], ['drag', 'V_portrait', 0, 200], ['close', 'Vorek']],
    { forms: ['V_portrait'], state: 'running' }],
  ['closing that one ends', [['close', 'V_portrait']], { state: 'ended', status: '0', forms: [] }],
  ['"Quitter" again', [['replay'], ['click', 'Vorek', 'Quitter']], { forms: ['Sujet'] }],
  ['closing the About window by its close box ends the program', [['close', 'Sujet']],
    { state: 'ended', status: '0' }],
  ['"Rejouer" once more', [['replay']], { forms: ['Vorek'] }],
  // Five rounds of every button, each click's pointer leaving as soon as it is released.
  ...[1, 2, 3, 4, 5].flatMap((round) => [
    [`round ${round}, the pointer leaving at once: "Brasser" deals`,
      [['click', 'Vorek', 'Command1', LEAVE]], { dealt: true }],
    [`round ${round}: "Finir" starts again from the initial layout`,
      [['click', 'Vorek', 'Quitter', LEAVE]],
      { quit: 'Quitter', board: s.INITIAL, forms: ['Vorek'] }],
    [`round ${round}: "Voir"`, [['click', 'Vorek', 'Voir', LEAVE]], { forms: BOTH }],
    [`round ${round}: the portrait's "Ok"`, [['click', 'V_portrait', 'Command1', LEAVE]],
      { forms: ['Vorek'] }]]),
  ['then "Quitter"', [['click', 'Vorek', 'Quitter', LEAVE]], { forms: ['Sujet'] }],
  ['and the About window\'s "Ok"', [['click', 'Sujet', 'ok', LEAVE]], { state: 'ended' }],
  ...[[640, 1080], [1920, 360]].map(([width, height]) => [
    `a page shrunk to ${width} × ${height} keeps every title bar in reach, moved in no further`,
    [['resize', 1920, 1080], ['reopen'], ['click', 'Vorek', 'Voir'], ['shrink', width, height],
      ['drag', 'V_portrait', -200, -100]], { forms: BOTH }]),
];

// Headless Chromium neither zooms on a synthesized pinch nor reloads on a pull, whatever the page
// says; what a phone's browser obeys is the page's touch-action, on every element.
async function untouchable(page) {
  assert.deepEqual(await s.js(page, () => Array.from(
    document.querySelectorAll('html, body, body *'))
    .filter((e) => getComputedStyle(e).touchAction !== 'none')
    .map((e) => e.tagName + (e.dataset.name ? ' ' + e.dataset.name : ''))), [], 'scroll or zoom');
  assert.equal(await s.js(page, () => Array.from(document.querySelectorAll(
    '#desktop .label, #desktop .frame-caption, #desktop .button'))
    .filter((e) => {
      const style = getComputedStyle(e);
      return (style.userSelect || style.webkitUserSelect) !== 'none';
    }).length), 0, 'selectable text');
}

const PHONE = [
  ...[[360, 640], [640, 360]].flatMap(([width, height]) => [
    [`${width} × ${height}: the main window opens with its title bar on the screen`,
      [['resize', width, height], ['reopen']], { bars: true }],
    [`${width} × ${height}: so does the portrait`, [['click', 'Vorek', 'Voir', TAP]],
      { forms: BOTH, bars: true }],
    [`${width} × ${height}: so does the About window`,
      [['click', 'V_portrait', 'Command1', TAP], ['click', 'Vorek', 'Quitter', TAP]],
      { forms: ['Sujet'], bars: true, shot: `phone-about-${width}x${height}` }]]),
  ['(the page opened again)', [['reopen']], { forms: ['Vorek'] }],
  ['a tap is one click', [['click', 'Vorek', 'p20', TAP]], { events: 1, board: s.PARKED }],
  ['two quick taps on "Brasser" deal two games: the second is no double tap to zoom',
    [['taps', 'Vorek', 'Command1']], { events: 2, dealt: true, still: true }],
  ['nothing on the page lets the fingers scroll, zoom or select',
    [['click', 'Vorek', 'Voir', TAP]], { check: untouchable }],
  ['a finger on the title bar moves the window',
    [['click', 'V_portrait', 'Command1', TAP], ['drag', 'Vorek', -40, 90, FINGER]],
    { still: true, shot: 'phone-moved' }],
  // Where the driver has no touch screen, taps are clicks: games.test.js plays those games.
  ...(s.engine.touch === false ? [] : [['a whole game by taps, on a taller phone',
    [['resize', 390, 844], ['reopen'], ['win']], { still: true, shot: 'phone-after-game' }]]),
];

for (const [title, screen, rows] of [['the windows', {}, DESKTOP],
                                     ['on a phone', s.phone(360, 640), PHONE]]) {
  test(title, async (t) => {
    const browser = await s.launch({ screen });
    try {
      await playScenarios(t, await s.openGame(browser), rows);
    } finally {
      await browser.close();
    }
  });
}
