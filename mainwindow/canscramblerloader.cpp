#include "canscramblerloader.h"

#include <cstring>

// Placeholder until the library lands: plain copies.
void CanScramblerLoader::loadScramblerLibrary() {}

void CanScramblerLoader::encode(const unsigned char *source, unsigned char *destination, int length)
{
    std::memmove(destination, source, static_cast<size_t>(length & 0xFF));
}

void CanScramblerLoader::decode(const unsigned char *source, unsigned char *destination, int length)
{
    std::memmove(destination, source, static_cast<size_t>(length & 0xFF));
}
