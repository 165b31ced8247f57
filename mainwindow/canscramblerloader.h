// Lazy run-time loader of the CAN payload scrambler library; copies the bytes
// unchanged when the library or one of its entries is missing.
#ifndef CANSCRAMBLERLOADER_H
#define CANSCRAMBLERLOADER_H

class CanScramblerLoader
{
public:
    static void loadScramblerLibrary();
    static void encode(const unsigned char *source, unsigned char *destination, int length);
    static void decode(const unsigned char *source, unsigned char *destination, int length);
};

#endif // CANSCRAMBLERLOADER_H
