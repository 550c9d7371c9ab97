// What the memo tests share: expected widths from Qt's own measuring of the font in use, and
// texts put into a memo.
#pragma once

#include <QFontMetrics>
#include <string>
#include <string_view>
#include <vector>

#include "controls/jumpmemo/jumpmemo.h"
#include "toolkit/cp1251.h"

namespace {

// Expected widths come from Qt's own measuring of the font in use.
[[maybe_unused]] int Width(const TJumpMemo& memo, std::string_view s) {
  return QFontMetrics(memo.font(), &memo.Buffer()).horizontalAdvance(Cp1251ToQString(s));
}

[[maybe_unused]] int Height(const TJumpMemo& memo) { return QFontMetrics(memo.font(), &memo.Buffer()).height(); }

[[maybe_unused]] std::vector<std::string> LinesOf(const TJumpMemo& memo) {
  std::vector<std::string> out;
  for (int i = 0; i < memo.Lines().Count(); ++i) out.push_back(memo.Lines().Get(i));
  return out;
}

[[maybe_unused]] std::vector<std::string> Numbered(int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back("line " + std::to_string(i));
  return out;
}

// Loads lines only: no scan, no markers, as the application does.
[[maybe_unused]] void SetText(TJumpMemo& memo, const std::vector<std::string>& lines) {
  memo.Lines().Clear();
  for (const auto& line : lines) memo.Lines().Add(line);
}

// The memo with a text through Add, as a program fills it.
[[maybe_unused]] void AddLines(TJumpMemo& memo, const std::vector<std::string>& lines) {
  for (const auto& line : lines) memo.Add(line);
}

}  // namespace
