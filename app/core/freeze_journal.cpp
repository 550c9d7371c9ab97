#include "app/core/freeze_journal.h"

#include <fstream>
#include <string_view>

#include "toolkit/safe_replace.h"

namespace {
constexpr std::string_view JournalExt = ".freeze";
constexpr std::string_view JournalMoving =
    "moving: the .xxx files are the previous statics, the files under the configured names are not complete\n";
constexpr std::string_view JournalComplete =
    "complete: the files under the configured names are the complete new statics, the .xxx files may be deleted\n";
}  // namespace

std::string JournalName(const std::string& nativeIndex) { return nativeIndex + std::string(JournalExt); }

TJournalStep ReadJournal(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  char text[32];
  file.read(text, sizeof text);
  const std::string_view line(text, static_cast<size_t>(file.gcount()));
  const auto step = [&](std::string_view known) { return line.starts_with(known.substr(0, known.find(':') + 1)); };
  if (step(JournalComplete)) return jsComplete;
  if (step(JournalMoving)) return jsMoving;
  return jsNone;
}

void WriteJournal(const std::string& name, TJournalStep step) {
  TSafeReplace journal(name);
  journal.Write(step == jsComplete ? JournalComplete : JournalMoving);
  journal.Commit();
}
