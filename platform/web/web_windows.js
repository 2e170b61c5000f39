// web_windows.js: the windows the web host draws in the page for the runtime: their title bars,
// controls and pictures (web_window_parts.js), their stacking, focus and moving, and the taking
// over of the start-up window the page drew before the program ran (make_shell.js). web_page.js
// makes one set of them, handing over the page's state (its windows, by slot), whether input is
// refused just now, and how a click reaches the program.
/* global vorekKey, vorekPictureUrls, vorekPlace, vorekTexts, vorekWindowParts */

function vorekWindows(page, refusing, deliver) {
  'use strict';

  const parts = vorekWindowParts;
  // The control kinds by the host's codes (web_host.cpp).
  const KINDS = ['picture', 'button', 'label', 'frame'];
  const desktop = () => document.getElementById('desktop');

  // --- pictures: the page carries each once, by file name (make_shell.js), and shows it by the
  // URL the start-up window's images have too (shell.html) ---

  function pictureUrl(name) { return vorekPictureUrls().get(name) || ''; }

  function setProgramIcon(name) {
    page.programIcon = name;
    let link = document.querySelector('link[rel="icon"]');
    if (!link) {
      link = document.createElement('link');
      link.rel = 'icon';
      document.head.appendChild(link);
    }
    link.type = name.endsWith('.ico') ? 'image/x-icon' : 'image/bmp';
    link.href = pictureUrl(name);
  }

  // --- windows ---

  function raise(record) {
    page.topZ += 1;
    record.element.style.zIndex = String(page.topZ);
    for (const other of page.windows.values())
      other.element.classList.toggle('active', other === record);
  }

  // The page opens with no focus rectangle, as a desktop does until the keyboard is used. A
  // window gets back the control it last had focused, or the runtime's first.
  function focusWindow(record) {
    const first = record.steps ? record.controls[record.steps[2 * record.controls.length]] : null;
    const target = record.lastFocus && record.lastFocus.isConnected ? record.lastFocus : first;
    const focusVisible = page.state === 'starting' ? false : undefined;
    if (target) target.focus({ preventScroll: true, focusVisible });
  }

  // Tab and Shift+Tab take the focus where the runtime's steps say, from the focused control or
  // from none (the last row of steps).
  function onKeyDown(record, event) {
    if (vorekKey(event) !== 'Tab' || refusing()) return;
    event.preventDefault();
    const at = record.controls.indexOf(document.activeElement);
    const from = at < 0 ? record.controls.length : at;
    const next = record.controls[record.steps[2 * from + (event.shiftKey ? 1 : 0)]];
    if (next) next.focus();
  }

  // The title bar moves its window; the window stays reachable by its title bar.
  function makeMovable(record, bar) {
    bar.addEventListener('pointerdown', (event) => {
      if (event.button !== 0 || event.target.closest('.close') || refusing()) return;
      const element = record.element;
      const startX = event.clientX - element.offsetLeft;
      const startY = event.clientY - element.offsetTop;
      bar.setPointerCapture(event.pointerId);
      const move = (moved) => vorekPlace(element, moved.clientX - startX, moved.clientY - startY);
      const stop = () => {
        bar.removeEventListener('pointermove', move);
        bar.removeEventListener('pointerup', stop);
        bar.removeEventListener('pointercancel', stop);
      };
      bar.addEventListener('pointermove', move);
      bar.addEventListener('pointerup', stop);
      bar.addEventListener('pointercancel', stop);
    });
  }

  // A part (web_window_parts.js) as an element of the page.
  function build(part) {
    const made = document.createElement(part[0]);
    const attributes = part[1], children = part.slice(2);
    for (const name of Object.keys(attributes)) made.setAttribute(name, attributes[name]);
    made.append(...children.map((child) => (typeof child === 'string' ? child : build(child))));
    return made;
  }

  // A title bar's close box closes its window through `onClose`.
  function closing(bar, onClose) {
    const close = bar.querySelector('.close');
    // Like a window system's close box, it never takes the focus from the window's controls.
    close.addEventListener('mousedown', (event) => event.preventDefault());
    close.addEventListener('click', onClose);
    return bar;
  }

  // The title bar of a window of the page's own (the modal box).
  function titleBar(caption, icon, onClose) {
    return closing(build(parts.titleBar(caption, icon, pictureUrl, vorekTexts.closeBox)), onClose);
  }

  // The start-up window the page drew before the program ran (make_shell.js), if it is `name`'s.
  // Written by the same parts from the same layout, it is the window the program would draw: the
  // program takes it over as it is, where it stands and in front, and shows it at once. Left
  // untouched until then, the browser need not lay it out again as the program starts.
  function shellOf(name) {
    const shell = document.querySelector('#desktop > [data-shell]');
    if (!shell || shell.dataset.form !== name) return null;
    delete shell.dataset.shell;
    return shell;
  }

  function createWindow(slot, generation, name, caption, icon, width, height) {
    const shell = shellOf(name);
    const element = shell || desktop().appendChild(build(parts.window(
      { name, caption, icon: icon || page.programIcon, width, height,
        closeName: vorekTexts.closeBox }, pictureUrl)));
    const client = element.querySelector(':scope > .client');
    // The start-up window's controls, by name.
    const drawn = shell
      ? new Map(Array.from(client.children, (child) => [child.dataset.name, child])) : null;
    const record = { slot, generation, element, client, controls: [], steps: null,
                     lastFocus: null, shown: false, drawn };
    const bar = closing(element.querySelector(':scope > .titlebar'),
                        (event) => deliver(event, 'vorek_close', [slot, generation]));
    element.addEventListener('pointerdown', () => { if (!refusing()) raise(record); }, true);
    element.addEventListener('keydown', (event) => onKeyDown(record, event));
    element.addEventListener('focusin', (event) => { record.lastFocus = event.target; });
    makeMovable(record, bar);
    page.windows.set(slot, record);
  }

  // Every control stands in the client area; `focusable` when the runtime gives it the focus
  // by Tab or a click.
  function createControl(slot, index, name, kind, left, top, width, height, focusable, caption,
                         picture, accessibleName, centred, clickable) {
    const record = page.windows.get(slot);
    // The page drew the start-up window's controls before the program ran.
    const drawn = record.drawn && record.drawn.get(name);
    const element = drawn || record.client.appendChild(build(parts.control(
      { name, kind: KINDS[kind], rect: [left, top, width, height], caption, picture, centred },
      pictureUrl)));
    // The program's own: what takes the focus, and its picture boxes as images a screen reader
    // names.
    if (focusable) element.tabIndex = 0;
    if (KINDS[kind] === 'picture') element.setAttribute('role', 'img');
    if (accessibleName) element.setAttribute('aria-label', accessibleName);
    if (clickable) {
      element.addEventListener('click',
        (event) => deliver(event, 'vorek_click', [slot, record.generation, index]));
    }
    record.controls[index] = element;
  }

  // The runtime's focus steps (see onKeyDown) and pile: `pile[row]` is the row's place from the
  // top.
  function order(slot, steps, pile) {
    const record = page.windows.get(slot);
    record.steps = steps;
    pile.forEach((place, row) => {
      record.controls[row].style.zIndex = String(pile.length - place);
    });
  }

  // [outer width, outer height, page width, page height] for the runtime to place the window;
  // none for the start-up window, which the page placed before the program ran (shell.html).
  function measure(slot) {
    const record = page.windows.get(slot);
    if (record.drawn) return null;
    return [record.element.offsetWidth, record.element.offsetHeight, innerWidth, innerHeight];
  }

  function place(slot, left, top) { vorekPlace(page.windows.get(slot).element, left, top); }

  function show(slot) {
    const record = page.windows.get(slot);
    record.element.style.visibility = 'visible';
    record.shown = true;
    raise(record);
    focusWindow(record);
  }

  function remove(slot) {
    const record = page.windows.get(slot);
    if (!record) return;
    page.windows.delete(slot);
    record.element.remove();
    // The window system activates the window that is now in front.
    let front = null;
    for (const other of page.windows.values()) {
      if (other.shown && (!front || Number(other.element.style.zIndex) >
                                    Number(front.element.style.zIndex))) front = other;
    }
    if (front) {
      raise(front);
      focusWindow(front);
    }
  }

  function move(slot, index, left, top) {
    const element = page.windows.get(slot).controls[index];
    element.style.left = left + 'px';
    element.style.top = top + 'px';
  }

  function setCaption(slot, index, caption) {
    const element = page.windows.get(slot).controls[index];
    if (element.classList.contains('frame')) {
      element.querySelector('.frame-caption').textContent = caption;
      element.setAttribute('aria-label', caption);
    } else {
      element.textContent = caption;
    }
  }

  // A start-up window the program did not take over is not the program's.
  function dropShell() {
    const shell = document.querySelector('#desktop > [data-shell]');
    if (shell) shell.remove();
  }

  return {
    setProgramIcon, raise, focusWindow, titleBar, createWindow, createControl,
    order, measure, place, show, remove, move, setCaption, dropShell,
  };
}
