/* main.cpp: bytescribe-cli, the listings and the decoding for scripts and
   pipes: the command line, then one conversion from the input to standard
   output. */
#include "cli/convert.h"
#include "cli/input.h"
#include "cli/output.h"
#include "cli/report.h"
#include "engine/conversion.h"

#include <stdlib.h>
#include <string.h>

#ifndef BYTESCRIBE_VERSION
#define BYTESCRIBE_VERSION "1.0"
#endif

#define ModeDecode (-1) /* beside the ConversionMode values */

static const char g_szUsage[] =
    "Usage: bytescribe-cli [--big-endian | --little-endian | --asm] [--lf] [FILE | -]\n"
    "       bytescribe-cli --decode [FILE | -]\n";

static const char g_szHelp[] =
    "Writes the bytes of FILE (or of standard input, when FILE is - or missing)\n"
    "to standard output as source code, exactly as Bytescribe's window lists them:\n"
    "\n"
    "  --big-endian     C string literals of \\x.. escapes, 16 to a line, in the\n"
    "                   bytes' order (the default)\n"
    "  --little-endian  the same, the whole byte sequence reversed\n"
    "  --asm            one \"_emit 0x..\" line per byte\n"
    "  --lf             end lines with LF instead of CR LF\n"
    "  --decode         the other way: the input's text cut into pairs of\n"
    "                   hexadecimal digits from its start, each pair written as\n"
    "                   one byte (a pair holding any other character, and 00,\n"
    "                   write nothing)\n"
    "  --help           this text\n"
    "  --version        the version\n"
    "\n"
    "Exit status: 0 done; 1 the input cannot be opened or read; 2 the command\n"
    "line is wrong; 3 standard output cannot be written (a closed pipe, a full\n"
    "disk).\n";

struct ModeOption {
    const char *pszName;
    int nMode;
};

static const struct ModeOption g_aModeOptions[] = {
    {"--big-endian", ModeBigEndian},
    {"--little-endian", ModeLittleEndian},
    {"--asm", ModeAsm},
    {"--decode", ModeDecode},
    {NULL, 0},
};

static void ExitWithUsage(const char *pszArgument, const char *pszWhy)
{
    ExitWithError(EXIT_USAGE, pszArgument, pszWhy);
}

static void ExitWithText(const char *pszText)
{
    WriteOutput(pszText, strlen(pszText));
    FlushOutput();
    exit(EXIT_DONE);
}

static const struct ModeOption *FindModeOption(const char *pszArgument)
{
    const struct ModeOption *pOption;

    for (pOption = g_aModeOptions; pOption->pszName != NULL; pOption++) {
        if (strcmp(pOption->pszName, pszArgument) == 0)
            return pOption;
    }
    return NULL;
}

int main(int argc, char **argv)
{
    int nMode = ModeBigEndian;
    const char *pszMode = NULL;
    int fLf = 0;
    int fOptionsEnd = 0;
    const char *pszPath = NULL;

    for (int i = 1; i < argc; i++) {
        const char *pszArgument = argv[i];
        const struct ModeOption *pOption;

        if (fOptionsEnd || pszArgument[0] != '-' || strcmp(pszArgument, "-") == 0) {
            if (pszPath != NULL)
                ExitWithUsage(pszArgument, "one input at most");
            pszPath = pszArgument;
        } else if (strcmp(pszArgument, "--") == 0) {
            fOptionsEnd = 1;
        } else if (strcmp(pszArgument, "--help") == 0) {
            WriteOutput(g_szUsage, sizeof(g_szUsage) - 1);
            ExitWithText(g_szHelp);
        } else if (strcmp(pszArgument, "--version") == 0) {
            ExitWithText("bytescribe-cli " BYTESCRIBE_VERSION "\n");
        } else if (strcmp(pszArgument, "--lf") == 0) {
            fLf = 1;
        } else if ((pOption = FindModeOption(pszArgument)) != NULL) {
            if (pszMode != NULL && pOption->nMode != nMode)
                ExitWithUsage(pszArgument, "only one of --big-endian, --little-endian, --asm, --decode");
            pszMode = pszArgument;
            nMode = pOption->nMode;
        } else {
            ExitWithUsage(pszArgument, "unknown option (see --help)");
        }
    }
    if (fLf && nMode == ModeDecode)
        ExitWithUsage("--lf", "the decoding writes bytes, not lines");

    OpenInput(pszPath);
    if (nMode == ModeDecode)
        DecodeInput(OutputStep);
    else
        ListInput(nMode, fLf ? OutputStepLf : OutputStep);
    FlushOutput();
    return EXIT_DONE;
}
