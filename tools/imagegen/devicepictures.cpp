#include "devicepictures.h"

#include "catalogueentries.h"
#include "devicecard.h"

#include <QDir>
#include <QImageWriter>
#include <QSet>

DevicePictures::Result DevicePictures::generate(const QString &catalogueFolder,
                                                const QString &outputFolder, QTextStream &log)
{
    Result result;
    const QMap<QString, QString> catalogues = CatalogueEntries::findFiles(catalogueFolder);
    if (catalogues.isEmpty()) {
        log << "no catalogue files in " << catalogueFolder << ", no device pictures drawn\n";
        return result;
    }
    const QDir out(outputFolder);
    if (!QDir().mkpath(out.absolutePath())) {
        log << "error: cannot create " << outputFolder << '\n';
        result.ok = false;
        return result;
    }
    for (auto it = catalogues.cbegin(); it != catalogues.cend(); ++it) {
        const QString &locale = it.key();
        QStringList names;
        if (!CatalogueEntries::readNames(it.value(), &names)) {
            log << "error: cannot read " << it.value() << '\n';
            result.ok = false;
            continue;
        }
        for (const QString &name : qAsConst(names)) {
            const QString problem = DeviceCard::fileNameProblem(name, locale);
            if (!problem.isEmpty()) {
                log << "warning: skipped \"" << name << "\" (" << locale << "): " << problem
                    << '\n';
                ++result.skipped;
                continue;
            }
            const QString path = out.filePath(DeviceCard::fileName(name, locale));
            QImageWriter writer(path, "png");
            if (!writer.write(DeviceCard::render(name, locale))) {
                log << "error: " << path << ": " << writer.errorString() << '\n';
                result.ok = false;
                continue;
            }
            ++result.written;
        }
    }
    log << result.written << " device pictures written to " << out.absolutePath() << ", "
        << result.skipped << " names skipped\n";
    return result;
}
