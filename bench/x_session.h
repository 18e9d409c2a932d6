#pragma once

#include "bench/child_process.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Xlib's own header is kept out: its macros clash with Qt's names.
struct _XDisplay;

namespace keyfall::bench {

using XWindowId = unsigned long;

// A rectangle of a window, in its pixels.
struct Area {
    int x;
    int y;
    int width;
    int height;
};

// Pixels as 0xRRGGBB, row by row.
using Pixels = std::vector<std::uint32_t>;

// A connection to the X server that sees what a program's window shows and acts as its player:
// it watches top-level windows appear, hears of every change to a window's pixels (XDamage), reads
// them back (XGetImage) and sends real mouse and key events (XTest).
class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Waits for the process's top-level window to be mapped, then follows its pixels. Must be
    // called on a session opened before the process was started, so no map event is missed.
    std::optional<XWindowId> waitForWindowOf(pid_t pid, SteadyTime deadline);

    // Checks the condition now and after every change to the window's pixels until it holds;
    // returns when it first held, or nothing at the deadline.
    std::optional<SteadyTime> waitUntil(
        const std::function<bool()>& condition, SteadyTime deadline);

    Pixels pixels(Area area);
    std::uint32_t pixel(int x, int y) { return pixels({ x, y, 1, 1 })[0]; }

    // Real input, as the X server gets it from a mouse and a keyboard; both return once sent.
    void click(int x, int y);
    void pressMouse(int x, int y);
    void releaseMouse();
    void type(char character);
    void selectAll();
    // Deletes what is selected, such as the rest of a word that a box completed by itself.
    void deleteSelection();

    // Asks the window to close, as a window manager's close button does.
    void closeWindow();

private:
    void pointAt(int x, int y);
    void tapKey(unsigned long keysym, bool shifted);
    void flush();

    _XDisplay* display_;
    XWindowId root_;
    XWindowId window_ = 0;
    int damageEventBase_ = 0;
};

}
