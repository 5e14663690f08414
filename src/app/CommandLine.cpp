#include "CommandLine.h"

#include "BuildConfig.h"

#include <QCommandLineParser>

CommandLine CommandLine::parse(const QStringList &arguments, bool windows)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption autoDump(QStringLiteral("auto-dump"));
    const QCommandLineOption printScreen(QStringLiteral("print-screen"));
    parser.addOptions({help, version, autoDump, printScreen});
    // An option it does not know is no error: the program starts as it always has.
    parser.parse(arguments);
    CommandLine line;
    if (parser.isSet(help) || (windows && arguments.mid(1) == QStringList{QStringLiteral("/?")}))
        line.action = Help;
    else if (parser.isSet(version))
        line.action = Version;
    else if (parser.isSet(printScreen))
        line.action = PrintScreen;
    line.arguments =
        parser.isSet(autoDump) ? QStringList{arguments.value(0), QStringLiteral("/A")} : arguments;
    return line;
}

QString CommandLine::answer() const
{
    if (action == Version)
        return QStringLiteral("Glimmerbox " GLIMMERBOX_VERSION_STRING);
    return QStringLiteral(
        "Usage: glimmerbox [/A | --auto-dump | --print-screen]\n"
        "Prints exactly what is on the screen: copies it into a shot, and sends the shot,\n"
        "or the part of it marked with the mouse, to the printer, a file or the clipboard.\n"
        "\n"
        "  /A, --auto-dump  start in Auto-Dump mode: the window waits on the task bar, and\n"
        "                   each click on its button prints the whole screen\n"
        "  --print-screen   print the whole screen once and end, through the Glimmerbox\n"
        "                   already running, if there is one; the exit status is 0 once the\n"
        "                   printer has the page\n"
        "  --help           show this text and exit\n"
        "  --version        show the version and exit\n"
        "\n"
        "While Glimmerbox runs, Ctrl+Print prints the whole screen from any window.");
}
