// tovrin-imagegen: draws the program's embedded images, its icon and the
// device pictures. Runs without a display (offscreen).
//
//   tovrin-imagegen ui [APP_DIR]
//   tovrin-imagegen devices [CATALOGUE_DIR [OUTPUT_DIR]]
//   tovrin-imagegen icons [ICON_DIR]
//   tovrin-imagegen all
#include "devicepictures.h"
#include "uiimages.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

namespace
{
const QString sourceDir = QStringLiteral(TOVRIN_SOURCE_DIR);

int runUi(const QString &appDir, QTextStream &log)
{
    QString error;
    if (!UiImages::writeAll(appDir, &error)) {
        log << "error: " << error << '\n';
        return 1;
    }
    log << "embedded images and icon written to " << QDir(appDir).absolutePath() << '\n';
    return 0;
}

int runIcons(const QString &dir, QTextStream &log)
{
    QString error;
    if (!UiImages::writeDesktopIcons(dir, &error)) {
        log << "error: " << error << '\n';
        return 1;
    }
    log << "desktop icons written to " << QDir(dir).absolutePath() << '\n';
    return 0;
}

int runDevices(const QString &catalogues, const QString &output, QTextStream &log)
{
    return DevicePictures::generate(catalogues, output, log).ok ? 0 : 1;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream log(stderr);

    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QStringLiteral("all") : args.takeFirst();
    const QString defaultApp = sourceDir + QStringLiteral("/app");
    const QString defaultCatalogues = sourceDir + QStringLiteral("/resources/agreement");
    const QString defaultImages = sourceDir + QStringLiteral("/resources/images");
    const QString defaultIcons = sourceDir + QStringLiteral("/packaging/icons");

    if (command == QLatin1String("ui") && args.size() <= 1)
        return runUi(args.value(0, defaultApp), log);
    if (command == QLatin1String("devices") && args.size() <= 2)
        return runDevices(args.value(0, defaultCatalogues), args.value(1, defaultImages), log);
    if (command == QLatin1String("icons") && args.size() <= 1)
        return runIcons(args.value(0, defaultIcons), log);
    if (command == QLatin1String("all") && args.isEmpty()) {
        const int ui = runUi(defaultApp, log);
        const int icons = runIcons(defaultIcons, log);
        const int devices = runDevices(defaultCatalogues, defaultImages, log);
        return ui != 0 ? ui : icons != 0 ? icons : devices;
    }
    log << "usage: tovrin-imagegen ui [APP_DIR]\n"
           "       tovrin-imagegen devices [CATALOGUE_DIR [OUTPUT_DIR]]\n"
           "       tovrin-imagegen icons [ICON_DIR]\n"
           "       tovrin-imagegen all\n";
    return 2;
}
