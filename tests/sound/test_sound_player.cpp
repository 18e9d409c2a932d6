#include "sound/sound_player.h"
#include "wav_bytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace keyfall;
using namespace keyfall::testing;

namespace {

constexpr int kPlaysPerSound = 25;

void writeFile(const QTemporaryDir& dir, std::string_view name, const QByteArray& bytes)
{
    QFile file(dir.filePath(QString::fromLatin1(name)));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void playAllRepeatedly(SoundPlayer& player)
{
    for (int i = 0; i < kPlaysPerSound; ++i) {
        for (const Sound sound : kAllSounds)
            player.play(sound);
    }
}

}

// Run with PULSE_SERVER pointing nowhere: the conditions of a machine without sound. How long
// play() takes is the benchmark's to measure; a play() that blocked would hang the test.
class SoundPlayerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The player reaches for the server and drops the sounds, and its owner is never held up
    // playing or quitting, however long the server keeps silent. This thread is the server: a
    // play that waited for it would never return.
    void aServerThatNeverAnswersNeitherBlocksNorAlerts()
    {
        QTemporaryDir dir;
        for (const Sound sound : kAllSounds)
            writeFile(dir, soundFileName(sound), monoWav(sineSamples(440, 4410)));
        // It takes the connection and never answers, as a stalled server does.
        const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un address { AF_UNIX, {} };
        dir.filePath(QStringLiteral("server")).toStdString().copy(address.sun_path, 100);
        QVERIFY(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        QVERIFY(listen(server, 1) == 0);
        const QByteArray noServer = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", QByteArray("unix:") + address.sun_path);
        int alerts = 0;
        int client = -1;
        {
            SoundPlayer player(dir.path(), [&alerts] { ++alerts; });
            player.connectToServer();
            playAllRepeatedly(player); // before the server has even taken the connection
            QVERIFY(
                QTest::qWaitFor([&] { return (client = accept(server, nullptr, nullptr)) >= 0; }));
            // The player's first request reaches the server, which never reads it.
            QVERIFY(QTest::qWaitFor([&] {
                char byte = 0;
                return recv(client, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 1;
            }));
            playAllRepeatedly(player);
        }
        qputenv("PULSE_SERVER", noServer);
        close(client);
        close(server);
        QCOMPARE(alerts, 0);
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
        playAllRepeatedly(player);
        QCOMPARE(alerts, kPlaysPerSound * 4);
    }
};

QTEST_MAIN(SoundPlayerTest)
#include "test_sound_player.moc"
