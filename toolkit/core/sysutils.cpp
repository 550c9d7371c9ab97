#include "toolkit/core/sysutils.h"

#include <cstdarg>
#include <cstdio>

#include "toolkit/core/exceptions.h"

namespace mirnax {

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n));
    std::vsnprintf(out.data(), out.size() + 1, fmt, again);
  }
  va_end(again);
  return out;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > int64_t{INT32_MAX} + 1) return false;
  }
  const int64_t v = negative ? -magnitude : magnitude;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  value = static_cast<int32_t>(v);
  return true;
}

int32_t StrToInt(std::string_view text) {
  int32_t v = 0;
  if (!TryStrToInt(text, v))
    throw EConvertError(Format(ExceptionText(SInvalidInteger).c_str(), std::string(text).c_str()));
  return v;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

namespace {
constexpr unsigned char UpperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

// Windows-1251: small a..ya sit 32 above capital A..YA; the other Cyrillic letters pair up irregularly.
struct TUpperAnsiTable {
  unsigned char up[256];
  constexpr TUpperAnsiTable() : up() {
    for (int c = 0; c < 256; ++c) up[c] = UpperAscii(static_cast<unsigned char>(c));
    for (int c = 0xE0; c <= 0xFF; ++c) up[c] = static_cast<unsigned char>(c - 32);
    constexpr unsigned char pairs[][2] = {
        {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1},
        {0xBC, 0xA3}, {0xB4, 0xA5}, {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD},
    };
    for (const auto& p : pairs) up[p[0]] = p[1];
  }
};
constexpr TUpperAnsiTable kUpperAnsi;

unsigned char UpperAnsi(unsigned char c) { return kUpperAnsi.up[c]; }

template <unsigned char (*Upper)(unsigned char)>
int CompareFolded(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int d = Upper(static_cast<unsigned char>(a[i])) - Upper(static_cast<unsigned char>(b[i]));
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}
}  // namespace

int CompareText(std::string_view a, std::string_view b) { return CompareFolded<UpperAscii>(a, b); }
bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }
int AnsiCompareText(std::string_view a, std::string_view b) { return CompareFolded<UpperAnsi>(a, b); }
bool AnsiSameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

}  // namespace mirnax
