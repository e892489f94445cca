// Plays the cues with QSoundEffect, from files looked up beside the executable.
//
// Two traps of QSoundEffect shape this class. An empty or header-only WAV
// never leaves the Loading status, and play() then claims to be playing; so
// a file's header is checked before the effect ever sees it, and the effect
// plays only once it is Ready. An effect that reached Error stays there until
// it is recreated; so an effect is recreated whenever its file changes, which
// makes a mended file play again at the next request.
#include "platform/qt/qtsoundplayer.h"

#include "sound/cue.h"
#include "sound/wavheader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#include <filesystem>

namespace pellorin {
namespace {

// A request that is still waiting for its file to load after this long has
// lost its moment; it is dropped rather than played late.
constexpr qint64 PendingPlayLimitMs = 250;

// A PCM WAV whose samples are all there: QSoundEffect would wait forever for
// missing ones, and deleting any effect then blocks on its loading thread.
bool looksPlayable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(static_cast<qint64>(WavHeaderProbeBytes));
    WavFormat format;
    return wavFormat(std::as_bytes(std::span(head.constData(), static_cast<std::size_t>(head.size()))), format)
        && format.dataOffset + format.dataBytes <= static_cast<std::uint64_t>(file.size());
}

} // namespace

QtSoundPlayer::QtSoundPlayer(std::function<QString()> directory, QObject* parent)
    : QObject(parent)
    , m_directory(directory ? std::move(directory) : [] { return QCoreApplication::applicationDirPath(); })
{
}

QtSoundPlayer::~QtSoundPlayer()
{
    for (Channel& channel : m_channels)
        release(channel);
}

std::int32_t QtSoundPlayer::play(Cue cue)
{
    // A newer request cuts off whatever still plays, even when it fails.
    stopAll();

    const std::filesystem::path dir(m_directory().toStdU16String());
    const QString path = QString::fromStdU16String(cuePath(dir, cue).u16string());
    const QFileInfo info(path);
    Channel& ch = channel(cue);
    if (!info.isFile() || !info.isReadable() || info.size() > MaxCueBytes) {
        release(ch);
        return 0;
    }
    if (!ch.effect || ch.path != path || ch.size != info.size() || ch.modified != info.lastModified())
        reload(ch, path, info.size(), info.lastModified());
    if (!ch.playable)
        return 0;

    switch (ch.effect->status()) {
    case QSoundEffect::Ready:
        ch.effect->play();
        return 1;
    case QSoundEffect::Loading:
    case QSoundEffect::Null:
        ch.pending = true;
        ch.requested.start();
        return 1;
    case QSoundEffect::Error:
        break;
    }
    return 0;
}

void QtSoundPlayer::stopAll()
{
    for (Channel& channel : m_channels) {
        channel.pending = false;
        if (channel.effect && channel.effect->isPlaying())
            channel.effect->stop();
    }
}

void QtSoundPlayer::reload(Channel& ch, const QString& path, qint64 size, const QDateTime& modified)
{
    release(ch);
    ch.path = path;
    ch.size = size;
    ch.modified = modified;
    ch.playable = looksPlayable(path);
    if (!ch.playable)
        return;
    ch.effect = new QSoundEffect(this);
    connect(ch.effect, &QSoundEffect::statusChanged, this, [this, &ch] { onStatusChanged(ch); });
    ch.effect->setSource(QUrl::fromLocalFile(path));
}

void QtSoundPlayer::release(Channel& ch)
{
    if (ch.effect) {
        ch.effect->disconnect(this);
        ch.effect->stop();
        ch.effect->deleteLater();
    }
    ch = Channel{};
}

void QtSoundPlayer::onStatusChanged(Channel& ch)
{
    if (!ch.pending || !ch.effect || ch.effect->status() == QSoundEffect::Loading)
        return;
    ch.pending = false;
    if (ch.effect->status() == QSoundEffect::Ready && ch.requested.elapsed() <= PendingPlayLimitMs)
        ch.effect->play();
}

} // namespace pellorin
