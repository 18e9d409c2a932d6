#include "game/letters.h"

namespace keyfall {

void InitLetters(std::vector<QString>& Letters)
{
    constexpr int kLettersInAlphabet = 26;
    Letters.assign(2 * kLettersInAlphabet + 2, QString());
    for (int i = 0; i < kLettersInAlphabet; ++i) {
        Letters[1 + i] = QChar(u'A' + i);
        Letters[1 + kLettersInAlphabet + i] = QChar(u'a' + i);
    }
}

}
