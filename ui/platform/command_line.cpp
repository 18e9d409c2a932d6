#include "ui/platform/command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <array>
#include <cstdio>

namespace keyfall {

namespace {

    constexpr int kUsageErrorStatus = 2;
    constexpr const char* kUsage = "Usage: keyfall [-h | --help] [-v | --version] [Qt options]\n";

    struct QtOption {
        const char* name;
        bool takesValue;
    };

    // The options that QApplication, its platform plugins and its style take from the command
    // line; the game accepts them without naming them in its help.
    constexpr std::array kQtOptions {
        QtOption { "platform", true },
        QtOption { "platformpluginpath", true },
        QtOption { "platformtheme", true },
        QtOption { "plugin", true },
        QtOption { "qwindowgeometry", true },
        QtOption { "qwindowicon", true },
        QtOption { "qwindowtitle", true },
        QtOption { "geometry", true },
        QtOption { "icon", true },
        QtOption { "title", true },
        QtOption { "session", true },
        QtOption { "display", true },
        QtOption { "name", true },
        QtOption { "visual", true },
        QtOption { "style", true },
        QtOption { "stylesheet", true },
        QtOption { "qmljsdebugger", true },
        QtOption { "reverse", false },
        QtOption { "testability", false },
        QtOption { "dograb", false },
        QtOption { "nograb", false },
        QtOption { "sync", false },
        QtOption { "widgetcount", false },
    };

    void addQtOptions(QCommandLineParser& parser)
    {
        for (const QtOption& qt : kQtOptions) {
            QCommandLineOption option(QString::fromLatin1(qt.name));
            if (qt.takesValue)
                option.setValueName(QStringLiteral("value"));
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    }

    int refuse(const QString& problem)
    {
        std::fprintf(stderr, "keyfall: %s\n%s", qUtf8Printable(problem), kUsage);
        return kUsageErrorStatus;
    }

}

std::optional<int> answerCommandLine(int argc, char* argv[], const char* version)
{
    if (argc <= 1) // as the menu starts it: nothing to parse, and no parser to build
        return std::nullopt;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform); --help and -help mean the same.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("An arcade game for practising touch typing.\n"
                                                    "Qt's options, such as -platform and -display, "
                                                    "are taken as well."));
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Show this help and quit."));
    const QCommandLineOption showVersion({ QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Show the version and quit."));
    parser.addOption(help);
    parser.addOption(showVersion);
    addQtOptions(parser);

    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        // Without an application object Qt's help cannot name the program: its first line is ours.
        std::printf("%s%s", kUsage, qUtf8Printable(parser.helpText().section(u'\n', 1)));
        return 0;
    }
    if (parser.isSet(showVersion)) {
        std::printf("keyfall %s\n", version);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    return std::nullopt;
}

}
