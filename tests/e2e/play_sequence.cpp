// Plays sounds through the game's player and prints the wall-clock time of each play call, so
// that a recording can be checked against it. Each step names a sound file and how many
// milliseconds to wait before the next step.
// The steps begin once a character or the end of input comes on standard input, so that a caller
// can first wait for the player's stream to open: a sound asked for before the player could reach
// the server is dropped.
// Usage: play_sequence SOUND_DIRECTORY NAME:WAIT_MS...   (for instance shooted.wav:120)
#include "sound/sound_player.h"

#include <QApplication>
#include <QDateTime>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <optional>

using namespace keyfall;

namespace {

// Lets the last sound play out before the program ends.
constexpr int kTailMilliseconds = 1500;

struct Step {
    Sound sound;
    int waitMilliseconds;
};

std::optional<Step> parseStep(const QString& text)
{
    const QStringList parts = text.split(u':');
    bool ok = false;
    const int wait = parts.size() == 2 ? parts[1].toInt(&ok) : 0;
    for (const Sound sound : kAllSounds) {
        if (ok && wait >= 0 && QString::fromLatin1(soundFileName(sound)) == parts[0])
            return Step { sound, wait };
    }
    return std::nullopt;
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QList<Step> steps;
    for (const QString& text : args.mid(2)) {
        if (const auto step = parseStep(text))
            steps.append(*step);
    }
    if (args.size() < 3 || steps.size() != args.size() - 2) {
        std::fputs("usage: play_sequence SOUND_DIRECTORY NAME:WAIT_MS...\n", stderr);
        return 2;
    }

    SoundPlayer player(args[1], &QApplication::beep);
    player.connectToServer();
    QTextStream out(stdout);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    qsizetype next = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (next == steps.size()) {
            app.quit();
            return;
        }
        const Step& step = steps[next++];
        const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
        player.play(step.sound);
        out << Qt::fixed << now << ' ' << soundFileName(step.sound).data() << Qt::endl;
        timer.start(next < steps.size() ? step.waitMilliseconds : kTailMilliseconds);
    });
    std::getchar();
    timer.start(0);
    return app.exec();
}
