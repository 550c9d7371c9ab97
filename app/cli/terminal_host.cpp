#include "app/cli/terminal_host.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace {
constexpr auto RedrawInterval = std::chrono::milliseconds(100);
constexpr int BarWidth = 30;
constexpr size_t LabelWidth = 36;
}  // namespace

void TProgressBar::SetLabel(const std::string& label) {
  label_ = label;
  if (label_.empty())
    Erase();  // an empty log line passes at once
  else if (enabled_)
    Draw();
}

void TProgressBar::Update(int stepPercent, int totalPercent, bool force) {
  if (!enabled_ || (stepPercent == step_ && totalPercent == total_ && !force)) return;
  force = force || stepPercent < step_;  // a new step starts: show it at once
  step_ = stepPercent;
  total_ = totalPercent;
  const auto now = std::chrono::steady_clock::now();
  if (!force && shown_ && now - last_ < RedrawInterval) return;
  last_ = now;
  Draw();
}

void TProgressBar::Draw() {
  std::string label = label_.size() > LabelWidth ? label_.substr(0, LabelWidth - 3) + "..." : label_;
  label.resize(LabelWidth, ' ');
  const int filled = std::clamp(step_ * BarWidth / 100, 0, BarWidth);
  std::fprintf(stderr, "\r%s [%s%s] %3d%%  total %3d%%\033[K", label.c_str(), std::string(size_t(filled), '#').c_str(),
               std::string(size_t(BarWidth - filled), '-').c_str(), step_, total_);
  std::fflush(stderr);
  shown_ = true;
}

void TProgressBar::Erase() {
  if (!enabled_ || !shown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  shown_ = false;
}

void TTerminalGauge::SetMinValue(int32_t value) {
  if (value > max_) return;
  min_ = value;
  sameFrom_ = sameTo_ = 0;
  SetProgress(std::max(progress_, min_));
}

void TTerminalGauge::SetMaxValue(int32_t value) {
  if (value == 0 || value < min_) return;
  max_ = value;
  sameFrom_ = sameTo_ = 0;
  SetProgress(std::min(progress_, max_));
}

void TTerminalGauge::SetProgress(int32_t value) {
  progress_ = std::clamp(value, min_, max_);
  if (progress_ >= sameFrom_ && progress_ < sameTo_) return;
  const int percent = PercentDone();
  // Progress p shows percent P while P * range <= (p - min) * 100 < (P + 1) * range.
  const int64_t range = int64_t{max_} - min_;
  const auto ceilDiv = [](int64_t a, int64_t b) { return (a + b - 1) / b; };
  sameFrom_ = range == 0 ? INT64_MIN : min_ + ceilDiv(percent * range, 100);
  sameTo_ = range == 0 ? INT64_MAX : min_ + ceilDiv((percent + 1) * range, 100);
  if (percent == percent_) return;
  percent_ = percent;
  if (changed_) changed_();
}

void TTerminalGauge::AddProgress(int32_t delta) {
  // Summed in 64 bits: the result is clamped to the range anyway, it must not wrap on the way.
  const int64_t sum = int64_t{progress_} + delta;
  SetProgress(static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX)));
}

// Whole numbers: the floor of (progress - min) * 100 / range, exact for every 32-bit range.
int TTerminalGauge::PercentDone() const {
  if (max_ == min_) return 0;
  return static_cast<int>((int64_t{progress_} - min_) * 100 / (int64_t{max_} - min_));
}

TTerminalHost::TTerminalHost(std::FILE* out, TProgressBar& bar, bool clear, std::vector<TWorldEntry> entries,
                             std::string indexPath, std::string dataPath)
    : out_(out),
      bar_(bar),
      clear_(clear),
      entries_(std::move(entries)),
      indexPath_(std::move(indexPath)),
      dataPath_(std::move(dataPath)),
      step_([this] { GaugeChanged(); }),
      total_([this] { GaugeChanged(); }) {}

void TTerminalHost::Log(const std::string& line) {
  Finish();
  pending_ = line;
  bar_.SetLabel(line);
}

void TTerminalHost::AppendToLastLine(const std::string& text) {
  if (!pending_) pending_.emplace();
  *pending_ += text;
  bar_.SetLabel(*pending_);
}

std::string TTerminalHost::EntryPath(int index, const std::string& baseDir) {
  const TWorldEntry& e = entries_.at(static_cast<size_t>(index));
  return e.Path ? *e.Path : TRunHost::EntryPath(index, baseDir);
}

void TTerminalHost::Finish() {
  if (!pending_) return;
  bar_.Erase();
  errno = 0;
  const bool written =
      std::fputs(pending_->c_str(), out_) != EOF && std::fputc('\n', out_) != EOF && std::fflush(out_) == 0;
  if (!written && logError_ == 0) logError_ = errno != 0 ? errno : EIO;
  pending_.reset();
}

void TTerminalHost::GaugeChanged() { bar_.Update(step_.PercentDone(), total_.PercentDone()); }
