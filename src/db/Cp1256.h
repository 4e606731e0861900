// Windows-1256, the Arabic-script Windows code page, for the files and stored
// texts that are read or written by their single-byte codes.
#pragma once

#include <string>
#include <string_view>

namespace attcalc {

// The code of a character in Windows-1256, or -1 when it has none. A
// character without an exact code takes the code Windows' best fit gives it
// (Persian yeh U+06CC -> 0xED, Persian and Arabic-Indic digits -> ASCII).
int Cp1256Code(char32_t c);

// UTF-8 text to Windows-1256 bytes; characters without a code become '?'.
std::string Utf8ToCp1256(std::string_view utf8);

// Windows-1256 bytes to UTF-8 text.
std::string Cp1256ToUtf8(std::string_view bytes);

// Decodes UTF-8 into code points; malformed bytes read as U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);
std::string EncodeUtf8(char32_t c);

}  // namespace attcalc
