#pragma once

#include "game/ports.h"

#include <QObject>
#include <QString>
#include <memory>

namespace keyfall {

// Plays the game's four sounds from the files beside the executable, read once at start-up.
// A new sound cuts off the one playing. A file that is missing or unreadable plays the desktop's
// alert instead; with no audio device the game stays silent. Nothing is ever reported.
class SoundPlayer final : public QObject, public SoundPort {
    Q_OBJECT

public:
    explicit SoundPlayer(const QString& directory, QObject* parent = nullptr);
    ~SoundPlayer() override;

    void play(Sound sound) override;

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

}
