// String formatting and conversion helpers of the platform.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirnax {

// printf-style formatting into a std::string ("%s" takes a const char*).
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Decimal text to a 32-bit signed integer: leading blanks, an optional sign, then at least one
// decimal digit and nothing else. Anything else, or a value outside 32 bits, raises EConvertError
// "'%s' is not a valid integer value" with the whole text.
int32_t StrToInt(std::string_view text);

// Same rules; returns false instead of raising.
bool TryStrToInt(std::string_view text, int32_t& value);

std::string IntToStr(int64_t value);

// Letter-case-insensitive comparison of ASCII letters only (other bytes compare as they are),
// safe for UTF-8 file names. Returns <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

// Letter-case-insensitive comparison of Windows-1251 text: ASCII and Cyrillic letters compare
// equal to their other case. Returns <0, 0 or >0.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

}  // namespace mirnax
