#pragma once

#include <QAbstractButton>

namespace keyfall {

struct Label;

// A label that a surface paints, made a button for the keyboard: it takes the focus in the
// label's place and draws the focus indicator over it, and Space presses it as a click on the
// label does. The mouse passes through it to the surface, which takes clicks on its labels.
class PaintedLabelButton final : public QAbstractButton {
    Q_OBJECT

public:
    PaintedLabelButton(const Label& label, const QString& name, QWidget* parent);

    const Label& label() const { return label_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    const Label& label_;
};

}
