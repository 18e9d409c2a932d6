#pragma once

#include <QPushButton>

namespace keyfall {

struct CommandButton;

// A command button that paints its own flat back colour with a classic raised edge, so that
// the exact colour chosen for it shows whatever the style. The level buttons are one choice: a
// button is checked while its level is chosen, as the model's level flags say. It answers the
// keyboard but leaves the focus where it is on a click, so typing goes on in the input box.
class LevelButton final : public QPushButton {
    Q_OBJECT

public:
    LevelButton(const CommandButton& button, bool chosen, const QString& name, QWidget* parent);

    void setBackColour(const QColor& colour);
    QColor backColour() const { return back_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor back_;
};

}
