// What the two archive libraries share: the call-back channel to the caller, the file
// masks of a command record and name matching.
#pragma once

#include "toolkit/core/paths.h"
#include "zip/zip_records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ziplib {

// Reports to the caller through its callback; remembers a request to stop.
class TReporter {
 public:
  TReporter(ZFunctionPtr callback, void* handle, void* caller) : callback_(callback), handle_(handle), caller_(caller) {}

  // False once the caller asked to stop.
  bool Send(int action, int64_t size, std::string_view text = {}, int error = 0);
  bool NewFile(std::string_view name, int64_t size) { return Send(zaNewFile, size, name); }
  bool Progress(int64_t bytes) { return Send(zaProgress, bytes); }
  bool Message(int error, std::string_view text) { return Send(zaMessage, 0, text, error); }
  bool Cancelled() const { return cancelled_; }

 private:
  ZFunctionPtr callback_;
  void* handle_;
  void* caller_;
  bool cancelled_ = false;
};

// Error codes the libraries report with their messages.
enum TLibError {
  leNone = 0,
  leOpen = 1,       // the archive cannot be opened or created
  leRead = 2,       // a member or a file cannot be read
  leWrite = 3,      // the archive or a file cannot be written
  leRefused = 4,    // a member's name or kind is refused
  lePassword = 5,   // missing or wrong password
  leCancelled = 6,
  leNothing = 7,    // no file matched
  leBadArgs = 8,
};

// The file masks of a record, in the compact form when the library's version asks for it, else
// in the long one. Empty texts and counts beyond the long form's room are left out.
template <class Compact, class Long, class Head>
std::vector<std::string> Specs(Head* head, bool compact) {
  std::vector<std::string> specs;
  const auto add = [&specs](const char* text) {
    if (text != nullptr && *text != 0) specs.emplace_back(text);
  };
  if (compact) {
    const auto* defs = reinterpret_cast<const Compact*>(head)->FDefs;
    for (int32_t i = 0; defs != nullptr && i < head->argc; ++i) add(defs[i].FileSpec);
  } else {
    const auto* full = reinterpret_cast<const Long*>(head);
    for (int32_t i = 0; i < head->argc && i < ZIP_MAX_SPECS; ++i) add(full->FNV[i]);
  }
  return specs;
}

// A name against a mask ('*', '?', letters in either case), '\' and '/' counting as the same.
bool WildMatch(std::string_view text, std::string_view mask);
bool HasWildcards(std::string_view s);

// '\' turned into '/': the toolkit's ForwardSlashes.
using mirnax::ForwardSlashes;

}  // namespace ziplib
