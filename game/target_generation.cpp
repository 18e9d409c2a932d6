#include "game/form1.h"

#include <cmath>

namespace keyfall {

namespace {
    constexpr float kColumnSpanTwips = 8500;
    constexpr float kRightmostColumnTwips = 8000;
    constexpr float kFallbackColumnTwips = 5000;
    constexpr float kLeftMarginTwips = 500;
    constexpr float kLeftEdgeTwips = 55;
    constexpr float kLeftShiftTwips = 50;
    constexpr float kSpawnTopTwips = 360;
    constexpr int kCapitalsStart = 1;
    constexpr int kSmallLettersStart = 27;
    constexpr int kAlphabetSize = 26;
}

void Form1::RandomColumn()
{
    X = random.next() * kColumnSpanTwips;
    if (X > kRightmostColumnTwips)
        X = kFallbackColumnTwips;
    else if (X < kLeftMarginTwips && X > kLeftEdgeTwips)
        X = X - kLeftShiftTwips;
}

float Form1::RandomLetter()
{
    const float r = random.next();
    if (lblCaps.BorderStyle == Border::FixedSingle)
        return std::trunc(r * kAlphabetSize) + kCapitalsStart;
    if (lblSmall.BorderStyle == Border::FixedSingle)
        return std::trunc(r * kAlphabetSize) + kSmallLettersStart;
    return std::trunc(r * (2 * kAlphabetSize)) + kCapitalsStart;
}

void Form1::NextTarget()
{
    RandomColumn();
    A = RandomLetter();
    B = RandomLetter();
    C = static_cast<std::int16_t>(RandomLetter());
    Label1.Visible = true;
    Label1.Top = kSpawnTopTwips;
    Label1.Left = X;
    Label1.ForeColor = colour::kWhite;

    const auto letter = [this](float index) { return Letters[static_cast<std::size_t>(index)]; };
    if (First)
        Label1.Caption = letter(A);
    else if (Second)
        Label1.Caption = letter(A) + letter(B);
    else if (Third)
        Label1.Caption = letter(A) + letter(B) + letter(C);
}

}
