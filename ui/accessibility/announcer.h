#pragma once

#include "ui/widgets/window_observer.h"

#include <QAccessible>
#include <QString>

namespace keyfall {

// Has a screen reader say at once what a player must know and no control shows by itself: each
// new target, spelt; the game paused, and going on again; the round over. The target's letters
// come first, so that a player hears nothing before them, and a resumed game says its target
// again. Nothing is done while no assistive technology listens.
class Announcer final : public WindowObserver, public QAccessible::ActivationObserver {
public:
    explicit Announcer(QWidget& window);
    ~Announcer() override;
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    void refreshed(MainWindow& window, const Form1& form) override;
    void accessibilityActiveChanged(bool active) override;

private:
    // What the player has been told of.
    struct Told {
        int round = 0;
        bool paused = false;
        bool over = false;
        bool targetShown = false;
        QString target;
        float targetTop = 0;
    };
    QWidget& window_;
    Told told_;
    // The input box's own name, where it is named by the letters to type.
    QString boxCaption_;
    int newsSent_ = 0;
};

// A target's letters as a screen reader is to say them: one word each, each capital said to be
// one ("capital T, capital U, b"), since a run of letters is read as a word.
QString spokenLetters(const QString& target);

}
