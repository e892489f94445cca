// The words a screen reader says of the game.
#include "speech/words.h"

#include <array>

namespace pellorin::words {
namespace {

// Appends pieces one by one (gcc 12 warns falsely about chains of string +).
std::string text(std::initializer_list<std::string_view> pieces)
{
    std::string out;
    for (const std::string_view piece : pieces)
        out.append(piece);
    return out;
}

std::string place(int number)
{
    const board::Cell place = board::cellOf(number);
    return text({"rad ", std::to_string(place.row), ", kolumn ", std::to_string(place.column)});
}

} // namespace

std::string_view colour(int picture)
{
    static constexpr std::array<std::string_view, 6> Colours{"röd", "gul", "grön", "blå", "magenta", "orange"};
    if (picture < 1 || picture > static_cast<int>(Colours.size()))
        return "tom";
    return Colours[static_cast<std::size_t>(picture - 1)];
}

std::string cell(int number, int picture)
{
    std::string name = text({place(number), ": ", colour(picture)});
    name[0] = 'R';
    return name;
}

std::string swapped(int first, int second)
{
    return text({"Bytte ", colour(first), " och ", colour(second)});
}

std::string emptied(board::Line line, int number)
{
    switch (line) {
    case board::Line::Column:
        return text({"Tömde kolumn ", std::to_string(number)});
    case board::Line::Row:
        return text({"Tömde rad ", std::to_string(number)});
    case board::Line::MainDiagonal:
        return "Tömde diagonalen från övre vänstra hörnet";
    case board::Line::AntiDiagonal:
        break;
    }
    return "Tömde diagonalen från nedre vänstra hörnet";
}

std::string held(int number, int picture)
{
    return text({"Håller ", place(number), ": ", colour(picture)});
}

std::string letGo(int number)
{
    return text({"Släppte ", place(number)});
}

std::string joined(const std::string& first, std::string_view next)
{
    if (first.empty())
        return std::string(next);
    return text({first, ". ", next});
}

} // namespace pellorin::words
