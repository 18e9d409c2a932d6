// The documents stay true of the repository: every path they name exists, and every key in the
// README's table is one the game or Qt's own controls handle.
#include "ui/widgets/keyboard.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>

using namespace keyfall;
using namespace Qt::Literals::StringLiterals;

namespace {

const QDir kSource(QStringLiteral(KEYFALL_SOURCE_DIR));

// Keys of the README's table that Qt's controls in the settings panel handle themselves.
const QStringList kQtControlKeys = { u"Tab"_s, u"Shift+Tab"_s, u"Arrows"_s, u"Space"_s };

QString document(const QString& name)
{
    QFile file(kSource.filePath(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The repository's paths that a document names: the targets of its links, and the words of its
// code that hold a slash, except those of the build, the home folder and the installed system.
QStringList namedPaths(const QString& text)
{
    static const QRegularExpression named(u"```[^\\n]*\\n(.*?)```|`([^`\\n]+)`|\\]\\(([^)]+)\\)"_s,
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression path(u"[\\w.-]+(/[\\w.-]*)+"_s);
    QStringList paths;
    for (const QRegularExpressionMatch& match : named.globalMatch(text)) {
        if (!match.captured(3).isEmpty() && !match.captured(3).contains(u"://"_s))
            paths += match.captured(3);
        const QString code = match.captured(1) + match.captured(2);
        for (const QString& word : code.split(QRegularExpression(u"\\s+"_s))) {
            const QString first = word.section(u'/', 0, 0);
            if (path.match(word).capturedLength() == word.size() && first != u"build"_s
                && first != u"."_s && first != u".."_s)
                paths += word;
        }
    }
    return paths;
}

}

class DocumentsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namedPathsExist_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : { "README.md", "CONTRIBUTING.md", "BENCHMARKS.md" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void namedPathsExist()
    {
        QFETCH(QString, name);
        const QStringList paths = namedPaths(document(name));
        QVERIFY2(!paths.isEmpty(), "the document names no path");
        QStringList missing;
        for (const QString& path : paths) {
            if (!QFileInfo::exists(kSource.filePath(path)))
                missing += path;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(u"missing: "_s + missing.join(u", "_s)));
    }

    // Each row's first cell, up to a comma, is one key or several joined by "or".
    void readmeKeysAreCommandKeys()
    {
        const QStringList lines = document(u"README.md"_s).split(u'\n');
        qsizetype line = lines.indexOf(u"| Key | Does |"_s);
        QVERIFY2(line >= 0, "the README has no table of keys");
        QStringList keys;
        for (line += 2; line < lines.size() && lines[line].startsWith(u'|'); ++line)
            keys += lines[line].section(u'|', 1, 1).section(u',', 0, 0).trimmed().split(u" or "_s);
        QVERIFY(keys.size() > kQtControlKeys.size());
        for (const QString& key : keys) {
            const QKeySequence sequence = QKeySequence::fromString(key, QKeySequence::PortableText);
            const bool handled = kQtControlKeys.contains(key)
                || std::ranges::any_of(commandKeys(),
                    [&sequence](const CommandKey& command) { return command.key == sequence; });
            QVERIFY2(handled, qPrintable(key + u" is not a command key"_s));
        }
    }
};

QTEST_APPLESS_MAIN(DocumentsTest)
#include "test_documents.moc"
