#include "ui/pcm_stream.h"

#include <QSignalSpy>
#include <QTest>

using namespace keyfall;

namespace {

const QByteArray kClip("abcdefgh");
constexpr qint64 kTailBytes = 4;

}

class PcmStreamTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void givesTheClipThenSilenceWithoutEverRunningDry()
    {
        PcmStream stream;
        stream.setClip(kClip, kTailBytes);
        QCOMPARE(stream.read(5), QByteArray("abcde"));
        QCOMPARE(stream.read(5), QByteArray("fgh\0\0", 5));
        QCOMPARE(stream.read(20), QByteArray(20, '\0'));
        QVERIFY(!stream.atEnd());
    }

    void tellsOnceWhenTheClipAndItsTailHaveBeenRead()
    {
        PcmStream stream;
        QSignalSpy played(&stream, &PcmStream::clipPlayed);
        stream.setClip(kClip, kTailBytes);
        stream.read(kClip.size() + kTailBytes - 1);
        QCOMPARE(played.count(), 0);
        QVERIFY(!stream.clipPlayedOut());
        stream.read(1);
        QCOMPARE(played.count(), 1);
        QVERIFY(stream.clipPlayedOut());
        stream.read(100);
        QCOMPARE(played.count(), 1);
    }

    // The sink keeps reading in small pieces; a new clip must start at once, not after
    // whatever was read ahead of the old one.
    void aNewClipStartsFromItsBeginningMidway()
    {
        PcmStream stream;
        QSignalSpy played(&stream, &PcmStream::clipPlayed);
        stream.setClip(kClip, kTailBytes);
        QCOMPARE(stream.read(3), QByteArray("abc"));
        stream.setClip("xyz", kTailBytes);
        QVERIFY(!stream.clipPlayedOut());
        QCOMPARE(stream.read(4), QByteArray("xyz\0", 4));
        stream.read(3);
        QCOMPARE(played.count(), 1);
    }
};

QTEST_GUILESS_MAIN(PcmStreamTest)
#include "test_pcm_stream.moc"
