// The run's host on a terminal: the log on stdout, a progress bar on stderr, the answer to the
// question fixed in advance.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "app/core/run.h"

namespace mirnax {

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

// A step's progress as the bar shows it: the whole percentage of units done, reported when it
// changes. The run begins each step from none done and never passes its total.
class TTerminalGauge : public TProgressSink {
 public:
  explicit TTerminalGauge(std::function<void()> changed) : changed_(std::move(changed)) {}
  void Begin(int32_t total) override {
    total_ = total;
    done_ = 0;
    Show();
  }
  // Most steps end at this comparison.
  void Step(int32_t count = 1) override {
    if ((done_ += count) >= next_) Show();
  }
  void Add(int32_t count) override {
    done_ += count;
    Show();
  }
  int PercentDone() const { return percent_; }

 private:
  void Show();

  int64_t total_ = 0;
  int64_t done_ = 0;
  int64_t next_ = 0;  // the first count of units that shows more than percent_
  int percent_ = 0;
  std::function<void()> changed_;
};

class TTerminalHost : public TRunHost {
 public:
  TTerminalHost(std::FILE* out, TProgressBar& bar, bool clear);

  void ClearLog() override {}
  void Log(const std::string& line) override;
  void AppendToLastLine(const std::string& text) override;
  bool AskYesNo(const std::string&) override { return clear_; }
  // On stderr too, with the way back.
  void FrozenAgain(const std::string& text) override;
  TProgressSink& StepGauge() override { return step_; }
  TProgressSink& TotalGauge() override { return total_; }

  // Writes the last line, which is held back until it is complete (" OK" may still be appended).
  void Finish();
  // The first failure to write the log (errno), 0 for none. A failed write does not stop the run:
  // the program reports it once the run has ended.
  int LogError() const { return logError_; }
  // True once the run has logged the end of a completed freeze, written or not.
  bool FreezeCompleted() const { return freezeCompleted_; }

 private:
  void GaugeChanged();

  std::FILE* out_;
  TProgressBar& bar_;
  bool clear_;
  std::optional<std::string> pending_;
  int logError_ = 0;
  bool freezeCompleted_ = false;
  TTerminalGauge step_;
  TTerminalGauge total_;
};

}  // namespace mirnax
