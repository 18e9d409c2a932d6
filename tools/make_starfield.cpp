// Draws the game's backdrop: a black sky evenly sprinkled with small hard-edged specks of neutral
// and faintly magenta starlight. Usage: make_starfield OUTPUT.bmp
#include "asset_io.h"

#include <algorithm>
#include <array>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <vector>

namespace {

using keyfall::tools::Random;
using keyfall::tools::Rgb;

constexpr int kWidth = 665;
constexpr int kHeight = 364;
// Shares in whole percent, so that every decision is integer arithmetic and the picture is the
// same on every machine: x87 arithmetic on i386 rounds a floating-point product differently.
constexpr int kLitPercent = 19;
constexpr int kTintedPercent = 63;
constexpr std::uint64_t kSeed = 0x5EED'57A2'F1E1'D000ull;

// Relative frequency of speck sizes 1, 2, ... 27 pixels: mostly 2 to 10, dashes the most common.
constexpr std::array kSizeWeights { 60, 260, 120, 110, 90, 80, 60, 50, 40, 30, 16, 13, 11, 9, 8, 7,
    6, 5, 4, 4, 3, 3, 2, 2, 2, 1, 1 };

// Range of the red channel of a speck's brightest pixel.
struct RedRange {
    int low;
    int high;
};

struct BrightSpecks {
    RedRange peak;
    int count;
};

// 44 specks reach red 192, 140 reach 128 and 577 reach 64; all the others stay dimmer.
constexpr std::array kBrightSpecks { BrightSpecks { { 192, 255 }, 44 },
    BrightSpecks { { 128, 191 }, 140 - 44 }, BrightSpecks { { 64, 127 }, 577 - 140 } };
constexpr RedRange kDimPeak { 1, 63 };

// Brightness steps: greys 16, 32 ... 240, and tinted greys whose red and blue are 15, 31 ... 255
// with green 7 lower.
int topStep(bool tinted) { return tinted ? 16 : 15; }

int redOf(int step, bool tinted) { return 16 * step - (tinted ? 1 : 0); }

Rgb colourOf(int step, bool tinted)
{
    const auto red = static_cast<std::uint8_t>(redOf(step, tinted));
    const auto green = static_cast<std::uint8_t>(tinted ? red - 7 : red);
    return { red, green, red };
}

int randomStepWithin(Random& random, RedRange range, bool tinted)
{
    int lowest = 1;
    while (redOf(lowest, tinted) < range.low)
        ++lowest;
    int highest = topStep(tinted);
    while (redOf(highest, tinted) > range.high)
        --highest;
    return random.between(lowest, highest);
}

int randomSpeckSize(Random& random)
{
    int total = 0;
    for (const int weight : kSizeWeights)
        total += weight;
    int pick = random.between(0, total - 1);
    int size = 1;
    for (const int weight : kSizeWeights) {
        if (pick < weight)
            break;
        pick -= weight;
        ++size;
    }
    return size;
}

struct SpeckPixel {
    int x;
    int y;
    int step;
};

struct Speck {
    std::vector<SpeckPixel> pixels;
    bool tinted;
    int width;
    int height;
};

bool contains(const std::vector<SpeckPixel>& pixels, int x, int y)
{
    return std::any_of(pixels.begin(), pixels.end(),
        [&](const SpeckPixel& pixel) { return pixel.x == x && pixel.y == y; });
}

// Shifts the pixels so that the speck's bounding box starts at (0, 0).
Speck fromTopLeft(std::vector<SpeckPixel> pixels, bool tinted)
{
    const auto [left, right] = std::minmax_element(pixels.begin(), pixels.end(),
        [](const SpeckPixel& a, const SpeckPixel& b) { return a.x < b.x; });
    const auto [top, bottom] = std::minmax_element(pixels.begin(), pixels.end(),
        [](const SpeckPixel& a, const SpeckPixel& b) { return a.y < b.y; });
    const int width = right->x - left->x + 1;
    const int height = bottom->y - top->y + 1;
    const SpeckPixel corner { left->x, top->y, 0 };
    for (SpeckPixel& pixel : pixels) {
        pixel.x -= corner.x;
        pixel.y -= corner.y;
    }
    return { std::move(pixels), tinted, width, height };
}

// A 4-connected blob grown outwards from its brightest pixel, more readily sideways than up or
// down, so two-pixel specks are mostly horizontal dashes. Its other pixels take random dimmer
// steps, except that both pixels of a two-pixel speck match.
Speck randomSpeck(Random& random, RedRange peak, bool tinted)
{
    constexpr std::array<std::array<int, 2>, 6> kGrowth { { { 1, 0 }, { -1, 0 }, { 1, 0 },
        { -1, 0 }, { 0, 1 }, { 0, -1 } } };
    const int size = randomSpeckSize(random);
    const int peakStep = randomStepWithin(random, peak, tinted);

    std::vector<SpeckPixel> pixels { { 0, 0, peakStep } };
    while (static_cast<int>(pixels.size()) < size) {
        const SpeckPixel& from = pixels[static_cast<std::size_t>(
            random.between(0, static_cast<int>(pixels.size()) - 1))];
        const auto& [dx, dy] = kGrowth[static_cast<std::size_t>(random.between(0, 5))];
        const int x = from.x + dx;
        const int y = from.y + dy;
        if (!contains(pixels, x, y))
            pixels.push_back({ x, y, size == 2 ? peakStep : random.between(1, peakStep) });
    }

    return fromTopLeft(std::move(pixels), tinted);
}

// The picture being drawn. Specks keep at least one black pixel between them in every direction,
// so each stays a separate speck.
class Sky {
public:
    Sky()
        : pixels_(kWidth * kHeight)
        , taken_(kWidth * kHeight, false)
    {
    }

    // Puts the speck at a random free place; false if none was found.
    bool place(Random& random, const Speck& speck)
    {
        constexpr int kAttempts = 100000;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const int left = random.between(0, kWidth - speck.width);
            const int top = random.between(0, kHeight - speck.height);
            if (fits(speck, left, top)) {
                draw(speck, left, top);
                return true;
            }
        }
        return false;
    }

    int litCount() const { return litCount_; }
    // Tints the next speck while tinted pixels are short of their share.
    bool nextSpeckTinted() const { return 100 * tintedCount_ < kTintedPercent * litCount_; }
    const std::vector<Rgb>& pixels() const { return pixels_; }

private:
    static std::size_t index(int x, int y) { return static_cast<std::size_t>(y * kWidth + x); }

    bool fits(const Speck& speck, int left, int top) const
    {
        return std::none_of(speck.pixels.begin(), speck.pixels.end(),
            [&](const SpeckPixel& pixel) { return taken_[index(left + pixel.x, top + pixel.y)]; });
    }

    void draw(const Speck& speck, int left, int top)
    {
        for (const SpeckPixel& pixel : speck.pixels) {
            const int x = left + pixel.x;
            const int y = top + pixel.y;
            pixels_[index(x, y)] = colourOf(pixel.step, speck.tinted);
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, kHeight - 1); ++ny)
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, kWidth - 1); ++nx)
                    taken_[index(nx, ny)] = true;
        }
        litCount_ += static_cast<int>(speck.pixels.size());
        if (speck.tinted)
            tintedCount_ += static_cast<int>(speck.pixels.size());
    }

    std::vector<Rgb> pixels_;
    std::vector<bool> taken_;
    int litCount_ = 0;
    int tintedCount_ = 0;
};

void placeRandomSpeck(Random& random, Sky& sky, RedRange peak)
{
    if (!sky.place(random, randomSpeck(random, peak, sky.nextSpeckTinted())))
        throw std::runtime_error("no room left for another speck");
}

std::vector<Rgb> drawStarfield()
{
    Random random(kSeed);
    Sky sky;
    for (const BrightSpecks& bright : kBrightSpecks)
        for (int i = 0; i < bright.count; ++i)
            placeRandomSpeck(random, sky, bright.peak);
    const int litTarget = (kLitPercent * kWidth * kHeight + 50) / 100;
    while (sky.litCount() < litTarget)
        placeRandomSpeck(random, sky, kDimPeak);
    return sky.pixels();
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_starfield OUTPUT.bmp\n";
        return 2;
    }
    try {
        keyfall::tools::writeBmp24(argv[1], kWidth, kHeight, drawStarfield());
    } catch (const std::exception& error) {
        std::cerr << "make_starfield: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
