#pragma once

#include <QPalette>

class QComboBox;
class QLineEdit;
class QRadioButton;
class QString;
class QWidget;

namespace keyfall {

struct ComboBox;
struct OptionButton;
struct TextBox;

// The form's real widgets, placed and coloured as the form describes them and named after
// their controls.
QLineEdit* makeInputBox(const TextBox& box, const QString& name, QWidget* parent);
QRadioButton* makeOptionButton(const OptionButton& option, const QString& name, QWidget* parent);
QComboBox* makeComboBox(const ComboBox& combo, const QString& name, QWidget* parent);

// Bring a widget in line with its control's run-time properties, touching only what differs.
void syncShown(QWidget& widget, bool shown);
void syncInputBox(QLineEdit& edit, const TextBox& box);
void syncOptionButton(QRadioButton& button, const OptionButton& option);
void syncComboBox(QComboBox& combo, const ComboBox& model);

}
