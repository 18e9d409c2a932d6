#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

class QMessageLogContext;

namespace keyfall {

// Qt gives up with a fatal message, and so an abort and a core dump, when it cannot open the
// window system. While an object of this class lives (around the making of QApplication), Qt's
// messages are held back: if opening fails, the player reads one line saying why and the program
// ends with status 1; once it is gone, the held messages go out as usual.
class WindowSystemOpening {
public:
    WindowSystemOpening();
    ~WindowSystemOpening();

    WindowSystemOpening(const WindowSystemOpening&) = delete;
    WindowSystemOpening& operator=(const WindowSystemOpening&) = delete;

private:
    struct HeldMessage {
        QtMsgType type;
        const char* category; // a logging category's name lives as long as the program
        QString text;
    };

    static std::vector<HeldMessage>& held();
    static void hold(QtMsgType type, const QMessageLogContext& context, const QString& text);
    [[noreturn]] static void giveUp(const QString& fatalText);

    static inline QtMessageHandler previous_ = nullptr;
};

}
