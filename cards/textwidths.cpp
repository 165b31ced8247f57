#include "textwidths.h"

#include <QFontInfo>
#include <QPair>
#include <QRect>

namespace
{
// A catalogue holds a few dozen names; a table that outgrows this is not
// being reused and starts over instead of growing for good.
constexpr int MaxTexts = 1024;

struct Tables {
    QHash<QString, int> advances;
    QHash<QString, int> boundingWidths;
};

Tables &tablesOf(const QFont &font)
{
    static QHash<QPair<QFont, int>, Tables> tables;
    return tables[qMakePair(font, QFontInfo(font).pixelSize())];
}
} // namespace

TextWidths::TextWidths(const QFont &font)
    : metrics(font), advances(tablesOf(font).advances),
      boundingWidths(tablesOf(font).boundingWidths)
{
}

int TextWidths::lookUp(Table &table, const QString &text, bool bounding)
{
    const auto it = table.constFind(text);
    if (it != table.constEnd())
        return it.value();
    if (table.size() >= MaxTexts)
        table.clear();
    const int width =
        bounding ? metrics.boundingRect(text).width() : metrics.horizontalAdvance(text);
    table.insert(text, width);
    return width;
}
