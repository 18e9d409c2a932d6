#pragma once

#include "game/form1.h"
#include "ui/paint/label_look.h"

#include <QAbstractButton>
#include <QLabel>
#include <vector>

namespace keyfall {

// How a label of the form draws itself as a widget placed at its look's rectangle: the label,
// then the shapes and lines of its container that lie in front of it, so that a target passes
// behind the status bar and a letter case under its strip's outline.
class LabelPainting {
public:
    LabelPainting(const Form1& form, const Label& label);

    const Label& label() const { return label_; }
    const LabelLook& look() const { return look_; }
    // Works out the look again where the label changed; whether it is drawn differently now.
    bool refresh();
    void paint(QPainter& painter) const;
    // Brings the widget in line with the look: its place, whether it shows, whether it is enabled,
    // and a repaint where only what it draws changed.
    void sync(QWidget& widget) const;

private:
    const Label& label_;
    std::vector<PaintedControl> inFront_;
    LabelLookCache looks_;
    Label seen_;
    LabelLook look_;
};

// A label that only shows text: the counters, the captions, the target, "Time is Over!".
class TextLabel final : public QLabel {
    Q_OBJECT

public:
    TextLabel(const Form1& form, const Label& label, QWidget* parent);
    const Label& label() const { return painting_.label(); }
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LabelPainting painting_;
};

// A label that acts as a button: the status bar's commands, the letter cases, Cancel and Ok. A
// checkable one (a letter case) is checked while it has its border.
class LabelButton final : public QAbstractButton {
    Q_OBJECT

public:
    LabelButton(const Form1& form, const Label& label, QWidget* parent);
    const Label& label() const { return painting_.label(); }
    void refresh();
    // A letter case is one choice of its group, checked while it has its border.
    void makeChoice();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void syncChecked();

    LabelPainting painting_;
};

}
