#include "pcm_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace keyfall {

PcmStream::PcmStream(QObject* parent)
    : QIODevice(parent)
{
    // Unbuffered: a read-ahead buffer would go on serving the old clip after a new one is set.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void PcmStream::setClip(const QByteArray& pcm, qint64 tailBytes)
{
    clip_ = pcm;
    position_ = 0;
    end_ = pcm.size() + tailBytes;
}

bool PcmStream::clipPlayedOut() const { return position_ >= end_; }

bool PcmStream::isSequential() const { return true; }

qint64 PcmStream::bytesAvailable() const { return std::numeric_limits<qint64>::max(); }

qint64 PcmStream::readData(char* data, qint64 maxSize)
{
    const qint64 fromClip = std::clamp<qint64>(clip_.size() - position_, 0, maxSize);
    if (fromClip > 0)
        std::memcpy(data, clip_.constData() + position_, fromClip);
    std::memset(data + fromClip, 0, maxSize - fromClip);
    const bool reachesEnd = position_ < end_ && position_ + maxSize >= end_;
    position_ += maxSize;
    if (reachesEnd)
        Q_EMIT clipPlayed();
    return maxSize;
}

qint64 PcmStream::writeData(const char*, qint64) { return -1; }

}
