// The design values every shell needs.
#include "design/design.h"

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

} // namespace pellorin::design
