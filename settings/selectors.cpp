#include "game/form1.h"

namespace keyfall {

void Form1::Command1_Click() { chooseLevel(Command1, colour::kLightCyan, First); }
void Form1::Command2_Click() { chooseLevel(Command2, colour::kLightMagenta, Second); }
void Form1::Command3_Click() { chooseLevel(Command3, colour::kLightRed, Third); }

void Form1::lblCaps_Click() { chooseCase(lblCaps); }
void Form1::lblSmall_Click() { chooseCase(lblSmall); }
void Form1::lblMixed_Click() { chooseCase(lblMixed); }

void Form1::chooseLevel(CommandButton& button, Colour chosenColour, bool& flag)
{
    for (CommandButton* level : { &Command1, &Command2, &Command3 })
        level->BackColor = level == &button ? chosenColour : colour::kGrey;
    First = false;
    Second = false;
    Third = false;
    flag = true;
}

void Form1::chooseCase(Label& label)
{
    for (Label* letterCase : { &lblCaps, &lblSmall, &lblMixed })
        letterCase->BorderStyle = letterCase == &label ? Border::FixedSingle : Border::None;
}

}
