#include "game/form1.h"

namespace keyfall {

namespace {
    constexpr int kSlowFallMs = 400;
    constexpr int kNormalFallMs = 200;
    constexpr int kFastFallMs = 100;
}

void Form1::lblSettings_Click()
{
    if (Frame1.Visible)
        return;
    // Only a game that is not paused yet gets paused, so that Cancel can give back what it found.
    settingsPausedGame = !paused;
    if (settingsPausedGame)
        lblPause_Click();
    setPanelShown(true);
    Option3.Visible = true;
}

void Form1::Label9_Click()
{
    if (Option1.Value)
        Timer1.setInterval(kSlowFallMs);
    else if (Option2.Value)
        Timer1.setInterval(kNormalFallMs);
    else if (Option3.Value)
        Timer1.setInterval(kFastFallMs);
    setPanelShown(false);
    Option3.Visible = false;
    lblPause_Click();
    lblNew_Click();
}

void Form1::Label10_Click()
{
    setPanelShown(false);
    if (settingsPausedGame && paused)
        lblPause_Click();
    settingsPausedGame = false;
}

void Form1::chooseOption(OptionButton& option)
{
    for (OptionButton* speed : { &Option1, &Option2, &Option3 })
        speed->Value = speed == &option;
}

// Option1, Option2 and Combo1 belong to the window, not to the panel, so they follow it by hand.
void Form1::setPanelShown(bool shown)
{
    Frame1.Visible = shown;
    Option1.Visible = shown;
    Option2.Visible = shown;
    Combo1.Visible = shown;
}

}
