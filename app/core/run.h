// The run of a freeze, written once and driven through a host: the window (app/gui) and the
// terminal (app/cli) are its two faces.
#pragma once

#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/core/map.h"
#include "app/core/progress.h"

namespace mirnax {

// What a run reads and writes, fixed before it starts.
struct TRunRequest {
  struct TWorldFile {
    std::string Name;  // as the log shows it
    std::string Path;  // where it is loaded from
  };
  // The files to read, in this order.
  std::vector<TWorldFile> WorldFiles;
  // Files offered but not chosen (entries of the window's list left unselected): the whole run's
  // gauge counts every file offered, so it ends short by these.
  int32_t Unchosen = 0;
  std::string IndexPath;
  std::string DataPath;
  // The map the statics cover: their index has one entry per block of it.
  TMapSize Map;
  // Only the world items inside this part of the map are taken.
  std::optional<TMapArea> Area;
  // An item whose 7-byte record its block has already (among the statics kept, or added before in
  // this run) is left out. What counts then depends on the answer to the question: the run settles
  // an interrupted freeze and asks before it reads the world files.
  bool SkipDuplicates = false;
  // The files a freeze replaces are kept as "<file>.bak" (see FreezeStatics).
  bool KeepBackup = true;
};

class TBlockStore;

// The run's question before it writes.
inline constexpr const char* SClearStatics = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Clear current statics");

// What the clear question is about, for a host that shows more than its text (the window draws
// the map): the statics index as it is now, the items about to be frozen (their store knows the
// map in use) and how many items fell outside the map.
struct TClearQuestion {
  const std::string& IndexPath;
  const TBlockStore& Store;
  int64_t Outside = 0;
};

// How a run reports and asks.
class TRunHost {
 public:
  virtual ~TRunHost() = default;

  // The log (Memo1 in the window).
  virtual void ClearLog() = 0;
  virtual void Log(const std::string& line) = 0;
  virtual void AppendToLastLine(const std::string& text) = 0;
  // The Yes/No question with an empty caption; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // The question SClearStatics (translated) before the freeze; true for Yes (clear). By default
  // AskYesNo with the text alone.
  virtual bool AskClearStatics(const TClearQuestion& question);
  // A world file frozen into these statics before (text says which and when) is frozen again; the
  // log has said so already. A host that has more than the log to warn with (the terminal's
  // stderr) uses it.
  virtual void FrozenAgain(const std::string& text) { (void)text; }

  virtual TProgressSink& StepGauge() = 0;   // CGauge1: the current step
  virtual TProgressSink& TotalGauge() = 0;  // CGauge2: the whole run
};

// The run's last line once its freeze has completed.
inline constexpr const char* SProcessFinished = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Process finished");

// Text of several lines, a log line each.
void LogLines(TRunHost& host, const std::string& text);

// One run: load and read each world file of request, count, ask, freeze (on Yes into cleared
// statics, which replace the old files only once complete), log. Errors are raised as toolkit
// exceptions after everything the run owns has been released; the statics files are never left
// with less than they had.
void RunFreeze(const TRunRequest& request, TRunHost& host);

// A program that runs freezes calls this at start: a write past the process's file size limit
// then fails as an error the freeze undoes, instead of ending the process (SIGXFSZ).
void IgnoreFileSizeSignal();

// A program that runs freezes from a terminal calls this at start: SIGINT, SIGTERM or SIGHUP that
// comes during a freeze then stops it and puts the previous statics back (the run ends with an
// error saying so) instead of ending the process halfway; one that comes once the new statics are
// complete, up to the run's end, is only noted (SignalAfterCompletedFreeze). While a run reads its
// world files, and for a signal the program ignores, nothing changes.
void RollBackFreezeOnSignals();

// The name of the signal ("SIGINT") that came once a freeze had completed its new statics, which
// the freeze then finished (its clean-up done) instead of ending the process; null for none. Taken
// once: the next call returns null.
const char* SignalAfterCompletedFreeze();

}  // namespace mirnax
