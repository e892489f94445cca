// The design values every shell needs, given once here: the client area, the
// codes of cursors, buttons, modifier keys and board keys, the pictures, the
// menu and the option names. Every room may read them: this one reads none.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellorin {

// Cursor codes of the window.
enum class CursorCode : std::int16_t {
    Default = 0,
    SizeNS = 7,  // north-south double arrow: over a vertical gap
    SizeWE = 9,  // west-east double arrow: over a horizontal gap
    NoDrop = 12, // circle with a bar: a press here does nothing
};

} // namespace pellorin

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

// The six ball pictures of the bank, in bank order 1 to 6. The tile painter
// (tiles/tilepainter.h) paints each at any size.
inline constexpr std::array<std::string_view, 6> Pictures{"red", "yellow", "green", "blue", "magenta", "orange"};

// The keys that play the board, as Game::key takes them.
enum class Key : std::int16_t { Left = 1, Right, Up, Down, Space, Enter, Escape };
struct NamedKey {
    std::string_view name;
    Key key;
};
inline constexpr std::array<NamedKey, 7> Keys{{{"left", Key::Left},
                                               {"right", Key::Right},
                                               {"up", Key::Up},
                                               {"down", Key::Down},
                                               {"space", Key::Space},
                                               {"enter", Key::Enter},
                                               {"escape", Key::Escape}}};

// The menu bar's one menu. A caption marks its access key with "&"; an item
// without a command is a separator. The names are the menu's and items' own,
// by which tests and tools find them.
enum class Command : std::int16_t { None = 0, NewGame = 1, Quit = 2 };
struct MenuItem {
    std::string_view name;
    std::string_view caption;
    Command command;
};
inline constexpr MenuItem Menu{"mnuMeny", "&Meny", Command::None};
inline constexpr std::array<MenuItem, 3> MenuItems{{{"mnuNytt", "&Nytt spel", Command::NewGame},
                                                    {"mnuTomt", "-", Command::None},
                                                    {"mnuAvsluta", "&Avsluta", Command::Quit}}};

// A caption without its "&", and the character the "&" marks (0 for none).
std::string plainCaption(std::string_view caption);
char accessKey(std::string_view caption);

// The option that puts a symbol on every tile: "--symbols" on a command line,
// its name alone ("symbols") in a page's address.
inline constexpr std::string_view SymbolsOption = "--symbols";
constexpr std::string_view symbolsName()
{
    return SymbolsOption.substr(2);
}

} // namespace pellorin::design
