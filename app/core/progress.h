// What the run and its steps need of a progress gauge.
#pragma once

#include <cstdint>

// The gauge's own operations and their rules (a maximum of 0 is ignored, progress is clamped to
// the range). SetProgress repaints only when the whole percentage changes, AddProgress always.
class TProgressSink {
 public:
  virtual ~TProgressSink() = default;
  virtual void SetMinValue(int32_t value) = 0;
  virtual void SetMaxValue(int32_t value) = 0;
  virtual void SetProgress(int32_t value) = 0;
  virtual void AddProgress(int32_t delta) = 0;
  virtual int32_t Progress() const = 0;
};

// Advances by one through SetProgress, so a loop of hundreds of thousands of steps repaints only
// when the percentage moves.
inline void StepProgress(TProgressSink& gauge) { gauge.SetProgress(gauge.Progress() + 1); }

// A gauge nobody looks at, for callers that need none (tests, benchmarks, fuzzing).
class TNullProgress : public TProgressSink {
 public:
  void SetMinValue(int32_t) override {}
  void SetMaxValue(int32_t) override {}
  void SetProgress(int32_t value) override { progress_ = value; }
  void AddProgress(int32_t delta) override { progress_ += delta; }
  int32_t Progress() const override { return progress_; }

 private:
  int32_t progress_ = 0;
};
