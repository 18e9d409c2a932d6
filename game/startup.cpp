#include "game/form1.h"
#include "game/letters.h"

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

void Form1::Form_Load()
{
    InitLetters(Letters);
    Ttime = kStartRoundSeconds;
    Combo1.List << u"100"_s << u"200"_s << u"300"_s;
    First = true;
    Command1_Click();
    lblMixed_Click();
    // Choosing "Slow" leaves the fall at its stored period until the settings are confirmed.
    chooseOption(Option1);
}

}
