// The run of a freeze, written once and driven through a host: the window (app/gui) and the
// terminal (app/cli) are its two faces.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/progress.h"
#include "util/s_strlst.h"

class TRunHost {
 public:
  virtual ~TRunHost() = default;

  // The log (Memo1 in the window).
  virtual void ClearLog() = 0;
  virtual void Log(const std::string& line) = 0;
  virtual void AppendToLastLine(const std::string& text) = 0;
  // The Yes/No question with an empty caption; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;

  virtual TProgressSink& StepGauge() = 0;   // CGauge1: the current step
  virtual TProgressSink& TotalGauge() = 0;  // CGauge2: the whole run

  // The world file list (ListBox1): every entry, selected or not, in list order.
  virtual int EntryCount() = 0;
  virtual bool EntrySelected(int index) = 0;
  // The entry as the log shows it.
  virtual std::string EntryName(int index) = 0;
  // The file the entry is loaded from. The list holds bare names of the STATICS folder; a host
  // whose entries are paths of their own (the terminal's arguments) returns them instead.
  virtual std::string EntryPath(int index, const std::string& baseDir) {
    return baseDir + "STATICS\\" + EntryName(index);
  }

  // The statics paths (Edit1, Edit2), read at the moment they are needed.
  virtual std::string IndexPath() = 0;
  virtual std::string DataPath() = 0;

  // The line list a world file is loaded into (JumpMemo1.Lines in the window).
  virtual TS_StringList& Lines() = 0;
};

// The run's question before it writes.
inline constexpr const char* SClearStatics = "Clear current statics";

// One run: load and read each selected world file from baseDir + "STATICS\" + name, count, ask,
// freeze (on Yes into cleared statics, which replace the old files only once complete), log.
// Errors are raised as toolkit exceptions after everything the run owns has been released; the
// statics files are never left with less than they had.
void RunFreeze(TRunHost& host, const std::string& baseDir);

// A program that runs freezes calls this at start: a write past the process's file size limit
// then fails as an error the freeze undoes, instead of ending the process (SIGXFSZ).
void IgnoreFileSizeSignal();

// A program that runs freezes from a terminal calls this at start: SIGINT, SIGTERM or SIGHUP that
// comes during a freeze then stops it and puts the previous statics back (the run ends with an
// error saying so) instead of ending the process halfway. Outside a freeze, and for a signal the
// program ignores, nothing changes.
void RollBackFreezeOnSignals();
