#pragma once

#include <cstdint>
#include <span>

namespace keyfall::test {

// The frequency between 40 Hz and 8 kHz, in steps of 1 %, that carries the most energy over the
// whole sound, measured in Hann-windowed frames of about 90 ms.
double dominantFrequencyHz(std::span<const std::int16_t> samples, int sampleRate);

}
