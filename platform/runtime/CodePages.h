// Conversions between the code pages the system meets at its edges: Windows-1251 (its own
// text), cp866 (the text of dBASE tables), UTF-8 (screen, clipboard, file names) and UTF-16
// (wide strings of variants and streams). AnsiString.h holds the Windows-1251 table and the
// Windows-1251 <-> UTF-8 pair.
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/Types.h"

namespace orv {

// Unicode code points of the cp866 bytes 0x80..0xFF.
extern const char16_t kCp866High[128];

// A character the target code page cannot hold becomes `replacement`.
AnsiString Cp866ToAnsi(std::string_view oem, char replacement = '?');
std::string AnsiToCp866(std::string_view ansi, char replacement = '?');

WideString AnsiToWide(std::string_view ansi);
// A surrogate pair counts as one character (one replacement when the code page lacks it).
AnsiString WideToAnsi(std::u16string_view wide, char replacement = '?');

// Malformed UTF-8 and unpaired surrogates become U+FFFD.
WideString Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::u16string_view wide);

}  // namespace orv
