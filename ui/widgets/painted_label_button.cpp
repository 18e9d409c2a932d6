#include "ui/widgets/painted_label_button.h"

#include "game/controls.h"
#include "ui/paint/colours.h"
#include "ui/paint/geometry.h"

#include <QKeyEvent>
#include <QPainter>

namespace keyfall {

namespace {

    bool isEnter(const QKeyEvent& key)
    {
        return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    }

}

PaintedLabelButton::PaintedLabelButton(const Label& label, const QString& name, QWidget* parent)
    : QAbstractButton(parent)
    , label_(label)
{
    setText(label.Caption);
    setObjectName(name);
    setGeometry(placeOf(label));
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

// As in a dialog, Enter presses the focused button rather than the panel's default one; a choice
// of a group is no button to press, so there Enter stays the panel's.
bool PaintedLabelButton::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && !isCheckable()
        && isEnter(static_cast<QKeyEvent&>(*event))) {
        event->accept();
        return true;
    }
    return QAbstractButton::event(event);
}

void PaintedLabelButton::keyPressEvent(QKeyEvent* event)
{
    if (!isCheckable() && isEnter(*event))
        click();
    else
        QAbstractButton::keyPressEvent(event);
}

// The label itself lies beneath, painted by its surface; only the focus is drawn here, dotted in
// the label's text colour, which shows on the label's own background.
void PaintedLabelButton::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(toQColor(label_.ForeColor), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
}

}
