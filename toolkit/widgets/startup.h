// What a window program does before and while it opens its display.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCoreApplication;

namespace mirnax {

// What a window program says before its window's application object exists (--help, a wrong
// argument, a folder it cannot work in) is in the user's language: while this is held, and only for
// a language other than English, a Qt Core application object holds the translators. Those paths
// end the program; on the others this is let go before the window's application object is made.
class TEarlyTranslations {
 public:
  TEarlyTranslations(int& argc, char** argv);
  ~TEarlyTranslations();
  TEarlyTranslations(const TEarlyTranslations&) = delete;
  TEarlyTranslations& operator=(const TEarlyTranslations&) = delete;

 private:
  std::unique_ptr<QCoreApplication> app_;
};

// Answers --help (with the text usage gives) and --version ("<program> <version>") found among
// the arguments, before anything needs a display. Returns the exit status when one was answered.
std::optional<int> AnswerWithoutDisplay(int argc, char** argv, const std::string& program,
                                        const std::function<std::string()>& usage);

// What a window program takes besides Qt's own options (-platform NAME, -style NAME, -reverse, ...).
struct TProgramArguments {
  std::vector<std::string> ValueOptions;  // our options that take a value ("--page")
  size_t MaxPositional = 0;               // how many plain arguments may follow
};

// What is wrong with the arguments ("unknown option '--bogus'"), nothing when they are right; fills
// positional with the plain arguments ("--" ends the options).
std::optional<std::string> ArgumentError(int argc, char** argv, const TProgramArguments& ours,
                                         std::vector<std::string>& positional);

// Checks the arguments before anything needs a display: an option that is neither ours nor Qt's,
// an option of ours without its value, or a plain argument too many is refused with one line on
// standard error ("<program>: unknown option '--bogus' (see '<program> --help')") and exit
// status 2.
std::optional<int> RefuseUnknownArguments(int argc, char** argv, const std::string& program,
                                          const TProgramArguments& ours, std::vector<std::string>& positional);

// Held while the application object starts: when no display can be opened, the user gets one
// line on standard error ("<program>: cannot open a display: <the platform's reason>") and exit
// status 1, instead of pages of plugin diagnostics and an abort. Made while the early translations
// are held, it says so in the user's language.
class TDisplayGuard {
 public:
  explicit TDisplayGuard(std::string program);
  ~TDisplayGuard();
  TDisplayGuard(const TDisplayGuard&) = delete;
  TDisplayGuard& operator=(const TDisplayGuard&) = delete;
};

}  // namespace mirnax
