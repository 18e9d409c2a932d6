#pragma once

#include "game/ports.h"

#include <array>
#include <string_view>

// How to recognise each of the game's sound effects, for instance in a recording: the band that
// holds the strongest frequency of the whole sound, and how long the sound lasts. The bands do not
// overlap, and neighbouring bands are at least a factor of 1.1 apart.
namespace keyfall::sounds {

struct Signature {
    std::string_view fileName;
    double dominantLowHz;
    double dominantHighHz;
    double minSeconds;
    double maxSeconds;
};

// A target typed correctly: a bright laser zap sweeping down.
inline constexpr Signature kShooted { soundFileName(Sound::Shooted), 1500.0, 3000.0, 0.15, 0.25 };
// A wrong key: a low buzz.
inline constexpr Signature kWrong { soundFileName(Sound::Wrong), 95.0, 125.0, 0.15, 0.25 };
// A missed target replaced: a springy boing.
inline constexpr Signature kBoing { soundFileName(Sound::Boing), 140.0, 320.0, 0.35, 0.45 };
// Game over: a falling four-note jingle.
inline constexpr Signature kTheEnd { soundFileName(Sound::TheEnd), 360.0, 820.0, 1.0, 1.5 };

inline constexpr std::array kAll { kShooted, kWrong, kBoing, kTheEnd };

inline constexpr int kSampleRate = 44100;
// Every sound peaks at this level, in dB relative to full scale.
inline constexpr double kPeakDbfs = -3.0;
// Every sound is audible from its first 2 ms on.
inline constexpr double kMaxOnsetSeconds = 0.002;

}
