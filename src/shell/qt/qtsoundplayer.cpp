// Plays the cues through a QAudioSink, from WAV files looked up beside the
// executable at every request.
//
// QSoundEffect is not used: in Qt 6.4 its shared sample cache can leave a
// sample loading forever (an empty or header-only file, or two effects made
// while its loader thread winds down), and destroying any effect then waits
// for that thread without end, which hangs the game when it quits. A cue is
// short; libsndfile decodes any WAV encoding of it into 16-bit samples, once
// per version of the file, and the sink plays them in the background.
#include "shell/qt/qtsoundplayer.h"

#include "sound/cue.h"
#include "sound/wavdecoder.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QTimer>

#include <filesystem>

namespace pellorin {
namespace {
// How long after its end a played cue keeps the audio output.
constexpr qint64 ReleaseMarginMs = 250;
} // namespace

QtSoundPlayer::QtSoundPlayer(std::function<QString()> directory, QObject* parent)
    : QObject(parent)
    , m_directory(directory ? std::move(directory) : [] { return QCoreApplication::applicationDirPath(); })
{
}

QtSoundPlayer::~QtSoundPlayer()
{
    stop();
}

std::int32_t QtSoundPlayer::play(Cue cue)
{
    // A newer request cuts off whatever still plays, even when it fails.
    stop();

    const std::filesystem::path dir(m_directory().toStdU16String());
    const QString path = QString::fromStdU16String(cuePath(dir, cue).u16string());
    const QFileInfo info(path);
    Clip& c = clip(cue);
    if (!info.isFile() || !info.isReadable() || info.size() > MaxCueBytes) {
        c = Clip{};
        return 0;
    }
    // Looked up afresh each time: a file mended, replaced or deleted while
    // the game runs is picked up at the next request.
    if (c.path != path || c.size != info.size() || c.modified != info.lastModified())
        load(c, path, info.size(), info.lastModified());
    if (!c.playable)
        return 0;

    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull() || !output.isFormatSupported(c.format))
        return 0;
    // A sink per request, whose buffer holds the whole cue, written at once:
    // Qt 6.4's PulseAudio sink stalls on a short clip that it is left to pull
    // in pieces, and plays nothing when started again after a stop.
    m_sink = new QAudioSink(output, c.format, this);
    m_sink->setBufferSize(c.samples.size());
    QIODevice* input = m_sink->start();
    if (!input || input->write(c.samples) != c.samples.size())
        return 0;
    // Let go of the output once the cue has played out. The sink reports Idle
    // before its first samples sound, so the cue's length decides instead.
    const qint64 playMs = c.format.durationForBytes(static_cast<qint32>(c.samples.size())) / 1000;
    QTimer::singleShot(playMs + ReleaseMarginMs, m_sink, [this, sink = m_sink] {
        if (m_sink == sink)
            stop();
    });
    return m_sink->error() == QAudio::NoError ? 1 : 0;
}

void QtSoundPlayer::stop()
{
    if (m_sink) {
        m_sink->stop();
        m_sink->deleteLater(); // stop() also runs from a timer owned by the sink
        m_sink = nullptr;
    }
}

// Reads the whole file once and keeps its samples if it decodes.
void QtSoundPlayer::load(Clip& c, const QString& path, qint64 size, const QDateTime& modified)
{
    c = Clip{};
    c.path = path;
    c.size = size;
    c.modified = modified;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const auto pcm = decodeWav(std::as_bytes(std::span(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
    if (!pcm)
        return;

    c.format.setSampleRate(pcm->sampleRate);
    c.format.setChannelCount(pcm->channels);
    c.format.setSampleFormat(QAudioFormat::Int16);
    c.samples = QByteArray(reinterpret_cast<const char*>(pcm->samples.data()),
                           static_cast<qsizetype>(pcm->samples.size() * sizeof(std::int16_t)));
    c.playable = true;
}

} // namespace pellorin
