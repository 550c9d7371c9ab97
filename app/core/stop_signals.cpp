#include "app/core/stop_signals.h"

#include <atomic>

#include "app/core/run.h"
#include "app/core/run_texts.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr const char* Names[] = {"SIGINT", "SIGTERM", "SIGHUP"};

// Set once by the program; the signal that came during the freeze, 0 for none.
std::atomic<bool> rollBack{false};
volatile std::sig_atomic_t caught = 0;
// A stop that came after a freeze had completed its new statics, 0 for none.
std::atomic<int> late{0};
// The guards alive now, and whether the freeze under the outermost one has completed.
int depth = 0;
bool completed = false;

void CatchStop(int signal) { caught = signal; }

const char* NameOf(int signal) {
  for (size_t i = 0; i < std::size(Signals); ++i)
    if (Signals[i] == signal) return Names[i];
  return "a signal";
}
}  // namespace

void RollBackFreezeOnSignals() { rollBack = true; }

TStopSignals::TStopSignals() : active_(rollBack) {
  static_assert(std::size(Signals) == Count);
  if (!active_) return;
  nested_ = depth++ > 0;
  if (nested_) return;
  caught = 0;
  completed = false;
  struct sigaction catcher {};
  catcher.sa_handler = CatchStop;
  sigemptyset(&catcher.sa_mask);
  catcher.sa_flags = SA_RESTART;
  for (int i = 0; i < Count; ++i) {
    // A signal the program ignores (SIGHUP under nohup) stays ignored.
    if (::sigaction(Signals[i], nullptr, &previous_[i]) != 0 || previous_[i].sa_handler == SIG_IGN) continue;
    installed_[i] = ::sigaction(Signals[i], &catcher, nullptr) == 0;
  }
}

TStopSignals::~TStopSignals() {
  if (!active_) return;
  --depth;
  if (nested_) return;
  for (int i = 0; i < Count; ++i)
    if (installed_[i]) ::sigaction(Signals[i], &previous_[i], nullptr);
  const int signal = caught;
  caught = 0;
  if (signal == 0) return;
  if (completed)
    late = signal;
  else
    std::raise(signal);
}

const char* SignalAfterCompletedFreeze() {
  const int signal = late.exchange(0);
  return signal == 0 ? nullptr : NameOf(signal);
}

void TStopSignals::Completed() { completed = true; }

void TStopSignals::Check() {
  if (!active_ || caught == 0) return;
  const int signal = caught;
  caught = 0;
  throw Exception(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "The freeze was stopped by %s."), NameOf(signal)));
}

}  // namespace mirnax
