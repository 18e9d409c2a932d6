#include "sound/sound_player.h"
#include "ui/accessibility/announcer.h"
#include "ui/accessibility/key_forwarding_application.h"
#include "ui/platform/command_line.h"
#include "ui/platform/desktop_environment.h"
#include "ui/platform/first_frame.h"
#include "ui/platform/look_and_feel.h"
#include "ui/platform/qt_timer_scheduler.h"
#include "ui/platform/sound_folder.h"
#include "ui/platform/window_system_opening.h"
#include "ui/widgets/main_window.h"

#include <optional>

int main(int argc, char* argv[])
{
    if (const std::optional<int> status = keyfall::answerCommandLine(argc, argv, KEYFALL_VERSION))
        return *status;
    // What Qt finds in the environment as it starts, set first.
    keyfall::chooseWindowSystem();
    keyfall::chooseUtf8Locale();
    keyfall::nameRuntimeFolder();
    std::optional<keyfall::WindowSystemOpening> opening(std::in_place);
    keyfall::KeyForwardingApplication app(argc, argv);
    opening.reset();
    // The window, the taskbar and the menu entry belong together under this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(KEYFALL_APP_ID));
    keyfall::applyLookAndFeel();
    keyfall::QtTimerScheduler scheduler;
    keyfall::SoundPlayer sound(
        keyfall::soundFolder(QCoreApplication::applicationDirPath()), &QApplication::beep);
    keyfall::MainWindow window(scheduler, sound);
    keyfall::Announcer announcer(window);
    window.setObserver(&announcer);
    QObject::connect(&scheduler, &keyfall::QtTimerScheduler::ticked, &window,
        &keyfall::MainWindow::refreshFromModel);
    window.show();
    keyfall::afterFirstFrame(window, [&sound] { sound.connectToServer(); });
    return app.exec();
}
