/* CAN payload scrambler: table substitution followed by an 8-byte XOR key. */
#include "pellaxcan.h"
#include "pellaxcankey.h"

#include <string.h>

#define PELLAXCAN_VERSION 0x11

/* key[j] is byte j of the constant counted from the most significant end. */
static uint8_t keyByte(unsigned index)
{
    return (uint8_t)(PELLAXCAN_KEY_CONSTANT >> (56u - 8u * (index % 8u)));
}

static void xorWithKey(uint8_t *buffer, unsigned length)
{
    unsigned i;
    for (i = 0; i < length; ++i)
        buffer[i] ^= keyByte(i);
}

void PellaxLib_CAN_XOR(uint8_t *buffer, uint8_t length)
{
    xorWithKey(buffer, length);
}

/* Both directions copy the whole input onto the stack before writing, so that
 * callers may pass one buffer as input and output. */
void PellaxLib_CAN_Encode(const uint8_t *input, uint8_t *output, uint8_t length)
{
    uint8_t a[PELLAXCAN_MAX_PAYLOAD];
    uint8_t b[PELLAXCAN_MAX_PAYLOAD];
    unsigned i;

    if (length > PELLAXCAN_MAX_PAYLOAD || length == 0)
        return;
    memcpy(a, input, length);
    for (i = 0; i < length; ++i)
        b[i] = PellaxLib_CAN_EncodeTable[a[i]];
    xorWithKey(b, length);
    memcpy(output, b, length);
}

int PellaxLib_CAN_Decode(const uint8_t *input, uint8_t *output, uint8_t length)
{
    uint8_t a[PELLAXCAN_MAX_PAYLOAD];
    unsigned i;

    if (length > PELLAXCAN_MAX_PAYLOAD || length == 0)
        return 0;
    memcpy(a, input, length);
    xorWithKey(a, length);
    for (i = 0; i < length; ++i)
        output[i] = PellaxLib_CAN_DecodeTable[a[i]];
    return length;
}

int PellaxLib_Can_GetVersion(void)
{
    return PELLAXCAN_VERSION;
}
