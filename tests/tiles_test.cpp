// The tile painter: any size it takes, nonsense it refuses, tiles on whole
// device pixels at every scale, and symbols that tell the colours apart by
// shape for every eye.
#include "fakes.h"

#include "support/gameinspector.h"
#include "tiles/tilepainter.h"
#include "window/game.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <utility>

namespace pellorin::testing {
namespace {

TEST(TilePainter, PaintsEverySizeFrom16To256AndRefusesNonsense)
{
    // Each size once, the pictures and looks taking turns.
    for (int size = 16; size <= 256; ++size) {
        {
            const int picture = size % 6 + 1;
            const auto tile = tiles::paintTile(picture, size, size % 2 ? tiles::Look::Symbols : tiles::Look::Plain);
            ASSERT_TRUE(tile) << size;
            ASSERT_EQ(tile->width, size);
            ASSERT_EQ(tile->rgba.size(), static_cast<std::size_t>(size * size * 4));
            // Rounded black corners, an opaque outline on every side's middle.
            EXPECT_EQ(tile->at(0, 0), (Rgb{0, 0, 0}));
            EXPECT_EQ(tile->at(size - 1, size - 1), (Rgb{0, 0, 0}));
            EXPECT_NE(tile->at(0, size / 2), (Rgb{0, 0, 0}));
            EXPECT_NE(tile->at(size / 2, size - 1), (Rgb{0, 0, 0}));
        }
        if (size % 16 == 0) {
            ASSERT_TRUE(tiles::paintIcon(size));
        }
    }
    for (const int size : {0, -1, -32, 7, 1025, INT_MAX, INT_MIN}) {
        EXPECT_FALSE(tiles::paintTile(1, size)) << size;
        EXPECT_FALSE(tiles::paintIcon(size)) << size;
    }
    EXPECT_FALSE(tiles::paintTile(0, 32));
    EXPECT_FALSE(tiles::paintTile(7, 32));
    EXPECT_FALSE(tiles::paintIcon(32, 0.0));
    EXPECT_FALSE(tiles::paintIcon(32, std::nan("")));
}

// The board composed at a scale as a shell draws it: tiles unscaled on whole
// device pixels, clipped to each repaint.
class PixelCanvas final : public Canvas {
public:
    PixelCanvas(const DeviceScale& scale, tiles::Look look)
        : m_width(scale.clientWidth())
        , m_height(scale.clientHeight())
        , m_size(scale.tileSize())
        , m_pixels(static_cast<std::size_t>(m_width * m_height))
    {
        for (int picture = 1; picture <= 6; ++picture)
            m_tiles.push_back(*tiles::paintTile(picture, m_size, look));
    }
    void begin(const DeviceRect& clip) override
    {
        m_clip = clip;
        fill(clip, {0, 0, 0});
    }
    void fill(const DeviceRect& rect, Rgb colour) override
    {
        for (int y = rect.top; y < rect.bottom(); ++y)
            for (int x = rect.left; x < rect.right(); ++x)
                put(x, y, colour);
    }
    void drawTile(int picture, int left, int top) override
    {
        const tiles::Image& tile = m_tiles.at(static_cast<std::size_t>(picture - 1));
        for (int y = 0; y < m_size; ++y)
            for (int x = 0; x < m_size; ++x)
                put(left + x, top + y, tile.at(x, y));
    }
    void end() override { m_clip = {}; }
    Rgb at(int x, int y) const { return m_pixels.at(static_cast<std::size_t>(y * m_width + x)); }

private:
    void put(int x, int y, Rgb colour)
    {
        if (x >= m_clip.left && x < m_clip.right() && y >= m_clip.top && y < m_clip.bottom())
            m_pixels.at(static_cast<std::size_t>(y * m_width + x)) = colour;
    }
    int m_width, m_height, m_size;
    std::vector<Rgb> m_pixels;
    std::vector<tiles::Image> m_tiles;
    DeviceRect m_clip;
};

struct RepaintingShell final : Frontend {
    void invalidate(const Area& area) override { damage.push_back(area); }
    void showCursor(CursorCode) override {}
    void startTicking(TimerId, int) override {}
    void stopTicking(TimerId) override {}
    std::int32_t play(Cue) override { return 1; }
    void closeWindow() override {}
    std::vector<Area> damage;
};

// At every scale a desktop or phone uses, every tile's outer edge goes from
// black to the tile's outline in one device pixel, also while a pair slides
// at steps that fall between device pixels, and the repaints of the slide
// leave exactly the picture of a repaint of the whole.
TEST(TilePainter, EveryTileEdgeIsCrispAtFractionalScales)
{
    for (const double value : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 2.625, 3.0, 3.96}) {
        SCOPED_TRACE(value);
        const DeviceScale scale(value);
        RepaintingShell shell;
        auto random = std::make_unique<FakeRandom>();
        random->fallback = [draw = 0]() mutable { return FakeRandom::valueFor(draw++ % 6 + 1); };
        pellorin::Game game(shell, std::move(random));
        game.load();
        PixelCanvas screen(scale, game.look());
        game.paint(Area{0, 0, 414, 413}, scale, screen);
        game.press(design::LeftButton, 0, 64, 40); // balls 1 and 2 slide towards each other
        for (int tick = 0; tick < 3; ++tick) {
            shell.damage.clear();
            game.tick(TimerId::Timer2);
            for (const Area& area : shell.damage)
                game.paint(area, scale, screen);
        }
        PixelCanvas whole(scale, game.look());
        game.paint(Area{0, 0, 414, 413}, scale, whole);
        for (int y = 0; y < scale.clientHeight(); ++y)
            for (int x = 0; x < scale.clientWidth(); ++x)
                ASSERT_EQ(screen.at(x, y), whole.at(x, y)) << x << "," << y;

        const auto& form = GameInspector::form(game);
        for (int k = 3; k <= 64; ++k) { // balls 1 and 2 have slid into each other
            const DeviceRect tile = scale.tile(form.imgBoll[k].Left, form.imgBoll[k].Top);
            const int middle = tile.top + tile.height / 2;
            const Rgb outline = whole.at(tile.left, middle);
            EXPECT_EQ(whole.at(tile.left - 1, middle), (Rgb{0, 0, 0})) << k;
            EXPECT_NE(outline, (Rgb{0, 0, 0})) << k;
            EXPECT_EQ(whole.at(tile.right() - 1, middle), outline) << k;
            EXPECT_EQ(whole.at(tile.right(), middle), (Rgb{0, 0, 0})) << k;
        }
    }
}

// Simulated sight: sRGB to linear light, then Machado, Oliveira and
// Fernandes' (2009) matrices for full protanopia, deuteranopia and
// tritanopia, or no change for greyscale; CIE L* from the luminance.
using Matrix = std::array<double, 9>;
const std::map<std::string, Matrix>& sights()
{
    static const std::map<std::string, Matrix> all{
        {"greyscale", {1, 0, 0, 0, 1, 0, 0, 0, 1}},
        {"protanopia", {0.152286, 1.052583, -0.204868, 0.114503, 0.786281, 0.099216, -0.003882, -0.048116, 1.051998}},
        {"deuteranopia", {0.367322, 0.860646, -0.227968, 0.280085, 0.672501, 0.047413, -0.011820, 0.042940, 0.968881}},
        {"tritanopia", {1.255528, -0.076749, -0.178779, -0.078411, 0.930809, 0.147602, 0.004733, 0.691367, 0.303900}},
    };
    return all;
}

// The relative luminance of a colour as a sight sees it.
double luminance(Rgb c, const Matrix& m)
{
    const auto linear = [](std::uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    const double r = linear(c.red), g = linear(c.green), b = linear(c.blue);
    const auto clamp = [](double v) { return std::clamp(v, 0.0, 1.0); };
    return 0.2126 * clamp(m[0] * r + m[1] * g + m[2] * b) + 0.7152 * clamp(m[3] * r + m[4] * g + m[5] * b)
        + 0.0722 * clamp(m[6] * r + m[7] * g + m[8] * b);
}

double lightness(Rgb c, const Matrix& m)
{
    const double y = luminance(c, m);
    return y > 216.0 / 24389 ? 116 * std::cbrt(y) - 16 : y * 24389.0 / 27;
}

// WCAG's contrast ratio of two colours, as a sight sees them.
double contrast(Rgb a, Rgb b, const Matrix& m)
{
    const double one = luminance(a, m), other = luminance(b, m);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

// The shape a tile shows to a sight: the pixels of its face, inside the
// bevels, whose lightness stands more than 10 L* from the face's own colour.
// Two tiles differ by shape by the share of the pixels in either shape that
// are not in both (0 when neither shows any shape). A colour that only this
// sight can tell apart is no shape, so the plain tiles fail.
std::vector<bool> shapeOf(int picture, tiles::Look look, const Matrix& sight)
{
    constexpr int Size = 64;
    const tiles::Image tile = *tiles::paintTile(picture, Size, look);
    const double face = lightness(tiles::palette()[static_cast<std::size_t>(picture - 1)].face, sight);
    std::vector<bool> shape(Size * Size);
    for (int y = 10; y < Size - 10; ++y)
        for (int x = 10; x < Size - 10; ++x)
            shape[static_cast<std::size_t>(y * Size + x)] = std::abs(lightness(tile.at(x, y), sight) - face) > 10.0;
    return shape;
}

double shapeDifference(const std::vector<bool>& a, const std::vector<bool>& b)
{
    int either = 0, one = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        either += a[i] || b[i];
        one += a[i] != b[i];
    }
    return either == 0 ? 0.0 : static_cast<double>(one) / either;
}

// The least shape difference over every pair of tiles, for one look and sight.
double leastDifference(tiles::Look look, const Matrix& sight)
{
    double least = 1.0;
    for (int a = 1; a <= 6; ++a)
        for (int b = a + 1; b <= 6; ++b)
            least = std::min(least, shapeDifference(shapeOf(a, look, sight), shapeOf(b, look, sight)));
    return least;
}

TEST(TileSymbols, TellEveryPairOfColoursApartByShapeForEverySight)
{
    constexpr double Clearly = 0.5; // half of the two shapes' pixels lie in only one of them
    for (const auto& [name, sight] : sights()) {
        const double plain = leastDifference(tiles::Look::Plain, sight);
        const double symbols = leastDifference(tiles::Look::Symbols, sight);
        std::printf("%-13s least shape difference: plain %.2f, symbols %.2f\n", name.c_str(), plain, symbols);
        EXPECT_LT(plain, Clearly) << name;
        EXPECT_GE(symbols, Clearly) << name;
    }
}

// The least contrast between a symbol and the face it lies on, read from the
// painted pixels: over each tone of the face (a face may have two), the
// symbol's own colour is the one its pixels show most often there, its edge
// being a blend of the two.
double leastSymbolContrast(int picture, const Matrix& sight)
{
    constexpr int Size = 64;
    const tiles::Image plain = *tiles::paintTile(picture, Size, tiles::Look::Plain);
    const tiles::Image marked = *tiles::paintTile(picture, Size, tiles::Look::Symbols);
    const auto key = [](Rgb c) { return c.red << 16 | c.green << 8 | c.blue; };
    std::map<int, std::map<int, int>> seen; // face tone -> symbol pixel -> count
    std::map<int, Rgb> colours;
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
            const Rgb face = plain.at(x, y), pixel = marked.at(x, y);
            if (face != pixel) {
                ++seen[key(face)][key(pixel)];
                colours[key(face)] = face;
                colours[key(pixel)] = pixel;
            }
        }
    }
    EXPECT_FALSE(seen.empty()) << "symbol " << picture << " shows";
    double least = std::numeric_limits<double>::infinity();
    for (const auto& [face, pixels] : seen) {
        const auto most = std::max_element(pixels.begin(), pixels.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
        least = std::min(least, contrast(colours[face], colours[most->first], sight));
    }
    return least;
}

// WCAG 2.2's non-text contrast: a symbol that tells a colour apart stands
// at least 3:1 against its face, in normal sight (whose luminance the
// greyscale sight keeps) and in each colour-blind sight.
TEST(TileSymbols, StandAtLeastThreeToOneAgainstTheirFaceInEverySight)
{
    constexpr double Least = 3.0;
    for (const auto& [name, sight] : sights()) {
        double least = std::numeric_limits<double>::infinity();
        for (int picture = 1; picture <= 6; ++picture) {
            const double ratio = leastSymbolContrast(picture, sight);
            least = std::min(least, ratio);
            EXPECT_GE(ratio, Least) << name << ", symbol " << picture;
        }
        std::printf("%-13s least symbol contrast %.2f:1\n", name.c_str(), least);
    }
}

} // namespace
} // namespace pellorin::testing
