#pragma once

#include "game/form1.h"
#include "ui/paint/label_look.h"

#include <QAbstractButton>
#include <QLabel>
#include <vector>

namespace keyfall {

// A widget that draws one label of the form, placed at its look's rectangle: the label, then the
// shapes and lines of its container that lie in front of it, so that a target passes behind the
// status bar and a letter case under its strip's outline.
class LabelWidget {
public:
    virtual ~LabelWidget() = default;

    const Label& label() const { return label_; }
    virtual QWidget& widget() = 0;
    // Brings the widget in line with the label, where the label is drawn differently now: its
    // caption and state, its place, whether it shows and is enabled, and its pixels.
    void refresh();

protected:
    LabelWidget(const Form1& form, const Label& label);
    const LabelLook& look() const { return look_; }
    void paint(QPainter& painter) const;
    void sync();

private:
    // What the kind of widget takes from the label beyond its place and pixels.
    virtual void syncState() = 0;

    const Label& label_;
    std::vector<PaintedControl> inFront_;
    LabelLookCache looks_;
    Label seen_;
    LabelLook look_;
};

// A label that only shows text: the counters, the captions, the target, "Time is Over!".
class TextLabel final : public QLabel, public LabelWidget {
public:
    TextLabel(const Form1& form, const Label& label, QWidget* parent);
    QWidget& widget() override { return *this; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void syncState() override;
};

// A label that acts as a button: the status bar's commands, the letter cases, Cancel and Ok.
class LabelButton final : public QAbstractButton, public LabelWidget {
public:
    LabelButton(const Form1& form, const Label& label, QWidget* parent);
    QWidget& widget() override { return *this; }
    // A letter case is one choice of its group, checked while it has its border.
    void makeChoice();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void syncState() override;
};

}
