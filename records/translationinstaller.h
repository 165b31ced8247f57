// Installs the program's user-interface translation for a locale, found by the
// catalogues' rule; the window's start-up and tovrinctl share it.
#ifndef TRANSLATIONINSTALLER_H
#define TRANSLATIONINSTALLER_H

#include <QString>

namespace TranslationInstaller
{
struct Installed {
    bool found = false;     // the folder holds a translation file
    bool installed = false; // the chosen one loaded and is installed
    QString locale;         // the chosen file's locale key
    QString path;
};

// Chooses the translation for locale in folder (its own file, else en_US,
// else the smallest key), installs it for the rest of the process and
// records its locale as InstalledLocale.
Installed install(const QString &folder, const QString &locale);
} // namespace TranslationInstaller

#endif // TRANSLATIONINSTALLER_H
