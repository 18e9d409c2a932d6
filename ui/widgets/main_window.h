#pragma once

#include "game/form1.h"

#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace keyfall {

class Keyboard;
class LevelButton;
class SettingsFrame;
class StarfieldSurface;
class WidgetHost;
class WindowObserver;

// The game window. It owns the game model, draws it and turns clicks, typing and timer ticks into
// the model's handlers; after each of them it repaints only what changed.
class MainWindow final : public QWidget {
    Q_OBJECT

public:
    MainWindow(TimerScheduler& scheduler, SoundPort& sound, QWidget* parent = nullptr);
    ~MainWindow() override;

    Form1& form() { return *form_; }
    // The box the player types into.
    QWidget& inputBox() const;
    // Tells `observer` from now on what the window shows as it changes; null tells no one. The
    // observer must outlive the window or be replaced first.
    void setObserver(WindowObserver* observer) { observer_ = observer; }

public Q_SLOTS:
    // Brings the window in line with the model: its labels, its widgets and the keyboard focus.
    void refreshFromModel();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createSettingsWidgets();
    void connectSettingsEvents();
    void handle(const std::function<void(Form1&)>& action);
    void clickLabel(const Label* label);
    void syncSettingsWidgets();
    void placeInCentreOfScreen();

    std::unique_ptr<WidgetHost> host_;
    std::unique_ptr<Form1> form_;
    WindowObserver* observer_ = nullptr;

    StarfieldSurface* surface_ = nullptr;
    QLineEdit* text1_ = nullptr;
    Keyboard* keyboard_ = nullptr;
    // Made when the settings panel first opens.
    SettingsFrame* frame_ = nullptr;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QRadioButton* option3_ = nullptr;
    QComboBox* combo1_ = nullptr;
    LevelButton* command1_ = nullptr;
    LevelButton* command2_ = nullptr;
    LevelButton* command3_ = nullptr;
    // Whether the last sync showed the panel or the window's settings controls.
    bool settingsWidgetsShown_ = false;
};

}
