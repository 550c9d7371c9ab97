// mirnax-freeze's looks before a write: --check of a statics pair, --dry-run of a freeze, and the
// map size both they and the freeze take (--map-size).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/cli/terminal_host.h"
#include "app/core/map.h"
#include "app/core/run.h"

namespace mirnax {

// A text of mirnax-freeze (translation context "mirnax-freeze") in the user's language, as UTF-8.
std::string FreezeText(const char* text);

struct TLookOptions {
  bool Check = false;
  bool DryRun = false;
  std::optional<TMapSize> MapSize;
};

// Takes argv[i] (and its value, moving i on) when it is --check, --dry-run or --map-size[=]SIZE.
// Raises std::invalid_argument with the complaint for a bad value.
bool TakeLookOption(std::string_view arg, int& i, int argc, char** argv, TLookOptions& options);
// Raises std::invalid_argument when the look asked for does not go with the other arguments.
void CheckLookOptions(const TLookOptions& options, bool worldFiles, bool clearOrKeep, bool undo, bool noBackup);

// Exit statuses of --check: whole, could not read, inconsistent.
enum { ExitPairWhole = 0, ExitPairUnread = 1, ExitPairInconsistent = 4 };

// --check: reports on out whether request's pair is consistent; the exit status.
int CheckPairCommand(const TRunRequest& request, std::FILE* out);
// --dry-run: the run's reading and what a freeze would do, on host; 0 when a freeze would go ahead,
// 1 otherwise (said on stderr).
int DryRunCommand(const TRunRequest& request, bool clear, TTerminalHost& host, TProgressBar& bar);

}  // namespace mirnax
