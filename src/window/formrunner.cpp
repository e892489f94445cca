// Runs the game window's handlers for a shell.
#include "window/formrunner.h"

#include "speech/words.h"

#include <utility>
#include <vector>

namespace pellorin {

FormRunner::FormRunner(Form1& form, Frontend& frontend)
    : m_form(form)
    , m_frontend(frontend)
    // The bank is never shown, but it is a family of sprites like the balls,
    // drawn below them.
    , m_families{&form.imgBank, &form.imgBoll}
    , m_damage({m_families.begin(), m_families.end()})
{
}

// The handler's own words, if it has any, are said before the lines it
// emptied.
template <class Handler>
void FormRunner::run(Handler&& handler)
{
    if (m_form.isClosed())
        return;
    std::string words = handler();
    for (const Area& area : m_damage.collect())
        m_frontend.invalidate(area);
    syncTimer(TimerId::Timer1, m_form.Timer1);
    syncTimer(TimerId::Timer2, m_form.Timer2);

    std::vector<int> renamed;
    for (int k = 1; k <= board::Balls; ++k) {
        const int colour = m_form.colourOf(k);
        if (colour != m_named[static_cast<std::size_t>(k)]) {
            m_named[static_cast<std::size_t>(k)] = colour;
            renamed.push_back(k);
        }
    }
    if (!renamed.empty())
        m_frontend.cellsRenamed(renamed);
    for (const Form1::EmptiedLine& line : m_form.Emptied)
        words = words::joined(words, words::emptied(line.line, line.number));
    m_form.Emptied.clear();
    if (!words.empty())
        m_frontend.announce(words);
}

void FormRunner::syncTimer(TimerId id, const Timer& wanted)
{
    bool& running = m_running[timerIndex(id)];
    if (wanted.Enabled == running)
        return;
    running = wanted.Enabled;
    if (running)
        m_frontend.startTicking(id, wanted.Interval);
    else
        m_frontend.stopTicking(id);
}

void FormRunner::load()
{
    run([this] {
        m_form.Form_Load();
        return std::string();
    });
}

void FormRunner::press(std::int16_t button, std::int16_t shift, float x, float y)
{
    run([&] {
        m_form.mouseDownAt(button, shift, x, y);
        return std::string();
    });
}

void FormRunner::move(std::int16_t button, std::int16_t shift, float x, float y)
{
    run([&] {
        m_form.mouseMoveAt(button, shift, x, y);
        return std::string();
    });
}

void FormRunner::newGame()
{
    run([this] {
        m_form.mnuNytt_Click();
        return std::string(words::NewGame);
    });
}

void FormRunner::quit()
{
    run([this] {
        m_form.mnuAvsluta_Click();
        return std::string();
    });
}

void FormRunner::tick(TimerId timer)
{
    if (!timerRunning(timer))
        return;
    // The swap's colours as they stand before its last tick, by which the
    // pair has exchanged its pictures: each shows the other's first colour.
    const int first = Form1::toIndex(m_form.BallNo);
    const int partner = first + (timer == TimerId::Timer1 ? board::BelowOffset : board::RightOffset);
    const int firstColour = m_form.colourOf(partner);
    const int partnerColour = m_form.colourOf(first);
    run([&] {
        if (timer == TimerId::Timer1)
            m_form.Timer1_Timer();
        else
            m_form.Timer2_Timer();
        // Said once the swap is over.
        return m_form.swapRunning() ? std::string() : words::swapped(firstColour, partnerColour);
    });
}

void FormRunner::closed()
{
    run([this] {
        m_form.closeWindow();
        return std::string();
    });
}

void FormRunner::paint(const Area& area, std::span<const Fill> beneath, const DeviceScale& scale, Canvas& canvas) const
{
    paintArea(m_families, beneath, area, scale, canvas);
}

} // namespace pellorin
