/* pieces.cpp: the listing formats and the hex pair decoding, as box steps. */
#include "engine/pieces.h"

#include "engine/conversion.h"

#include <string.h>

#define ESCAPES_PER_LINE 16

static const char g_szLowerDigits[] = "0123456789abcdef";
static const char g_szUpperDigits[] = "0123456789ABCDEF";

/* "\x%2.2x" of one byte, formatted by hand: this runs once per listed byte. */
static void FormatEscape(char *pszPiece, unsigned char b)
{
    pszPiece[0] = '\\';
    pszPiece[1] = 'x';
    pszPiece[2] = g_szLowerDigits[b >> 4];
    pszPiece[3] = g_szLowerDigits[b & 0x0F];
}

/* "_emit 0x%2.2X\r\n" of one byte. */
static void FormatEmitLine(char *pszPiece, unsigned char b)
{
    memcpy(pszPiece, "_emit 0x", 8);
    pszPiece[8] = g_szUpperDigits[b >> 4];
    pszPiece[9] = g_szUpperDigits[b & 0x0F];
    pszPiece[10] = '\r';
    pszPiece[11] = '\n';
}

static void EscapeListing(const unsigned char *pBytes, uint32_t cBytes, int bReversed,
                          uint64_t uListed, int bLast, BoxStepProc pfnStep, void *pContext)
{
    /* escapes on the current line: those of the earlier parts' last line */
    int nLine = uListed == 0 ? 0 : (int)((uListed - 1) % ESCAPES_PER_LINE) + 1;

    /* An empty buffer still gives a valid C literal: "". */
    if (uListed == 0 && cBytes == 0 && bLast) {
        pfnStep(pContext, NULL);
        pfnStep(pContext, "\"");
    }

    for (uint32_t j = 0; j < cBytes; j++) {
        unsigned char b = bReversed ? pBytes[cBytes - 1 - j] : pBytes[j];
        char szPiece[30] = {0};
        int nNext;

        pfnStep(pContext, NULL);
        FormatEscape(szPiece, b);

        nNext = nLine + 1;
        if (nLine > 0 && nNext > ESCAPES_PER_LINE) {
            pfnStep(pContext, "\"\r\n");
            nNext = 1;
            pfnStep(pContext, "\"");
        } else if (nNext == 1) {
            pfnStep(pContext, "\"");
        }
        nLine = nNext;

        pfnStep(pContext, szPiece);
    }

    if (bLast) {
        pfnStep(pContext, NULL);
        pfnStep(pContext, "\"");
    }
}

static void EmitListing(const unsigned char *pBytes, uint32_t cBytes,
                        BoxStepProc pfnStep, void *pContext)
{
    for (uint32_t j = 0; j < cBytes; j++) {
        char szPiece[30] = {0};

        FormatEmitLine(szPiece, pBytes[j]);
        pfnStep(pContext, NULL);
        pfnStep(pContext, szPiece);
    }
}

void GenerateListingPart(int nMode, const unsigned char *pBytes, uint32_t cBytes,
                         uint64_t uListed, int bLast, BoxStepProc pfnStep, void *pContext)
{
    switch (nMode) {
    case ModeBigEndian:
        EscapeListing(pBytes, cBytes, 0, uListed, bLast, pfnStep, pContext);
        break;
    case ModeLittleEndian:
        EscapeListing(pBytes, cBytes, 1, uListed, bLast, pfnStep, pContext);
        break;
    case ModeAsm:
        EmitListing(pBytes, cBytes, pfnStep, pContext);
        break;
    default:
        break;
    }
}

void GenerateListing(int nMode, const unsigned char *pBytes, uint32_t cBytes,
                     BoxStepProc pfnStep, void *pContext)
{
    GenerateListingPart(nMode, pBytes, cBytes, 0, 1, pfnStep, pContext);
}

/* Each byte's digit value, -1 for a non-digit: a lookup rather than branches
   on the digit's kind, which random digits would mispredict. */
#define X (-1)
static const signed char g_anDigitValue[256] = {
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, X, X, X, X, X, X,
    X, 10, 11, 12, 13, 14, 15, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, 10, 11, 12, 13, 14, 15, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
    X, X, X, X, X, X, X, X, X, X, X, X, X, X, X, X,
};
#undef X

static int HexDigitValue(unsigned char c)
{
    return g_anDigitValue[c];
}

int32_t HexToInt(const char *pszText)
{
    /* Horner's rule modulo 2^32 equals the sum of digit * 16^position. */
    uint32_t uSum = 0;

    for (const unsigned char *p = (const unsigned char *)pszText; *p; p++) {
        int nDigit = HexDigitValue(*p);
        if (nDigit < 0)
            return 0;
        uSum = uSum * 16u + (uint32_t)nDigit;
    }
    return (int32_t)uSum;
}

void GenerateDecoding(const char *pszText, size_t cchText,
                      BoxStepProc pfnStep, void *pContext)
{
    for (size_t k = 0; k < cchText; k += 2) {
        char szPair[3] = {0};
        char szPiece[2] = {0};
        int nPair = 0;

        /* "%c" of a zero byte adds nothing to the pair. */
        if (pszText[k] != 0)
            szPair[nPair++] = pszText[k];
        if (pszText[k + 1] != 0)
            szPair[nPair++] = pszText[k + 1];

        szPiece[0] = (char)HexToInt(szPair); /* 0 leaves the piece empty */
        pfnStep(pContext, NULL);
        pfnStep(pContext, szPiece);
    }
}
