#include "ui/look_and_feel.h"
#include "ui/main_window.h"
#include "ui/qt_timer_scheduler.h"
#include "ui/sound_player.h"

#include <QApplication>
#include <cstdio>

namespace {

// Without a display Qt would abort; say what is missing instead.
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fputs(
            "keyfall: cannot open the game window: no display (DISPLAY is not set)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    keyfall::applyLookAndFeel();
    keyfall::QtTimerScheduler scheduler;
    keyfall::SoundPlayer sound(QCoreApplication::applicationDirPath());
    keyfall::MainWindow window(scheduler, sound);
    QObject::connect(&scheduler, &keyfall::QtTimerScheduler::ticked, &window,
        &keyfall::MainWindow::refreshFromModel);
    window.show();
    return app.exec();
}
