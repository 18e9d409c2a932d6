#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace keyfall::testing {

// The header fields of a RIFF/WAVE file, each of which a test may set to a wrong value.
struct WavFields {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 1;
    std::uint32_t sampleRate = 44100;
    std::uint16_t bitsPerSample = 16;
    std::uint16_t blockAlign = 2;
    std::uint32_t byteRate = 88200;
    std::uint32_t formatBytes = 16;
};

inline QByteArray littleEndianBytes(std::uint32_t value, int byteCount)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes.first(byteCount);
}

inline QByteArray chunk(const char* id, const QByteArray& body)
{
    QByteArray bytes = QByteArray(id) + littleEndianBytes(body.size(), 4) + body;
    if (body.size() % 2)
        bytes += '\0';
    return bytes;
}

inline QByteArray formatChunk(const WavFields& f)
{
    QByteArray body = littleEndianBytes(f.formatTag, 2) + littleEndianBytes(f.channels, 2)
        + littleEndianBytes(f.sampleRate, 4) + littleEndianBytes(f.byteRate, 4)
        + littleEndianBytes(f.blockAlign, 2) + littleEndianBytes(f.bitsPerSample, 2);
    body.resize(f.formatBytes, '\0');
    return chunk("fmt ", body);
}

inline QByteArray riff(const QByteArray& chunks)
{
    return "RIFF" + littleEndianBytes(chunks.size() + 4, 4) + "WAVE" + chunks;
}

// 16-bit mono samples of a sine at half scale.
inline QByteArray sineSamples(double hz, int sampleCount, int sampleRate = 44100)
{
    QByteArray samples;
    for (int i = 0; i < sampleCount; ++i) {
        const double value = 16384 * std::sin(2 * std::numbers::pi * hz * i / sampleRate);
        samples += littleEndianBytes(static_cast<std::uint16_t>(std::lround(value)), 2);
    }
    return samples;
}

inline QByteArray monoWav(const QByteArray& samples)
{
    return riff(formatChunk({}) + chunk("data", samples));
}

}
