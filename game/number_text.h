#pragma once

#include <QString>
#include <QStringView>

namespace keyfall {

// Reads the number that a text begins with: leading blanks, an optional sign, digits with an
// optional decimal point and fraction, an optional exponent; whatever follows is ignored. Text
// that does not begin so reads as 0. A number too large for a double reads as the largest one.
double leadingNumber(QStringView text);

// A number as the game shows it, rounded to 15 significant digits: below 10^15 in plain notation
// without trailing zeros or a point for whole numbers ("99", "100000", "0.3"); what rounds to
// 10^15 or more with an exponent ("1e+22").
QString numberText(double value);

}
