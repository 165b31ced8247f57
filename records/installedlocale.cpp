#include "installedlocale.h"

namespace
{
QString s_locale;
}

QString InstalledLocale::name()
{
    return s_locale.isEmpty() ? QStringLiteral("zh_CN") : s_locale;
}

void InstalledLocale::set(const QString &locale)
{
    s_locale = locale;
}
