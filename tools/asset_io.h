#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

// Deterministic randomness and the BMP and WAV writers shared by the asset generators.
namespace keyfall::tools {

// SplitMix64: gives the same sequence with every compiler and standard library, unlike the
// standard distributions, so generated assets stay byte-identical.
class Random {
public:
    explicit Random(std::uint64_t seed)
        : state_(seed)
    {
    }

    std::uint64_t next();
    // Uniform in [low, high].
    int between(int low, int high);
    // Uniform in [0, 1).
    double unit();
    bool chance(double probability) { return unit() < probability; }

private:
    std::uint64_t state_;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

using Palette16 = std::array<Rgb, 16>;

// The 16 colours every Windows display has, in their customary order.
inline constexpr Palette16 kWindowsPalette { {
    { 0, 0, 0 },
    { 128, 0, 0 },
    { 0, 128, 0 },
    { 128, 128, 0 },
    { 0, 0, 128 },
    { 128, 0, 128 },
    { 0, 128, 128 },
    { 192, 192, 192 },
    { 128, 128, 128 },
    { 255, 0, 0 },
    { 0, 255, 0 },
    { 255, 255, 0 },
    { 0, 0, 255 },
    { 255, 0, 255 },
    { 0, 255, 255 },
    { 255, 255, 255 },
} };

// Pixels are given row by row from the top; the files store them bottom-up at 96 dpi.
void writeBmp24(
    const std::filesystem::path& path, int width, int height, std::span<const Rgb> pixels);
void writeBmp4(const std::filesystem::path& path, int width, int height, const Palette16& palette,
    std::span<const std::uint8_t> colourIndices);

void writeWavMono16(
    const std::filesystem::path& path, int sampleRate, std::span<const std::int16_t> samples);

}
