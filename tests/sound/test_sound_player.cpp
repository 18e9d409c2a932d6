#include "sound/sound_player.h"
#include "wav_bytes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace keyfall;
using namespace keyfall::testing;

namespace {

constexpr int kPlaysPerSound = 25;
// Far beyond any real cost of starting sounds, far below anything a player would notice as a hang.
constexpr qint64 kBlockingMilliseconds = 1000;

void writeFile(const QTemporaryDir& dir, std::string_view name, const QByteArray& bytes)
{
    QFile file(dir.filePath(QString::fromLatin1(name)));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Plays every sound many times over and returns how long the calls took, in milliseconds.
qint64 playAllRepeatedly(SoundPlayer& player)
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < kPlaysPerSound; ++i) {
        for (const Sound sound : kAllSounds)
            player.play(sound);
    }
    return elapsed.elapsed();
}

}

// Run with PULSE_SERVER pointing nowhere: these are the conditions of a machine without sound.
class SoundPlayerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void withoutAudioDevicePlayingReturnsAtOnce()
    {
        QTemporaryDir dir;
        for (const Sound sound : kAllSounds)
            writeFile(dir, soundFileName(sound), monoWav(sineSamples(440, 4410)));
        int alerts = 0;
        SoundPlayer player(dir.path(), [&alerts] { ++alerts; });
        player.connectToServer();
        const qint64 milliseconds = playAllRepeatedly(player);
        qInfo("%d plays without an audio device took %lld ms", kPlaysPerSound * 4, milliseconds);
        QVERIFY(milliseconds < kBlockingMilliseconds);
        QCOMPARE(alerts, 0);
        QTest::qWait(200);
    }

    void unusableFilesFallBackWithoutBlocking()
    {
        QTemporaryDir dir;
        const QByteArray good = monoWav(sineSamples(440, 4410));
        writeFile(dir, soundFileName(Sound::Shooted), {});
        writeFile(dir, soundFileName(Sound::Wrong), good.chopped(100));
        writeFile(dir, soundFileName(Sound::Boing), "not a sound at all");
        int alerts = 0; // the end sound's file is missing altogether
        SoundPlayer player(dir.path(), [&alerts] { ++alerts; });
        player.connectToServer();
        const qint64 milliseconds = playAllRepeatedly(player);
        qInfo("%d plays of unusable files took %lld ms", kPlaysPerSound * 4, milliseconds);
        QVERIFY(milliseconds < kBlockingMilliseconds);
        QCOMPARE(alerts, kPlaysPerSound * 4);
    }
};

QTEST_MAIN(SoundPlayerTest)
#include "test_sound_player.moc"
