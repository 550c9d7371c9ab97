#include "app/core/run.h"

#include <algorithm>
#include <csignal>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/freeze.h"
#include "app/core/freeze_checks.h"
#include "app/core/freeze_recovery.h"
#include "app/core/frozen_worlds.h"
#include "app/core/statics_pair.h"
#include "app/core/stop_signals.h"
#include "app/core/world_reader.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// The first bytes of a file as they go by, enough to tell a byte-order mark.
struct TFileStart {
  std::string Bytes;
  void Add(std::string_view piece) {
    if (Bytes.size() < 2) Bytes += piece.substr(0, 2 - Bytes.size());
  }
  // Windows' editors save "Unicode" text with a mark: FF FE (little-endian) or FE FF.
  bool LooksLikeUtf16() const { return Bytes == "\xFF\xFE" || Bytes == "\xFE\xFF"; }
};

// Reads one world file into store; sum gets the size and checksum of the bytes read, summed as
// they go by, and start its first bytes.
TWorldFileResult ReadOne(const TRunRequest::TWorldFile& file, TBlockStore& store, TRunHost& host, TFileSummer& sum,
                         TFileStart& start) {
  const TPieceWatch summed = [&sum, &start](std::string_view piece) {
    sum.Add(piece.data(), piece.size());
    start.Add(piece);
  };
  if (TS_StringList* lines = host.Lines()) {
    // The previous file's text goes before the next is read, so two are never held at once.
    lines->Clear();
    lines->LoadFromFile(file.Path, summed);
    host.Log("Parsing ... " + file.Name);
    TWorldFileResult read = ReadWorldFile(*lines, store, host.StepGauge());
    // Read: nothing of the run needs the text any more, and the freeze's memory comes on top.
    lines->Clear();
    return read;
  }
  // Nobody shows the text: it is parsed as it is read.
  TFileStream stream(file.Path, fmOpenRead);
  host.Log("Parsing ... " + file.Name);
  return ReadWorldFile(stream, store, host.StepGauge(), summed);
}

// The world files frozen into the pair before this run (as the record said when the run began),
// and those this run freezes.
class TFrozenWorlds {
 public:
  explicit TFrozenWorlds(const TStaticsPair& pair)
      : before_(pair.FrozenRecord.empty() ? std::vector<TFrozenWorld>() : ReadFrozenWorlds(pair.FrozenRecord)) {}

  // The record holds sums of an earlier version (CRC-32): world files are summed that way too.
  bool WantsCrc32() const {
    return std::any_of(before_.begin(), before_.end(), [](const TFrozenWorld& w) { return !w.Sum.Xxh3; });
  }

  // Says, after the file's count line, when the file (the bytes read, summed) was frozen into the
  // pair before.
  void Read(const TRunRequest::TWorldFile& file, const TFileSum& sum, TRunHost& host) {
    if (const TFrozenWorld* before = Find(sum)) {
      const std::string said = file.Name + " was frozen into these statics before, on " + before->Date;
      host.Log(said);
      host.FrozenAgain(said);
    }
    now_.push_back({sum, FrozenDateNow(), file.Name});
  }

  // The world files this run freezes, for the freeze to record (frozen_worlds.h).
  const std::vector<TFrozenWorld>& Now() const { return now_; }

 private:
  const TFrozenWorld* Find(const TFileSum& sum) const {
    for (const std::vector<TFrozenWorld>* list : {&before_, &now_})
      for (const TFrozenWorld& w : *list)
        if (SameFile(w.Sum, sum)) return &w;
    return nullptr;
  }

  std::vector<TFrozenWorld> before_, now_;
};

// An empty path names no file: the message says which one is missing.
void CheckPathsGiven(const TRunRequest& request) {
  if (request.IndexPath.empty())
    throw EFOpenError("No statics index file is given: the path of Staidx0 is empty.");
  if (request.DataPath.empty())
    throw EFOpenError("No statics data file is given: the path of Statics0 is empty.");
}

// Text of several lines, a log line each.
void LogLines(TRunHost& host, const std::string& text) {
  for (size_t from = 0;;) {
    const size_t end = text.find('\n', from);
    host.Log(text.substr(from, end - from));
    if (end == std::string::npos) return;
    from = end + 1;
  }
}

// Settles what an earlier freeze of the pair left, asks, and freezes store into the pair.
void FreezeInto(TStaticsPair& pair, const TBlockStore& store, bool keepBackup, const TFrozenWorlds& frozen,
                TRunHost& host) {
  // A freeze of this pair that ended early is settled first, where its journal tells how; the
  // files it moves are looked up anew.
  if (const std::string settled = RecoverInterruptedFreeze(pair); !settled.empty()) {
    host.Log("");
    LogLines(host, settled);
    pair = pair.Again();
  }
  // A Yes writes nothing yet: the freeze then starts from empty statics and replaces the old files
  // only once the new pair is complete, so a failed freeze leaves the statics as they were.
  const bool clear = host.AskYesNo(SClearStatics);
  if (clear) {
    host.Log("");
    host.Log("Clean statics....");
    CheckClearStatics(pair);
    host.AppendToLastLine(" OK");
  }
  host.Log("");
  host.Log("Start freezing....");
  // The record of frozen worlds is updated by the freeze, under its lock; what the freeze could not
  // finish once its new files were complete (the record, a backup) does not undo it: the log says so.
  const std::vector<TFrozenWorld>* worlds = pair.FrozenRecord.empty() ? nullptr : &frozen.Now();
  const std::string notes = clear ? ClearAndFreezeStatics(store, pair, host.StepGauge(), keepBackup, worlds)
                                  : FreezeStatics(store, pair, host.StepGauge(), keepBackup, worlds);
  host.TotalGauge().Add(1);
  host.AppendToLastLine(" OK");
  if (!notes.empty()) LogLines(host, notes.substr(1));
}

void Run(const TRunRequest& request, TRunHost& host) {
  host.ClearLog();
  TProgressSink& total = host.TotalGauge();
  total.Begin(static_cast<int32_t>(request.WorldFiles.size()) + request.Unchosen + 1);

  // The pair is resolved once, here; everything after asks this value.
  TStaticsPair pair = TStaticsPair::Resolve(request.IndexPath, request.DataPath);
  TBlockStore store(request.Map);
  TFrozenWorlds frozen(pair);
  int64_t items = 0;
  for (const TRunRequest::TWorldFile& file : request.WorldFiles) {
    host.Log("");
    host.Log("Loading ... " + file.Name);
    // A large file takes seconds to load: the step gauge shows none of it done meanwhile, not the
    // end of the previous step.
    host.StepGauge().Begin(0);
    TWorldFileResult read;
    TFileSummer sum(frozen.WantsCrc32());
    TFileStart start;
    try {
      read = ReadOne(file, store, host, sum, start);
    } catch (const EPositionError& e) {
      host.Log(Format("Error in %s, line %lld", file.Name.c_str(), static_cast<long long>(e.Line)));
      throw;
    }
    host.Log("The Worldfile contains ... " + std::to_string(read.Taken) + " Items");
    // Such a file reads as no items at all; the log says why.
    if (start.LooksLikeUtf16())
      host.Log(file.Name + " looks like UTF-16 text, but world files are 8-bit text: save it as such to freeze its items");
    frozen.Read(file, sum.Sum(), host);
    if (read.Skipped > 0) host.Log("Skipped " + std::to_string(read.Skipped) + " items outside the map");
    items += read.Taken;
    total.Add(1);
  }
  if (items == 0) {
    host.Log("No items found");
    return;
  }
  CheckPathsGiven(request);
  // A stop that comes once the freeze has completed, up to the run's last line, is only noted: the
  // run says what it did and ends as it would have.
  const TStopSignals guard;
  FreezeInto(pair, store, request.KeepBackup, frozen, host);
  host.Log(SProcessFinished);
}
}  // namespace

void RunFreeze(const TRunRequest& request, TRunHost& host) {
  try {
    Run(request, host);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();  // the store is gone by now
  }
}

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace mirnax
