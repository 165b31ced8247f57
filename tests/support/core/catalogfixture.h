// Writes small catalogue fixtures: text given in UTF-8 source, stored as GBK.
#ifndef CATALOGFIXTURE_H
#define CATALOGFIXTURE_H

#include <QByteArray>
#include <QString>

namespace CatalogFixture
{
QByteArray toGbk(const QString &text);
// Writes text as GBK; with crlf every "\n" becomes "\r\n".
bool writeGbk(const QString &path, const QString &text, bool crlf = false);
} // namespace CatalogFixture

#endif // CATALOGFIXTURE_H
