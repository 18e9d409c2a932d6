#include "ui/platform/locale_choice.h"

#include <QTest>

using namespace keyfall;

// Each row: LC_ALL, LC_CTYPE and LANG as set, the character set of the environment's locale as
// the C library takes it ("-": a category names a locale that is not installed), and the setting
// that makes it UTF-8 ("": none). C, POSIX and C.UTF-8 are installed everywhere; xx_YY nowhere.
class LocaleChoiceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void characterTypeBecomesUtf8_data()
    {
        for (const char* column : { "lcAll", "lcCtype", "lang", "codeset", "expected" })
            QTest::addColumn<QByteArray>(column);
        const char* const kRows[][6] = {
            { "no locale", "", "", "", "ANSI_X3.4-1968", "LC_CTYPE=C.UTF-8" },
            { "C over UTF-8", "C", "", "C.UTF-8", "ANSI_X3.4-1968", "LC_ALL=C.UTF-8" },
            { "C for the character type", "", "C", "C.UTF-8", "ANSI_X3.4-1968",
                "LC_CTYPE=C.UTF-8" },
            { "POSIX", "", "", "POSIX", "ANSI_X3.4-1968", "LANG=C.UTF-8" },
            { "C.UTF-8", "", "", "C.UTF-8", "UTF-8", "" },
            { "not installed", "", "", "xx_YY.UTF-8", "-", "LC_ALL=C.UTF-8" },
            { "another category not installed", "", "C.UTF-8", "xx_YY.UTF-8", "-",
                "LC_ALL=C.UTF-8" },
        };
        for (const auto& row : kRows)
            QTest::newRow(row[0]) << QByteArray(row[1]) << QByteArray(row[2]) << QByteArray(row[3])
                                  << QByteArray(row[4]) << QByteArray(row[5]);
    }

    void characterTypeBecomesUtf8()
    {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcCtype);
        QFETCH(QByteArray, lang);
        QFETCH(QByteArray, codeset);
        QFETCH(QByteArray, expected);
        const std::optional<VariableSetting> setting = utf8LocaleChoice(
            { lcAll, lcCtype, lang }, codeset == "-" ? std::nullopt : std::optional(codeset));
        QCOMPARE(setting ? setting->name + '=' + setting->value : QByteArray(), expected);
    }
};

QTEST_APPLESS_MAIN(LocaleChoiceTest)
#include "test_locale_choice.moc"
