#include "game/form1.h"
#include "game/number_text.h"

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

void Form1::lblNew_Click()
{
    // A target left half-typed must not meet the new round's first key. An empty box is never
    // checked, so emptying it makes no sound.
    setText1Text(QString());
    NextTarget();
    Label1.Visible = true;
    Text1.Enabled = true;
    lblOver.Visible = false;
    const double roundLength = leadingNumber(Combo1.Text);
    lbltime.Caption = numberText(roundLength);
    lblShooted.Caption = u"0"_s;
    lblMissed.Caption = u"0"_s;
    Shooted = 0;
    Missed = 0;
    Ttime = roundLength;
    lblPause.Enabled = true;

    // A new round runs unpaused and owes nothing to the round it replaces.
    if (paused) {
        paused = false;
        showPauseLabel(false);
    }
    respawnPending = false;
    Timer2.stop();
    roundRunning = true;
    ++roundsStarted;
    Timer1.start();
    Timer3.start();
}

void Form1::lblPause_Click()
{
    if (paused) {
        paused = false;
        if (roundRunning)
            startRunningTimers();
        showPauseLabel(false);
    } else {
        paused = true;
        showPauseLabel(true);
        stopAllTimers();
    }
}

void Form1::lblQuit_Click()
{
    Letters.clear();
    stopAllTimers();
    window_.close();
}

void Form1::showPauseLabel(bool pausedLook)
{
    lblPause.ForeColor = pausedLook ? colour::kRed : colour::kLightGreen;
    lblPause.Caption = pausedLook ? u"PAUSED"_s : u"PAUSE"_s;
}

// Resuming restarts the respawn delay if a miss was waiting for it, and the fall otherwise.
void Form1::startRunningTimers()
{
    if (respawnPending)
        Timer2.start();
    else
        Timer1.start();
    Timer3.start();
}

void Form1::stopAllTimers()
{
    Timer1.stop();
    Timer3.stop();
    Timer2.stop();
}

}
