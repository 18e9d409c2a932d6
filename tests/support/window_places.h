#pragma once

#include "game/form1.h"
#include "ui/paint/geometry.h"

#include <type_traits>

namespace keyfall::testing {

// Where a control lies in the window's client area, in pixels, as the window places it: a control
// of the settings panel within the panel.
template <typename Control> QRect placeInWindow(const Form1& form, const Control& control)
{
    if constexpr (std::is_same_v<Control, CommandButton>) // the level buttons lie in the panel
        return placeOf(control).translated(placeOf(form.Frame1).topLeft());
    if constexpr (requires { control.In; }) {
        if (control.In == Container::Frame1)
            return placeOf(control).translated(placeOf(form.Frame1).topLeft());
    }
    return placeOf(control);
}

// A point of the control that takes its clicks: its centre; but an auto-size label is only as
// wide as its text, which may be narrower than the width it stores, so a quarter of that in.
template <typename Control> QPoint clickPoint(const Form1& form, const Control& control)
{
    const QRect place = placeInWindow(form, control);
    bool autoSize = false;
    if constexpr (requires { control.AutoSize; })
        autoSize = control.AutoSize;
    return { place.x() + place.width() / (autoSize ? 4 : 2), place.y() + place.height() / 2 };
}

}
