#include "game/form1.h"
#include "game/number_text.h"

namespace keyfall {

namespace {
    constexpr double kGrowFromPoints = 1;
    constexpr double kGrowStepPoints = 2;
    constexpr double kGrowLimitPoints = 72;
}

void Form1::Timer3_Timer()
{
    Ttime = Ttime - 1;
    // A round of any length, fractions and negatives included, ends at the first tick that
    // leaves no time.
    if (Ttime <= 0)
        Ttime = 0;
    lbltime.Caption = numberText(Ttime);
    if (Ttime == 0) {
        lblOver.Visible = true;
        ShowTimeOver();
        Text1.Enabled = false;
        lblPause.Enabled = false;
        Label1.Visible = false;
        roundRunning = false;
        respawnPending = false;
        stopAllTimers();
    }
}

void Form1::ShowTimeOver()
{
    for (double size = kGrowFromPoints; size < kGrowLimitPoints; size += kGrowStepPoints)
        lblOver.font.Size = size;
    PlaySound(Sound::TheEnd);
}

}
