#include "game/form1.h"

namespace keyfall {

namespace {
    constexpr float kFallStepTwips = 200;
    constexpr float kBottomLineTwips = 3960;
}

void Form1::Timer1_Timer()
{
    Label1.Top = Label1.Top + kFallStepTwips;
    if (Label1.Top >= kBottomLineTwips) {
        Missed = Missed + 1;
        lblMissed.Caption = QString::number(Missed);
        Label1.ForeColor = colour::kRed;
        respawnPending = true;
        Timer2.start();
        Timer1.stop();
    }
}

void Form1::Timer2_Timer()
{
    PlaySound(Sound::Boing);
    NextTarget();
    Timer2.stop();
    respawnPending = false;
    Timer1.start();
    if (window_.isOutOfSight())
        lblPause_Click();
}

}
