#pragma once

#include <string>

#include "rtl/AnsiString.h"

// Windows-1251 <-> UTF-8. A character with no Windows-1251 form, and every
// malformed UTF-8 sequence, becomes '?'. The unassigned byte 0x98 comes out
// as U+FFFD, the Unicode replacement character.
AnsiString Utf8ToCp1251(const std::string& utf8);
std::string Cp1251ToUtf8(const AnsiString& text);

// The code point of one Windows-1251 byte (U+FFFD for 0x98).
char32_t Cp1251ToUnicode(unsigned char byte);
