#include "canscramblerloader.h"

#include <QCoreApplication>
#include <QLibrary>

#include <cstring>

bool CanScramblerLoader::triedLoad = false;
CanScramblerLoader::EncodeFunction CanScramblerLoader::encodeEntry = nullptr;
CanScramblerLoader::DecodeFunction CanScramblerLoader::decodeEntry = nullptr;

QString CanScramblerLoader::libraryPath()
{
#if defined(Q_OS_WIN)
    const QString suffix = QStringLiteral(".dll");
#elif defined(Q_OS_MACOS)
    const QString suffix = QStringLiteral(".dylib");
#else
    const QString suffix = QStringLiteral(".so");
#endif
    // Relative to the program, not to the working directory it was started from.
    if (!QCoreApplication::instance())
        return QString();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/lib/libPellaxCan") + suffix;
}

void CanScramblerLoader::loadScramblerLibrary()
{
    encodeEntry = nullptr;
    decodeEntry = nullptr;
    const QString path = libraryPath();
    if (path.isEmpty())
        return;
    // The full file name, so that QLibrary tries no other names. The object
    // goes out of scope without unload(): the entries stay valid for the
    // rest of the process.
    QLibrary library(path);
    if (!library.load())
        return;
    encodeEntry = reinterpret_cast<EncodeFunction>(library.resolve("PellaxLib_CAN_Encode"));
    decodeEntry = reinterpret_cast<DecodeFunction>(library.resolve("PellaxLib_CAN_Decode"));
}

void CanScramblerLoader::loadOnce()
{
    if (triedLoad)
        return;
    loadScramblerLibrary();
    triedLoad = true;
}

void CanScramblerLoader::encode(const unsigned char *source, unsigned char *destination, int length)
{
    loadOnce();
    const int n = length & 0xFF;
    if (encodeEntry)
        encodeEntry(source, destination, static_cast<unsigned char>(n));
    else if (n > 0)
        std::memmove(destination, source, static_cast<size_t>(n));
}

void CanScramblerLoader::decode(const unsigned char *source, unsigned char *destination, int length)
{
    loadOnce();
    const int n = length & 0xFF;
    if (decodeEntry)
        decodeEntry(source, destination, static_cast<unsigned char>(n));
    else if (n > 0)
        std::memmove(destination, source, static_cast<size_t>(n));
}
