// The design values every shell needs.
#include "window/design.h"

#include "sound/cue.h"

namespace pellorin::design {

std::string plainCaption(std::string_view caption)
{
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

char accessKey(std::string_view caption)
{
    const std::size_t at = caption.find('&');
    return at != std::string_view::npos && at + 1 < caption.size() ? caption[at + 1] : '\0';
}

namespace {

// Appends pieces one by one (gcc 12 warns falsely about chains of string +).
void add(std::string& out, std::string_view piece)
{
    out.append(piece);
}

// The design's strings hold no quote, backslash or control character, so
// they stand in JSON as they are.
void addString(std::string& out, std::string_view text)
{
    add(out, "\"");
    add(out, text);
    add(out, "\"");
}

void addName(std::string& out, std::string_view name, bool first)
{
    add(out, first ? "" : ",");
    addString(out, name);
    add(out, ":");
}

void addField(std::string& out, std::string_view name, int value, bool first = false)
{
    addName(out, name, first);
    add(out, std::to_string(value));
}

void addField(std::string& out, std::string_view name, std::string_view value, bool first = false)
{
    addName(out, name, first);
    addString(out, value);
}

void addItem(std::string& out, const MenuItem& item)
{
    add(out, "{");
    addField(out, "name", item.name, true);
    addField(out, "caption", item.caption);
    addField(out, "command", static_cast<int>(item.command));
    add(out, "}");
}

} // namespace

std::string json()
{
    std::string out = "{";
    addField(out, "clientWidth", ClientWidth, true);
    addField(out, "clientHeight", ClientHeight);
    add(out, ",\"buttons\":{");
    addField(out, "left", LeftButton, true);
    addField(out, "right", RightButton);
    addField(out, "middle", MiddleButton);
    add(out, "},\"keys\":{");
    addField(out, "shift", ShiftKey, true);
    addField(out, "control", ControlKey);
    addField(out, "alt", AltKey);
    add(out, "},\"boardKeys\":{");
    for (std::size_t i = 0; i < Keys.size(); ++i)
        addField(out, Keys[i].name, static_cast<int>(Keys[i].key), i == 0);
    add(out, "},\"cursors\":{");
    for (std::size_t i = 0; i < Cursors.size(); ++i)
        addField(out, Cursors[i].name, static_cast<int>(Cursors[i].code), i == 0);
    add(out, "},\"pictures\":[");
    for (std::size_t i = 0; i < Pictures.size(); ++i) {
        add(out, i == 0 ? "" : ",");
        addString(out, Pictures[i]);
    }
    add(out, "],\"cues\":[");
    for (std::size_t i = 0; i < AllCues.size(); ++i) {
        add(out, i == 0 ? "" : ",");
        addString(out, cueFileName(AllCues[i]));
    }
    add(out, "],\"menu\":");
    addItem(out, Menu);
    add(out, ",\"menuItems\":[");
    for (std::size_t i = 0; i < MenuItems.size(); ++i) {
        add(out, i == 0 ? "" : ",");
        addItem(out, MenuItems[i]);
    }
    add(out, "]}");
    return out;
}

} // namespace pellorin::design
