// Running a piece of a test in a child process, so that write limits, signals and a killed process
// stay out of the test runner.
#pragma once

#include <functional>
#include <string>

namespace mirnax::support {
struct TChildResult {
  int ExitCode = -1;   // what the body returned (98 when it threw), -1 when a signal ended it
  int Signal = 0;      // the signal that ended the child, 0 when it exited
  std::string Output;  // what the child wrote to its pipe
};

// Forks, runs body(pipe) in the child with SIGINT, SIGTERM and SIGHUP at their defaults (the test
// runner's own handlers are not the child's business), ends the child with what body returns, and
// waits for it.
TChildResult RunInChild(const std::function<int(int pipeFd)>& body);

// Writes text to the pipe from inside the child; a failed write ends the child with code 3.
void Send(int pipeFd, const std::string& text);
}  // namespace mirnax::support
