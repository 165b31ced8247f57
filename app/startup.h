// Start-up: choice and installation of the user-interface translation.
#ifndef STARTUP_H
#define STARTUP_H

#include <QMap>
#include <QString>

// Fills files with locale key -> absolute path for every translation file in
// dir whose name is baseName, one separator, a key of up to 5 characters and
// suffix. Returns whether any was found.
bool scanTranslations(QMap<QString, QString> &files, const QString &baseName,
                      const QString &suffix, const QString &dir);

// The file for locale: its own entry, else en_US, else the smallest key.
QString chooseTranslation(const QMap<QString, QString> &files, const QString &locale);

// Scans dir (the program's directory at start-up), installs the translation
// for the system locale and returns whether any translation file was found;
// shows the "MsgError" box when none was.
bool initLanguage(const QString &dir);

#endif // STARTUP_H
