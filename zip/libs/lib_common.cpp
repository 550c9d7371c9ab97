#include "zip/libs/lib_common.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

namespace ziplib {

bool TReporter::Send(int action, int64_t size, std::string_view text, int error) {
  if (callback_ == nullptr) return !cancelled_;
  ZCallBackStruct record{};
  record.Handle = handle_;
  record.Caller = caller_;
  record.ActionCode = action;
  record.ErrorCode = error;
  record.Size = static_cast<int32_t>(std::clamp<int64_t>(size, 0, std::numeric_limits<int32_t>::max()));
  const size_t n = std::min(text.size(), sizeof record.Text - 1);
  std::memcpy(record.Text, text.data(), n);
  record.Text[n] = 0;
  if (callback_(&record) != 0) cancelled_ = true;
  return !cancelled_;
}

std::vector<std::string> Specs(int32_t argc, bool compact, const void* compactDefs, size_t entrySize,
                               char* const* longDefs) {
  std::vector<std::string> specs;
  const int32_t count = compact ? argc : std::min<int32_t>(argc, ZIP_MAX_SPECS);
  for (int32_t i = 0; i < count; ++i) {
    const char* text = nullptr;
    if (compact) {
      if (compactDefs == nullptr) break;
      const auto* entry = static_cast<const char*>(compactDefs) + static_cast<size_t>(i) * entrySize;
      std::memcpy(&text, entry, sizeof text);
    } else {
      text = longDefs[i];
    }
    if (text != nullptr && *text != 0) specs.emplace_back(text);
  }
  return specs;
}

namespace {
char Fold(char c) {
  if (c == '\\') return '/';
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}
}  // namespace

bool WildMatch(std::string_view text, std::string_view mask) {
  // Iterative match with one backtrack point for the last star.
  size_t t = 0, m = 0, starM = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starT = t;
    } else if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(text[t]))) {
      ++m;
      ++t;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool HasWildcards(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

std::string ForwardSlashes(std::string_view s) {
  std::string out(s);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

}  // namespace ziplib
