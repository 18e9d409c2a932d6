// Plays the game's sounds through the game's player, one every INTERVAL milliseconds, and prints
// the wall-clock time of each play call so that a recording can be checked against it.
// Usage: play_sequence SOUND_DIRECTORY INTERVAL_MS NAME...   (NAME: a sound file name, e.g.
// shooted.wav)
#include "ui/sound_player.h"

#include <QApplication>
#include <QDateTime>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <optional>

using namespace keyfall;

namespace {

constexpr int kTailMilliseconds = 1500;

std::optional<Sound> soundNamed(const QString& name)
{
    for (const Sound sound : { Sound::Shooted, Sound::Wrong, Sound::Boing, Sound::TheEnd }) {
        if (QString::fromLatin1(soundFileName(sound)) == name)
            return sound;
    }
    return std::nullopt;
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool intervalOk = false;
    const int intervalMs = args.size() > 3 ? args[2].toInt(&intervalOk) : 0;
    QList<Sound> sequence;
    for (const QString& name : args.mid(3)) {
        if (const auto sound = soundNamed(name))
            sequence.append(*sound);
    }
    if (!intervalOk || sequence.size() != args.size() - 3) {
        std::fputs("usage: play_sequence SOUND_DIRECTORY INTERVAL_MS NAME...\n", stderr);
        return 2;
    }

    SoundPlayer player(args[1]);
    QTextStream out(stdout);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    qsizetype next = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
        player.play(sequence[next]);
        out << "played " << soundFileName(sequence[next]).data() << ' ' << Qt::fixed << now
            << Qt::endl;
        if (++next == sequence.size()) {
            timer.stop();
            QTimer::singleShot(kTailMilliseconds, &app, &QCoreApplication::quit);
        }
    });
    timer.start(intervalMs);
    return app.exec();
}
