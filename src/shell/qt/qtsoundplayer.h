// Plays the cues through a QAudioSink, from WAV files looked up beside the
// executable at every request.
#pragma once

#include "platform/services.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QAudioSink;

namespace pellorin {

class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtSoundPlayer)

public:
    // The directory is asked for at every request; by default it is the
    // executable's own.
    explicit QtSoundPlayer(std::function<QString()> directory = {}, QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    // Returns 1 when the cue's file holds a playable sound and it was handed
    // to the audio output, 0 when the request ends in silence: no file, a
    // broken one, or no audio output.
    std::int32_t play(Cue cue) override;

    // Whether the cue's file, as last looked at, holds a sound we can play.
    bool playable(Cue cue) const { return clip(cue).playable; }

    // A cue file larger than this is not a short cue; it is left silent
    // rather than read into memory.
    static constexpr qint64 MaxCueBytes = pellorin::MaxCueBytes;

private:
    // A cue's samples, kept while its file stays the same so that a repeated
    // request reads nothing.
    struct Clip {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        bool playable = false;
        QAudioFormat format;
        QByteArray samples;
    };

    Clip& clip(Cue cue) { return m_clips[cue == Cue::Clear ? 0 : 1]; }
    const Clip& clip(Cue cue) const { return m_clips[cue == Cue::Clear ? 0 : 1]; }
    static void load(Clip& clip, const QString& path, qint64 size, const QDateTime& modified);
    void stop();

    std::function<QString()> m_directory;
    std::array<Clip, 2> m_clips;
    QAudioSink* m_sink = nullptr; // the one playing, if any
};

} // namespace pellorin
