// The game window on Qt's precise timers, as the program runs it, with a recorder between the
// game's timers and the scheduler. When the window closes it writes one line per tick: the
// timer's role and how late the tick came, in microseconds.
// Usage: bench_tick_timing OUTPUT_FILE SOUND_DIRECTORY
#include "bench/tick_recorder.h"
#include "sound/sound_player.h"
#include "ui/platform/look_and_feel.h"
#include "ui/platform/qt_timer_scheduler.h"
#include "ui/widgets/main_window.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <fstream>

using namespace keyfall;

namespace {

std::int64_t steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const char* roleOf(const GameTimer* timer, Form1& form)
{
    if (timer == &form.Timer1)
        return "fall";
    if (timer == &form.Timer2)
        return "respawn";
    return "clock";
}

}

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fputs("usage: bench_tick_timing OUTPUT_FILE SOUND_DIRECTORY\n", stderr);
        return 2;
    }
    const std::string output = argv[1];
    QApplication app(argc, argv);
    applyLookAndFeel();
    QtTimerScheduler scheduler;
    bench::TickRecorder recorder(scheduler, steadyNowNs);
    SoundPlayer sound(QString::fromLocal8Bit(argv[2]), &QApplication::beep);
    MainWindow window(recorder, sound);
    QObject::connect(&scheduler, &QtTimerScheduler::ticked, &window, &MainWindow::refreshFromModel);
    window.show();
    sound.connectToServer();
    const int status = app.exec();

    std::ofstream lines(output);
    for (const bench::TickRecord& tick : recorder.ticks())
        lines << roleOf(tick.timer, window.form()) << ' ' << (tick.firedNs - tick.dueNs) / 1000
              << '\n';
    return status;
}
