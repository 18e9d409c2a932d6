#include "wav_reader.h"

#include <QFile>
#include <cstdint>

namespace keyfall {

namespace {

    // Offsets into the file are reckoned in 64 bits: a chunk's size is any 32-bit number, and no
    // sum of sizes may wrap, whatever the width of qsizetype.
    using FileOffset = std::uint64_t;

    constexpr FileOffset kRiffHeaderBytes = 12;
    constexpr FileOffset kChunkHeaderBytes = 8;
    constexpr qsizetype kPcmFormatBytes = 16;
    constexpr std::uint32_t kPcmFormatTag = 1;
    constexpr std::uint32_t kBitsPerSample = 16;
    constexpr std::uint32_t kMinSampleRate = 8000;
    constexpr std::uint32_t kMaxSampleRate = 192000;

    std::uint32_t littleEndian(QByteArrayView bytes, FileOffset offset, int byteCount)
    {
        std::uint32_t value = 0;
        for (int i = byteCount - 1; i >= 0; --i)
            value = value << 8 | static_cast<std::uint8_t>(bytes[qsizetype(offset) + i]);
        return value;
    }

    struct Chunk {
        QByteArrayView id;
        QByteArrayView body;
    };

    // The format fields of a "fmt " chunk, checked against each other.
    std::optional<PcmSound> pcmFormat(QByteArrayView fmt)
    {
        if (fmt.size() < kPcmFormatBytes)
            return std::nullopt;
        const std::uint32_t formatTag = littleEndian(fmt, 0, 2);
        const std::uint32_t channels = littleEndian(fmt, 2, 2);
        const std::uint32_t sampleRate = littleEndian(fmt, 4, 4);
        const std::uint32_t byteRate = littleEndian(fmt, 8, 4);
        const std::uint32_t blockAlign = littleEndian(fmt, 12, 2);
        const std::uint32_t bitsPerSample = littleEndian(fmt, 14, 2);
        if (formatTag != kPcmFormatTag || bitsPerSample != kBitsPerSample)
            return std::nullopt;
        if (channels < 1 || channels > 2)
            return std::nullopt;
        if (sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate)
            return std::nullopt;
        if (blockAlign != channels * kBitsPerSample / 8 || byteRate != sampleRate * blockAlign)
            return std::nullopt;
        return PcmSound { static_cast<int>(sampleRate), static_cast<int>(channels), {} };
    }

}

std::optional<PcmSound> parseWav(QByteArrayView file)
{
    const auto fileSize = FileOffset(file.size());
    if (fileSize < kRiffHeaderBytes || !file.startsWith("RIFF")
        || file.sliced(8, 4) != QByteArrayView("WAVE"))
        return std::nullopt;
    // The RIFF size counts everything after its own field; a file shorter than that is truncated.
    const FileOffset riffEnd = 8 + FileOffset { littleEndian(file, 4, 4) };
    if (riffEnd > fileSize || riffEnd < kRiffHeaderBytes)
        return std::nullopt;

    // Every chunk ends inside the RIFF chunk and the next starts past its header, so the walk
    // ends, and each offset it slices at fits in qsizetype.
    std::optional<Chunk> fmt;
    std::optional<Chunk> data;
    for (FileOffset offset = kRiffHeaderBytes; offset < riffEnd && !data;) {
        if (riffEnd - offset < kChunkHeaderBytes)
            return std::nullopt;
        const FileOffset bodyStart = offset + kChunkHeaderBytes;
        const FileOffset bodySize = littleEndian(file, offset + 4, 4);
        if (bodySize > riffEnd - bodyStart)
            return std::nullopt;
        const Chunk chunk { file.sliced(qsizetype(offset), 4),
            file.sliced(qsizetype(bodyStart), qsizetype(bodySize)) };
        if (chunk.id == QByteArrayView("fmt ") && !fmt)
            fmt = chunk;
        else if (chunk.id == QByteArrayView("data"))
            data = chunk;
        // Chunks start on even offsets: an odd-sized body is followed by a pad byte, which the
        // last chunk may lack.
        offset = bodyStart + bodySize + bodySize % 2;
    }
    if (!fmt || !data)
        return std::nullopt;

    std::optional<PcmSound> sound = pcmFormat(fmt->body);
    const qsizetype frameBytes = sound ? sound->channelCount * qsizetype { kBitsPerSample / 8 } : 0;
    if (!sound || data->body.isEmpty() || data->body.size() % frameBytes != 0)
        return std::nullopt;
    sound->samples = data->body.toByteArray();
    return sound;
}

std::optional<PcmSound> loadWav(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseWav(file.readAll());
}

}
