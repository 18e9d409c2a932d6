#include "game/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace keyfall {

namespace {

    constexpr int kShownDigits = 15;
    // From 10^15 on, plain notation would need more digits than are shown: an exponent is used.
    constexpr int kPlainExponentLimit = 15;

    bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
    bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    bool isSign(QChar c) { return c == u'+' || c == u'-'; }

    // The parts of a number found at the start of a text, as positions in it.
    struct NumberSpan {
        qsizetype start = 0, end = 0;
        bool negative = false;
        long long decimalOrder = 0; // roughly log10 of the magnitude, for range errors
    };

    // Moves past a run of digits and returns how many there were.
    qsizetype skipDigits(QStringView text, qsizetype& i)
    {
        const qsizetype start = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        return i - start;
    }

    bool findNumber(QStringView text, NumberSpan& span)
    {
        qsizetype i = 0;
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i < text.size() && isSign(text[i])) {
            span.negative = text[i] == u'-';
            ++i;
        }
        span.start = i;
        const qsizetype integerStart = i;
        const qsizetype integerDigits = skipDigits(text, i);
        qsizetype fractionStart = i, fractionDigits = 0;
        if (i < text.size() && text[i] == u'.') {
            fractionStart = ++i;
            fractionDigits = skipDigits(text, i);
        }
        if (integerDigits + fractionDigits == 0)
            return false;
        span.end = i;

        const auto firstNonZero = [&](qsizetype from, qsizetype count) {
            const auto digits = text.sliced(from, count);
            return std::find_if(digits.begin(), digits.end(), [](QChar c) { return c != u'0'; })
                - digits.begin();
        };
        const qsizetype integerZeros = firstNonZero(integerStart, integerDigits);
        span.decimalOrder = integerZeros < integerDigits
            ? integerDigits - integerZeros
            : -firstNonZero(fractionStart, fractionDigits);

        if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
            qsizetype e = i + 1;
            const bool negativeExponent = e < text.size() && text[e] == u'-';
            if (e < text.size() && isSign(text[e]))
                ++e;
            long long exponent = 0;
            const qsizetype exponentStart = e;
            for (; e < text.size() && isDigit(text[e]); ++e)
                exponent = std::min(exponent * 10 + text[e].digitValue(), 1'000'000'000LL);
            if (e > exponentStart) {
                span.end = e;
                span.decimalOrder += negativeExponent ? -exponent : exponent;
            }
        }
        return true;
    }

    // A positive number rounded to kShownDigits significant digits: the digits, and the power of
    // ten of the first one.
    struct RoundedNumber {
        QString digits;
        int exponent = 0;
    };

    RoundedNumber rounded(double magnitude)
    {
        char buffer[32]; // "d.ddde±xx"
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
            std::chars_format::scientific, kShownDigits - 1);
        const char* exponentMark = std::find(buffer, end, 'e');
        RoundedNumber number;
        std::from_chars(exponentMark + 2, end, number.exponent);
        if (exponentMark[1] == '-')
            number.exponent = -number.exponent;
        number.digits = QString::fromLatin1(buffer, 1)
            + QString::fromLatin1(buffer + 2, exponentMark - buffer - 2);
        return number;
    }

    // The digits with the point where the exponent puts it, without trailing zeros and without a
    // point after a whole number.
    QString plainText(RoundedNumber number)
    {
        qsizetype wholeDigits = number.exponent + 1;
        if (wholeDigits < 1) {
            number.digits.prepend(QString(1 - wholeDigits, u'0'));
            wholeDigits = 1;
        }
        number.digits = number.digits.leftJustified(wholeDigits, u'0');
        QString text = number.digits.left(wholeDigits) + u'.' + number.digits.sliced(wholeDigits);
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
        return text;
    }

}

double leadingNumber(QStringView text)
{
    NumberSpan span;
    if (!findNumber(text, span))
        return 0;
    // Only ASCII digits, '.', 'e' and a sign remain, so the conversion to Latin-1 is exact.
    const std::string number
        = text.sliced(span.start, span.end - span.start).toLatin1().toStdString();
    double magnitude = 0;
    const auto [ptr, error]
        = std::from_chars(number.data(), number.data() + number.size(), magnitude);
    if (error == std::errc::result_out_of_range)
        magnitude = span.decimalOrder > 0 ? std::numeric_limits<double>::max() : 0;
    return span.negative ? -magnitude : magnitude;
}

QString numberText(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    const RoundedNumber number = rounded(std::abs(value));
    if (number.exponent >= kPlainExponentLimit) {
        char buffer[32];
        const auto result = std::to_chars(
            buffer, buffer + sizeof buffer, value, std::chars_format::general, kShownDigits);
        return QString::fromLatin1(buffer, result.ptr - buffer);
    }
    const QString text = plainText(number);
    return value < 0 ? u'-' + text : text;
}

}
