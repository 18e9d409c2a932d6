#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace keyfall::test {

struct WavFile {
    int format = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::vector<std::int16_t> samples;

    double seconds() const { return static_cast<double>(samples.size()) / sampleRate; }
};

// Reads the format and the 16-bit samples of a RIFF/WAVE file; nothing if it is not one or lacks
// either chunk.
std::optional<WavFile> readWav(const QString& path);

}
