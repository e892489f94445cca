// Sound that waits for the first frame: the cue player lives in a module of
// its own, loaded once the window shows, so that the libraries it needs cost
// nothing before the board appears.
#pragma once

#include "platform/services.h"

#include <memory>
#include <optional>

namespace pellorin {

class LazySoundPlayer final : public SoundPlayer {
public:
    // Loads the module from the executable's folder, once, and plays a cue
    // asked for before (the first deal's). A module that cannot be loaded
    // leaves the game silent.
    void load();
    bool loaded() const { return m_player != nullptr; }

    // Plays at once when loaded; before that the latest cue waits for the
    // module, and 1 says it was taken. 0 when silent.
    std::int32_t play(Cue cue) override;

private:
    std::unique_ptr<SoundPlayer> m_player;
    std::optional<Cue> m_waiting;
    bool m_tried = false;
};

} // namespace pellorin
