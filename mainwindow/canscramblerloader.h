// Lazy run-time loader of the CAN payload scrambler library (lib/libPellaxCan
// beside the program); copies the bytes unchanged when the library or one of
// its entries is missing. The state is process-wide and belongs to the GUI
// thread: the first-use load takes no lock.
#ifndef CANSCRAMBLERLOADER_H
#define CANSCRAMBLERLOADER_H

#include <QString>

class CanScramblerLoader
{
public:
    static void loadScramblerLibrary();
    static void encode(const unsigned char *source, unsigned char *destination, int length);
    static void decode(const unsigned char *source, unsigned char *destination, int length);

    // Where the library is looked for: lib/ in the program's own folder.
    static QString libraryPath();

private:
    using EncodeFunction = void (*)(const unsigned char *, unsigned char *, unsigned char);
    using DecodeFunction = int (*)(const unsigned char *, unsigned char *, unsigned char);

    static void loadOnce();

    static bool triedLoad;
    static EncodeFunction encodeEntry;
    static DecodeFunction decodeEntry;
};

#endif // CANSCRAMBLERLOADER_H
