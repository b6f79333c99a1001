// charformat.cpp: a rich edit box's character format as a font and a colour
// (see charformat.h).
#include "display/charformat.h"

#include "display/textmap.h"

#include <QFontDatabase>

#include <strings.h>

#include <algorithm>

namespace w32 {

namespace {

// Fixed-pitch faces of the platform that programs name; few Linux systems
// have them, so the system's own fixed-pitch face stands in.
const char *const kFixedPitchFaces[] = {"Fixedsys", "Terminal", "Courier", "Courier New", "Lucida Console", "Consolas"};
constexpr BYTE kFixedPitch = 1;  // the pitch bits of bPitchAndFamily

// The dialog is laid out in pixels of a 96 DPI screen; sizes are in twips.
constexpr int kPixelsPerInch = 96;
constexpr int kTwipsPerInch = 1440;

bool IsFixedPitch(const CHARFORMATA &format)
{
    if ((format.bPitchAndFamily & 3) == kFixedPitch)
        return true;
    for (const char *face : kFixedPitchFaces)
        if (strcasecmp(face, format.szFaceName) == 0)
            return true;
    return false;
}

}  // namespace

QFont FontOfCharFormat(const CHARFORMATA &format, const QFont &base)
{
    QFont font = base;
    if (format.dwMask & CFM_FACE) {
        const QString face = BytesToDisplay(std::string_view(format.szFaceName, strnlen(format.szFaceName, LF_FACESIZE)));
        const bool fixed = IsFixedPitch(format);
        if (QFontDatabase::hasFamily(face) || !fixed)
            font.setFamily(face);
        else
            font.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        font.setFixedPitch(fixed);
        font.setStyleHint(fixed ? QFont::Monospace : QFont::AnyStyle);
    }
    if ((format.dwMask & CFM_SIZE) && format.yHeight > 0)
        font.setPixelSize(std::max(1, (static_cast<int>(format.yHeight) * kPixelsPerInch + kTwipsPerInch / 2) / kTwipsPerInch));
    if (format.dwMask & CFM_BOLD)
        font.setBold((format.dwEffects & CFE_BOLD) != 0);
    if (format.dwMask & CFM_ITALIC)
        font.setItalic((format.dwEffects & CFE_ITALIC) != 0);
    return font;
}

QColor ColourOfCharFormat(const CHARFORMATA &format, const QColor &fallback)
{
    if (!(format.dwMask & CFM_COLOR) || (format.dwEffects & CFE_AUTOCOLOR))
        return fallback;
    const COLORREF c = format.crTextColor;
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace w32
