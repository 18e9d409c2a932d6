#pragma once

#include <QByteArray>
#include <QIODevice>

namespace keyfall {

// The source an audio sink pulls from: the clip being played, then silence without end.
// It never runs dry, because the sink's own handling of a source that has ended can race with
// the next start and crash; instead it tells when the clip and a tail of silence have been read.
class PcmStream final : public QIODevice {
    Q_OBJECT

public:
    explicit PcmStream(QObject* parent = nullptr);

    // Plays the clip from its beginning, cutting off the one being read.
    void setClip(const QByteArray& pcm, qint64 tailBytes);
    // True once the clip and its tail of silence have been read.
    bool clipPlayedOut() const;

    bool isSequential() const override;
    // Endless: there is always silence to read after the clip.
    qint64 bytesAvailable() const override;

Q_SIGNALS:
    void clipPlayed();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    QByteArray clip_;
    qint64 position_ = 0;
    qint64 end_ = 0;
};

}
