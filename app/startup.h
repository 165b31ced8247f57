// Start-up: choice and installation of the user-interface translation, and the
// process-wide drawing settings the windows rely on.
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

// Installs Qt's own translation for locale (the standard buttons, the file
// dialogs) from Qt's translations folder, beside the program's. Returns
// whether one was installed: English needs none, and a system without the
// translation package shows Qt's English texts.
bool installQtTranslation(const QString &locale);

// Turns the application-wide pixmap cache off. Under the main window's style
// sheet the style draws each drop-down list with a copy of its palette
// recoloured for that one paint, and files what it draws under a key that
// carries the palette's serial number, new for every copy: no key comes back.
// The cache would only fill to its limit with pixmaps nobody finds again and
// keep their keys until its periodic sweep, megabytes for a window that
// repaints often. The program's images come from style sheet rules, which hold
// them once loaded. Call once, after the application object exists.
void disablePixmapCache();

#endif // STARTUP_H
