// The design values every shell needs, given once here: the client area, the
// codes of cursors, buttons and modifier keys, and the pictures with the files
// of their renderings.
#pragma once

#include "platform/services.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellorin::design {

// The client area, in pixels: the black ground the sprites stand on.
inline constexpr int ClientWidth = 414;
inline constexpr int ClientHeight = 413;

// Mouse buttons, as the handlers take them: the one that was pressed, or a
// sum of those held.
inline constexpr std::int16_t LeftButton = 1;
inline constexpr std::int16_t RightButton = 2;
inline constexpr std::int16_t MiddleButton = 4;

// Modifier keys held, summed.
inline constexpr std::int16_t ShiftKey = 1;
inline constexpr std::int16_t ControlKey = 2;
inline constexpr std::int16_t AltKey = 4;

// The cursors a shell must be able to show, by name.
struct NamedCursor {
    std::string_view name;
    CursorCode code;
};
inline constexpr std::array<NamedCursor, 4> Cursors{{{"default", CursorCode::Default},
                                                     {"sizeNS", CursorCode::SizeNS},
                                                     {"sizeWE", CursorCode::SizeWE},
                                                     {"noDrop", CursorCode::NoDrop}}};

// The six ball pictures of the bank, in bank order 1 to 6.
inline constexpr std::array<std::string_view, 6> Pictures{"red", "yellow", "green", "blue", "magenta", "orange"};

// Each picture is drawn at these device pixels per client pixel.
inline constexpr std::array<int, 3> RenderingScales{1, 2, 3};

// The file of a picture's rendering, relative to the assets folder (and to
// the browser game's site): tiles/red.png, tiles/red@2x.png...
std::string renderingPath(std::string_view picture, int scale);

// All of the above as one JSON object, for the browser page.
std::string json();

} // namespace pellorin::design
