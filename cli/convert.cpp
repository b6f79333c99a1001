/* convert.cpp: the input in parts through the piece generator. Forward and
   emit listings and the decoding stream through one block of memory; the
   reversed listing reads a file through read-only views from its end, and
   anything else that must be reversed into memory. */
#include "cli/convert.h"

#include "cli/input.h"
#include "engine/conversion.h"

#include <stdlib.h>
#include <windows.h>

#define INPUT_BLOCK (256 * 1024) /* even: decoding pairs never straddle two */
#define VIEW_WINDOW (16 * 1024 * 1024) /* a multiple of the mapping granularity */
#define LARGEST_PART 0x40000000u /* what one part of a listing may count */

static unsigned char g_abInput[INPUT_BLOCK + 1];

static void ListInOrder(int nMode, BoxStepProc pfnStep)
{
    uint64_t uListed = 0;
    DWORD cbRead;

    while ((cbRead = ReadInput(g_abInput, INPUT_BLOCK)) > 0) {
        GenerateListingPart(nMode, g_abInput, cbRead, uListed, 0, pfnStep, NULL);
        uListed += cbRead;
    }
    GenerateListingPart(nMode, NULL, 0, uListed, 1, pfnStep, NULL);
}

/* Views of VIEW_WINDOW bytes at its multiples, from the file's end. */
static void ListMappedReversed(uint64_t uSize, BoxStepProc pfnStep)
{
    uint64_t uEnd = uSize;

    while (uEnd > 0) {
        uint64_t uStart = (uEnd - 1) / VIEW_WINDOW * VIEW_WINDOW;
        SIZE_T cbView = (SIZE_T)(uEnd - uStart);
        const unsigned char *pView = MapInputView(uStart, cbView);

        if (pView == NULL)
            ExitWithInputError("cannot be mapped into memory");
        GenerateListingPart(ModeLittleEndian, pView, (uint32_t)cbView, uSize - uEnd, uStart == 0,
                            pfnStep, NULL);
        UnmapViewOfFile(pView);
        uEnd = uStart;
    }
}

/* The whole input in memory, grown by doubling; its size in *pcbBytes. */
static unsigned char *ReadWholeInput(size_t *pcbBytes)
{
    unsigned char *pBytes = NULL;
    size_t cbBytes = 0;
    size_t cbRoom = 0;
    DWORD cbRead;

    do {
        if (cbRoom - cbBytes < INPUT_BLOCK) {
            size_t cbNew = cbRoom == 0 ? 4 * INPUT_BLOCK : 2 * cbRoom;
            unsigned char *pNew = cbNew > cbRoom ? (unsigned char *)realloc(pBytes, cbNew) : NULL;

            if (pNew == NULL)
                ExitWithInputError("not enough memory to hold it for the reversed listing");
            pBytes = pNew;
            cbRoom = cbNew;
        }
        cbRead = ReadInput(pBytes + cbBytes, INPUT_BLOCK);
        cbBytes += cbRead;
    } while (cbRead > 0);
    *pcbBytes = cbBytes;
    return pBytes;
}

static void ListInMemoryReversed(BoxStepProc pfnStep)
{
    size_t cbBytes;
    unsigned char *pBytes = ReadWholeInput(&cbBytes);
    size_t cbEnd = cbBytes;

    /* In parts from the end, so that no part overflows a count. */
    do {
        size_t cbPart = cbEnd < LARGEST_PART ? cbEnd : LARGEST_PART;

        GenerateListingPart(ModeLittleEndian, pBytes + cbEnd - cbPart, (uint32_t)cbPart,
                            cbBytes - cbEnd, cbPart == cbEnd, pfnStep, NULL);
        cbEnd -= cbPart;
    } while (cbEnd > 0);
    free(pBytes);
}

void ListInput(int nMode, BoxStepProc pfnStep)
{
    int64_t nSize;

    if (nMode != ModeLittleEndian) {
        ListInOrder(nMode, pfnStep);
        return;
    }
    nSize = MapInput();
    if (nSize > 0)
        ListMappedReversed((uint64_t)nSize, pfnStep);
    else
        ListInMemoryReversed(pfnStep);
}

void DecodeInput(BoxStepProc pfnStep)
{
    DWORD cbRead;

    /* Every block but the last has an even length, so the pairs fall where
       they fall in the whole text; the zero behind a block ends a lone last
       digit, as the box's terminator does. */
    while ((cbRead = ReadInput(g_abInput, INPUT_BLOCK)) > 0) {
        g_abInput[cbRead] = 0;
        GenerateDecoding((const char *)g_abInput, cbRead, pfnStep, NULL);
    }
}
