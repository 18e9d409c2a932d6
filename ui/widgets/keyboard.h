#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QWidget;

namespace keyfall {

class Form1;
struct Label;

// For a player who keeps both hands on the keys, keys that type no text stand for the clicks on
// the status bar and the settings panel. A key is a click on the label it names at that moment:
// nothing happens where the label would ignore the click.
struct CommandKey {
    QKeySequence key;
    const Label& (*label)(const Form1& form);
};

const std::vector<CommandKey>& commandKeys();

// The settings panel's controls, in reading order, with the captions that name the groups.
struct PanelControls {
    QAbstractButton* speeds[3];
    QString speedCaption;
    QAbstractButton* levels[3];
    QString levelCaption;
    QAbstractButton* cases[3];
    QString caseCaption;
    QComboBox* roundLength;
    QAbstractButton* cancel;
    QAbstractButton* ok;
};

// All that the keyboard does in the window: the command keys, the panel's order and groups, Enter
// and Esc, and where the keyboard focus goes. Typing belongs in the input box: it has the focus
// whenever the panel is closed, and a click leaves it there.
class Keyboard final : public QObject {
public:
    // `click` runs what a click on the label runs.
    Keyboard(QWidget& window, const Form1& form, QLineEdit& input,
        std::function<void(const Label&)> click);

    void setUpPanel(const PanelControls& panel);
    // Before the panel's controls hide, so that the focus goes nowhere else on its way back.
    void panelClosing();
    // Once the window shows the model: no hidden or disabled control keeps the focus.
    void refreshed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressCommandKey(const Label& label);
    void giveTypingFocus();

    QWidget& window_;
    const Form1& form_;
    QLineEdit& input_;
    std::function<void(const Label&)> click_;
    QAbstractButton* firstControl_ = nullptr;
};

}
