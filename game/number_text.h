#pragma once

#include <QString>
#include <QStringView>

namespace keyfall {

// Reads the number that a text begins with: leading blanks, an optional sign, digits with an
// optional decimal point and fraction, an optional exponent; whatever follows is ignored. Text
// that does not begin so reads as 0. A number too large for a double reads as the largest one.
double leadingNumber(QStringView text);

// A number as the game shows it: whole numbers without a decimal point ("99"), others in their
// shortest decimal form ("0.5").
QString numberText(double value);

}
