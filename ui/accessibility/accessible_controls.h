#pragma once

#include "ui/widgets/window_observer.h"

#include <QPointer>
#include <QString>
#include <vector>

namespace keyfall {

// Makes the window's controls reachable by assistive technology: the labels that the window
// paints itself become objects of their own, with the level buttons and the surfaces that hold
// them. While it lives, Qt asks it for these interfaces, which it does only while an assistive
// technology listens; make it before the window, so that Qt never describes a control of the
// window in its own way. As the window's observer it tells each change, only while one listens.
// Qt frees each interface with its control; a surface's labels go with the surface's interface.
class AccessibleControls final : public WindowObserver {
public:
    AccessibleControls();
    ~AccessibleControls() override;
    AccessibleControls(const AccessibleControls&) = delete;
    AccessibleControls& operator=(const AccessibleControls&) = delete;

    // A changed caption renames the label, and so on for its visibility, whether it takes clicks
    // and whether it is checked; told with the news that follows in `refreshed`.
    void labelChanged(ControlSurface& surface, const Label& label, const LabelLook& before,
        const LabelLook& now) override;
    // Has a screen reader say at once what a player must know: the game paused or going on, the
    // settings panel opening (and where the keyboard is) or closing, the round over, then the new
    // target's letters, last, so that nothing the game says comes over them.
    void refreshed(QWidget& window, const Form1& form) override;

private:
    // A label drawn differently, to be told: what of it changed.
    struct LabelChange {
        QPointer<ControlSurface> surface;
        const Label* label;
        bool renamed;
        bool enabledChanged;
        bool borderChanged;
        bool visibleChanged;
        bool visible;
    };
    static void tell(const LabelChange& change);

    std::vector<LabelChange> changes_;
    // What the player has been told of.
    struct Told {
        bool paused = false;
        bool panelShown = false;
        bool over = false;
        bool targetShown = false;
        QString target;
        float targetTop = 0;
    };
    Told told_;
};

}
