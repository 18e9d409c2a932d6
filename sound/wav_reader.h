#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace keyfall {

// Uncompressed 16-bit sound ready for an audio sink: interleaved little-endian samples, the
// bytes of the file as they are, whatever the machine's own byte order.
struct PcmSound {
    int sampleRate = 0;
    int channelCount = 0;
    QByteArray samples;
};

// Accepts only a RIFF/WAVE file of 16-bit PCM, mono or stereo, whose every header field agrees
// with the others and with the size of the file; anything else is rejected.
std::optional<PcmSound> parseWav(QByteArrayView file);

// Reads and parses the file; nothing if it cannot be read or is not such a WAV.
std::optional<PcmSound> loadWav(const QString& path);

}
