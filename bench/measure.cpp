// Runs a command and writes its wall time in seconds, its peak resident memory in KiB and its
// processor time (user and system) in seconds to a file: "measure RESULT COMMAND [ARG...]". The
// command's exit status is passed on.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "Usage: measure RESULT COMMAND [ARG...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child < 0) {
    std::perror("measure: fork");
    return 2;
  }
  if (child == 0) {
    ::execvp(argv[2], argv + 2);
    std::perror("measure: exec");
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(child, &status, 0, &usage) != child) {
    std::perror("measure: wait");
    return 2;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  FILE* result = std::fopen(argv[1], "w");
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  if (!result || std::fprintf(result, "%.6f %ld %.6f\n", seconds, usage.ru_maxrss, cpu) < 0 ||
      std::fclose(result) != 0) {
    std::perror("measure: result file");
    return 2;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}
