// Runs the game window's handlers for a shell.
#include "window/formrunner.h"

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

template <class Handler>
void FormRunner::run(Handler&& handler)
{
    if (m_form.isUnloaded())
        return;
    handler();
    for (const Area& area : m_damage.collect())
        m_frontend.invalidate(area);
    syncTimer(TimerId::Timer1, m_form.Timer1);
    syncTimer(TimerId::Timer2, m_form.Timer2);
}

void FormRunner::syncTimer(TimerId id, const Timer& wanted)
{
    bool& running = m_running[index(id)];
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
    run([this] { m_form.Form_Load(); });
}

void FormRunner::press(std::int16_t button, std::int16_t shift, float x, float y)
{
    run([&] { m_form.mouseDownAt(button, shift, x, y); });
}

void FormRunner::move(std::int16_t button, std::int16_t shift, float x, float y)
{
    run([&] { m_form.mouseMoveAt(button, shift, x, y); });
}

void FormRunner::newGame()
{
    run([this] { m_form.mnuNytt_Click(); });
}

void FormRunner::quit()
{
    run([this] { m_form.mnuAvsluta_Click(); });
}

void FormRunner::tick(TimerId timer)
{
    run([&] {
        if (timer == TimerId::Timer1)
            m_form.Timer1_Timer();
        else
            m_form.Timer2_Timer();
    });
}

void FormRunner::closed()
{
    run([this] { m_form.unloadWindow(); });
}

void FormRunner::paint(const Area& area, Canvas& canvas) const
{
    paintArea(m_families, area, canvas);
}

} // namespace pellorin
