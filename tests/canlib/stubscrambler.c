/* Stand-in for the scrambler library with a chosen subset of its two entries,
 * for the loader tests. Its "scrambling" is an XOR with STUB_MARK, so that a
 * test can tell its output from the real library's and from a plain copy. */
#include <stdint.h>

#if defined(_WIN32)
#define STUB_API __declspec(dllexport)
#else
#define STUB_API __attribute__((visibility("default")))
#endif

static void markBytes(const uint8_t *input, uint8_t *output, uint8_t length)
{
    unsigned i;
    for (i = 0; i < length; ++i)
        output[i] = (uint8_t)(input[i] ^ STUB_MARK);
}

#if STUB_ENCODE
STUB_API void PellaxLib_CAN_Encode(const uint8_t *input, uint8_t *output, uint8_t length)
{
    if (length <= 8)
        markBytes(input, output, length);
}
#endif

#if STUB_DECODE
STUB_API int PellaxLib_CAN_Decode(const uint8_t *input, uint8_t *output, uint8_t length)
{
    if (length > 8)
        return 0;
    markBytes(input, output, length);
    return length;
}
#endif
