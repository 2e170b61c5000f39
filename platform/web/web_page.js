// web_page.js: the page side of the web host: the player's clicks handed to the runtime one at a
// time, the frames that show them, the modal box and the end of the program. The windows are
// drawn by web_windows.js.
/* global Module, ccall, addRunDependency, removeRunDependency, abort, vorekWindows,
   vorekCannotRun, vorekKey, vorekTexts */

var VorekPage = (function () {
  'use strict';

  const page = {
    state: 'starting',    // 'starting', 'running' or 'ended'
    busy: false,          // a call into the program is running (or waiting on the box)
    boxOpen: false,
    events: 0,
    frames: 0,
    lastInput: 0,
    windows: new Map(),   // slot -> window record
    programIcon: '',
    topZ: 10,
  };

  const body = () => document.body;
  const desktop = () => document.getElementById('desktop');

  function setFlag(name, value) { body().dataset[name] = String(value); }

  // Tells whoever listens (a benchmark) of a moment, as it happens; the page keeps nothing of it.
  function announce(name, detail) { document.dispatchEvent(new CustomEvent(name, { detail })); }

  const windows = vorekWindows(page, refusing, deliver);
  const { titleBar, focusWindow, remove, dropShell } = windows;

  // --- events: one at a time, never while the box is open, never after the end ---

  function refusing() {
    // Input made while a handler ran is dispatched by the browser once it returns, and is then
    // handled in turn, as on a desktop; only an open box or a paused handler refuses it.
    return page.state !== 'running' || page.busy || page.boxOpen;
  }

  // Settles once the event being handled, if any, has been.
  let handling = Promise.resolve();

  function deliver(event, entry, args) {
    if (refusing()) return;
    page.busy = true;
    setFlag('busy', 1);
    page.lastInput = event.timeStamp;
    const done = () => {
      announce('vorek:handled', { input: event.timeStamp });
      page.busy = false;
      setFlag('busy', 0);
      page.events += 1;
      setFlag('events', page.events);
      markFrame(true);
    };
    let result;
    try {
      result = ccall(entry, null, args.map(() => 'number'), args, { async: true });
    } catch (error) {
      fatal(error);
      return;
    }
    handling = Promise.resolve(result).then(done, fatal);
  }

  // After an event or the start: once new pictures are decoded, the next animation frame shows
  // the result, and a task queued from its callback runs once that frame is drawn. Tests and
  // the benchmark wait on data-frame.
  const decodedImages = new WeakSet();
  function markFrame(fromInput) {
    const images = Array.from(document.querySelectorAll('#desktop img'))
      .filter((img) => !decodedImages.has(img));
    const decoded = images.map((img) => img.decode().then(() => decodedImages.add(img),
                                                         () => undefined));
    const input = page.lastInput;
    Promise.all(decoded).then(() => {
      requestAnimationFrame(() => setTimeout(() => {
        page.frames += 1;
        // A click's frame, or the program's first, after the start-up window the page drew.
        announce('vorek:frame', fromInput ? { input } : { shellFrame: window.vorekShellFrame });
        setFlag('frame', page.frames);
      }, 0));
    });
  }

  // A failure of the page itself (not a runtime error of the program): the end, said as such.
  function fatal(error) {
    console.error(error);
    page.busy = false;
    setFlag('busy', 0);
    end(1);
  }

  // --- the modal box: everything else on the page is inert until it is closed ---

  function box(prompt, title, error) {
    return new Promise((resolve) => {
      page.boxOpen = true;
      setFlag('box', 'open');
      const layer = document.createElement('div');
      layer.id = 'modal';
      const element = document.createElement('section');
      element.className = 'window active msgbox' + (error ? ' error' : '');
      element.setAttribute('role', 'alertdialog');
      element.setAttribute('aria-modal', 'true');
      element.setAttribute('aria-label', title);
      // The box alone is active while it is open; the window in front gets it back after.
      const owner = Array.from(page.windows.values()).find((r) =>
        r.element.classList.contains('active'));
      if (owner) owner.element.classList.remove('active');
      let closed = false;
      const close = (event) => {
        if (event) event.stopPropagation();
        if (closed) return;
        closed = true;
        layer.remove();
        desktop().inert = false;
        page.boxOpen = false;
        setFlag('box', 'closed');
        if (owner && page.windows.get(owner.slot) === owner) {
          owner.element.classList.add('active');
          focusWindow(owner);
        }
        resolve();
      };
      element.appendChild(titleBar(title, '', close));
      const content = document.createElement('div');
      content.className = 'msgbox-body';
      if (error) {
        const sign = document.createElement('div');
        sign.className = 'msgbox-icon';
        sign.textContent = '\u2716';
        sign.setAttribute('aria-hidden', 'true');
        content.appendChild(sign);
      }
      const text = document.createElement('p');
      text.className = 'msgbox-text';
      text.textContent = prompt;
      content.appendChild(text);
      element.appendChild(content);
      const buttons = document.createElement('div');
      buttons.className = 'msgbox-buttons';
      const ok = document.createElement('button');
      ok.type = 'button';
      ok.className = 'button';
      ok.textContent = vorekTexts.ok;
      ok.addEventListener('click', close);
      buttons.appendChild(ok);
      element.appendChild(buttons);
      element.addEventListener('keydown', (event) => {
        if (vorekKey(event) === 'Tab') event.preventDefault();
        if (event.key === 'Escape') close(event);
      });
      // A click beside the box leaves the focus on it, as with a desktop's modal box.
      layer.addEventListener('mousedown', (event) => {
        if (!element.contains(event.target) || event.target === element) event.preventDefault();
      });
      layer.appendChild(element);
      desktop().inert = true;
      body().appendChild(layer);
      ok.focus();
    });
  }

  // --- the end of the program: a quiet page and a way to play again ---

  function end(status) {
    if (page.state === 'ended') return;
    page.state = 'ended';
    for (const slot of Array.from(page.windows.keys())) remove(slot);
    dropShell();
    const modal = document.getElementById('modal');
    if (modal) modal.remove();
    desktop().inert = false;
    const ended = document.getElementById('ended');
    ended.querySelector('.ended-text').textContent =
      status === 0 ? vorekTexts.ended : vorekTexts.endedOnError;
    ended.hidden = false;
    setFlag('status', status);
    setFlag('state', 'ended');
    ended.querySelector('button').focus();
  }

  function started() {
    if (page.state !== 'starting') return;
    dropShell();
    page.state = 'running';
    setFlag('state', 'running');
    markFrame(false);
    const early = window.vorekEarlyInput || [];
    window.vorekEarlyInput = null;
    replay(early);
  }

  // The input made before the program ran, each once its predecessor has been handled: clicks
  // on the controls and close box the program took over, which take the focus as a press does,
  // and the keys, on the control that has the focus by then.
  async function replay(early) {
    for (const input of early) {
      const target = input.control || document.activeElement;
      if (!target || !target.isConnected) continue;
      if (input.control) {
        if (target.tabIndex >= 0) target.focus({ preventScroll: true });
        target.click();
      } else if (input.key === 'Tab') {
        target.dispatchEvent(new KeyboardEvent('keydown', { key: 'Tab', shiftKey: input.shiftKey,
                                                            bubbles: true, cancelable: true }));
      } else if (target.matches('#desktop .button')) {
        target.click();
      }
      await handling;
    }
  }

  function setUp() {
    // Once the start-up window has been on screen (shell.html), its pictures are decoded: the
    // program's first frame need not wait on decoding them again.
    if (window.vorekShellFrame) {
      const shown = document.querySelectorAll('#desktop > [data-shell] img');
      for (const img of shown) decodedImages.add(img);
    }
    setFlag('state', 'starting');
    setFlag('events', 0);
    setFlag('frame', 0);
    document.getElementById('replay').addEventListener('click', () => location.reload());
  }

  return {
    page, setUp, started, box, end, setProgramIcon: windows.setProgramIcon,
    createWindow: windows.createWindow, createControl: windows.createControl,
    order: windows.order, measure: windows.measure, place: windows.place, show: windows.show,
    remove, move: windows.move, setCaption: windows.setCaption,
  };
})();

// The program starts once the page is there: the script may run before the parser is done.
Module['preRun'] = [].concat(Module['preRun'] || [], () => {
  if (document.readyState !== 'loading') {
    VorekPage.setUp();
    return;
  }
  addRunDependency('vorek-page');
  document.addEventListener('DOMContentLoaded', () => {
    VorekPage.setUp();
    removeRunDependency('vorek-page');
  });
});
// Once main has returned (or waits on a box at the start), the page takes the player's input.
Module['postRun'] = [].concat(Module['postRun'] || [], VorekPage.started);
// A program that cannot be compiled, loaded or started: the page says so (shell.html).
Module['onAbort'] = () => vorekCannotRun(false);
// The one-file page compiles its WebAssembly before this script runs (one_file.js); the site's
// page fetches vorek.wasm as Emscripten's loader does.
Module['instantiateWasm'] = (function () {
  const compiled = typeof window !== 'undefined' && window.vorekWasm;
  if (!compiled) return undefined;
  return (imports, receive) => {
    compiled.then((module) => WebAssembly.instantiate(module, imports)
      .then((instance) => receive(instance, module)))
      .catch((error) => abort(`the WebAssembly does not start: ${error}`));
    return {};
  };
})();
