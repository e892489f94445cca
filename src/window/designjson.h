// The design's values as one JSON object, for the browser page and for tests
// that must not retype them.
#pragma once

#include <string>

namespace pellorin::design {

// The client area, the codes of buttons, modifiers, board keys and cursors,
// the pictures with their face colours and colour words, the cue files, the
// menu with each item's label and access key, the board's and the keyboard
// frame's geometry, the board's name and the symbols option's name.
std::string json();

} // namespace pellorin::design
