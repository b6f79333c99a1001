// The code page conversions the display uses, on any bytes: what the display
// shows of a box's bytes has exactly as many units as the position mapping
// counts, positions map back onto character boundaries, and text the person
// types comes back as the bytes it was shown from.
#include "display/textmap.h"
#include "user/codepage.h"

#include "box_model.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);

    // Code page 936 to UTF-16 and back: one unit per character, and a text of
    // characters that are all valid comes back byte for byte.
    const std::u16string wide = w32::Cp936ToUtf16(bytes);
    if (wide.find(u'\xFFFD') == std::u16string::npos)
        ExpectSame(w32::Utf16ToCp936(wide), std::string(bytes), "code page 936 round trip");

    // UTF-16 (the bytes read as units) to code page 936: every unit that
    // cannot be held becomes one '?', the rest come back unchanged.
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); i++)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    const std::string narrow = w32::Utf16ToCp936(units);
    Expect(narrow.size() <= units.size() * 2, "at most two bytes per unit");

    // The display's view of the bytes and its position mapping agree.
    const QString shown = w32::BytesToDisplay(bytes);
    const int end = w32::DisplayIndexOf(bytes, bytes.size());
    Expect(shown.size() == end, "the display's length is the mapping's");
    for (int index = 0; index <= end; index += 1 + end / 64) {
        const size_t offset = w32::ByteOffsetOf(bytes, index);
        Expect(w32::DisplayIndexOf(bytes, offset) == index, "a position maps back to itself");
    }
    const size_t complete = w32::CompletePrefix(bytes);
    Expect(complete <= bytes.size(), "the complete prefix lies inside the bytes");

    // Typed text comes back as the bytes it was shown from, line breaks as CR LF.
    if (wide.find(u'\xFFFD') == std::u16string::npos && bytes.find('\r') == std::string_view::npos
        && bytes.find('\0') == std::string_view::npos) {
        std::string want;
        for (char c : bytes)
            want += c == '\n' ? std::string("\r\n") : std::string(1, c);
        ExpectSame(w32::DisplayToBytes(shown, true), want, "typed text");
    }
    return 0;
}
