#include "ui/widgets/keyboard.h"

#include "game/form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <iterator>

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

namespace {

    bool isEnter(const QKeyEvent& key)
    {
        return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    }

    // The choices of one setting: one checked at a time, one stop of Tab, the arrows moving
    // within, as Qt's radio buttons do. Each is named with its group's caption and says its place,
    // which a screen reader says with it: "Game Level, 2, radio button, checked, 2 of 3". They
    // take the focus from the keyboard alone, so that a click leaves it in the input box.
    void makeGroup(QAbstractButton* const (&choices)[3], const QString& caption, QObject* parent)
    {
        auto* group = new QButtonGroup(parent);
        for (int i = 0; i < 3; ++i) {
            QAbstractButton* choice = choices[i];
            choice->setAccessibleName(QStringLiteral("%1, %2").arg(caption, choice->text()));
            choice->setAccessibleDescription(QStringLiteral("%1 of 3").arg(i + 1));
            group->addButton(choice);
        }
        // Tab comes to the group at its checked choice, as Qt leaves it when the focus has been
        // there, also where a click or the game chose it.
        const auto tabStopAt = [group](QAbstractButton* checked) {
            for (QAbstractButton* choice : group->buttons())
                choice->setFocusPolicy(choice == checked ? Qt::TabFocus : Qt::NoFocus);
        };
        QObject::connect(group, &QButtonGroup::buttonToggled, group,
            [tabStopAt](QAbstractButton* button, bool checked) {
                if (checked)
                    tabStopAt(button);
            });
        tabStopAt(group->checkedButton());
    }
}

Keyboard::Keyboard(
    QWidget& window, const Form1& form, QLineEdit& input, std::function<void(const Label&)> click)
    : QObject(&window)
    , window_(window)
    , form_(form)
    , input_(input)
    , click_(std::move(click))
{
    // Tab moves among the panel's controls alone, as in a dialog; the box gets the focus back
    // whenever the panel closes.
    input.setFocusPolicy(Qt::ClickFocus);
    input.setFocus();
    for (const CommandKey& command : commandKeys()) {
        auto* shortcut = new QShortcut(command.key, &window);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this,
            [this, label = command.label] { pressCommandKey(label(form_)); });
    }
}

void Keyboard::setUpPanel(const PanelControls& panel)
{
    // Tab follows the panel from top to bottom, and from Ok back to its top. Qt orders only
    // controls that take the focus, so the order comes before the groups' single stops.
    QWidget* const order[] = { &input_, panel.speeds[0], panel.speeds[1], panel.speeds[2],
        panel.levels[0], panel.levels[1], panel.levels[2], panel.cases[0], panel.cases[1],
        panel.cases[2], panel.roundLength, panel.cancel, panel.ok };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        if (order[i] != panel.roundLength)
            order[i]->setFocusPolicy(Qt::TabFocus);
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    makeGroup(panel.speeds, panel.speedCaption, this);
    makeGroup(panel.levels, panel.levelCaption, this);
    makeGroup(panel.cases, panel.caseCaption, this);
    panel.cancel->installEventFilter(this);
    panel.ok->installEventFilter(this);
    firstControl_ = panel.speeds[0];
}

// As in a dialog, Enter presses the focused button rather than the panel's default one, Ok.
bool Keyboard::eventFilter(QObject* watched, QEvent* event)
{
    const bool isKey
        = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (!isKey || !isEnter(static_cast<QKeyEvent&>(*event)))
        return false;
    if (event->type() == QEvent::KeyPress)
        static_cast<QAbstractButton*>(watched)->click();
    event->accept();
    return true;
}

// The key that opens the settings panel also takes the focus into it, to the chosen speed, for a
// player on the keys alone; a click leaves the focus where it is.
void Keyboard::pressCommandKey(const Label& label)
{
    const bool panelWasShown = form_.Frame1.Visible;
    click_(label);
    if (!panelWasShown && form_.Frame1.Visible && firstControl_) {
        QAbstractButton* chosen = firstControl_->group()->checkedButton();
        (chosen ? chosen : firstControl_)->setFocus(Qt::TabFocusReason);
    }
}

void Keyboard::panelClosing() { giveTypingFocus(); }

void Keyboard::refreshed()
{
    const QWidget* focused = window_.focusWidget();
    if (!focused || !focused->isVisibleTo(&window_) || !focused->isEnabled())
        giveTypingFocus();
}

// While the box is disabled, at time-over, no control keeps the focus: one that stayed focused
// as it hid would go on taking the keys and change a setting that is not on screen.
void Keyboard::giveTypingFocus()
{
    if (input_.isEnabled())
        input_.setFocus();
    else if (QWidget* focused = window_.focusWidget())
        focused->clearFocus();
}

}
