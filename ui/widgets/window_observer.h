#pragma once

class QWidget;

namespace keyfall {

class ControlSurface;
class Form1;
struct Label;
struct LabelLook;

// The one way the window tells what it shows as it changes, to whatever describes the window in
// another form than pixels (assistive technology, through AccessibleControls). The window holds
// one observer at most (MainWindow::setObserver) and tells it nothing before it is first shown.
// An observer is told in the middle of the window's work: it must not change the model or the
// widgets, and it decides itself what telling costs (the accessibility observer does nothing while
// no assistive technology listens).
//
// Each kind of change is one function, with nothing to do by default, so that an observer follows
// only what it needs. Most of what a player must know arrives as a label's new look: a pause and a
// resume as the pause label's caption, the time over as "Time is Over!" showing, a new target as
// the target's caption. What no label shows by itself (the settings panel opening or closing, the
// game paused in the model) an observer finds in `refreshed`, comparing the model with what it saw
// before. The keyboard focus is Qt's own to tell. A new kind of change is a function more here,
// called from the one place in the window that learns of it.
class WindowObserver {
public:
    virtual ~WindowObserver() = default;

    // A label painted on `surface` is drawn differently from now on: `before` is how it was last
    // drawn, `now` how it will be drawn. Both looks live only for the call.
    virtual void labelChanged(ControlSurface& /*surface*/, const Label& /*label*/,
        const LabelLook& /*before*/, const LabelLook& /*now*/)
    {
    }

    // The window now shows the model as it is, after a click, a key or a tick, all changes above
    // told and the keyboard focus where it goes.
    virtual void refreshed(QWidget& /*window*/, const Form1& /*form*/) { }
};

}
