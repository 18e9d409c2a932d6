#pragma once

#include <QPushButton>

namespace keyfall {

struct CommandButton;

// A command button that paints its own flat back colour with a classic raised edge, so that
// the exact colour chosen for it shows whatever the style. It answers the keyboard but leaves
// the focus where it is on a click, so typing goes on in the input box.
class LevelButton final : public QPushButton {
    Q_OBJECT

public:
    LevelButton(const CommandButton& button, bool chosen, const QString& name, QWidget* parent);

    void setBackColour(const QColor& colour);
    QColor backColour() const { return back_; }
    // Whether the button's level is the one chosen, as the model's level flags say.
    bool isChosen() const { return chosen_; }
    void setChosen(bool chosen) { chosen_ = chosen; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor back_;
    bool chosen_ = false;
};

}
