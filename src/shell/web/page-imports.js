// The functions the game calls in the page: each hands its arguments to the
// page's own object, passed in as Module.page when the game is created.
mergeInto(LibraryManager.library, {
  pellorin_page_picture: function (index, name) { Module.page.picture(index, UTF8ToString(name)); },
  pellorin_page_clear: function (left, top, width, height) { Module.page.clear(left, top, width, height); },
  pellorin_page_draw: function (picture, left, top, width, height) { Module.page.draw(picture, left, top, width, height); },
  pellorin_page_done: function () { Module.page.done(); },
  pellorin_page_cursor: function (code) { Module.page.cursor(code); },
  pellorin_page_play: function (file) { return Module.page.play(UTF8ToString(file)); },
  pellorin_page_ticking: function (running) { Module.page.ticking(running !== 0); },
  pellorin_page_unload: function () { Module.page.unload(); },
});
