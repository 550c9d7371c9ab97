#include "controls/jumpmemo/text_primitives.h"

#include <array>

namespace mirnax {

namespace {

// Letters outside the basic Cyrillic block are first taken to a neighbour the second stage knows.
constexpr unsigned char FirstStage(unsigned char c) {
  switch (c) {
    case 0xA1: return 0xA2;
    case 0xA3: return 0xA4;
    case 0xA6: return 0xA8;
    case 0xAC: return 0xAD;
    case 0xAF: return 0xB0;
    case 0xBA: return 0xBC;
    case 0xB5: return 0xB8;
    case 0xB2:
    case 0xB3: return 'I';
    case 0xBD:
    case 0xBE: return 'H';
    default: return c;
  }
}

constexpr unsigned char SecondStage(unsigned char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
  switch (c) {  // Latin capitals drawn like a Cyrillic capital become that capital
    case 'A': return 0xC0;
    case 'B': return 0xC2;
    case 'C': return 0xD1;
    case 'E': return 0xC5;
    case 'H': return 0xCD;
    case 'K': return 0xCA;
    case 'M': return 0xCC;
    case 'O': return 0xCE;
    case 'P': return 0xD0;
    case 'T': return 0xD2;
    case 'X': return 0xD5;
    case 'Y': return 0xD3;
    default: break;
  }
  if (c >= 0xE0) return static_cast<unsigned char>(c - 32);
  return c;
}

constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[static_cast<size_t>(c)] = SecondStage(FirstStage(static_cast<unsigned char>(c)));
  return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

}  // namespace

unsigned char FoldChar(unsigned char c) { return kFold[c]; }

void FoldTextInto(std::string_view s, std::string& out) {
  out.resize(s.size());
  for (size_t i = 0; i < s.size(); ++i) out[i] = static_cast<char>(kFold[static_cast<unsigned char>(s[i])]);
}

std::string FoldText(std::string_view s) {
  std::string out;
  FoldTextInto(s, out);
  return out;
}

int FindWordFrom(std::string_view needle, std::string_view haystack, int start, bool wholeWord) {
  if (needle.size() > haystack.size()) return 0;
  // A negative start is read as the beginning of the line; nothing before it is ever examined.
  const size_t from = start < 0 ? 0 : static_cast<size_t>(start);
  if (needle.size() + from > haystack.size()) return start;
  const size_t p = haystack.find(needle, from);
  if (p == std::string_view::npos) return start;
  if (p > 0 && IsWordChar(static_cast<unsigned char>(haystack[p - 1]))) return start;
  const size_t after = p + needle.size();
  if (wholeWord && after < haystack.size() && IsWordChar(static_cast<unsigned char>(haystack[after]))) return start;
  return static_cast<int>(p + 1);
}

}  // namespace mirnax
