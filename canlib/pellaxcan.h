/* libPellaxCan: scrambles and unscrambles the payload of one CAN frame
 * (0 to 8 bytes) by byte substitution plus an 8-byte XOR key.
 * Stateless and reentrant; input and output may be the same buffer.
 * Length arguments are 8-bit: only the low 8 bits of what a caller passes count. */
#ifndef PELLAXCAN_H
#define PELLAXCAN_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(PELLAXCAN_BUILDING)
#define PELLAXCAN_API __declspec(dllexport)
#else
#define PELLAXCAN_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define PELLAXCAN_API __attribute__((visibility("default")))
#else
#define PELLAXCAN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Longest payload encode and decode accept. */
#define PELLAXCAN_MAX_PAYLOAD 8

/* Substitutes, then XORs. Lengths above 8 leave the output untouched. */
PELLAXCAN_API void PellaxLib_CAN_Encode(const uint8_t *input, uint8_t *output, uint8_t length);

/* Undoes PellaxLib_CAN_Encode. Returns the number of bytes written: length,
 * or 0 for lengths above 8 (the output is then untouched). */
PELLAXCAN_API int PellaxLib_CAN_Decode(const uint8_t *input, uint8_t *output, uint8_t length);

/* XORs buffer[i] with key[i mod 8] in place, for any length. */
PELLAXCAN_API void PellaxLib_CAN_XOR(uint8_t *buffer, uint8_t length);

/* Always 0x11. */
PELLAXCAN_API int PellaxLib_Can_GetVersion(void);

/* Mutually inverse permutations of 0..255. */
PELLAXCAN_API extern const uint8_t PellaxLib_CAN_EncodeTable[256];
PELLAXCAN_API extern const uint8_t PellaxLib_CAN_DecodeTable[256];

#ifdef __cplusplus
}
#endif

#endif /* PELLAXCAN_H */
