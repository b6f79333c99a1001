// codepage.h: conversion between UTF-16 and code page 936, the narrow code page
// of every string the program and the stand-in's controls hold. Used where
// Unicode meets narrow text: resource templates and the display.
#ifndef W32_USER_CODEPAGE_H
#define W32_USER_CODEPAGE_H

#include <string>
#include <string_view>

namespace w32 {

// A character code page 936 cannot hold becomes '?', as the platform's
// default character does.
std::string Utf16ToCp936(std::u16string_view text);

// A byte sequence that is no code page 936 character becomes U+FFFD.
std::u16string Cp936ToUtf16(std::string_view text);

}  // namespace w32

#endif
