#include "ui/widgets/main_window.h"

#include "ui/paint/artwork.h"
#include "ui/paint/colours.h"
#include "ui/widgets/form_widgets.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/label_widgets.h"
#include "ui/widgets/level_button.h"
#include "ui/widgets/settings_frame.h"
#include "ui/widgets/starfield_surface.h"
#include "ui/widgets/widget_host.h"
#include "ui/widgets/window_observer.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <tuple>
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
    surface_ = new StarfieldSurface(*form_, this);
    surface_->setObjectName(u"Form1"_s);
    text1_ = makeInputBox(form_->Text1, u"Text1"_s, surface_);
    text1_->setAccessibleName(u"Type the falling letters here"_s);
    connect(surface_, &ControlSurface::labelClicked, this, &MainWindow::clickLabel);
    connect(text1_, &QLineEdit::textEdited, this,
        [this](const QString& text) { handle([&text](Form1& f) { f.setText1Text(text); }); });
    keyboard_ = new Keyboard(*this, *form_, *text1_, [this](const Label& l) { clickLabel(&l); });
    refreshFromModel();
    resize(kClientSize);
    placeInCentreOfScreen();
}

MainWindow::~MainWindow() = default;

QWidget& MainWindow::inputBox() const { return *text1_; }

// The settings panel and the controls shown with it are made when the panel first opens, since
// the window's first frame shows none of them. They are made from back to front, since one made
// later lies on top: the frame above the window's labels, and the speed options and the
// round-length box above the frame.
void MainWindow::createSettingsWidgets()
{
    Form1& f = *form_;
    frame_ = new SettingsFrame(f, surface_);
    frame_->setObjectName(u"Frame1"_s);
    frame_->setAccessibleName(f.Label5.Caption);
    command1_ = new LevelButton(f.Command1, f.First, u"Command1"_s, frame_);
    command2_ = new LevelButton(f.Command2, f.Second, u"Command2"_s, frame_);
    command3_ = new LevelButton(f.Command3, f.Third, u"Command3"_s, frame_);
    option3_ = makeOptionButton(f.Option3, u"Option3"_s, frame_);
    option2_ = makeOptionButton(f.Option2, u"Option2"_s, surface_);
    combo1_ = makeComboBox(f.Combo1, u"Combo1"_s, surface_);
    option1_ = makeOptionButton(f.Option1, u"Option1"_s, surface_);
    // Assistive technology names a control by the label whose buddy it is, among its siblings.
    // The round length's caption lies on the panel and the box on the window; this label, never
    // shown, carries the caption beside the box, and the box its unit.
    auto* timeCaption = new QLabel(f.Label8.Caption, surface_);
    timeCaption->hide();
    timeCaption->setBuddy(combo1_);
    combo1_->setAccessibleDescription(f.Label11.Caption);

    const auto labelButton
        = [this](const Label& label) { return static_cast<LabelButton*>(frame_->widgetOf(label)); };
    LabelButton* const cases[]
        = { labelButton(f.lblCaps), labelButton(f.lblSmall), labelButton(f.lblMixed) };
    for (LabelButton* letterCase : cases)
        letterCase->makeChoice();
    // The letter cases have no caption on the screen.
    keyboard_->setUpPanel({ { option1_, option2_, option3_ }, f.Label7.Caption,
        { command1_, command2_, command3_ }, f.Label12.Caption, { cases[0], cases[1], cases[2] },
        u"Letter case"_s, combo1_, labelButton(f.Label10), labelButton(f.Label9) });
    connectSettingsEvents();
}

void MainWindow::connectSettingsEvents()
{
    connect(frame_, &ControlSurface::labelClicked, this, &MainWindow::clickLabel);
    connect(command1_, &QPushButton::clicked, this, [this] { handle(&Form1::Command1_Click); });
    connect(command2_, &QPushButton::clicked, this, [this] { handle(&Form1::Command2_Click); });
    connect(command3_, &QPushButton::clicked, this, [this] { handle(&Form1::Command3_Click); });
    const std::pair<QRadioButton*, OptionButton*> options[] = { { option1_, &form_->Option1 },
        { option2_, &form_->Option2 }, { option3_, &form_->Option3 } };
    for (auto [button, option] : options) {
        connect(button, &QRadioButton::clicked, this,
            [this, option] { handle([option](Form1& f) { f.chooseOption(*option); }); });
    }
    connect(combo1_, &QComboBox::currentTextChanged, this,
        [this](const QString& text) { handle([&text](Form1& f) { f.Combo1.Text = text; }); });
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
    surface_->refresh();
    syncInputBox(*text1_, f.Text1);
    // Told before the focus moves, so that a screen reader says a new target before the control
    // that takes the focus.
    if (observer_)
        observer_->refreshed(*this, f);
    if (frame_) {
        frame_->refresh();
        // The settings change only through the panel's own widgets, so while they are hidden
        // there is nothing to sync: they are synced on the refresh that shows or hides them.
        if (settingsShown || settingsWidgetsShown_) {
            if (!settingsShown)
                keyboard_->panelClosing();
            syncSettingsWidgets();
        }
        settingsWidgetsShown_ = settingsShown;
    }
    keyboard_->refreshed();
}

void MainWindow::syncSettingsWidgets()
{
    const Form1& f = *form_;
    syncShown(*frame_, f.Frame1.Visible);
    syncOptionButton(*option1_, f.Option1);
    syncOptionButton(*option2_, f.Option2);
    syncOptionButton(*option3_, f.Option3);
    syncComboBox(*combo1_, f.Combo1);
    const std::tuple<LevelButton*, const CommandButton*, bool> levels[]
        = { { command1_, &f.Command1, f.First }, { command2_, &f.Command2, f.Second },
              { command3_, &f.Command3, f.Third } };
    for (auto [button, level, chosen] : levels) {
        button->setBackColour(toQColor(level->BackColor));
        // One level checked clears the others of its group, which follow without a call.
        if (chosen && !button->isChecked())
            button->setChecked(true);
    }
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
