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
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TOVRIN_VERSION));
    disablePixmapCache();

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Configuration tool of the Tovrin engine"));
    const QCommandLineOption helpOption = options.addHelpOption();
    const QCommandLineOption versionOption = options.addVersionOption();
    const QCommandLineOption portOption(
        QStringList{QStringLiteral("port")},
        QStringLiteral("Adds a serial device that the system does not list (repeatable)."),
        QStringLiteral("device"));
    options.addOption(portOption);
    const QCommandLineOption connectOption(
        QStringList{QStringLiteral("connect")},
        QStringLiteral("Opens the first device named with --port at start."));
    options.addOption(connectOption);
    // What the program does not know is said and passed over: a mistyped
    // option in a shortcut must not keep the window from opening.
    if (!options.parse(QCoreApplication::arguments())) {
        // The parser tells of one error only, and a missing value hides the
        // unknown options: name those on their own.
        const QStringList unknown = options.unknownOptionNames();
        for (const QString &name : unknown)
            warn(QStringLiteral("Unknown option '%1%2' ignored; --help lists the options.")
                     .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name));
        const QString error = options.errorText();
        if (unknown.isEmpty() || !error.startsWith(QLatin1String("Unknown option")))
            warn(error + QStringLiteral(" Ignored."));
    }
    for (const QString &argument : options.positionalArguments())
        warn(QStringLiteral("Unexpected argument '%1' ignored; --help lists the options.")
                 .arg(argument));
    if (options.isSet(helpOption))
        options.showHelp(0);
    if (options.isSet(versionOption))
        options.showVersion();
    MainWidget::setExtraSerialPorts(options.values(portOption));
    MainWidget::setConnectAtStart(options.isSet(connectOption));
    if (options.isSet(connectOption) && !options.isSet(portOption))
        warn(QStringLiteral("--connect opens the first device named with --port; none was named."));

    if (!initLanguage(QCoreApplication::applicationDirPath()))
        return -1;

    MainWidget window;
    window.show();
    return app.exec();
}
