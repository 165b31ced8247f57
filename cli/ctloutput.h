// How tovrinctl writes its lines: each one whole and flushed at once, and a
// message's quoted file names and arguments kept on its one line.
#ifndef CTLOUTPUT_H
#define CTLOUTPUT_H

#include "printabletext.h"

#include <QString>

#include <cstdio>

namespace CtlOutput
{
// The name tovrinctl gives the ground-station route where a device would
// stand.
inline QString groundStation()
{
    return QStringLiteral("ground-station");
}

inline void printLine(std::FILE *out, const QString &text)
{
    std::fprintf(out, "%s\n", text.toUtf8().constData());
    std::fflush(out);
}

inline void warn(const QString &text)
{
    printLine(stderr, QStringLiteral("tovrinctl: ") + PrintableText::escaped(text));
}
} // namespace CtlOutput

#endif // CTLOUTPUT_H
