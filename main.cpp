#include "sound/sound_player.h"
#include "ui/accessible_controls.h"
#include "ui/command_line.h"
#include "ui/first_frame.h"
#include "ui/look_and_feel.h"
#include "ui/main_window.h"
#include "ui/qt_timer_scheduler.h"
#include "ui/sound_folder.h"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <langinfo.h>
#include <optional>
#include <string>
#include <vector>

namespace {

// Qt gives up with a fatal message, and so an abort and a core dump, when it cannot open the
// window system. While QApplication opens it, Qt's messages are held back: if it fails, the
// player reads one line saying why and the program ends with status 1; if it succeeds, the held
// messages go out as usual.
class WindowSystemOpening {
public:
    WindowSystemOpening() { previous_ = qInstallMessageHandler(&WindowSystemOpening::hold); }

    ~WindowSystemOpening()
    {
        qInstallMessageHandler(previous_);
        for (const HeldMessage& message : held())
            previous_(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category),
                message.text);
        held().clear();
    }

    WindowSystemOpening(const WindowSystemOpening&) = delete;
    WindowSystemOpening& operator=(const WindowSystemOpening&) = delete;

private:
    struct HeldMessage {
        QtMsgType type;
        const char* category; // a logging category's name lives as long as the program
        QString text;
    };

    static std::vector<HeldMessage>& held()
    {
        static std::vector<HeldMessage> messages;
        return messages;
    }

    static void hold(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type == QtFatalMsg)
            giveUp(text);
        held().push_back({ type, context.category, text });
    }

    // The platform plugin's own complaint names the problem best ("could not connect to display
    // :9"); without a display at all, saying so is clearer still.
    [[noreturn]] static void giveUp(const QString& fatalText)
    {
        QString reason = fatalText.section(u'\n', 0, 0);
        for (const HeldMessage& message : held()) {
            if (message.category && qstrncmp(message.category, "qt.qpa", 6) == 0) {
                reason = message.text;
                break;
            }
        }
        if (qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            reason = QStringLiteral("no display (DISPLAY is not set)");
        std::fprintf(stderr, "keyfall: cannot open the game window: %s\n",
            qUtf8Printable(reason.simplified()));
        std::_Exit(1);
    }

    static inline QtMessageHandler previous_ = nullptr;
};

// An X server, where there is one, serves the game also on a Wayland desktop (as XWayland): only
// there can the window open centred and the game tell that it was minimized. A platform the
// player chose comes first, and Wayland serves if no X server answers.
void preferXServer()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

bool isUtf8(const char* codeset)
{
    return qstricmp(codeset, "UTF-8") == 0 || qstricmp(codeset, "utf8") == 0;
}

// Qt reads and writes text as UTF-8 whatever the locale, and says so on standard error where the
// environment names a locale of another character set, as a shell without a locale does ("C").
// Before Qt looks, the variable that names the character type is given the UTF-8 form of its
// locale, or else C.UTF-8: the language stays, only the character set changes.
void chooseUtf8CharacterType()
{
    if (!std::setlocale(LC_ALL, "") || isUtf8(nl_langinfo(CODESET)))
        return;
    // de_DE.ISO-8859-1 and de_DE@euro become de_DE.UTF-8; C and POSIX become C.UTF-8.
    std::string name = std::setlocale(LC_CTYPE, nullptr);
    name = name.substr(0, name.find_first_of(".@")) + ".UTF-8";
    const char* chosen = std::setlocale(LC_CTYPE, name.c_str());
    if (!chosen)
        chosen = std::setlocale(LC_CTYPE, "C.UTF-8");
    if (!chosen)
        return;
    const char* variable = "LC_CTYPE"; // POSIX's order: LC_ALL, then LC_CTYPE, then LANG
    for (const char* candidate : { "LC_ALL", "LC_CTYPE", "LANG" }) {
        if (!qEnvironmentVariableIsEmpty(candidate)) {
            variable = candidate;
            break;
        }
    }
    qputenv(variable, chosen);
}

}

int main(int argc, char* argv[])
{
    if (const std::optional<int> status = keyfall::answerCommandLine(argc, argv, KEYFALL_VERSION))
        return *status;
    preferXServer();
    chooseUtf8CharacterType();
    std::optional<WindowSystemOpening> opening(std::in_place);
    QApplication app(argc, argv);
    opening.reset();
    // The window, the taskbar and the menu entry belong together under this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(KEYFALL_APP_ID));
    keyfall::applyLookAndFeel();
    // Before the window, so that assistive technology finds each of its controls as the game's.
    keyfall::AccessibleControls accessibility;
    keyfall::QtTimerScheduler scheduler;
    keyfall::SoundPlayer sound(
        keyfall::soundFolder(QCoreApplication::applicationDirPath()), &QApplication::beep);
    keyfall::MainWindow window(scheduler, sound);
    window.setObserver(&accessibility);
    QObject::connect(&scheduler, &keyfall::QtTimerScheduler::ticked, &window,
        &keyfall::MainWindow::refreshFromModel);
    window.show();
    keyfall::afterFirstFrame(window, [&sound] { sound.connectToServer(); });
    return app.exec();
}
