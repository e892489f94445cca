// The game window's design, its load and exit handlers and its event routing.
#include "window/form1.h"

#include "board/board.h"
#include "design/design.h"
#include "platform/routing.h"

#include <array>
#include <memory>
#include <string>
#include <utility>

namespace pellorin {
namespace {

constexpr int TickInterval = 25;    // milliseconds per animation step
constexpr float HiddenTop = 500.0f; // below the 413-pixel client area
constexpr float TemplateLeft = 261.0f;

Sprite hiddenSprite(float left, PictureRef picture = {})
{
    return Sprite{left, HiddenTop, board::TileSize, board::TileSize, false, std::move(picture)};
}

PictureRef picture(std::string name, int bankIndex)
{
    return std::make_shared<const PictureData>(PictureData{std::move(name), bankIndex});
}

// The bank's six pictures in design order, each at its place in the design.
std::vector<Sprite> bankDesign()
{
    constexpr std::array<float, 6> lefts{45.0f, 78.0f, 113.0f, 149.0f, 187.0f, 222.0f};
    std::vector<Sprite> bank{hiddenSprite(5.0f)};
    for (std::size_t r = 0; r < design::Pictures.size(); ++r)
        bank.push_back(hiddenSprite(lefts[r], picture(std::string(design::Pictures[r]), static_cast<int>(r) + 1)));
    return bank;
}

} // namespace

Form1::Form1(Services services)
    : Timer2{TickInterval, false}
    , Timer1{TickInterval, false}
    , imgBoll(board::Balls, {hiddenSprite(TemplateLeft)})
    , imgBank(board::Colours, bankDesign())
    , m_services(services)
{
}

void Form1::Form_Load()
{
    m_services.random.seedFromClock();
    BuildBoard();
}

void Form1::mnuAvsluta_Click()
{
    closeWindow();
    m_services.host.closeWindow();
}

void Form1::closeWindow()
{
    // A running swap is abandoned where it stands: no further tick, no line check.
    Timer1.Enabled = false;
    Timer2.Enabled = false;
    m_closed = true;
}

void Form1::mouseDownAt(std::int16_t button, std::int16_t shift, float x, float y)
{
    // The sprites have no press handler: a press on one of them does nothing.
    if (coveringSprite(imgBoll, x, y) || coveringSprite(imgBank, x, y))
        return;
    Form_MouseDown(button, shift, x, y);
}

void Form1::mouseMoveAt(std::int16_t button, std::int16_t shift, float x, float y)
{
    if (const auto ball = coveringSprite(imgBoll, x, y)) {
        imgBoll_MouseMove(static_cast<std::int16_t>(*ball), button, shift, x, y);
        return;
    }
    if (coveringSprite(imgBank, x, y))
        return;
    Form_MouseMove(button, shift, x, y);
}

void Form1::setCursorUnlessAlready(CursorCode code)
{
    if (m_services.cursor.get() != code)
        m_services.cursor.set(code);
}

void Form1::playCue(Cue cue)
{
    SoundResult = m_services.sound.play(cue);
}

} // namespace pellorin
