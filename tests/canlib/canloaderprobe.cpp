// Runs the scrambler loader in a process of its own, so that every test
// scenario starts with a fresh one-time load. Arguments are steps:
//   encode|decode LENGTH HEX          source HEX into a destination of 0xEE bytes
//   encode-inplace|decode-inplace LENGTH HEX
//   copy FROM TO | remove PATH        change the files between two calls
// Each encode/decode step prints the first HEX-length bytes of its result.
#include "canscramblerloader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QTextStream out(stdout);

    while (!args.isEmpty()) {
        const QString step = args.takeFirst();
        if (step == QLatin1String("copy") && args.size() >= 2) {
            const QString from = args.takeFirst();
            const QString to = args.takeFirst();
            if (!QFile::copy(from, to))
                return 2;
        } else if (step == QLatin1String("remove") && !args.isEmpty()) {
            if (!QFile::remove(args.takeFirst()))
                return 2;
        } else if (args.size() >= 2) {
            bool ok = false;
            const int length = args.takeFirst().toInt(&ok);
            const QByteArray given = QByteArray::fromHex(args.takeFirst().toLatin1());
            if (!ok)
                return 2;
            // Room for any 8-bit length, whatever HEX holds.
            QByteArray source = given;
            source.append(QByteArray(256, '\0'));
            QByteArray destination(source.size(), '\xEE');
            const auto *src = reinterpret_cast<const unsigned char *>(source.constData());
            auto *dst = reinterpret_cast<unsigned char *>(destination.data());
            auto *inPlace = reinterpret_cast<unsigned char *>(source.data());
            if (step == QLatin1String("encode")) {
                CanScramblerLoader::encode(src, dst, length);
            } else if (step == QLatin1String("decode")) {
                CanScramblerLoader::decode(src, dst, length);
            } else if (step == QLatin1String("encode-inplace")) {
                CanScramblerLoader::encode(inPlace, inPlace, length);
                destination = source;
            } else if (step == QLatin1String("decode-inplace")) {
                CanScramblerLoader::decode(inPlace, inPlace, length);
                destination = source;
            } else {
                return 2;
            }
            out << destination.left(given.size()).toHex() << '\n';
        } else {
            return 2;
        }
    }
    return 0;
}
