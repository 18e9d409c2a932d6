#include "dominant_frequency.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace keyfall::test {

namespace {

    constexpr std::size_t kFrameLength = 4096;
    constexpr std::size_t kFrameStep = kFrameLength / 2;

    // Energy of one frequency in a windowed frame, by the Goertzel recurrence.
    double energyAt(const std::vector<double>& frame, double hz, int sampleRate)
    {
        const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / sampleRate);
        double previous = 0;
        double beforePrevious = 0;
        for (const double sample : frame) {
            const double current = sample + coefficient * previous - beforePrevious;
            beforePrevious = previous;
            previous = current;
        }
        return previous * previous + beforePrevious * beforePrevious
            - coefficient * previous * beforePrevious;
    }

}

double dominantFrequencyHz(std::span<const std::int16_t> samples, int sampleRate)
{
    std::vector<double> frequencies;
    for (double hz = 40; hz <= 8000; hz *= 1.01)
        frequencies.push_back(hz);
    std::vector<double> energies(frequencies.size(), 0.0);

    std::vector<double> frame(kFrameLength);
    for (std::size_t start = 0; start + kFrameLength <= samples.size(); start += kFrameStep) {
        for (std::size_t i = 0; i < kFrameLength; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (kFrameLength - 1));
            frame[i] = hann * samples[start + i];
        }
        for (std::size_t f = 0; f < frequencies.size(); ++f)
            energies[f] += energyAt(frame, frequencies[f], sampleRate);
    }

    std::size_t strongest = 0;
    for (std::size_t f = 1; f < energies.size(); ++f)
        if (energies[f] > energies[strongest])
            strongest = f;
    return frequencies[strongest];
}

}
