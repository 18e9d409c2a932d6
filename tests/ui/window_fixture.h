#pragma once

#include "game_fixture.h"
#include "ui/widgets/control_surface.h"
#include "ui/widgets/main_window.h"

#include <QImage>
#include <QTest>

namespace keyfall::testing {

// The real window on a simulated clock, shown offscreen.
struct ShownWindow {
    VirtualClock clock;
    RecordingSound sound;
    MainWindow window { clock, sound };
    Form1& form = window.form();

    ShownWindow() { window.show(); }
    bool exposed() { return QTest::qWaitForWindowExposed(&window); }

    QImage grab() { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    template <typename Widget = QWidget> Widget* child(const QString& name)
    {
        return window.findChild<Widget*>(name);
    }
    ControlSurface* surfaceOf(Container container)
    {
        using namespace Qt::Literals::StringLiterals;
        return child<ControlSurface>(container == Container::Frame1 ? u"Frame1"_s : u"Form1"_s);
    }

    // Clicks at a point of the client area, on the widget on top there.
    void clickAt(QPoint point)
    {
        QWidget* on = window.childAt(point);
        QTest::mouseClick(
            on ? on : &window, Qt::LeftButton, {}, on ? on->mapFrom(&window, point) : point);
    }
    // Clicks a few pixels inside the label's top-left corner, where its text begins.
    void click(const Label& label)
    {
        const QPoint corner(static_cast<int>(label.Left / 15), static_cast<int>(label.Top / 15));
        clickAt(surfaceOf(label.In)->mapTo(&window, corner + QPoint(3, 3)));
    }

    // Lets the simulated clock run, then lets the window catch up as the real timers would make it.
    void advance(std::int64_t ms)
    {
        clock.advance(ms);
        window.refreshFromModel();
    }
};

// Window pixels in logical pixels; the form places things in twips, 15 to a pixel.
inline QPoint twips(float x, float y)
{
    return { static_cast<int>(x / 15), static_cast<int>(y / 15) };
}

// Where a control of the settings frame lies in the window.
inline QPoint inFrame(float x, float y) { return twips(2880 + x, 720 + y); }

}
