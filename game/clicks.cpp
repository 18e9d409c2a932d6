#include "game/form1.h"

#include <utility>

namespace keyfall {

bool Form1::canTakeClicks(const Label& label) const
{
    const bool containerShown = label.In == Container::Form1 || Frame1.Visible;
    return containerShown && label.Visible && label.Enabled;
}

namespace {

    using Handler = void (Form1::*)();

    // The handler that a click on the label runs, if any.
    Handler clickHandler(const Form1& f, const Label& label)
    {
        const std::pair<const Label*, Handler> handlers[] = {
            { &f.lblNew, &Form1::lblNew_Click },
            { &f.lblPause, &Form1::lblPause_Click },
            { &f.lblQuit, &Form1::lblQuit_Click },
            { &f.lblSettings, &Form1::lblSettings_Click },
            { &f.Label9, &Form1::Label9_Click },
            { &f.Label10, &Form1::Label10_Click },
            { &f.lblCaps, &Form1::lblCaps_Click },
            { &f.lblSmall, &Form1::lblSmall_Click },
            { &f.lblMixed, &Form1::lblMixed_Click },
        };
        for (const auto& [clickable, handler] : handlers) {
            if (clickable == &label)
                return handler;
        }
        return nullptr;
    }

}

bool Form1::hasClickHandler(const Label& label) const
{
    return clickHandler(*this, label) != nullptr;
}

void Form1::clickLabel(const Label& label)
{
    if (!canTakeClicks(label))
        return;
    if (const Handler handler = clickHandler(*this, label))
        (this->*handler)();
}

}
