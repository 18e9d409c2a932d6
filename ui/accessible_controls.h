#pragma once

#include <QAccessible>

class QObject;

namespace keyfall {

class ControlSurface;
class Form1;
struct Label;
struct LabelLook;

// Makes the window's controls reachable by assistive technology: the labels that the window
// paints itself become objects of their own, with the level buttons and the surfaces that hold
// them. Qt asks for these interfaces only while an assistive technology listens.
void installAccessibleControls();

// What a painted label is to assistive technology: the target and the time-over caption are
// notifications, a label that takes clicks is a push button or, for a letter case, a radio button
// checked by its border; the others are plain text.
QAccessible::Role accessibleRole(const Form1& form, const Label& label);

// Tells assistive technology how a label changed between two looks: its caption (its name), its
// visibility, whether it takes clicks and whether it is checked. A new target is shown anew, so
// that a screen reader voices it. Call it only while QAccessible::isActive().
void announceLabelChange(
    ControlSurface& surface, const Label& label, const LabelLook& before, const LabelLook& now);

// Tells assistive technology that a control was checked or cleared.
void announceCheckedChange(QObject& control);

}
