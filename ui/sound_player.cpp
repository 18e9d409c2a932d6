#include "sound_player.h"

#include "wav_reader.h"

#include <QApplication>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QTimer>
#include <array>
#include <optional>

namespace keyfall {

namespace {

    constexpr std::array kAllSounds { Sound::Shooted, Sound::Wrong, Sound::Boing, Sound::TheEnd };

    // Small enough that a sound starts at once, large enough not to underrun under load.
    constexpr int kBufferMilliseconds = 40;
    // Time for the sound server to play out what it still holds before the stream is closed.
    constexpr int kDrainMarginMilliseconds = 100;

    QAudioFormat formatOf(const PcmSound& pcm)
    {
        QAudioFormat format;
        format.setSampleRate(pcm.sampleRate);
        format.setChannelCount(pcm.channelCount);
        format.setSampleFormat(QAudioFormat::Int16);
        return format;
    }

}

struct SoundPlayer::Private {
    std::array<std::optional<PcmSound>, kAllSounds.size()> sounds;
    // The sound being played, read by the sink as it needs it.
    QBuffer source;
    std::unique_ptr<QAudioSink> sink;
    // Closes the stream once a sound has played out, so an idle game has nothing to wake it.
    QTimer stopWhenDrained;
};

SoundPlayer::SoundPlayer(const QString& directory, QObject* parent)
    : QObject(parent)
    , d_(std::make_unique<Private>())
{
    for (const Sound sound : kAllSounds) {
        const QString name = QString::fromLatin1(soundFileName(sound));
        d_->sounds[static_cast<std::size_t>(sound)] = loadWav(directory + u'/' + name);
    }
    d_->stopWhenDrained.setSingleShot(true);
    connect(&d_->stopWhenDrained, &QTimer::timeout, this, [this] { d_->sink->stop(); });
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play(Sound sound)
{
    const std::optional<PcmSound>& pcm = d_->sounds[static_cast<std::size_t>(sound)];
    if (!pcm) {
        QApplication::beep();
        return;
    }
    d_->stopWhenDrained.stop();
    if (d_->sink)
        d_->sink->stop();

    const QAudioFormat format = formatOf(*pcm);
    if (!d_->sink || d_->sink->format() != format) {
        const QAudioDevice output = QMediaDevices::defaultAudioOutput();
        if (output.isNull())
            return;
        d_->sink = std::make_unique<QAudioSink>(output, format);
        d_->sink->setBufferSize(format.bytesForDuration(kBufferMilliseconds * 1000));
        d_->stopWhenDrained.setInterval(kBufferMilliseconds + kDrainMarginMilliseconds);
        connect(d_->sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::IdleState)
                d_->stopWhenDrained.start();
        });
    }
    d_->source.close();
    d_->source.setData(pcm->samples);
    d_->source.open(QIODevice::ReadOnly);
    d_->sink->start(&d_->source);
}

}
