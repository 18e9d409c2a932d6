#include "bench/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <cctype>
#include <poll.h>
#include <stdexcept>

namespace keyfall::bench {

namespace {

    std::optional<long> windowPid(Display* display, Window window)
    {
        const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const bool found = XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL,
                               &type, &format, &count, &after, &data)
                == Success
            && data && count == 1;
        std::optional<long> pid;
        if (found)
            pid = *reinterpret_cast<long*>(data);
        if (data)
            XFree(data);
        return pid;
    }

    // The next event, waiting for it until the deadline; false if none came.
    bool nextEvent(Display* display, XEvent& event, SteadyTime deadline)
    {
        while (!XPending(display)) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd connection { ConnectionNumber(display), POLLIN, 0 };
            poll(&connection, 1, static_cast<int>(left.count()));
        }
        XNextEvent(display, &event);
        return true;
    }

}

XSession::XSession()
    : display_(XOpenDisplay(nullptr))
{
    if (!display_)
        throw std::runtime_error("cannot open the X display");
    root_ = DefaultRootWindow(display_);
    int damageError = 0;
    if (!XDamageQueryExtension(display_, &damageEventBase_, &damageError))
        throw std::runtime_error("the X server has no DAMAGE extension");
    int xtest[4];
    if (!XTestQueryExtension(display_, &xtest[0], &xtest[1], &xtest[2], &xtest[3]))
        throw std::runtime_error("the X server has no XTEST extension");
    XSelectInput(display_, root_, SubstructureNotifyMask);
    XSync(display_, False);
}

XSession::~XSession() { XCloseDisplay(display_); }

std::optional<XWindowId> XSession::waitForWindowOf(pid_t pid, SteadyTime deadline)
{
    XEvent event;
    while (nextEvent(display_, event, deadline)) {
        if (event.type != MapNotify || event.xmap.event != root_
            || windowPid(display_, event.xmap.window) != pid)
            continue;
        window_ = event.xmap.window;
        XDamageCreate(display_, window_, XDamageReportRawRectangles);
        XSync(display_, False);
        return window_;
    }
    return std::nullopt;
}

std::optional<SteadyTime> XSession::waitUntil(
    const std::function<bool()>& condition, SteadyTime deadline)
{
    XEvent event;
    do {
        if (condition())
            return std::chrono::steady_clock::now();
        // Damage that came meanwhile is all seen by the next look at the pixels.
        while (nextEvent(display_, event, deadline)
            && event.type != damageEventBase_ + XDamageNotify) { }
        while (XPending(display_))
            XNextEvent(display_, &event);
    } while (std::chrono::steady_clock::now() < deadline);
    return condition() ? std::optional(std::chrono::steady_clock::now()) : std::nullopt;
}

Pixels XSession::pixels(Area area)
{
    XImage* image = XGetImage(display_, window_, area.x, area.y, static_cast<unsigned>(area.width),
        static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (!image)
        throw std::runtime_error("cannot read the window's pixels");
    Pixels result;
    result.reserve(static_cast<std::size_t>(area.width * area.height));
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x)
            result.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    }
    XDestroyImage(image);
    return result;
}

void XSession::pointAt(int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, root_, x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
}

void XSession::click(int x, int y)
{
    pressMouse(x, y);
    releaseMouse();
}

void XSession::pressMouse(int x, int y)
{
    pointAt(x, y);
    XTestFakeButtonEvent(display_, Button1, True, CurrentTime);
    flush();
}

void XSession::releaseMouse()
{
    XTestFakeButtonEvent(display_, Button1, False, CurrentTime);
    flush();
}

void XSession::tapKey(unsigned long keysym, bool shifted)
{
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    const KeyCode key = XKeysymToKeycode(display_, keysym);
    if (shifted)
        XTestFakeKeyEvent(display_, shift, True, CurrentTime);
    XTestFakeKeyEvent(display_, key, True, CurrentTime);
    XTestFakeKeyEvent(display_, key, False, CurrentTime);
    if (shifted)
        XTestFakeKeyEvent(display_, shift, False, CurrentTime);
    flush();
}

void XSession::type(char character)
{
    const auto c = static_cast<unsigned char>(character);
    tapKey(std::tolower(c), std::isupper(c));
}

void XSession::selectAll()
{
    const KeyCode control = XKeysymToKeycode(display_, XK_Control_L);
    XTestFakeKeyEvent(display_, control, True, CurrentTime);
    tapKey(XK_a, false);
    XTestFakeKeyEvent(display_, control, False, CurrentTime);
    flush();
}

void XSession::deleteSelection() { tapKey(XK_Delete, false); }

void XSession::closeWindow()
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window_, False, NoEventMask, &event);
    flush();
}

void XSession::flush() { XFlush(display_); }

}
