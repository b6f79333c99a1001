// HexToInt and the hex pair decoding against plain references: the value as
// the sum of each digit times its power of 16 (modulo 2^32), and the pairs cut
// from the text's start.
#include "box_model.h"

#include <cstdint>
#include <vector>

namespace {

int DigitOf(unsigned char c)
{
    const char *digits = "0123456789abcdef";
    const char *upper = "0123456789ABCDEF";
    for (int i = 0; i < 16; i++)
        if (c == static_cast<unsigned char>(digits[i]) || c == static_cast<unsigned char>(upper[i]))
            return i;
    return -1;
}

// Digits eight or more places from the end are worth a multiple of 2^32.
int32_t PlainHexToInt(const std::string &text)
{
    uint32_t sum = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; i++) {
        const int digit = DigitOf(static_cast<unsigned char>(text[i]));
        if (digit < 0)
            return 0;
        const size_t place = n - 1 - i;
        if (place < 8)
            sum += static_cast<uint32_t>(digit) << (4 * place);
    }
    return static_cast<int32_t>(sum);
}

std::string PlainDecoding(const std::vector<char> &copy, size_t length)
{
    std::string out;
    for (size_t k = 0; k < length; k += 2) {
        std::string pair;
        for (size_t i = k; i < k + 2; i++)
            if (copy[i] != 0)  // "%c" of a zero byte puts in nothing
                pair += copy[i];
        const int32_t value = PlainHexToInt(pair);
        if (value != 0)
            out += static_cast<char>(value);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The text copy: the input and a terminating zero, as the decoding gets it.
    std::vector<char> copy(data, data + size);
    copy.push_back(0);

    // HexToInt reads up to the first zero byte.
    const std::string text(copy.data());
    Expect(HexToInt(text.c_str()) == PlainHexToInt(text), "HexToInt");

    BoxModel box;
    box.text = "kept";
    GenerateDecoding(copy.data(), size, BoxModel::Step, &box);
    ExpectSame(box.text, "kept" + PlainDecoding(copy, size), "decoding");
    Expect(box.caretMoves == (size + 1) / 2 && box.inserts == (size + 1) / 2, "one append per pair");
    return 0;
}
