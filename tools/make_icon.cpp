// Draws the window icon: a red corner triangle on black under a white hand-lettered "KF".
// Usage: make_icon OUTPUT.bmp
#include "asset_io.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <iostream>
#include <vector>

namespace {

using keyfall::tools::Random;

constexpr int kSize = 32;
constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kRed = 9;
constexpr std::uint8_t kWhite = 15;
constexpr std::uint64_t kSeed = 0x1C0'4B1D'4E5Full;

// The triangle's right angle sits in the lower-left corner; its legs run up the left edge from the
// bottom to row 10 and along the bottom edge to column 21.
constexpr int kTriangleTopRow = 10;

bool inTriangle(int x, int y) { return x <= y - kTriangleTopRow; }

struct Point {
    double x;
    double y;
};

struct Stroke {
    Point from;
    Point to;
};

// Pen strokes of the monogram, in pixel units; letters stand about 17 pixels tall from row 3.
constexpr std::array kMonogram {
    Stroke { { 5.6, 4.2 }, { 4.8, 18.6 } }, // K stem
    Stroke { { 14.0, 4.4 }, { 6.0, 12.4 } }, // K arm
    Stroke { { 8.2, 10.4 }, { 14.6, 18.4 } }, // K leg
    Stroke { { 19.2, 4.6 }, { 18.4, 18.8 } }, // F stem
    Stroke { { 18.8, 4.0 }, { 27.8, 4.6 } }, // F top bar
    Stroke { { 18.8, 11.2 }, { 25.0, 10.6 } }, // F middle bar
};

// A point on the pen's path and the pen's radius there.
struct PenPoint {
    Point at;
    double radius;
};

// Splits a stroke into a few pieces and nudges each joint and end a little, with the pen
// pressing a little harder or softer as it goes, so the lines look drawn by hand.
std::vector<PenPoint> wobblyPath(Random& random, const Stroke& stroke)
{
    constexpr int kPieces = 3;
    constexpr double kNudge = 0.5;
    std::vector<PenPoint> path;
    for (int i = 0; i <= kPieces; ++i) {
        const double t = static_cast<double>(i) / kPieces;
        const Point on { stroke.from.x + t * (stroke.to.x - stroke.from.x),
            stroke.from.y + t * (stroke.to.y - stroke.from.y) };
        path.push_back(
            { { on.x + kNudge * (2 * random.unit() - 1), on.y + kNudge * (2 * random.unit() - 1) },
                1.0 + 0.45 * random.unit() });
    }
    return path;
}

// Whether a point lies under the pen as it moves in a straight line between two path points.
bool underPen(Point point, const PenPoint& a, const PenPoint& b)
{
    const double dx = b.at.x - a.at.x;
    const double dy = b.at.y - a.at.y;
    const double along = ((point.x - a.at.x) * dx + (point.y - a.at.y) * dy) / (dx * dx + dy * dy);
    const double t = std::clamp(along, 0.0, 1.0);
    const double distance = std::hypot(point.x - (a.at.x + t * dx), point.y - (a.at.y + t * dy));
    return distance <= a.radius + t * (b.radius - a.radius);
}

std::vector<std::uint8_t> drawIcon()
{
    std::vector<std::uint8_t> pixels(kSize * kSize, kBlack);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (inTriangle(x, y))
                pixels[static_cast<std::size_t>(y * kSize + x)] = kRed;

    Random random(kSeed);
    for (const Stroke& stroke : kMonogram) {
        const std::vector<PenPoint> path = wobblyPath(random, stroke);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                for (std::size_t i = 1; i < path.size(); ++i)
                    if (underPen({ x + 0.5, y + 0.5 }, path[i - 1], path[i]))
                        pixels[static_cast<std::size_t>(y * kSize + x)] = kWhite;
    }
    return pixels;
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_icon OUTPUT.bmp\n";
        return 2;
    }
    try {
        keyfall::tools::writeBmp4(
            argv[1], kSize, kSize, keyfall::tools::kWindowsPalette, drawIcon());
    } catch (const std::exception& error) {
        std::cerr << "make_icon: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
