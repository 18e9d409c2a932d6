#include "ui/platform/window_system_opening.h"

#include <cstdio>
#include <cstdlib>

namespace keyfall {

WindowSystemOpening::WindowSystemOpening()
{
    previous_ = qInstallMessageHandler(&WindowSystemOpening::hold);
}

WindowSystemOpening::~WindowSystemOpening()
{
    qInstallMessageHandler(previous_);
    for (const HeldMessage& message : held())
        previous_(
            message.type, QMessageLogContext(nullptr, 0, nullptr, message.category), message.text);
    held().clear();
}

std::vector<WindowSystemOpening::HeldMessage>& WindowSystemOpening::held()
{
    static std::vector<HeldMessage> messages;
    return messages;
}

void WindowSystemOpening::hold(
    QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg)
        giveUp(text);
    held().push_back({ type, context.category, text });
}

// The platform plugin's own complaint names the problem best ("could not connect to display
// :9"); without a display at all, saying so is clearer still.
void WindowSystemOpening::giveUp(const QString& fatalText)
{
    QString reason = fatalText.section(u'\n', 0, 0);
    for (const HeldMessage& message : held()) {
        if (message.category && qstrncmp(message.category, "qt.qpa", 6) == 0) {
            reason = message.text;
            break;
        }
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        reason = QStringLiteral("no display (DISPLAY is not set)");
    std::fprintf(
        stderr, "keyfall: cannot open the game window: %s\n", qUtf8Printable(reason.simplified()));
    std::_Exit(1);
}

}
