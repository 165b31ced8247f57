// The locale of the user-interface translation the program installed at
// start-up: the language the user reads, which the device pictures follow.
#ifndef INSTALLEDLOCALE_H
#define INSTALLEDLOCALE_H

#include <QString>

namespace InstalledLocale
{
// "zh_CN", the language of the forms' own texts, while none is installed.
QString name();
void set(const QString &locale);
} // namespace InstalledLocale

#endif // INSTALLEDLOCALE_H
