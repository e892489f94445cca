// The design values every shell needs.
#include "window/design.h"

namespace pellorin::design {

std::string renderingPath(std::string_view picture, int scale)
{
    std::string path = "tiles/";
    path.append(picture);
    if (scale != 1) {
        path.append("@");
        path.append(std::to_string(scale));
        path.append("x");
    }
    path.append(".png");
    return path;
}

namespace {

// Appends pieces one by one (gcc 12 warns falsely about chains of string +).
void add(std::string& out, std::string_view piece)
{
    out.append(piece);
}

void addString(std::string& out, std::string_view text)
{
    add(out, "\"");
    add(out, text);
    add(out, "\"");
}

void addField(std::string& out, std::string_view name, int value, bool first = false)
{
    add(out, first ? "" : ",");
    addString(out, name);
    add(out, ":");
    add(out, std::to_string(value));
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
    add(out, "},\"cursors\":{");
    for (std::size_t i = 0; i < Cursors.size(); ++i)
        addField(out, Cursors[i].name, static_cast<int>(Cursors[i].code), i == 0);
    add(out, "},\"pictures\":[");
    for (std::size_t i = 0; i < Pictures.size(); ++i) {
        add(out, i == 0 ? "{\"name\":" : ",{\"name\":");
        addString(out, Pictures[i]);
        add(out, ",\"renderings\":{");
        for (std::size_t k = 0; k < RenderingScales.size(); ++k) {
            add(out, k == 0 ? "" : ",");
            addString(out, std::to_string(RenderingScales[k]));
            add(out, ":");
            addString(out, renderingPath(Pictures[i], RenderingScales[k]));
        }
        add(out, "}}");
    }
    add(out, "]}");
    return out;
}

} // namespace pellorin::design
