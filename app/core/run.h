// The run of a freeze, written once and driven through a host: the window (app/gui) and the
// terminal (app/cli) are its two faces.
#pragma once

#include <cstdint>
#include <string>

#include "util/s_strlst.h"

// What a run needs of a progress gauge: the gauge's own operations and their rules (a maximum of 0
// is ignored, progress is clamped to the range).
class TProgressSink {
 public:
  virtual ~TProgressSink() = default;
  virtual void SetMinValue(int32_t value) = 0;
  virtual void SetMaxValue(int32_t value) = 0;
  virtual void SetProgress(int32_t value) = 0;
  virtual void AddProgress(int32_t delta) = 0;
  virtual int32_t Progress() const = 0;
};

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
  virtual std::string EntryName(int index) = 0;

  // The statics paths (Edit1, Edit2), read at the moment they are needed.
  virtual std::string IndexPath() = 0;
  virtual std::string DataPath() = 0;

  // The line list a world file is loaded into (JumpMemo1.Lines in the window).
  virtual TS_StringList& Lines() = 0;
};

// One run: load and read each selected world file from baseDir + "STATICS\" + name, count, ask,
// clear on Yes, freeze, log. Errors are raised as toolkit exceptions after everything the run
// owns has been released; the statics files are never left with less than they had.
void RunFreeze(TRunHost& host, const std::string& baseDir);
