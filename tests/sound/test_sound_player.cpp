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

// A sound server that takes connections and never answers, as a stalled one does.
class MuteServer {
public:
    explicit MuteServer(const QString& path)
        : listening_(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address { AF_UNIX, {} };
        const QByteArray name = path.toLocal8Bit();
        name.toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
        bind(listening_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        listen(listening_, 1);
        qputenv("PULSE_SERVER", "unix:" + name);
    }
    ~MuteServer()
    {
        close(client_);
        close(listening_);
    }

    bool reached()
    {
        if (client_ < 0)
            client_ = accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC);
        return client_ >= 0;
    }

private:
    int listening_;
    int client_ = -1;
};

}

// Run with PULSE_SERVER pointing nowhere: the conditions of a machine without sound. How long
// play() takes is the benchmark's to measure; a play() that blocked would hang the test.
class SoundPlayerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The player drops the sounds, and its owner is never held up quitting, however long the
    // server keeps silent.
    void aServerThatNeverAnswersNeitherBlocksNorAlerts()
    {
        QTemporaryDir dir;
        for (const Sound sound : kAllSounds)
            writeFile(dir, soundFileName(sound), monoWav(sineSamples(440, 4410)));
        const QByteArray noServer = qgetenv("PULSE_SERVER");
        MuteServer server(dir.filePath(QStringLiteral("server")));
        int alerts = 0;
        {
            SoundPlayer player(dir.path(), [&alerts] { ++alerts; });
            player.connectToServer();
            QVERIFY(QTest::qWaitFor([&server] { return server.reached(); }));
            playAllRepeatedly(player);
        }
        qputenv("PULSE_SERVER", noServer);
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
