// Sound that waits for the first frame.
#include "shell/qt/lazysound.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace pellorin {

void LazySoundPlayer::load()
{
    if (m_tried)
        return;
    m_tried = true;
    // Never unloaded: Qt Multimedia keeps threads and state of its own.
    QLibrary module(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(PELLORIN_SOUND_MODULE)));
    using Make = SoundPlayer* (*)();
    if (const auto make = reinterpret_cast<Make>(module.resolve("pellorin_sound_player")))
        m_player.reset(make());
    if (m_player && m_waiting)
        m_player->play(*m_waiting);
    m_waiting.reset();
}

std::int32_t LazySoundPlayer::play(Cue cue)
{
    if (m_player)
        return m_player->play(cue);
    if (m_tried)
        return 0;
    m_waiting = cue;
    return 1;
}

} // namespace pellorin
