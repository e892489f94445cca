// The sound module: the cue player with Qt Multimedia and the WAV decoder,
// some two dozen libraries that the game loads once its window shows.
#include "shell/qt/qtsoundplayer.h"

extern "C" Q_DECL_EXPORT pellorin::SoundPlayer* pellorin_sound_player()
{
    return new pellorin::QtSoundPlayer();
}
