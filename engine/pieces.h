/* pieces.h: the pure piece generator. It knows every listing format and the
   hex pair decoding, and yields box steps in order through a callback, each
   step the moment it is made. No windows, no globals: tests drive it alone. */
#ifndef BYTESCRIBE_PIECES_H
#define BYTESCRIBE_PIECES_H

#include <stddef.h>
#include <stdint.h>

/* One box step: pszPiece NULL means "caret to end", otherwise "insert this
   piece at the caret". */
typedef void (*BoxStepProc)(void *pContext, const char *pszPiece);

/* The listing of nMode for cBytes bytes; an unknown mode yields nothing. */
void GenerateListing(int nMode, const unsigned char *pBytes, uint32_t cBytes,
                     BoxStepProc pfnStep, void *pContext);

/* One part of a listing whose input comes in parts (a stream, or a mapped
   file a window at a time): the parts' steps, in order, are those of
   GenerateListing over the whole input. uListed counts the bytes listed by
   the earlier parts; bLast marks the part that ends the listing (it may be
   empty). For ModeLittleEndian the parts run from the input's end to its
   start, each part itself being listed last byte first. */
void GenerateListingPart(int nMode, const unsigned char *pBytes, uint32_t cBytes,
                         uint64_t uListed, int bLast, BoxStepProc pfnStep, void *pContext);

/* The hex pair decoding of cchText bytes of pszText, which must be followed by
   at least one zero byte. One caret-to-end and one insert per pair. */
void GenerateDecoding(const char *pszText, size_t cchText,
                      BoxStepProc pfnStep, void *pContext);

/* The value of a text of hexadecimal digits, modulo 2^32, read as signed;
   0 for an empty text or one holding any non-digit. */
int32_t HexToInt(const char *pszText);

#endif
