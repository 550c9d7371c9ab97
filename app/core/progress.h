// What the run and its steps tell about their progress.
#pragma once

#include <cstdint>

namespace mirnax {

// A step of the run (reading a file, freezing the blocks, the run as a whole) begins with the
// number of units it has and reports them done. Whoever shows it keeps its own rules: the window's
// gauge (TCGauge) owns range, clamping and percentage, the terminal only draws a bar.
class TProgressSink {
 public:
  virtual ~TProgressSink() = default;
  // A new step of total units, none done yet.
  virtual void Begin(int32_t total) = 0;
  // count units done (one unless said). Called per map block or per batch of lines, hundreds of
  // thousands of times a step: it must cost next to nothing unless the whole percentage moves.
  virtual void Step(int32_t count = 1) = 0;
  // count units done at once; always shown.
  virtual void Add(int32_t count) = 0;
};

// Progress nobody looks at (tests, benchmarks, fuzzing); it only counts the units done.
class TNullProgress : public TProgressSink {
 public:
  void Begin(int32_t) override { progress_ = 0; }
  void Step(int32_t count = 1) override { progress_ += count; }
  void Add(int32_t count) override { progress_ += count; }
  int64_t Progress() const { return progress_; }

 private:
  int64_t progress_ = 0;
};

}  // namespace mirnax
