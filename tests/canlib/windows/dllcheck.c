/* Loads the Windows build of libPellaxCan by name, as the program does, and
 * checks it through GetProcAddress alone: the version, the two tables, the XOR
 * step with the committed key, round trips of 0 to 8 bytes and the refusal of
 * longer payloads. Run under Windows or wine:
 *     dllcheck.exe [LIBRARY]      (default PellaxCanLib.dll)
 * Exits 0 when every check passes. */
#include "pellaxcan.h"
#include "pellaxcankey.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

/* The entry types follow the header, so a changed signature breaks this build. */
typedef __typeof__(&PellaxLib_CAN_Encode) EncodeFn;
typedef __typeof__(&PellaxLib_CAN_Decode) DecodeFn;
typedef __typeof__(&PellaxLib_CAN_XOR) XorFn;
typedef __typeof__(&PellaxLib_Can_GetVersion) VersionFn;

#define BUFFER_SIZE 256
#define UNTOUCHED 0xA5
#define PAYLOADS_PER_LENGTH 300
#define MAX_REPORTED 20

static int passed;
static int failed;

static void report(int ok, const char *what)
{
    if (ok) {
        ++passed;
    } else if (++failed <= MAX_REPORTED) {
        printf("FAIL: %s\n", what);
    }
}

static FARPROC resolve(HMODULE module, const char *name)
{
    FARPROC entry = GetProcAddress(module, name);
    if (!entry) {
        char what[128];
        snprintf(what, sizeof what, "export %s resolves", name);
        report(0, what);
    }
    return entry;
}

static uint8_t keyByte(unsigned index)
{
    return (uint8_t)(PELLAXCAN_KEY_CONSTANT >> (56u - 8u * (index % 8u)));
}

static uint32_t nextRandom(uint32_t *state)
{
    *state = *state * 1664525u + 1013904223u;
    return *state >> 24;
}

static int untouchedFrom(const uint8_t *buffer, unsigned from)
{
    unsigned i;
    for (i = from; i < BUFFER_SIZE; ++i)
        if (buffer[i] != UNTOUCHED)
            return 0;
    return 1;
}

int main(int argc, char **argv)
{
    const char *name = argc > 1 ? argv[1] : "PellaxCanLib.dll";
    HMODULE module = LoadLibraryA(name);
    if (!module) {
        printf("FAIL: LoadLibrary(\"%s\") failed with error %lu\n", name, GetLastError());
        return 1;
    }

    /* A cast through a function type without arguments keeps -Wcast-function-type quiet. */
    EncodeFn encode = (EncodeFn)(void (*)(void))resolve(module, "PellaxLib_CAN_Encode");
    DecodeFn decode = (DecodeFn)(void (*)(void))resolve(module, "PellaxLib_CAN_Decode");
    XorFn xorStep = (XorFn)(void (*)(void))resolve(module, "PellaxLib_CAN_XOR");
    VersionFn version = (VersionFn)(void (*)(void))resolve(module, "PellaxLib_Can_GetVersion");
    const uint8_t *encodeTable = (const uint8_t *)resolve(module, "PellaxLib_CAN_EncodeTable");
    const uint8_t *decodeTable = (const uint8_t *)resolve(module, "PellaxLib_CAN_DecodeTable");
    if (failed) {
        printf("dllcheck %s: %d passed, %d failed\n", name, passed, failed);
        return 1;
    }

    report(version() == 0x11, "version is 0x11");

    {
        int seen[256] = {0};
        int inverse = 1;
        int permutation = 1;
        unsigned x;
        for (x = 0; x < 256; ++x) {
            ++seen[encodeTable[x]];
            inverse = inverse && decodeTable[encodeTable[x]] == x;
        }
        for (x = 0; x < 256; ++x)
            permutation = permutation && seen[x] == 1;
        report(permutation, "the encode table is a permutation of 0..255");
        report(inverse, "the decode table inverts the encode table");
    }

    /* The XOR export over zeros shows the key: the committed constant, most
     * significant byte first, starting again at byte 8; length 0 changes nothing. */
    {
        uint8_t buffer[BUFFER_SIZE];
        int keyMatches = 1;
        unsigned i;
        memset(buffer, 0, sizeof buffer);
        xorStep(buffer, 0);
        report(buffer[0] == 0, "XOR of length 0 changes nothing");
        xorStep(buffer, 9);
        for (i = 0; i < 9; ++i)
            keyMatches = keyMatches && buffer[i] == keyByte(i);
        report(keyMatches, "XOR over 9 zero bytes gives the key, byte 8 with key[0]");
        report(buffer[9] == 0, "XOR stops at its length");
    }

    /* Round trips of 0..8 bytes: the encoding is substitution then XOR, decode
     * restores the input and returns the length, bytes past the payload stay
     * untouched, and the same buffer may serve as input and output. */
    {
        uint32_t state = 0x5EED1234u;
        unsigned length;
        for (length = 0; length <= PELLAXCAN_MAX_PAYLOAD; ++length) {
            int asExpected = 1;
            int roundTrips = 1;
            int counts = 1;
            int untouched = 1;
            int inPlace = 1;
            int changed = 0;
            unsigned payloads = length == 1 ? 256 : PAYLOADS_PER_LENGTH;
            unsigned n;
            char what[128];
            for (n = 0; n < payloads; ++n) {
                uint8_t input[BUFFER_SIZE];
                uint8_t encoded[BUFFER_SIZE];
                uint8_t decoded[BUFFER_SIZE];
                uint8_t buffer[BUFFER_SIZE];
                unsigned i;
                for (i = 0; i < length; ++i) {
                    if (length == 1)
                        input[i] = (uint8_t)n;
                    else if (n == 0)
                        input[i] = 0x00;
                    else if (n == 1)
                        input[i] = 0xFF;
                    else
                        input[i] = (uint8_t)nextRandom(&state);
                }
                memset(encoded, UNTOUCHED, sizeof encoded);
                memset(decoded, UNTOUCHED, sizeof decoded);

                encode(input, encoded, (uint8_t)length);
                for (i = 0; i < length; ++i)
                    asExpected = asExpected && encoded[i] == (encodeTable[input[i]] ^ keyByte(i));
                changed = changed || memcmp(input, encoded, length) != 0;
                counts = counts && decode(encoded, decoded, (uint8_t)length) == (int)length;
                roundTrips = roundTrips && memcmp(input, decoded, length) == 0;
                untouched =
                    untouched && untouchedFrom(encoded, length) && untouchedFrom(decoded, length);

                memcpy(buffer, input, length);
                encode(buffer, buffer, (uint8_t)length);
                inPlace = inPlace && memcmp(buffer, encoded, length) == 0;
                decode(buffer, buffer, (uint8_t)length);
                inPlace = inPlace && memcmp(buffer, input, length) == 0;
            }
            snprintf(what, sizeof what, "length %u: encoding is substitution then XOR", length);
            report(asExpected, what);
            snprintf(what, sizeof what, "length %u: decode(encode(p)) == p", length);
            report(roundTrips, what);
            snprintf(what, sizeof what, "length %u: decode returns the length", length);
            report(counts, what);
            snprintf(what, sizeof what, "length %u: nothing written past the payload", length);
            report(untouched, what);
            snprintf(what, sizeof what, "length %u: one buffer as input and output", length);
            report(inPlace, what);
            if (length > 0) {
                snprintf(what, sizeof what, "length %u: encode changes payloads", length);
                report(changed, what);
            }
        }
    }

    /* Above 8 bytes encode and decode write nothing and decode returns 0. */
    {
        static const unsigned lengths[] = {9, 16, 255};
        unsigned k;
        for (k = 0; k < sizeof lengths / sizeof lengths[0]; ++k) {
            uint8_t input[BUFFER_SIZE];
            uint8_t output[BUFFER_SIZE];
            char what[128];
            int result;
            memset(input, 0x5A, sizeof input);
            memset(output, UNTOUCHED, sizeof output);
            encode(input, output, (uint8_t)lengths[k]);
            snprintf(what, sizeof what, "length %u: encode refuses", lengths[k]);
            report(untouchedFrom(output, 0), what);
            result = decode(input, output, (uint8_t)lengths[k]);
            snprintf(what, sizeof what, "length %u: decode refuses with 0", lengths[k]);
            report(result == 0 && untouchedFrom(output, 0), what);
        }
    }

    printf("dllcheck %s: %d passed, %d failed\n", name, passed, failed);
    FreeLibrary(module);
    return failed ? 1 : 0;
}
