#include "zip/libs/lib_common.h"

#include "toolkit/core/filesearch.h"

#include <algorithm>
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
  if (n > 0) std::memcpy(record.Text, text.data(), n);  // an empty view may have no data
  record.Text[n] = 0;
  if (callback_(&record) != 0) cancelled_ = true;
  return !cancelled_;
}

bool WildMatch(std::string_view text, std::string_view mask) {
  return mirnax::MatchesMask(ForwardSlashes(text), ForwardSlashes(mask));
}

bool HasWildcards(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }


}  // namespace ziplib
