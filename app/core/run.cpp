#include "app/core/run.h"

#include <algorithm>
#include <csignal>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/duplicates.h"
#include "app/core/freeze.h"
#include "app/core/freeze_checks.h"
#include "app/core/freeze_recovery.h"
#include "app/core/frozen_worlds.h"
#include "app/core/run_texts.h"
#include "app/core/statics_pair.h"
#include "app/core/stop_signals.h"
#include "app/core/world_files.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// An empty path names no file: the message says which one is missing.
void CheckPathsGiven(const TRunRequest& request) {
  if (request.IndexPath.empty())
    throw EFOpenError(CheckText(
        QT_TRANSLATE_NOOP("mirnax::FreezeChecks", "No statics index file is given: the path of Staidx0 is empty.")));
  if (request.DataPath.empty())
    throw EFOpenError(CheckText(
        QT_TRANSLATE_NOOP("mirnax::FreezeChecks", "No statics data file is given: the path of Statics0 is empty.")));
}

// A freeze of this pair that ended early is settled first, where its journal tells how; the files
// it moves are looked up anew.
void Settle(TStaticsPair& pair, TRunHost& host) {
  if (const std::string settled = RecoverInterruptedFreeze(pair); !settled.empty()) {
    host.Log("");
    LogLines(host, settled);
    pair = pair.Again();
  }
}

// Settles what an earlier freeze of the pair left, asks (unless answer holds the answer given
// before), and freezes store into the pair.
void FreezeInto(TStaticsPair& pair, const TBlockStore& store, int64_t outside, bool keepBackup,
                const TFrozenWorlds& frozen, TRunHost& host, std::optional<bool> answer) {
  Settle(pair, host);
  // A Yes writes nothing yet: the freeze then starts from empty statics and replaces the old files
  // only once the new pair is complete, so a failed freeze leaves the statics as they were.
  const bool clear = answer ? *answer : host.AskClearStatics({pair.Index.Native, store, outside});
  if (clear) {
    host.Log("");
    host.Log(RunText(SCleanStatics));
    CheckClearStatics(pair);
    host.AppendToLastLine(RunText(SOk));
  }
  host.Log("");
  host.Log(RunText(SStartFreezing));
  // The record of frozen worlds is updated by the freeze, under its lock; what the freeze could not
  // finish once its new files were complete (the record, a backup) does not undo it: the log says so.
  const std::vector<TFrozenWorld>* worlds = pair.FrozenRecord.empty() ? nullptr : &frozen.Now();
  const std::string notes = clear ? ClearAndFreezeStatics(store, pair, host.StepGauge(), keepBackup, worlds)
                                  : FreezeStatics(store, pair, host.StepGauge(), keepBackup, worlds);
  host.TotalGauge().Add(1);
  host.AppendToLastLine(RunText(SOk));
  if (!notes.empty()) LogLines(host, notes.substr(1));
}

void Run(const TRunRequest& request, TRunHost& host) {
  host.ClearLog();
  host.TotalGauge().Begin(static_cast<int32_t>(request.WorldFiles.size()) + request.Unchosen + 1);

  // The pair is resolved once, here; everything after asks this value.
  TStaticsPair pair = TStaticsPair::Resolve(request.IndexPath, request.DataPath);
  TBlockStore store(request.Map);
  // With duplicates left out, a world file frozen before adds nothing again: the log says it was,
  // with no warning.
  TFrozenWorlds frozen(pair, !request.SkipDuplicates);
  std::optional<bool> answer;
  std::unique_ptr<TStaticDuplicates> duplicates;
  if (request.SkipDuplicates) {
    // A duplicate of the current statics counts only when they are kept: the pair is settled and
    // the question asked before the world files are read.
    CheckPathsGiven(request);
    Settle(pair, host);
    answer = host.AskYesNo(RunText(SClearStatics));
    duplicates = std::make_unique<TStaticDuplicates>(*answer ? nullptr : &pair, request.Map);
  }
  int64_t outside = 0;
  const int64_t items = ReadWorldFiles(request, store, host, frozen, duplicates.get(), &outside);
  duplicates.reset();  // its copy of the statics goes before the freeze needs memory
  if (items == 0) {
    host.Log(RunText(SNoItemsFound));
    return;
  }
  CheckPathsGiven(request);
  // A stop that comes once the freeze has completed, up to the run's last line, is only noted: the
  // run says what it did and ends as it would have.
  const TStopSignals guard;
  FreezeInto(pair, store, outside, request.KeepBackup, frozen, host, answer);
  host.Log(RunText(SProcessFinished));
}
}  // namespace

// Text of several lines, a log line each.
void LogLines(TRunHost& host, const std::string& text) {
  for (size_t from = 0;;) {
    const size_t end = text.find('\n', from);
    host.Log(text.substr(from, end - from));
    if (end == std::string::npos) return;
    from = end + 1;
  }
}

bool TRunHost::AskClearStatics(const TClearQuestion& question) {
  (void)question;
  return AskYesNo(RunText(SClearStatics));
}

void RunFreeze(const TRunRequest& request, TRunHost& host) {
  try {
    Run(request, host);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();  // the store is gone by now
  }
}

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace mirnax
