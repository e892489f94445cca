// The design values every shell needs.
#include "window/design.h"

namespace pellorin::design {

std::string renderingPath(std::string_view picture, int scale)
{
    std::string path = "tiles/";
    path += picture;
    if (scale != 1)
        path += "@" + std::to_string(scale) + "x";
    return path + ".png";
}

namespace {

std::string jsonString(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

} // namespace

std::string json()
{
    std::string out = "{\"clientWidth\":" + std::to_string(ClientWidth)
        + ",\"clientHeight\":" + std::to_string(ClientHeight) + ",\"buttons\":{\"left\":" + std::to_string(LeftButton)
        + ",\"right\":" + std::to_string(RightButton) + ",\"middle\":" + std::to_string(MiddleButton)
        + "},\"keys\":{\"shift\":" + std::to_string(ShiftKey) + ",\"control\":" + std::to_string(ControlKey)
        + ",\"alt\":" + std::to_string(AltKey) + "},\"cursors\":{";
    for (std::size_t i = 0; i < Cursors.size(); ++i)
        out += (i ? "," : "") + jsonString(Cursors[i].name) + ":" + std::to_string(static_cast<int>(Cursors[i].code));
    out += "},\"pictures\":[";
    for (std::size_t i = 0; i < Pictures.size(); ++i) {
        out += (i ? ",{" : "{") + std::string("\"name\":") + jsonString(Pictures[i]) + ",\"renderings\":{";
        for (std::size_t s = 0; s < RenderingScales.size(); ++s)
            out += (s ? "," : "") + jsonString(std::to_string(RenderingScales[s])) + ":"
                + jsonString(renderingPath(Pictures[i], RenderingScales[s]));
        out += "}}";
    }
    return out + "]}";
}

} // namespace pellorin::design
