// Item text widths shared by every list, kept per font and the pixel size it
// resolves to. Each port card fills its lists from the same catalogue in the
// same font, and the port panel builds new cards on every mode report: after
// the first card every width is a lookup instead of a text layout.
#ifndef TEXTWIDTHS_H
#define TEXTWIDTHS_H

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>

class TextWidths
{
public:
    explicit TextWidths(const QFont &font);

    // QFontMetrics::horizontalAdvance() of the text.
    int advance(const QString &text) { return lookUp(advances, text, false); }
    // QFontMetrics::boundingRect(text).width().
    int boundingWidth(const QString &text) { return lookUp(boundingWidths, text, true); }

private:
    using Table = QHash<QString, int>;
    int lookUp(Table &table, const QString &text, bool bounding);

    const QFontMetrics metrics;
    Table &advances;
    Table &boundingWidths;
};

#endif // TEXTWIDTHS_H
