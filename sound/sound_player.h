#pragma once

#include "game/ports.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace keyfall {

class PulseOutput;

// Plays the game's four sounds from the files in a folder, read once at start-up. A new sound
// cuts off the one playing. A file that is missing or unreadable sounds the alert it is given (the
// desktop's) instead; without a sound server the game stays silent. Nothing is ever reported.
class SoundPlayer final : public SoundPort {
public:
    SoundPlayer(const QString& directory, std::function<void()> alert);
    ~SoundPlayer() override;

    // Reaches for the sound server in the background; until then sounds are silent.
    void connectToServer();
    void play(Sound sound) override;

private:
    // Each sound's clip in the output, if its file could be read.
    std::array<std::optional<std::size_t>, kAllSounds.size()> clipOf_;
    std::unique_ptr<PulseOutput> output_;
    std::function<void()> alert_;
};

}
