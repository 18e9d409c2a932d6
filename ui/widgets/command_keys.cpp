#include "ui/widgets/command_keys.h"

#include "game/form1.h"

namespace keyfall {

const std::vector<CommandKey>& commandKeys()
{
    static const std::vector<CommandKey> keys {
        { Qt::Key_F2, [](const Form1& f) -> const Label& { return f.lblNew; } },
        { Qt::Key_Pause, [](const Form1& f) -> const Label& { return f.lblPause; } },
        { Qt::Key_Escape,
            [](const Form1& f) -> const Label& {
                return f.Frame1.Visible ? f.Label10 : f.lblPause;
            } },
        { QKeySequence(Qt::CTRL | Qt::Key_Q),
            [](const Form1& f) -> const Label& { return f.lblQuit; } },
        { Qt::Key_F3, [](const Form1& f) -> const Label& { return f.lblSettings; } },
        { Qt::Key_Return, [](const Form1& f) -> const Label& { return f.Label9; } },
        { Qt::Key_Enter, [](const Form1& f) -> const Label& { return f.Label9; } },
    };
    return keys;
}

QStringList keysOf(const Form1& form, const Label& label)
{
    QStringList keys;
    for (const CommandKey& command : commandKeys()) {
        if (&command.label(form) == &label)
            keys << command.key.toString(QKeySequence::NativeText);
    }
    return keys;
}

}
