// The run's host on a terminal: the log on stdout, a progress bar on stderr, the answer to the
// question fixed in advance.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/run.h"

// One line on stderr that shows what is being done and how far it has come. Drawn only when
// enabled (stderr is a terminal), at most about ten times a second.
class TProgressBar {
 public:
  explicit TProgressBar(bool enabled) : enabled_(enabled) {}
  bool Enabled() const { return enabled_; }
  void SetLabel(const std::string& label);
  // The gauges moved; force draws regardless of the time since the last drawing.
  void Update(int stepPercent, int totalPercent, bool force = false);
  // Clears the bar's line so other output can take it.
  void Erase();

 private:
  void Draw();

  bool enabled_;
  bool shown_ = false;
  std::string label_;
  int step_ = 0;
  int total_ = 0;
  std::chrono::steady_clock::time_point last_{};
};

// A gauge's value rules (a maximum of 0 is ignored, progress stays within the range) with a
// percentage for the bar.
class TTerminalGauge : public TProgressSink {
 public:
  explicit TTerminalGauge(std::function<void()> changed) : changed_(std::move(changed)) {}
  void SetMinValue(int32_t value) override;
  void SetMaxValue(int32_t value) override;
  void SetProgress(int32_t value) override;
  void AddProgress(int32_t delta) override;
  int32_t Progress() const override { return progress_; }
  int PercentDone() const;

 private:
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t progress_ = 0;
  int percent_ = 0;
  // The progress values that show percent_: [sameFrom_, sameTo_). The reader steps the gauge once
  // per line, so most steps end at this comparison.
  int64_t sameFrom_ = 0;
  int64_t sameTo_ = 0;
  std::function<void()> changed_;
};

struct TWorldEntry {
  std::string Name;                 // as the log shows it
  std::optional<std::string> Path;  // none: a name of the STATICS folder, loaded as the window loads it
};

class TTerminalHost : public TRunHost {
 public:
  TTerminalHost(std::FILE* out, TProgressBar& bar, bool clear, std::vector<TWorldEntry> entries, std::string indexPath,
                std::string dataPath);

  void ClearLog() override {}
  void Log(const std::string& line) override;
  void AppendToLastLine(const std::string& text) override;
  bool AskYesNo(const std::string&) override { return clear_; }
  TProgressSink& StepGauge() override { return step_; }
  TProgressSink& TotalGauge() override { return total_; }
  int EntryCount() override { return static_cast<int>(entries_.size()); }
  bool EntrySelected(int) override { return true; }
  std::string EntryName(int index) override { return entries_.at(static_cast<size_t>(index)).Name; }
  std::string EntryPath(int index, const std::string& baseDir) override;
  std::string IndexPath() override { return indexPath_; }
  std::string DataPath() override { return dataPath_; }
  TS_StringList& Lines() override { return lines_; }

  // Writes the last line, which is held back until it is complete (" OK" may still be appended).
  void Finish();
  // The first failure to write the log (errno), 0 for none. A failed write does not stop the run:
  // the program reports it once the run has ended.
  int LogError() const { return logError_; }

 private:
  void GaugeChanged();

  std::FILE* out_;
  TProgressBar& bar_;
  bool clear_;
  std::vector<TWorldEntry> entries_;
  std::string indexPath_;
  std::string dataPath_;
  TS_StringList lines_;
  std::optional<std::string> pending_;
  int logError_ = 0;
  TTerminalGauge step_;
  TTerminalGauge total_;
};
