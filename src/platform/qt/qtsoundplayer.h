// Plays the cues with QSoundEffect, from files looked up beside the executable.
#pragma once

#include "platform/services.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QSoundEffect;

namespace pellorin {

class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT

public:
    // The directory is asked for at every request; by default it is the
    // executable's own.
    explicit QtSoundPlayer(std::function<QString()> directory = {}, QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    std::int32_t play(Cue cue) override;

    // A cue file larger than this is not a short cue; it is left silent
    // rather than read whole into memory.
    static constexpr qint64 MaxCueBytes = 16 * 1024 * 1024;

private:
    // One effect per cue, kept while its file stays the same so that a
    // repeated request costs no reload.
    struct Channel {
        QSoundEffect* effect = nullptr;
        QString path;
        qint64 size = -1;
        QDateTime modified;
        bool playable = false;   // the header looked like a WAV we can play
        bool pending = false;    // requested while still loading
        QElapsedTimer requested; // when the pending request was made
    };

    Channel& channel(Cue cue) { return m_channels[cue == Cue::Clear ? 0 : 1]; }
    void stopAll();
    void reload(Channel& channel, const QString& path, qint64 size, const QDateTime& modified);
    void release(Channel& channel);
    void onStatusChanged(Channel& channel);

    std::function<QString()> m_directory;
    std::array<Channel, 2> m_channels;
};

} // namespace pellorin
