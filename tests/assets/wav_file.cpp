#include "wav_file.h"

#include "little_endian.h"

#include <QFile>

namespace keyfall::test {

std::optional<WavFile> readWav(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;

    WavFile wav;
    bool hasFormat = false;
    FileOffset chunk = 12;
    while (const auto chunkSize = littleEndian(bytes, chunk + 4, 4)) {
        const FileOffset body = chunk + 8;
        const QByteArray id = bytes.mid(qsizetype(chunk), 4);
        const auto field = [&](FileOffset offset, int size) {
            return static_cast<int>(littleEndian(bytes, body + offset, size).value_or(0));
        };
        if (id == "fmt ") {
            wav.format = field(0, 2);
            wav.channels = field(2, 2);
            wav.sampleRate = field(4, 4);
            wav.bitsPerSample = field(14, 2);
            hasFormat = true;
        } else if (id == "data" && hasFormat && wav.bitsPerSample == 16) {
            if (body + *chunkSize > FileOffset(bytes.size()))
                return std::nullopt;
            for (FileOffset i = 0; i + 1 < *chunkSize; i += 2)
                wav.samples.push_back(static_cast<std::int16_t>(field(i, 2)));
            return wav;
        }
        chunk = body + *chunkSize + *chunkSize % 2;
    }
    return std::nullopt;
}

}
