// The design's values as one JSON object.
#include "window/designjson.h"

#include "board/board.h"
#include "design/design.h"
#include "input/keyboard.h"
#include "sound/cue.h"
#include "speech/words.h"
#include "tiles/tilepainter.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace pellorin::design {
namespace {

// Builds the object piece by piece (gcc 12 warns falsely about chains of
// string +). The design's strings hold no quote, backslash or control
// character, so they stand in JSON as they are.
class Writer {
public:
    std::string take() { return std::move(m_out); }

    void raw(std::string_view piece) { m_out.append(piece); }
    void string(std::string_view text)
    {
        raw("\"");
        raw(text);
        raw("\"");
    }
    // The shortest text that reads back as the same value: 48 for 48.0.
    void number(double value)
    {
        std::array<char, 32> digits{};
        const int length = std::snprintf(digits.data(), digits.size(), "%.17g", value);
        raw({digits.data(), static_cast<std::size_t>(length)});
    }
    void number(int value) { raw(std::to_string(value)); }

    // Opens an object or array; the first member inside needs no comma.
    void open(char bracket)
    {
        m_out += bracket;
        m_first = true;
    }
    void close(char bracket)
    {
        m_out += bracket;
        m_first = false;
    }
    // The next member or element, with its name inside an object.
    void next(std::string_view name = {})
    {
        if (!m_first)
            raw(",");
        m_first = false;
        if (!name.empty()) {
            string(name);
            raw(":");
        }
    }
    template <class Value>
    void field(std::string_view name, const Value& value)
    {
        next(name);
        if constexpr (std::is_convertible_v<Value, std::string_view>)
            string(value);
        else
            number(value);
    }
    void rgb(std::string_view name, Rgb colour)
    {
        next(name);
        open('[');
        for (const std::uint8_t channel : {colour.red, colour.green, colour.blue}) {
            next();
            number(int{channel});
        }
        close(']');
    }

private:
    std::string m_out;
    bool m_first = true;
};

void item(Writer& out, std::string_view name, const MenuItem& item)
{
    out.next(name);
    out.open('{');
    out.field("name", item.name);
    out.field("caption", item.caption);
    out.field("label", plainCaption(item.caption));
    const char key = accessKey(item.caption);
    out.field("accessKey", std::string(key ? 1 : 0, static_cast<char>(std::tolower(static_cast<unsigned char>(key)))));
    out.field("command", static_cast<int>(item.command));
    out.close('}');
}

} // namespace

std::string json()
{
    Writer out;
    out.open('{');
    out.field("clientWidth", ClientWidth);
    out.field("clientHeight", ClientHeight);

    out.next("buttons");
    out.open('{');
    out.field("left", LeftButton);
    out.field("right", RightButton);
    out.field("middle", MiddleButton);
    out.close('}');
    out.next("keys");
    out.open('{');
    out.field("shift", ShiftKey);
    out.field("control", ControlKey);
    out.field("alt", AltKey);
    out.close('}');
    out.next("boardKeys");
    out.open('{');
    for (const NamedKey& key : Keys)
        out.field(key.name, static_cast<int>(key.key));
    out.close('}');
    out.next("cursors");
    out.open('{');
    for (const NamedCursor& cursor : Cursors)
        out.field(cursor.name, static_cast<int>(cursor.code));
    out.close('}');

    out.next("pictures");
    out.open('[');
    for (const std::string_view picture : Pictures)
        out.field({}, picture);
    out.close(']');
    out.next("faces");
    out.open('[');
    for (const tiles::TileColours& colours : tiles::palette())
        out.rgb({}, colours.face);
    out.close(']');
    out.next("colours");
    out.open('[');
    for (int picture = 1; picture <= board::Colours; ++picture)
        out.field({}, words::colour(picture));
    out.close(']');
    out.next("cues");
    out.open('[');
    for (const Cue cue : AllCues)
        out.field({}, cueFileName(cue));
    out.close(']');

    item(out, "menu", Menu);
    out.next("menuItems");
    out.open('[');
    for (const MenuItem& menuItem : MenuItems)
        item(out, {}, menuItem);
    out.close(']');

    out.next("board");
    out.open('{');
    out.field("rows", board::Rows);
    out.field("columns", board::Columns);
    out.field("pitch", board::Pitch);
    out.field("margin", board::Margin);
    out.field("tileSize", static_cast<double>(board::TileSize));
    out.close('}');
    out.next("frame");
    out.open('{');
    out.field("gap", static_cast<double>(Keyboard::FrameGap));
    out.field("width", static_cast<double>(Keyboard::FrameWidth));
    out.field("heldWidth", static_cast<double>(Keyboard::HeldFrameWidth));
    out.rgb("colour", Keyboard::FrameColour);
    out.close('}');
    out.field("boardName", words::Board);
    out.field("cellAction", words::CellAction);
    out.field("symbols", symbolsName());
    out.field("symbolsOption", SymbolsOption);
    out.close('}');
    return out.take();
}

} // namespace pellorin::design
