#pragma once

namespace keyfall {

class Form1;
class MainWindow;

// The one way the window tells what it shows as it changes, to whatever describes the window in
// another form than pixels (a screen reader's news, through Announcer). The window holds one
// observer at most (MainWindow::setObserver). An observer is told in the middle of the window's
// work: it must not change the model or the widgets, and it decides itself what telling costs.
// What its widgets show (captions, checked, enabled, shown) and where the keyboard focus is, Qt
// tells assistive technology itself.
class WindowObserver {
public:
    virtual ~WindowObserver() = default;

    // The window's labels show the model as it is, after a click, a key or a tick; the keyboard
    // focus moves after this call, so that what the observer tells comes first.
    virtual void refreshed(MainWindow& window, const Form1& form) = 0;
};

}
