#include "asset_io.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace keyfall::tools {

std::uint64_t Random::next()
{
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random::between(int low, int high)
{
    const auto span = static_cast<std::uint64_t>(high - low) + 1;
    return low + static_cast<int>(next() % span);
}

double Random::unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

namespace {

    constexpr std::uint32_t kPixelsPerMetreAt96Dpi = 3780;
    constexpr std::uint32_t kBmpHeadersSize = 14 + 40;

    // Collects a file's bytes in little-endian order.
    class ByteWriter {
    public:
        void u16(std::uint16_t value) { put(value, 2); }
        void u32(std::uint32_t value) { put(value, 4); }
        void text(std::string_view tag) { bytes_.insert(bytes_.end(), tag.begin(), tag.end()); }
        void byte(std::uint8_t value) { bytes_.push_back(value); }
        // BMP order: blue, green, red.
        void colour(const Rgb& colour)
        {
            byte(colour.blue);
            byte(colour.green);
            byte(colour.red);
        }
        void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

        void save(const std::filesystem::path& path) const
        {
            std::ofstream file(path, std::ios::binary);
            file.write(reinterpret_cast<const char*>(bytes_.data()),
                static_cast<std::streamsize>(bytes_.size()));
            if (!file)
                throw std::runtime_error("cannot write " + path.string());
        }

    private:
        void put(std::uint32_t value, int byteCount)
        {
            for (int i = 0; i < byteCount; ++i)
                bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }

        std::vector<std::uint8_t> bytes_;
    };

    std::uint32_t paddedRowSize(int width, int bitsPerPixel)
    {
        return (static_cast<std::uint32_t>(width * bitsPerPixel) + 31) / 32 * 4;
    }

    void checkPixelCount(std::size_t count, int width, int height)
    {
        if (count != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
            throw std::invalid_argument("pixel count does not match the image size");
    }

    void bmpHeaders(ByteWriter& out, int width, int height, int bitsPerPixel, int paletteSize)
    {
        const std::uint32_t pixelOffset
            = kBmpHeadersSize + 4u * static_cast<std::uint32_t>(paletteSize);
        const std::uint32_t pixelBytes
            = paddedRowSize(width, bitsPerPixel) * static_cast<std::uint32_t>(height);
        out.text("BM");
        out.u32(pixelOffset + pixelBytes); // file size
        out.u32(0); // reserved
        out.u32(pixelOffset);
        out.u32(40); // BITMAPINFOHEADER size
        out.u32(static_cast<std::uint32_t>(width));
        out.u32(static_cast<std::uint32_t>(height)); // positive: rows run bottom-up
        out.u16(1); // planes
        out.u16(static_cast<std::uint16_t>(bitsPerPixel));
        out.u32(0); // uncompressed
        out.u32(pixelBytes);
        out.u32(kPixelsPerMetreAt96Dpi);
        out.u32(kPixelsPerMetreAt96Dpi);
        out.u32(static_cast<std::uint32_t>(paletteSize)); // colours used
        out.u32(0); // all colours important
    }

}

void writeBmp24(
    const std::filesystem::path& path, int width, int height, std::span<const Rgb> pixels)
{
    checkPixelCount(pixels.size(), width, height);
    ByteWriter out;
    bmpHeaders(out, width, height, 24, 0);
    const std::size_t padding = paddedRowSize(width, 24) - 3u * static_cast<std::size_t>(width);
    for (int y = height - 1; y >= 0; --y) {
        for (const Rgb& pixel :
            pixels.subspan(static_cast<std::size_t>(y * width), static_cast<std::size_t>(width))) {
            out.colour(pixel);
        }
        out.zeros(padding);
    }
    out.save(path);
}

void writeBmp4(const std::filesystem::path& path, int width, int height, const Palette16& palette,
    std::span<const std::uint8_t> colourIndices)
{
    checkPixelCount(colourIndices.size(), width, height);
    ByteWriter out;
    bmpHeaders(out, width, height, 4, static_cast<int>(palette.size()));
    for (const Rgb& colour : palette) {
        out.colour(colour);
        out.byte(0);
    }
    const std::size_t rowBytes = paddedRowSize(width, 4);
    for (int y = height - 1; y >= 0; --y) {
        const auto row = colourIndices.subspan(
            static_cast<std::size_t>(y * width), static_cast<std::size_t>(width));
        for (std::size_t x = 0; x < row.size(); x += 2) {
            const int low = x + 1 < row.size() ? row[x + 1] & 0x0F : 0;
            out.byte(static_cast<std::uint8_t>((row[x] & 0x0F) << 4 | low));
        }
        out.zeros(rowBytes - (row.size() + 1) / 2);
    }
    out.save(path);
}

void writeWavMono16(
    const std::filesystem::path& path, int sampleRate, std::span<const std::int16_t> samples)
{
    const auto dataBytes = static_cast<std::uint32_t>(2 * samples.size());
    ByteWriter out;
    out.text("RIFF");
    out.u32(36 + dataBytes);
    out.text("WAVE");
    out.text("fmt ");
    out.u32(16);
    out.u16(1); // PCM
    out.u16(1); // mono
    out.u32(static_cast<std::uint32_t>(sampleRate));
    out.u32(static_cast<std::uint32_t>(2 * sampleRate));
    out.u16(2);
    out.u16(16);
    out.text("data");
    out.u32(dataBytes);
    for (const std::int16_t sample : samples)
        out.u16(static_cast<std::uint16_t>(sample));
    out.save(path);
}

}
