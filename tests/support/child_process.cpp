#include "tests/support/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace mirnax::support {
TChildResult RunInChild(const std::function<int(int pipeFd)>& body) {
  int fds[2];
  if (::pipe(fds) != 0) {
    std::perror("pipe");
    std::abort();
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
    int code = 98;
    try {
      code = body(fds[1]);
    } catch (...) {
    }
    ::_exit(code);
  }
  ::close(fds[1]);
  TChildResult result;
  char buf[4096];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0) result.Output.append(buf, size_t(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
  return result;
}

void Send(int pipeFd, const std::string& text) {
  if (::write(pipeFd, text.data(), text.size()) < 0) ::_exit(3);
}
}  // namespace mirnax::support
