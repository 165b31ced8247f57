#include "mainwidget.h"
#include "startup.h"
#include "tovrinversion.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace
{
void warn(const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(text));
}

struct Options {
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption port;
    QCommandLineOption connect;
    QCommandLineOption capture;
};

Options describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("Configuration tool of the Tovrin engine"));
    Options options{parser.addHelpOption(), parser.addVersionOption(),
                    QCommandLineOption(QStringList{QStringLiteral("port")},
                                       QStringLiteral("Adds a serial device that the system does "
                                                      "not list (repeatable)."),
                                       QStringLiteral("device")),
                    QCommandLineOption(QStringList{QStringLiteral("connect")},
                                       QStringLiteral("Opens the first device named with --port "
                                                      "at start.")),
                    QCommandLineOption(QStringList{QStringLiteral("capture")},
                                       QStringLiteral("Records every chunk of bytes sent and "
                                                      "received on the links of this run in the "
                                                      "file log (JSON Lines, at most 64 MiB)."),
                                       QStringLiteral("log"))};
    parser.addOption(options.port);
    parser.addOption(options.connect);
    parser.addOption(options.capture);
    return options;
}

// Answers --help and --version, which need no display, before the
// application object that would connect to one exists. Qt's own options
// (-platform and the like) mean nothing here; they are read later, as always.
void answerInformationOptions(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    const Options options = describeOptions(parser);
    parser.parse(arguments);
    if (!parser.isSet(options.help) && !parser.isSet(options.version))
        return;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TOVRIN_VERSION));
    if (parser.isSet(options.help))
        parser.showHelp(0);
    parser.showVersion();
}
} // namespace

int main(int argc, char *argv[])
{
    answerInformationOptions(argc, argv);

    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TOVRIN_VERSION));
    disablePixmapCache();

    QCommandLineParser parser;
    const Options options = describeOptions(parser);
    // What the program does not know is said and passed over: a mistyped
    // option in a shortcut must not keep the window from opening.
    if (!parser.parse(QCoreApplication::arguments())) {
        // The parser tells of one error only, and a missing value hides the
        // unknown options: name those on their own.
        const QStringList unknown = parser.unknownOptionNames();
        for (const QString &name : unknown)
            warn(QStringLiteral("Unknown option '%1%2' ignored; --help lists the options.")
                     .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name));
        const QString error = parser.errorText();
        if (unknown.isEmpty() || !error.startsWith(QLatin1String("Unknown option")))
            warn(error + QStringLiteral(" Ignored."));
    }
    for (const QString &argument : parser.positionalArguments())
        warn(QStringLiteral("Unexpected argument '%1' ignored; --help lists the options.")
                 .arg(argument));
    MainWidget::setExtraSerialPorts(parser.values(options.port));
    MainWidget::setConnectAtStart(parser.isSet(options.connect));
    MainWidget::setCapturePath(parser.value(options.capture));
    if (parser.isSet(options.connect) && !parser.isSet(options.port))
        warn(QStringLiteral("--connect opens the first device named with --port; none was named."));

    if (!initLanguage(QCoreApplication::applicationDirPath()))
        return -1;

    MainWidget window;
    window.show();
    return app.exec();
}
