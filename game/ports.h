#pragma once

#include <array>
#include <string_view>

namespace keyfall {

// What the game needs from the world around it: sound, timers and the window it lives in.
// The program plugs in Qt; the tests plug in a recorder and a simulated clock.

enum class Sound { Shooted, Wrong, Boing, TheEnd };
inline constexpr std::array kAllSounds { Sound::Shooted, Sound::Wrong, Sound::Boing,
    Sound::TheEnd };

constexpr std::string_view soundFileName(Sound sound)
{
    switch (sound) {
    case Sound::Shooted:
        return "shooted.wav";
    case Sound::Wrong:
        return "wrong.wav";
    case Sound::Boing:
        return "boing.wav";
    case Sound::TheEnd:
        return "theend.wav";
    }
    return {};
}

class SoundPort {
public:
    virtual ~SoundPort() = default;
    // Starts the sound and returns at once; a new sound cuts off the one playing.
    virtual void play(Sound sound) = 0;
};

class HostWindow {
public:
    virtual ~HostWindow() = default;
    // Whether the player cannot see the window: minimized, or no longer drawn by the desktop.
    virtual bool isOutOfSight() const = 0;
    // Closes the window and ends the program.
    virtual void close() = 0;
};

}
