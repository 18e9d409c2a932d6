#include "ui/widgets/main_window.h"

#include "ui/paint/artwork.h"
#include "ui/paint/colours.h"
#include "ui/widgets/command_keys.h"
#include "ui/widgets/form_widgets.h"
#include "ui/widgets/level_button.h"
#include "ui/widgets/painted_label_button.h"
#include "ui/widgets/settings_frame.h"
#include "ui/widgets/starfield_surface.h"
#include "ui/widgets/widget_host.h"
#include "ui/widgets/window_observer.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <iterator>
#include <utility>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {
    constexpr QSize kClientSize(657, 337);
}

MainWindow::MainWindow(TimerScheduler& scheduler, SoundPort& sound, QWidget* parent)
    : QWidget(parent)
    , host_(std::make_unique<WidgetHost>(*this))
    , form_(std::make_unique<Form1>(scheduler, sound, *host_))
{
    form_->Form_Load();
    setWindowTitle(u"Keyfall-By Brannock"_s);
    setWindowIcon(keyfall::windowIcon());
    createWidgets();
    connectEvents();
    bindCommandKeys();
    refreshFromModel();
    text1_->setFocus();
    resize(kClientSize);
    placeInCentreOfScreen();
}

MainWindow::~MainWindow() = default;

void MainWindow::createWidgets()
{
    surface_ = new StarfieldSurface(*form_, this);
    surface_->setObjectName(u"Form1"_s);
    text1_ = makeInputBox(form_->Text1, u"Text1"_s, surface_);
    text1_->setAccessibleName(u"Type the falling letters here"_s);
}

void MainWindow::connectEvents()
{
    connect(surface_, &ControlSurface::labelClicked, this, &MainWindow::clickLabel);
    connect(text1_, &QLineEdit::textEdited, this,
        [this](const QString& text) { handle([&text](Form1& f) { f.setText1Text(text); }); });
}

// The settings panel and the controls shown with it are made when the panel first opens, since
// the window's first frame shows none of them. They are made from back to front, since one made
// later lies on top: the frame above the window's painted controls, and the speed options and the
// round-length box above the frame.
void MainWindow::createSettingsWidgets()
{
    Form1& f = *form_;
    frame_ = new SettingsFrame(f, surface_);
    frame_->setObjectName(u"Frame1"_s);
    command1_ = new LevelButton(f.Command1, f.First, u"Command1"_s, frame_);
    command2_ = new LevelButton(f.Command2, f.Second, u"Command2"_s, frame_);
    command3_ = new LevelButton(f.Command3, f.Third, u"Command3"_s, frame_);
    caps_ = new PaintedLabelButton(f.lblCaps, u"lblCaps"_s, frame_);
    small_ = new PaintedLabelButton(f.lblSmall, u"lblSmall"_s, frame_);
    mixed_ = new PaintedLabelButton(f.lblMixed, u"lblMixed"_s, frame_);
    cancel_ = new PaintedLabelButton(f.Label10, u"Label10"_s, frame_);
    ok_ = new PaintedLabelButton(f.Label9, u"Label9"_s, frame_);
    option3_ = makeOptionButton(f.Option3, u"Option3"_s, frame_);
    option2_ = makeOptionButton(f.Option2, u"Option2"_s, surface_);
    combo1_ = makeComboBox(f.Combo1, u"Combo1"_s, surface_);
    option1_ = makeOptionButton(f.Option1, u"Option1"_s, surface_);
    // Assistive technology names a box by the label whose buddy it is. The panel paints the
    // round length's caption; this label, never shown, carries it, and the box its unit.
    auto* timeCaption = new QLabel(f.Label8.Caption, surface_);
    timeCaption->hide();
    timeCaption->setBuddy(combo1_);
    combo1_->setAccessibleDescription(f.Label11.Caption);

    // Each group is one stop of Tab, at its checked choice; the arrows move the choice within it.
    speedOptions_ = new QButtonGroup(this);
    auto* levels = new QButtonGroup(this);
    auto* cases = new QButtonGroup(this);
    for (QAbstractButton* option : { option1_, option2_, option3_ })
        speedOptions_->addButton(option);
    for (QAbstractButton* level : { command1_, command2_, command3_ })
        levels->addButton(level);
    for (QAbstractButton* letterCase : { caps_, small_, mixed_ }) {
        letterCase->setCheckable(true);
        cases->addButton(letterCase);
    }

    // Tab follows the panel from top to bottom, and from Ok back to its top.
    QWidget* const tabOrder[] = { text1_, option1_, option2_, option3_, command1_, command2_,
        command3_, caps_, small_, mixed_, combo1_, cancel_, ok_ };
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    connectSettingsEvents();
}

void MainWindow::connectSettingsEvents()
{
    connect(frame_, &ControlSurface::labelClicked, this, &MainWindow::clickLabel);
    connect(command1_, &QPushButton::clicked, this, [this] { handle(&Form1::Command1_Click); });
    connect(command2_, &QPushButton::clicked, this, [this] { handle(&Form1::Command2_Click); });
    connect(command3_, &QPushButton::clicked, this, [this] { handle(&Form1::Command3_Click); });
    for (PaintedLabelButton* button : { caps_, small_, mixed_, cancel_, ok_ }) {
        connect(button, &QAbstractButton::clicked, this,
            [this, button] { clickLabel(&button->label()); });
    }
    const std::pair<QRadioButton*, OptionButton*> options[] = { { option1_, &form_->Option1 },
        { option2_, &form_->Option2 }, { option3_, &form_->Option3 } };
    for (auto [button, option] : options) {
        connect(button, &QRadioButton::clicked, this,
            [this, option] { handle([option](Form1& f) { f.chooseOption(*option); }); });
    }
    connect(combo1_, &QComboBox::currentTextChanged, this,
        [this](const QString& text) { handle([&text](Form1& f) { f.Combo1.Text = text; }); });
}

void MainWindow::bindCommandKeys()
{
    for (const CommandKey& command : commandKeys()) {
        auto* shortcut = new QShortcut(command.key, this);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this,
            [this, label = command.label] { pressCommandKey(label(*form_)); });
    }
}

// A key does what a click does. The key that opens the settings panel also takes the focus into
// it, to the first control, for a player on the keys alone; a click leaves the focus where it is.
void MainWindow::pressCommandKey(const Label& label)
{
    const bool panelWasShown = form_->Frame1.Visible;
    clickLabel(&label);
    if (!panelWasShown && form_->Frame1.Visible)
        speedOptions_->checkedButton()->setFocus(Qt::TabFocusReason);
}

void MainWindow::handle(const std::function<void(Form1&)>& action)
{
    action(*form_);
    refreshFromModel();
}

void MainWindow::clickLabel(const Label* label)
{
    handle([label](Form1& f) { f.clickLabel(*label); });
}

void MainWindow::refreshFromModel()
{
    const Form1& f = *form_;
    const bool settingsShown
        = f.Frame1.Visible || f.Option1.Visible || f.Option2.Visible || f.Combo1.Visible;
    if (!frame_ && settingsShown)
        createSettingsWidgets();
    surface_->refresh(observer_);
    syncInputBox(*text1_, f.Text1);
    if (frame_) {
        frame_->refresh(observer_);
        // The settings change only through the panel's own widgets, so while they are hidden
        // there is nothing to sync: they are synced on the refresh that shows or hides them.
        if (settingsShown || settingsWidgetsShown_) {
            // Typing goes back to the input box before the control that has the focus hides.
            if (!settingsShown)
                giveTypingFocus();
            syncSettingsWidgets();
        }
        settingsWidgetsShown_ = settingsShown;
    }
    const QWidget* focused = focusWidget();
    if (!focused || !focused->isVisibleTo(this) || !focused->isEnabled())
        giveTypingFocus();
    if (observer_)
        observer_->refreshed(*this, f);
}

void MainWindow::syncSettingsWidgets()
{
    const Form1& f = *form_;
    syncShown(*frame_, f.Frame1.Visible);
    syncOptionButton(*option1_, f.Option1);
    syncOptionButton(*option2_, f.Option2);
    syncOptionButton(*option3_, f.Option3);
    syncComboBox(*combo1_, f.Combo1);
    syncLevelButton(*command1_, f.Command1, f.First);
    syncLevelButton(*command2_, f.Command2, f.Second);
    syncLevelButton(*command3_, f.Command3, f.Third);
    for (PaintedLabelButton* letterCase : { caps_, small_, mixed_ })
        syncChecked(*letterCase, letterCase->label().BorderStyle == Border::FixedSingle);
}

void MainWindow::syncLevelButton(LevelButton& button, const CommandButton& level, bool chosen)
{
    button.setBackColour(toQColor(level.BackColor));
    syncChecked(button, chosen);
}

// Typing belongs in the input box. While the box is disabled, at time-over, no control keeps the
// focus: one that stayed focused as it hid would go on taking the keys and change a setting
// that is not on screen.
void MainWindow::giveTypingFocus()
{
    if (text1_->isEnabled())
        text1_->setFocus();
    else if (QWidget* focused = focusWidget())
        focused->clearFocus();
}

// The client area may grow beyond the picture; the controls stay where they are.
void MainWindow::resizeEvent(QResizeEvent* event)
{
    surface_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

// A closed window ends the game: no tick may reach it while the program winds down.
void MainWindow::closeEvent(QCloseEvent* event)
{
    form_->stopAllTimers();
    QWidget::closeEvent(event);
}

void MainWindow::placeInCentreOfScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(
            Qt::LeftToRight, Qt::AlignCenter, kClientSize, screen->availableGeometry()));
}

}
