// The listing generator against a plain formatter: any buffer, any mode, the
// box's text byte for byte, and one caret move per byte (and one at the end).
#include "box_model.h"

#include <cstdint>

namespace {

std::string PlainListing(int mode, const uint8_t *bytes, size_t count)
{
    char piece[32];
    std::string out;
    if (mode == 2) {
        for (size_t i = 0; i < count; i++) {
            snprintf(piece, sizeof piece, "_emit 0x%2.2X\r\n", bytes[i]);
            out += piece;
        }
        return out;
    }
    if (mode != 0 && mode != 1)
        return out;
    if (count == 0)
        return "\"\"";
    for (size_t j = 0; j < count; j++) {
        if (j % 16 == 0)
            out += j == 0 ? "\"" : "\"\r\n\"";
        snprintf(piece, sizeof piece, "\\x%2.2x", mode == 1 ? bytes[j] : bytes[count - 1 - j]);
        out += piece;
    }
    return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the mode, unknown ones (negative too) included.
    const int mode = static_cast<int8_t>(data[0]) % 5;
    const uint8_t *bytes = data + 1;
    const size_t count = size - 1;

    BoxModel box;
    box.text = "kept>";  // text already in the box stays in front
    box.caret = 2;       // and the caret's place beforehand does not matter
    GenerateListing(mode, bytes, static_cast<uint32_t>(count), BoxModel::Step, &box);
    const std::string listing = PlainListing(mode, bytes, count);
    ExpectSame(box.text, "kept>" + listing, "listing");

    if (mode == 0 || mode == 1)
        Expect(box.caretMoves == (count == 0 ? 2 : count + 1),
               "one caret move per byte and one for the closing quote (and the opening one of \"\")");
    else if (mode == 2)
        Expect(box.caretMoves == count && box.inserts == count, "one caret move and one insert per byte");
    else
        Expect(box.caretMoves == 0 && box.inserts == 0, "nothing for an unknown mode");
    return 0;
}
