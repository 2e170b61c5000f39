// web_host.js: the functions the web host's C++ calls, each handing over to the page script.
/* global mergeInto, LibraryManager, VorekPage, UTF8ToString, Asyncify, HEAP32 */

mergeInto(LibraryManager.library, {
  vorek_js_program_icon: function (name) {
    VorekPage.setProgramIcon(UTF8ToString(name));
  },
  vorek_js_window_create: function (slot, generation, name, caption, icon, width, height) {
    VorekPage.createWindow(slot, generation, UTF8ToString(name), UTF8ToString(caption),
                           UTF8ToString(icon), width, height);
  },
  vorek_js_control_create: function (slot, index, name, kind, left, top, width, height,
                                     focusable, caption, picture, accessible, centred, clickable) {
    VorekPage.createControl(slot, index, UTF8ToString(name), kind, left, top, width, height,
                            focusable !== 0, UTF8ToString(caption), UTF8ToString(picture),
                            UTF8ToString(accessible), centred !== 0, clickable !== 0);
  },
  vorek_js_window_order: function (slot, table, rows) {
    const all = Array.from(HEAP32.subarray(table >> 2, (table >> 2) + 3 * rows + 2));
    VorekPage.order(slot, all.slice(0, 2 * rows + 2), all.slice(2 * rows + 2));
  },
  vorek_js_window_measure: function (slot, sizes) {
    const measured = VorekPage.measure(slot);
    if (!measured) return 0;
    HEAP32.set(measured, sizes >> 2);
    return 1;
  },
  vorek_js_window_place: function (slot, left, top) { VorekPage.place(slot, left, top); },
  vorek_js_window_show: function (slot) { VorekPage.show(slot); },
  vorek_js_window_remove: function (slot) { VorekPage.remove(slot); },
  vorek_js_control_move: function (slot, index, left, top) {
    VorekPage.move(slot, index, left, top);
  },
  vorek_js_control_caption: function (slot, index, caption) {
    VorekPage.setCaption(slot, index, UTF8ToString(caption));
  },
  // The program's handler waits here, unwound by Asyncify, until the player closes the box.
  vorek_js_box: function (prompt, title, error) {
    const text = UTF8ToString(prompt);
    const caption = UTF8ToString(title);
    return Asyncify.handleSleep(function (wakeUp) {
      VorekPage.box(text, caption, error !== 0).then(function () { wakeUp(); });
    });
  },
  vorek_js_end: function (status) { VorekPage.end(status); },
});
