// web_window_parts.js: a window as the page shows it: its title bar (icon, caption, close box),
// its client area and its controls, each where the runtime's layout puts it. The build writes
// the start-up window into the page from these parts (make_shell.js, as markup), and the page
// script builds every window from them (web_windows.js, as elements): the window the page shows
// before the program runs is the one the program would draw, and the program takes it over.
//
// A part is [tag, attributes, ...children], each child a part or a text. The parts hold what is
// seen and the names that come with it; the tab order, the picture boxes' names and the clicks
// are the program's, added as it takes a window (web_windows.js).
//
// The page's copy goes through Emscripten 3.1.6's script optimiser, which loses array
// destructuring in declarations and cannot read object spread: neither is used here.

var vorekWindowParts = (function () {
  'use strict';

  const place = (rect) =>
    `left:${rect[0]}px;top:${rect[1]}px;width:${rect[2]}px;height:${rect[3]}px`;

  // `urlOf(name)`: the picture file `name` as the page carries it; `closeName`: the close box's.
  function titleBar(caption, icon, urlOf, closeName) {
    const bar = ['div', { class: 'titlebar' }];
    if (icon) bar.push(['img', { class: 'icon', alt: '', 'data-picture': icon, src: urlOf(icon) }]);
    bar.push(['span', { class: 'caption' }, caption],
      // Out of the tab order, as a window system's close box is.
      ['button', { type: 'button', class: 'close', tabindex: '-1', 'aria-label': closeName },
        '\u2715']);
    return bar;
  }

  // A control of kind 'picture', 'button', 'label' or 'frame'; `rect` is [left, top, width,
  // height] in the client area.
  function control({ name, kind, rect, caption, picture, centred }, urlOf) {
    const at = (attributes) => Object.assign(attributes, { 'data-name': name, style: place(rect) });
    if (kind === 'picture') {
      return ['div', at({ class: 'picture' }),
        ['img', { alt: '', draggable: 'false', 'data-picture': picture, src: urlOf(picture) }]];
    }
    if (kind === 'button') return ['button', at({ type: 'button', class: 'button' }), caption];
    if (kind === 'label') {
      return ['div', at({ class: centred ? 'label centred' : 'label' }), caption];
    }
    return ['div', Object.assign(at({ class: 'frame' }), { role: 'group', 'aria-label': caption }),
      ['div', { class: 'frame-border' }], ['span', { class: 'frame-caption' }, caption]];
  }

  // A window, hidden until it is placed. `shell`: the start-up window the page shows before the
  // program runs, in front and marked for the program to take over.
  function windowPart({ name, caption, icon, width, height, closeName, controls = [] }, urlOf,
                      shell = false) {
    const attributes = { class: shell ? 'window active' : 'window', 'data-form': name,
                         role: 'dialog', 'aria-label': caption, style: 'visibility:hidden' };
    if (shell) attributes['data-shell'] = '';
    return ['section', attributes, titleBar(caption, icon, urlOf, closeName),
      ['div', { class: 'client', style: `width:${width}px;height:${height}px` }]
        .concat(controls.map((row) => control(row, urlOf)))];
  }

  return { titleBar, control, window: windowPart };
})();

if (typeof module !== 'undefined') module.exports = vorekWindowParts;
