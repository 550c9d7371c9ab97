#include "app/cli/terminal_host.h"

#include "app/core/run_texts.h"

#include <algorithm>
#include <cerrno>

namespace mirnax {

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

void TTerminalGauge::Show() {
  // Whole numbers: the floor of done * 100 / total, exact for every 32-bit total.
  const int percent = total_ <= 0 ? 0 : static_cast<int>(std::min(done_, total_) * 100 / total_);
  // done shows percent P while P * total <= done * 100 < (P + 1) * total.
  next_ = total_ <= 0 || percent >= 100 ? INT64_MAX : ((percent + 1) * total_ + 99) / 100;
  if (percent == percent_) return;
  percent_ = percent;
  if (changed_) changed_();
}

TTerminalHost::TTerminalHost(std::FILE* out, TProgressBar& bar, bool clear)
    : out_(out), bar_(bar), clear_(clear), step_([this] { GaugeChanged(); }), total_([this] { GaugeChanged(); }) {}

void TTerminalHost::Log(const std::string& line) {
  Finish();
  if (line == RunText(SProcessFinished)) freezeCompleted_ = true;
  pending_ = line;
  bar_.SetLabel(line);
}

void TTerminalHost::FrozenAgain(const std::string& text) {
  bar_.Erase();
  std::fprintf(stderr,
               "mirnax-freeze: %s; this run adds its items again. If that is not wanted, mirnax-freeze --undo "
               "afterwards puts back the statics from before this run.\n",
               text.c_str());
}

void TTerminalHost::AppendToLastLine(const std::string& text) {
  if (!pending_) pending_.emplace();
  *pending_ += text;
  bar_.SetLabel(*pending_);
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

}  // namespace mirnax
