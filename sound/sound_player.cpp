#include "sound_player.h"

#include "pulse_output.h"
#include "wav_reader.h"

#include <vector>

namespace keyfall {

SoundPlayer::SoundPlayer(const QString& directory, std::function<void()> alert)
    : alert_(std::move(alert))
{
    std::vector<PcmSound> clips;
    for (const Sound sound : kAllSounds) {
        const QString name = QString::fromLatin1(soundFileName(sound));
        if (std::optional<PcmSound> clip = loadWav(directory + u'/' + name)) {
            clipOf_[static_cast<std::size_t>(sound)] = clips.size();
            clips.push_back(std::move(*clip));
        }
    }
    output_ = std::make_unique<PulseOutput>(std::move(clips));
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::connectToServer() { output_->start(); }

void SoundPlayer::play(Sound sound)
{
    if (const std::optional<std::size_t> clip = clipOf_[static_cast<std::size_t>(sound)])
        output_->play(*clip);
    else
        alert_();
}

}
