#include "ui/widgets/form_widgets.h"

#include "game/controls.h"
#include "ui/paint/colours.h"
#include "ui/paint/fonts.h"
#include "ui/paint/geometry.h"
#include "ui/paint/shape_painter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>
#include <QSignalBlocker>

namespace keyfall {

namespace {

    template <typename Widget, typename Control>
    Widget* placed(const Control& control, const QString& name, QWidget* parent)
    {
        auto* widget = new Widget(parent);
        widget->setObjectName(name);
        widget->setGeometry(placeOf(control));
        return widget;
    }

    void setColours(QWidget& widget, QPalette::ColorRole foreRole, Colour fore,
        QPalette::ColorRole backRole, Colour back)
    {
        QPalette palette = widget.palette();
        palette.setColor(foreRole, toQColor(fore));
        palette.setColor(backRole, toQColor(back));
        widget.setPalette(palette);
    }

    // The box draws its own one-pixel border, in the window-frame colour like the background, so
    // on the classic scheme it is one black strip and what is typed does not stand out: its font
    // needs no fallbacks for characters it lacks, which would cost the start a search of fonts. Its
    // text keeps one pixel clear of the border. It paints every pixel of its place, its background
    // first, so the starfield beneath is not repainted with each key and each blink of the caret.
    class InputBox final : public QLineEdit {
    public:
        explicit InputBox(QWidget* parent)
            : QLineEdit(parent)
            , border_(toQColor(colour::kWindowFrame))
        {
            setFrame(false);
            setTextMargins(1, 1, 1, 1);
            setAttribute(Qt::WA_OpaquePaintEvent);
        }

    protected:
        void paintEvent(QPaintEvent* event) override
        {
            QPainter(this).fillRect(event->rect(), palette().color(QPalette::Base));
            QLineEdit::paintEvent(event);
            QPainter painter(this);
            paintBorder(painter, rect(), border_);
        }

    private:
        QColor border_;
    };

}

QLineEdit* makeInputBox(const TextBox& box, const QString& name, QWidget* parent)
{
    QLineEdit* edit = placed<InputBox>(box, name, parent);
    edit->setFont(toQFont(box.font));
    setColours(*edit, QPalette::Text, box.ForeColor, QPalette::Base, box.BackColor);
    return edit;
}

QRadioButton* makeOptionButton(const OptionButton& option, const QString& name, QWidget* parent)
{
    auto* button = placed<QRadioButton>(option, name, parent);
    button->setText(option.Caption);
    button->setFont(toQFont(windowFont()));
    button->setBackgroundRole(QPalette::Window);
    button->setAutoFillBackground(true);
    setColours(*button, QPalette::WindowText, option.ForeColor, QPalette::Window, option.BackColor);
    return button;
}

QComboBox* makeComboBox(const ComboBox& combo, const QString& name, QWidget* parent)
{
    auto* box = placed<QComboBox>(combo, name, parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // The box takes any text as typed: completing "20" to the listed "200" would change the round.
    box->setCompleter(nullptr);
    box->setFont(toTypingFont(combo.font));
    setColours(*box, QPalette::Text, combo.ForeColor, QPalette::Base, combo.BackColor);
    return box;
}

void syncShown(QWidget& widget, bool shown)
{
    if (widget.isHidden() == shown)
        widget.setVisible(shown);
}

// Setting the text programmatically does not emit textEdited, so the game is not told twice.
void syncInputBox(QLineEdit& edit, const TextBox& box)
{
    if (edit.text() != box.Text)
        edit.setText(box.Text);
    if (edit.isEnabled() != box.Enabled)
        edit.setEnabled(box.Enabled);
}

// One option checked clears the others of its group, which follow without a call.
void syncOptionButton(QRadioButton& button, const OptionButton& option)
{
    syncShown(button, option.Visible);
    if (option.Value && !button.isChecked())
        button.setChecked(true);
}

// The model already holds the list and the text, so the widget's echo of them is not reported. A
// length typed that is not in the list selects none of it: the box says what it holds.
void syncComboBox(QComboBox& combo, const ComboBox& model)
{
    const QSignalBlocker quiet(combo);
    syncShown(combo, model.Visible);
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    if (items != model.List) {
        combo.clear();
        combo.addItems(model.List);
    }
    if (const int listed = combo.findText(model.Text); combo.currentIndex() != listed)
        combo.setCurrentIndex(listed);
    if (combo.currentText() != model.Text)
        combo.setEditText(model.Text);
}

}
