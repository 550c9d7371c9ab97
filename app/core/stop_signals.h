// SIGINT, SIGTERM and SIGHUP during a freeze: caught and turned into a stop that puts the previous
// statics back, for the programs that ask for it (RollBackFreezeOnSignals in run.h).
#pragma once

#include <csignal>

namespace mirnax {

// Lives as long as one freeze, or as the part of a run that holds one. While it does, the three
// signals (those the program does not ignore) only mark a stop, which Check() raises as an error at
// the freeze's next step. Where the freeze no longer checks, a stop waits for the destructor, which
// restores the signals' previous handling: before Completed() it raises the signal again, so it
// takes its usual effect once the freeze has put the previous files back; after it, the new statics
// stand and the stop is only noted (see SignalAfterCompletedFreeze in run.h), so the program
// finishes and says so. One made while another lives shares its stop and leaves the signals and the
// decision to the outer one, so a run can keep a completed freeze's stop noted to its own end.
class TStopSignals {
 public:
  TStopSignals();
  ~TStopSignals();
  TStopSignals(const TStopSignals&) = delete;
  TStopSignals& operator=(const TStopSignals&) = delete;

  // Raises Exception "The freeze was stopped by SIGxxx." when one of the signals has come.
  void Check();
  // The new statics are complete: a stop from now on no longer ends the program.
  void Completed();

 private:
  static constexpr int Count = 3;
  bool active_;
  bool nested_ = false;
  bool installed_[Count] = {};
  struct sigaction previous_[Count];
};

}  // namespace mirnax
