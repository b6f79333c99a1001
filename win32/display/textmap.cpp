// textmap.cpp: code page 936 bytes to and from the display (see textmap.h).
#include "display/textmap.h"

#include "user/codepage.h"

namespace w32 {

namespace {

// The width in bytes, and in display units, of the character at i.
void Step(std::string_view bytes, size_t i, size_t *width, int *units)
{
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        *width = 2;
        *units = 1;
    } else if (IsLeadByte(c) && i + 1 < bytes.size()) {
        *width = 2;
        *units = 1;
    } else {
        *width = 1;
        *units = 1;
    }
}

}  // namespace

size_t CompletePrefix(std::string_view bytes)
{
    size_t i = 0, complete = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if ((c == '\r' || IsLeadByte(c)) && i + 1 == bytes.size())
            break;
        size_t width;
        int units;
        Step(bytes, i, &width, &units);
        i += width;
        complete = i;
    }
    return complete;
}

QString BytesToDisplay(std::string_view bytes)
{
    // CR LF becomes one line break, where Step sees one: a CR behind a lead
    // byte belongs to that (bad) character.
    std::string lines;
    lines.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        size_t width;
        int units;
        Step(bytes, i, &width, &units);
        if (width == 2 && bytes[i] == '\r')
            lines += '\n';
        else
            lines.append(bytes.substr(i, width));
        i += width;
    }
    const std::u16string wide = Cp936ToUtf16(lines);
    return QString(reinterpret_cast<const QChar *>(wide.data()), static_cast<qsizetype>(wide.size()));
}

int DisplayIndexOf(std::string_view bytes, size_t offset)
{
    int index = 0;
    for (size_t i = 0; i < bytes.size() && i < offset;) {
        size_t width;
        int units;
        Step(bytes, i, &width, &units);
        i += width;
        index += units;
    }
    return index;
}

size_t ByteOffsetOf(std::string_view bytes, int index)
{
    size_t i = 0;
    for (int at = 0; i < bytes.size() && at < index; at++) {
        size_t width;
        int units;
        Step(bytes, i, &width, &units);
        i += width;
    }
    return i;
}

std::string DisplayToBytes(const QString &text, bool multiline)
{
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(QChar(0x2029), QChar('\n'));  // paragraph separators from rich text
    if (multiline)
        normal.replace(QChar('\n'), QStringLiteral("\r\n"));
    else
        normal = normal.section(QChar('\n'), 0, 0);
    return Utf16ToCp936(std::u16string_view(reinterpret_cast<const char16_t *>(normal.utf16()), static_cast<size_t>(normal.size())));
}

}  // namespace w32
