// Text from outside (a file's contents, a path, an argument) as a message
// shows it: whole, on one line, with control characters written as escapes,
// so that a NUL or a line break cannot cut or forge a message.
#ifndef PRINTABLETEXT_H
#define PRINTABLETEXT_H

#include <QString>

namespace PrintableText
{
// \n, \r and \t as such, every other control character (C0, DEL, C1) as
// \xHH; everything else, backslashes included, unchanged.
QString escaped(const QString &text);
} // namespace PrintableText

#endif // PRINTABLETEXT_H
