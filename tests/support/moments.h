// For the tests and measurements of the whole program: the moments of the
// first paint, of each press on the board and each key that reaches it (as
// they arrive, before any handler) and of each swap's start and end go to the
// error output as "NAME
// NANOSECONDS", on the monotonic clock the scripts read too. Watched from
// outside the window, through its board view and its named timers.
#pragma once

#include <QObject>
#include <QTimer>

#include <vector>

namespace pellorin {
class MainWindow;
}

namespace pellorin::testing {

class MomentReporter final : public QObject {
public:
    explicit MomentReporter(MainWindow& window);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool swapRunning() const;

    std::vector<QTimer*> m_timers;
    bool m_painted = false;
};

} // namespace pellorin::testing
