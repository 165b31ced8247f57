#include "mainwidget.h"
#include "startup.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    disablePixmapCache();

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Configuration tool of the Tovrin engine"));
    options.addHelpOption();
    const QCommandLineOption portOption(
        QStringList{QStringLiteral("port")},
        QStringLiteral("Adds a serial device that the system does not list (repeatable)."),
        QStringLiteral("device"));
    options.addOption(portOption);
    options.process(app);
    MainWidget::setExtraSerialPorts(options.values(portOption));

    if (!initLanguage(QCoreApplication::applicationDirPath()))
        return -1;

    MainWidget window;
    window.show();
    return app.exec();
}
