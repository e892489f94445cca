// The functions the game calls in the page: each hands its arguments to the
// page's own object, passed in as Module.page when the game is created.
mergeInto(LibraryManager.library, {
  pellorin_page_begin: function (left, top, width, height) { Module.page.begin(left, top, width, height); },
  pellorin_page_fill: function (left, top, width, height, red, green, blue) { Module.page.fill(left, top, width, height, red, green, blue); },
  pellorin_page_draw_tile: function (picture, left, top, size) { Module.page.drawTile(picture, left, top, size); },
  pellorin_page_end: function () { Module.page.end(); },
  pellorin_page_cursor: function (code) { Module.page.cursor(code); },
  pellorin_page_start_ticking: function (timer, interval) {
    Module.page.startTicking(timer, interval, function () { Module['_pellorin_tick'](timer); });
  },
  pellorin_page_stop_ticking: function (timer) { Module.page.stopTicking(timer); },
  pellorin_page_play: function (file) { return Module.page.play(UTF8ToString(file)); },
  pellorin_page_announce: function (words) { Module.page.announce(UTF8ToString(words)); },
  pellorin_page_focus_cell: function (cell) { Module.page.focusCell(cell); },
  pellorin_page_name_cell: function (cell, name) { Module.page.nameCell(cell, UTF8ToString(name)); },
  pellorin_page_close: function () { Module.page.close(); },
});
