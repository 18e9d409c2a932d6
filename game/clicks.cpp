#include "game/form1.h"

#include <utility>

namespace keyfall {

bool Form1::canTakeClicks(const Label& label) const
{
    const bool containerShown = label.In == Container::Form1 || Frame1.Visible;
    return containerShown && label.Visible && label.Enabled;
}

void Form1::clickLabel(const Label& label)
{
    if (!canTakeClicks(label))
        return;
    using Handler = void (Form1::*)();
    const std::pair<const Label*, Handler> handlers[] = {
        { &lblNew, &Form1::lblNew_Click },
        { &lblPause, &Form1::lblPause_Click },
        { &lblQuit, &Form1::lblQuit_Click },
        { &lblSettings, &Form1::lblSettings_Click },
        { &Label9, &Form1::Label9_Click },
        { &Label10, &Form1::Label10_Click },
        { &lblCaps, &Form1::lblCaps_Click },
        { &lblSmall, &Form1::lblSmall_Click },
        { &lblMixed, &Form1::lblMixed_Click },
    };
    for (const auto& [clickable, handler] : handlers) {
        if (clickable == &label)
            (this->*handler)();
    }
}

}
