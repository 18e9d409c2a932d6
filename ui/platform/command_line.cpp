#include "ui/platform/command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {

    constexpr int kUsageErrorStatus = 2;
    constexpr const char* kUsage = "Usage: keyfall [-h | --help] [-v | --version] [Qt options]\n";

    // The options that QApplication, its platform plugins and its style take from the command
    // line; the game accepts them without naming them in its help.
    void addQtOptions(QCommandLineParser& parser)
    {
        QCommandLineOption withValue(
            { u"platform"_s, u"platformpluginpath"_s, u"platformtheme"_s, u"plugin"_s,
                u"qwindowgeometry"_s, u"qwindowicon"_s, u"qwindowtitle"_s, u"geometry"_s, u"icon"_s,
                u"title"_s, u"session"_s, u"display"_s, u"name"_s, u"visual"_s, u"style"_s,
                u"stylesheet"_s, u"qmljsdebugger"_s },
            QString(), u"value"_s);
        QCommandLineOption flags({ u"reverse"_s, u"testability"_s, u"dograb"_s, u"nograb"_s,
            u"sync"_s, u"widgetcount"_s });
        for (QCommandLineOption* option : { &withValue, &flags }) {
            option->setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(*option);
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
    parser.setApplicationDescription(
        u"An arcade game for practising touch typing.\n"
        "Qt's options, such as -platform and -display, are taken as well."_s);
    const QCommandLineOption help({ u"h"_s, u"help"_s }, u"Show this help and quit."_s);
    const QCommandLineOption showVersion({ u"v"_s, u"version"_s }, u"Show the version and quit."_s);
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
        return refuse(u"Unexpected argument '%1'."_s.arg(parser.positionalArguments().first()));
    return std::nullopt;
}

}
