// The main() of a program that holds several tests, each with a main() of its own renamed
// mirnax_test_<name> (see mirnax_add_test). `program name [options]` runs that test with the
// options; the program alone runs every test in a process of its own, one after another, and
// fails when any does.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include MIRNAX_PROGRAM_TESTS_HEADER

#define MIRNAX_DECLARE_TEST(name) int mirnax_test_##name(int argc, char** argv);
MIRNAX_PROGRAM_TESTS(MIRNAX_DECLARE_TEST)

namespace {

struct TTest {
  const char* name;
  int (*run)(int argc, char** argv);
};

#define MIRNAX_TEST_ENTRY(name) {#name, mirnax_test_##name},
constexpr TTest Tests[] = {MIRNAX_PROGRAM_TESTS(MIRNAX_TEST_ENTRY)};

// Runs the test in a child process of this program; its exit status, or 1 when it did not exit.
int RunApart(const char* self, const TTest& test) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    char* const argv[] = {const_cast<char*>(self), const_cast<char*>(test.name), nullptr};
    ::execv("/proc/self/exe", argv);
    std::perror("exec");
    ::_exit(127);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return 1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    int worst = 0;
    for (const TTest& test : Tests)
      if (const int status = RunApart(argv[0], test); status != 0) worst = status;
    return worst;
  }
  for (const TTest& test : Tests)
    if (std::strcmp(argv[1], test.name) == 0) {
      argv[1] = argv[0];  // the test sees its own options after the program's name
      return test.run(argc - 1, argv + 1);
    }
  std::fprintf(stderr, "%s: no test named %s; the tests are:\n", argv[0], argv[1]);
  for (const TTest& test : Tests) std::fprintf(stderr, "  %s\n", test.name);
  return 2;
}
