#include "game/number_text.h"

#include <QTest>
#include <limits>

using namespace keyfall;
using namespace Qt::Literals::StringLiterals;

class NumberTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheNumberATextBeginsWith_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        const double largest = std::numeric_limits<double>::max();
        const std::pair<const char16_t*, double> cases[] = {
            { u"100", 100 }, { u"150", 150 }, { u"90 seconds", 90 }, { u"seconds", 0 }, { u"", 0 },
            { u"  7", 7 }, { u"\t7", 7 }, { u"+8", 8 }, { u"-5", -5 }, { u"0.5", 0.5 },
            { u".5", 0.5 }, { u"5.", 5 }, { u"1e3", 1000 }, { u"1E+2x", 100 }, { u"2e-1", 0.2 },
            { u"3e", 3 }, { u"3e+", 3 }, { u"12abc", 12 }, { u"0x10", 0 }, { u"- 5", 0 },
            { u".", 0 }, { u"+", 0 }, { u"nan", 0 }, { u"inf", 0 }, { u"1e308", 1e308 },
            { u"1e999", largest }, { u"-1e999", -largest }, { u"1e-999", 0 },
            { u"9999999999999999999999", 1e22 }, { u"0.000001e-400", 0 },
            { u"\u0663", 0 }, // digits of other scripts are not read
        };
        for (const auto& [text, value] : cases)
            QTest::newRow(QString::fromUtf16(text).toUtf8().constData())
                << QString::fromUtf16(text) << value;
    }
    void readsTheNumberATextBeginsWith()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(leadingNumber(text), value);
    }

    void showsFifteenSignificantDigitsPlainBelowTenToTheFifteen()
    {
        QCOMPARE(numberText(99), u"99"_s);
        QCOMPARE(numberText(0), u"0"_s);
        QCOMPARE(numberText(-0.0), u"0"_s);
        QCOMPARE(numberText(-4), u"-4"_s);
        QCOMPARE(numberText(100000), u"100000"_s);
        QCOMPARE(numberText(2.3 - 1), u"1.3"_s);
        QCOMPARE(numberText(2.3 - 1 - 1), u"0.3"_s);
        QCOMPARE(numberText(-0.00005), u"-0.00005"_s);
        QCOMPARE(numberText(1.0 / 3), u"0.333333333333333"_s);
        QCOMPARE(numberText(999999999999999), u"999999999999999"_s);
        QCOMPARE(numberText(999999999999999.9), u"1e+15"_s); // rounds to 10^15
        QCOMPARE(numberText(1e22), u"1e+22"_s);
    }
};

QTEST_GUILESS_MAIN(NumberTextTest)
#include "test_number_text.moc"
