// What a window program does before and while it opens its display.
#pragma once

#include <optional>
#include <string>

namespace mirnax {

// Answers --help (with usage) and --version ("<program> <version>") found among the arguments,
// before anything needs a display. Returns the exit status when one was answered.
std::optional<int> AnswerWithoutDisplay(int argc, char** argv, const std::string& program, const char* usage);

// Held while the application object starts: when no display can be opened, the user gets one
// line on standard error ("<program>: cannot open a display: <the platform's reason>") and exit
// status 1, instead of pages of plugin diagnostics and an abort.
class TDisplayGuard {
 public:
  explicit TDisplayGuard(std::string program);
  ~TDisplayGuard();
  TDisplayGuard(const TDisplayGuard&) = delete;
  TDisplayGuard& operator=(const TDisplayGuard&) = delete;
};

}  // namespace mirnax
