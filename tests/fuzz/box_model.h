// box_model.h: a text box as the generator's steps see it: a caret moved to
// the end, and pieces inserted at the caret, which then stands behind them.
#ifndef TESTS_FUZZ_BOX_MODEL_H
#define TESTS_FUZZ_BOX_MODEL_H

#include "engine/pieces.h"

#include <cstdio>
#include <cstdlib>
#include <string>

struct BoxModel {
    std::string text;
    size_t caret = 0;
    size_t caretMoves = 0;
    size_t inserts = 0;

    static void Step(void *context, const char *piece)
    {
        auto *box = static_cast<BoxModel *>(context);
        if (piece == nullptr) {
            box->caret = box->text.size();
            box->caretMoves++;
            return;
        }
        box->text.insert(box->caret, piece);
        box->caret += std::char_traits<char>::length(piece);
        box->inserts++;
    }
};

// Stops the fuzzer with the two texts when they differ.
inline void ExpectSame(const std::string &got, const std::string &want, const char *what)
{
    if (got == want)
        return;
    fprintf(stderr, "%s differs:\n got  %zu bytes: %.200s\n want %zu bytes: %.200s\n", what, got.size(),
            got.c_str(), want.size(), want.c_str());
    abort();
}

inline void Expect(bool condition, const char *what)
{
    if (!condition) {
        fprintf(stderr, "failed: %s\n", what);
        abort();
    }
}

#endif
