#include "sound_player.h"

#include "pcm_stream.h"
#include "wav_reader.h"

#include <QApplication>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <array>
#include <optional>

namespace keyfall {

namespace {

    constexpr std::array kAllSounds { Sound::Shooted, Sound::Wrong, Sound::Boing, Sound::TheEnd };

    // The sink is fed from the user-interface thread, so the buffer must outlast a busy moment
    // there. It adds no delay: a new clip gets a new stream, whose buffer fills at once, and the
    // server starts it once about half is there. (Below about 60 ms the sink's first write falls
    // short of that half and nothing plays at all.)
    constexpr int kBufferMilliseconds = 250;
    // Silence read after a clip before the sink stops. The server holds at most the buffer, so
    // what it drops when the stream closes is silence, not the end of the clip; a little more
    // allows for its rounding. Any longer only keeps the sink's timer waking the program.
    constexpr int kTailMilliseconds = kBufferMilliseconds + 50;

    QAudioFormat formatOf(const PcmSound& pcm)
    {
        QAudioFormat format;
        format.setSampleRate(pcm.sampleRate);
        format.setChannelCount(pcm.channelCount);
        format.setSampleFormat(QAudioFormat::Int16);
        return format;
    }

    qint64 bytesFor(const QAudioFormat& format, int milliseconds)
    {
        return format.bytesForDuration(qint64 { milliseconds } * 1000);
    }

}

struct SoundPlayer::Private {
    std::array<std::optional<PcmSound>, kAllSounds.size()> sounds;
    PcmStream stream;
    std::unique_ptr<QAudioSink> sink;

    // A new sink for every clip: closing the old one drops what the server still holds of it,
    // and a stopped sink that is started again can keep its timer running. A sink runs the event
    // loop while it is destroyed, so it is deleted later, not inside a caller of play().
    void closeSink()
    {
        if (!sink)
            return;
        sink->stop();
        sink.release()->deleteLater();
    }

    // A sink that is destroyed while it still plays can abort in its own clean-up.
    ~Private()
    {
        if (sink)
            sink->stop();
    }
};

SoundPlayer::SoundPlayer(const QString& directory, QObject* parent)
    : QObject(parent)
    , d_(std::make_unique<Private>())
{
    for (const Sound sound : kAllSounds) {
        const QString name = QString::fromLatin1(soundFileName(sound));
        d_->sounds[static_cast<std::size_t>(sound)] = loadWav(directory + u'/' + name);
    }
    // Closing the sink once a clip is over leaves nothing to wake an idle game. Queued, so the
    // sink is not destroyed from inside its own read; a clip started meanwhile keeps playing.
    connect(
        &d_->stream, &PcmStream::clipPlayed, this,
        [this] {
            if (d_->stream.clipPlayedOut())
                d_->closeSink();
        },
        Qt::QueuedConnection);
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play(Sound sound)
{
    const std::optional<PcmSound>& pcm = d_->sounds[static_cast<std::size_t>(sound)];
    if (!pcm) {
        QApplication::beep();
        return;
    }
    d_->closeSink();
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return;
    const QAudioFormat format = formatOf(*pcm);
    d_->sink = std::make_unique<QAudioSink>(output, format);
    d_->sink->setBufferSize(bytesFor(format, kBufferMilliseconds));
    d_->stream.setClip(pcm->samples, bytesFor(format, kTailMilliseconds));
    d_->sink->start(&d_->stream);
}

}
