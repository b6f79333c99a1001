// textmap.h: a text box's narrow code page 936 bytes as the display shows
// them (UTF-16, CR LF as one line break), and positions from one to the other.
#ifndef W32_DISPLAY_TEXTMAP_H
#define W32_DISPLAY_TEXTMAP_H

#include <QString>

#include <string_view>

namespace w32 {

// Whether a byte begins a double-byte character of code page 936.
inline bool IsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

// How many of the bytes can be shown now: a trailing lead byte or a CR that
// may yet be followed by its LF is held back until the rest arrives.
size_t CompletePrefix(std::string_view bytes);

QString BytesToDisplay(std::string_view bytes);

// The display position of a byte offset, and the byte offset of a display position.
int DisplayIndexOf(std::string_view bytes, size_t offset);
size_t ByteOffsetOf(std::string_view bytes, int index);

// Text the person typed or pasted, as the controls hold it (line breaks as CR LF).
std::string DisplayToBytes(const QString &text, bool multiline);

}  // namespace w32

#endif
