// Picture sprites as plain data, and the indexed families that hold them.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pellorin {

// What a sprite shows: one of the bank's pictures, known by its name and by
// its index in the bank, 1 to 6. The shell draws it as the tile painter paints
// that index.
struct PictureData {
    std::string name;
    int bankIndex = 0;
};

// A shared reference to a picture. Assigning one sprite's picture to another
// copies the reference, never the image, so two sprites show the same colour
// exactly when their references are equal.
using PictureRef = std::shared_ptr<const PictureData>;

// A positioned picture. Coordinates are single-precision client pixels; a
// sprite does not stretch its picture, so Width and Height are the picture's.
struct Sprite {
    float Left = 0.0f;
    float Top = 0.0f;
    float Width = 32.0f;
    float Height = 32.0f;
    bool Visible = false;
    PictureRef Picture;

    // True when the point lies on the sprite: the left and top edges belong
    // to it, the right and bottom edges to whatever lies beyond.
    bool covers(float x, float y) const { return Left <= x && x < Left + Width && Top <= y && y < Top + Height; }

    friend bool operator==(const Sprite&, const Sprite&) = default;
};

// Sprites addressed by a small index. Member 0 comes from the design; member k
// is loaded later as a hidden copy of member 0. Addressing a member that does
// not exist is a programming error and throws, so it can never go unnoticed.
class SpriteFamily {
public:
    // designMembers are the members that exist from the start, member 0 first.
    SpriteFamily(int highestIndex, std::vector<Sprite> designMembers)
        : m_members(static_cast<std::size_t>(highestIndex) + 1)
    {
        for (std::size_t k = 0; k < designMembers.size(); ++k)
            m_members.at(k) = std::move(designMembers[k]);
    }

    // Brings member k into being as a copy of member 0, not visible.
    void load(int k)
    {
        auto& slot = m_members.at(static_cast<std::size_t>(k));
        if (k == 0 || slot)
            throw std::logic_error("sprite family member loaded twice");
        slot = *m_members[0];
        slot->Visible = false;
    }

    bool exists(int k) const
    {
        return k >= 0 && static_cast<std::size_t>(k) < m_members.size() && m_members[static_cast<std::size_t>(k)];
    }

    Sprite& operator[](int k) { return *m_members[checked(k)]; }
    const Sprite& operator[](int k) const { return *m_members[checked(k)]; }

    int highestIndex() const { return static_cast<int>(m_members.size()) - 1; }

private:
    std::size_t checked(int k) const
    {
        if (!exists(k))
            throw std::out_of_range("sprite family member does not exist: " + std::to_string(k));
        return static_cast<std::size_t>(k);
    }

    std::vector<std::optional<Sprite>> m_members;
};

} // namespace pellorin
