#pragma once

#include "game/controls.h"
#include "game/game_timer.h"
#include "game/ports.h"
#include "game/random_source.h"

#include <cstdint>
#include <variant>
#include <vector>

namespace keyfall {

// A control painted on its container's surface, as opposed to the controls that are widgets.
using PaintedControl = std::variant<const Label*, const Shape*, const Line*>;

// Every run starts with rounds of this many seconds.
inline constexpr int kStartRoundSeconds = 100;

// The game window as a model: the game state, the run-time properties of the 46 controls and the
// event handlers that act on them. The Qt window draws it and turns events into handler calls.
class Form1 {
public:
    Form1(TimerScheduler& scheduler, SoundPort& sound, HostWindow& window);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Start-up.
    void Form_Load();

    // Targets.
    void RandomColumn();
    float RandomLetter();
    void NextTarget();

    // Fall, miss and respawn.
    void Timer1_Timer();
    void Timer2_Timer();

    // Typing.
    void Text1_Change();
    // Sets the text of the input box; a change runs Text1_Change, whoever made it.
    void setText1Text(const QString& text);

    // Clock and time-over.
    void Timer3_Timer();
    void ShowTimeOver();

    // Game commands.
    void lblNew_Click();
    void lblPause_Click();
    void lblQuit_Click();

    // Settings panel.
    void lblSettings_Click();
    void Label9_Click();
    void Label10_Click();
    void chooseOption(OptionButton& option);

    // Level and letter case.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void lblCaps_Click();
    void lblSmall_Click();
    void lblMixed_Click();

    void PlaySound(Sound sound) { sound_.play(sound); }
    // Stops the fall, the respawn and the clock: for a pause, time-over and a closing window.
    void stopAllTimers();

    // A click on a painted label: runs its handler if it has one and can take clicks (shown, in a
    // shown container, enabled).
    void clickLabel(const Label& label);
    bool canTakeClicks(const Label& label) const;
    // Whether a click on the label runs a handler: the labels that act as buttons.
    bool hasClickHandler(const Label& label) const;

    // Letters per target at the chosen level.
    int targetLength() const;
    // The painted controls of a container, front to back: the first drawn on top.
    std::vector<PaintedControl> paintOrder(Container container) const;

    // Game state.
    float A = 0;
    float B = 0;
    std::int16_t C = 0;
    bool paused = false;
    bool First = false;
    bool Second = false;
    bool Third = false;
    double Ttime = kStartRoundSeconds;
    float X = 0;
    std::int64_t Missed = 0;
    std::int64_t Shooted = 0;

    // A round runs from "NEW GAME" until time-over; outside it the pause toggle moves nothing.
    bool roundRunning = false;
    // Rounds started since start-up, so that a new round is told from a paused one going on.
    int roundsStarted = 0;
    // A miss waits for its respawn; a pause holds the wait and resuming restarts it.
    bool respawnPending = false;
    // Whether opening the settings panel paused the game, so that Cancel gives back what it found.
    bool settingsPausedGame = false;

    std::vector<QString> Letters;
    RandomSource random;

    // Controls, in the form's stacking order from front to back.
    OptionButton Option1;
    ComboBox Combo1;
    OptionButton Option2;
    GameTimer Timer3;
    GameTimer Timer2;
    TextBox Text1;
    GameTimer Timer1;
    Frame Frame1;
    OptionButton Option3;
    CommandButton Command3;
    CommandButton Command2;
    CommandButton Command1;
    Shape Shape4;
    Label Label8;
    Label lblMixed;
    Label lblSmall;
    Label lblCaps;
    Label Label12;
    Label Label11;
    Label Label10;
    Label Label9;
    Shape Shape3;
    Label Label7;
    Line Line7;
    Label Label5;
    Label lblQuit;
    Label lblNew;
    Label lblPause;
    Label Label6;
    Label lbltime;
    Label Label3;
    Label lblMissed;
    Label Label4;
    Label lblShooted;
    Label Label2;
    Label lblSettings;
    Shape Shape2;
    Line Line6;
    Line Line5;
    Line Line4;
    Line Line3;
    Line Line2;
    Line Line1;
    Shape Shape1;
    Label lblOver;
    Label Label1;

private:
    void chooseLevel(CommandButton& button, Colour chosenColour, bool& flag);
    void chooseCase(Label& label);
    void setPanelShown(bool shown);
    void showPauseLabel(bool pausedLook);
    void startRunningTimers();

    SoundPort& sound_;
    HostWindow& window_;
};

}
