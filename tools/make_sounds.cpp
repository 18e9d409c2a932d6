// Synthesises the game's sound effects as 16-bit mono WAV files named after their signatures.
// Each starts at full level on its first sample, ends in a short fade and peaks at -3 dBFS.
// Usage: make_sounds OUTPUT_DIRECTORY
#include "asset_io.h"
#include "sound_signatures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <numbers>
#include <vector>

namespace {

namespace sounds = keyfall::sounds;
using Signal = std::vector<double>;

constexpr double kFadeOutSeconds = 0.02;

std::size_t sampleCount(double seconds)
{
    return static_cast<std::size_t>(std::lround(seconds * sounds::kSampleRate));
}

double secondsAt(std::size_t sample) { return static_cast<double>(sample) / sounds::kSampleRate; }

// Keeps the waveform continuous while its pitch changes from one sample to the next.
class Oscillator {
public:
    // The phase angle of this sample; then moves on by one sample at the given pitch.
    double advance(double hz)
    {
        const double now = phase_;
        phase_ = std::fmod(
            phase_ + 2 * std::numbers::pi * hz / sounds::kSampleRate, 2 * std::numbers::pi);
        return now;
    }

private:
    double phase_ = 0;
};

// Samples voice(t, oscillator) for the given length.
template <typename Voice> Signal render(double seconds, Voice voice)
{
    Signal signal(sampleCount(seconds));
    Oscillator oscillator;
    for (std::size_t i = 0; i < signal.size(); ++i)
        signal[i] = voice(secondsAt(i), oscillator);
    return signal;
}

constexpr bool inBand(const sounds::Signature& signature, double hz)
{
    return hz >= signature.dominantLowHz && hz <= signature.dominantHighHz;
}

constexpr bool lastsAsSigned(const sounds::Signature& signature, double seconds)
{
    return seconds >= signature.minSeconds && seconds <= signature.maxSeconds;
}

// Shooted: pitch falls exponentially from 2900 to 1600 Hz while the level decays fast, with a
// second harmonic for brightness. Strongest frequency 1500-3000 Hz (about 2560 Hz, early in the
// sweep).
constexpr double kZapSeconds = 0.2;
constexpr double kZapStartHz = 2900;
constexpr double kZapEndHz = 1600;
static_assert(inBand(sounds::kShooted, kZapStartHz) && inBand(sounds::kShooted, kZapEndHz));
static_assert(lastsAsSigned(sounds::kShooted, kZapSeconds));

Signal zap()
{
    return render(kZapSeconds, [](double t, Oscillator& oscillator) {
        const double phase
            = oscillator.advance(kZapStartHz * std::pow(kZapEndHz / kZapStartHz, t / kZapSeconds));
        return std::exp(-t / 0.07) * (std::sin(phase) + 0.4 * std::sin(2 * phase));
    });
}

// Wrong: a sine driven into soft clipping, nearly square, sagging from 115 to 105 Hz; the odd
// harmonics make it buzz. Strongest frequency 95-125 Hz (about 110 Hz).
constexpr double kBuzzSeconds = 0.2;
constexpr double kBuzzStartHz = 115;
constexpr double kBuzzEndHz = 105;
static_assert(inBand(sounds::kWrong, kBuzzStartHz) && inBand(sounds::kWrong, kBuzzEndHz));
static_assert(lastsAsSigned(sounds::kWrong, kBuzzSeconds));

Signal buzz()
{
    return render(kBuzzSeconds, [](double t, Oscillator& oscillator) {
        const double phase
            = oscillator.advance(kBuzzStartHz + (kBuzzEndHz - kBuzzStartHz) * t / kBuzzSeconds);
        return std::tanh(3 * std::sin(phase));
    });
}

// Boing: a twang whose pitch bends up from 180 to 250 Hz while wobbling by up to 20 % at 14 Hz,
// the wobble dying away like a settling spring. Strongest frequency 140-320 Hz (about 200 Hz).
constexpr double kBoingSeconds = 0.4;
constexpr double kBoingStartHz = 180;
constexpr double kBoingEndHz = 250;
constexpr double kBoingWobble = 0.2;
static_assert(inBand(sounds::kBoing, kBoingStartHz*(1 - kBoingWobble)));
static_assert(inBand(sounds::kBoing, kBoingEndHz*(1 + kBoingWobble)));
static_assert(lastsAsSigned(sounds::kBoing, kBoingSeconds));

Signal boing()
{
    return render(kBoingSeconds, [](double t, Oscillator& oscillator) {
        const double bend
            = kBoingStartHz * std::pow(kBoingEndHz / kBoingStartHz, t / kBoingSeconds);
        const double wobble
            = kBoingWobble * std::exp(-t / 0.12) * std::sin(2 * std::numbers::pi * 14 * t);
        const double phase = oscillator.advance(bend * (1 + wobble));
        return std::exp(-t / 0.2) * (std::sin(phase) + 0.3 * std::sin(2 * phase));
    });
}

// The end: G5, E5, C5 and a long G4, each struck and decaying, with a hollow third harmonic.
// Strongest frequency 360-820 Hz (about 390 Hz, the long last note).
struct Note {
    double hz;
    double seconds;
};

constexpr std::array kJingle { Note { 784.0, 0.2 }, Note { 659.3, 0.2 }, Note { 523.3, 0.2 },
    Note { 392.0, 0.6 } };
static_assert(std::ranges::all_of(
    kJingle, [](const Note& note) { return inBand(sounds::kTheEnd, note.hz); }));
constexpr double jingleSeconds()
{
    double seconds = 0;
    for (const Note& note : kJingle)
        seconds += note.seconds;
    return seconds;
}
static_assert(lastsAsSigned(sounds::kTheEnd, jingleSeconds()));

Signal jingle()
{
    // The level follows each note's decay through a 2 ms smoothing, so a new note starts
    // without a click.
    const double smoothing = 1 - std::exp(-1 / (0.002 * sounds::kSampleRate));
    Signal signal;
    Oscillator oscillator;
    double level = 1;
    for (const Note& note : kJingle) {
        for (std::size_t i = 0; i < sampleCount(note.seconds); ++i) {
            const double target = 0.4 + 0.6 * std::exp(-secondsAt(i) / (note.seconds / 2));
            level += smoothing * (target - level);
            const double phase = oscillator.advance(note.hz);
            signal.push_back(level * (std::sin(phase) + 0.25 * std::sin(3 * phase)));
        }
    }
    return signal;
}

// Fades out the end to avoid a click, scales the peak to the common level and rounds to 16 bits.
std::vector<std::int16_t> finish(Signal signal)
{
    const std::size_t fadeLength = sampleCount(kFadeOutSeconds);
    const std::size_t fadeStart = signal.size() - fadeLength;
    for (std::size_t i = fadeStart; i < signal.size(); ++i)
        signal[i] *= 0.5
            + 0.5 * std::cos(std::numbers::pi * static_cast<double>(i - fadeStart) / fadeLength);

    double peak = 0;
    for (const double value : signal)
        peak = std::max(peak, std::abs(value));
    const double scale = 32767 * std::pow(10.0, sounds::kPeakDbfs / 20) / peak;
    std::vector<std::int16_t> samples;
    samples.reserve(signal.size());
    for (const double value : signal)
        samples.push_back(static_cast<std::int16_t>(std::lround(value * scale)));
    return samples;
}

struct Sound {
    const sounds::Signature& signature;
    std::function<Signal()> synthesise;
};

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_sounds OUTPUT_DIRECTORY\n";
        return 2;
    }
    const std::array<Sound, 4> all { { { sounds::kShooted, zap }, { sounds::kWrong, buzz },
        { sounds::kBoing, boing }, { sounds::kTheEnd, jingle } } };
    try {
        const std::filesystem::path directory = argv[1];
        for (const Sound& sound : all)
            keyfall::tools::writeWavMono16(directory / sound.signature.fileName,
                sounds::kSampleRate, finish(sound.synthesise()));
    } catch (const std::exception& error) {
        std::cerr << "make_sounds: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
