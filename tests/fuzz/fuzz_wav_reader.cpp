#include "sound/wav_reader.h"

#include <cstdint>
#include <cstdlib>

// Any bytes give a clip or nothing. A clip is whole 16-bit frames of one or two channels at a
// rate a sound card plays, and its samples are bytes of the file: nothing is read past the data.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView file(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<keyfall::PcmSound> sound = keyfall::parseWav(file);
    if (!sound)
        return 0;
    const int channels = sound->channelCount;
    if (channels < 1 || channels > 2 || sound->sampleRate < 8000 || sound->sampleRate > 192000)
        std::abort();
    if (sound->samples.isEmpty() || sound->samples.size() % (2 * channels) != 0)
        std::abort();
    if (file.indexOf(sound->samples) < 0)
        std::abort();
    return 0;
}
