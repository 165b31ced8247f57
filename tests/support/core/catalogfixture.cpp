#include "catalogfixture.h"

#include <QFile>
#include <QTextCodec>

QByteArray CatalogFixture::toGbk(const QString &text)
{
    QTextCodec *codec = QTextCodec::codecForName("GBK");
    Q_ASSERT(codec);
    return codec->fromUnicode(text);
}

bool CatalogFixture::writeGbk(const QString &path, const QString &text, bool crlf)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QString content = text;
    if (crlf)
        content.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const QByteArray bytes = toGbk(content);
    return file.write(bytes) == bytes.size();
}
