#pragma once

#include "game/ports.h"

#include <QString>
#include <array>
#include <memory>
#include <optional>

namespace keyfall {

class PulseOutput;

// Plays the game's four sounds from the files beside the executable, read once at start-up.
// A new sound cuts off the one playing. A file that is missing or unreadable plays the desktop's
// alert instead; without a sound server the game stays silent. Nothing is ever reported.
class SoundPlayer final : public SoundPort {
public:
    explicit SoundPlayer(const QString& directory);
    ~SoundPlayer() override;

    // Reaches for the sound server in the background; until then sounds are silent.
    void connectToServer();
    void play(Sound sound) override;

private:
    // Each sound's clip in the output, if its file could be read.
    std::array<std::optional<std::size_t>, kAllSounds.size()> clipOf_;
    std::unique_ptr<PulseOutput> output_;
};

}
