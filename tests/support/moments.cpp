// The moments of a running game, reported for the scripts that watch it.
#include "moments.h"

#include "momentline.h"

#include "shell/qt/mainwindow.h"

#include <QEvent>
#include <QRegularExpression>

namespace pellorin::testing {

MomentReporter::MomentReporter(MainWindow& window) : QObject(&window)
{
    window.boardView()->installEventFilter(this);
    for (QTimer* timer : window.findChildren<QTimer*>(QRegularExpression(QStringLiteral("^Timer[12]$")))) {
        m_timers.push_back(timer);
        // Connected after the window's own tick: runs right after it.
        connect(timer, &QTimer::timeout, this, [timer] {
            if (!timer->isActive())
                reportMoment("swap-end");
        });
    }
}

bool MomentReporter::swapRunning() const
{
    for (const QTimer* timer : m_timers)
        if (timer->isActive())
            return true;
    return false;
}

bool MomentReporter::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        QMetaObject::invokeMethod(
            this, [] { reportFirstPaint(); }, Qt::QueuedConnection);
    } else if (event->type() == QEvent::KeyPress) {
        reportMoment("key");
    } else if (event->type() == QEvent::MouseButtonPress) {
        reportMoment("press");
        // The press is handled after this filter; a swap it started shows in
        // the timers as soon as it has been.
        if (!swapRunning())
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (swapRunning())
                        reportMoment("swap-start");
                },
                Qt::QueuedConnection);
    }
    return false;
}

} // namespace pellorin::testing
