// charformat.h: a rich edit box's character format as the display shows it:
// its face (or, where that face is not installed, an installed face of the
// same pitch), its size and effects, and its colour.
#ifndef W32_DISPLAY_CHARFORMAT_H
#define W32_DISPLAY_CHARFORMAT_H

#include <windows.h>
#include <richedit.h>

#include <QColor>
#include <QFont>

namespace w32 {

// The format's font; what the format leaves out stays as in base.
QFont FontOfCharFormat(const CHARFORMATA &format, const QFont &base);
// The format's text colour, or fallback when it leaves the colour to the system.
QColor ColourOfCharFormat(const CHARFORMATA &format, const QColor &fallback);

}  // namespace w32

#endif
