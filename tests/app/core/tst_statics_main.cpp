// The statics tests as one program: each unit's test class in turn; the status counts the failed
// tests of all.
#include <initializer_list>

int RunStaticsPairTests(int argc, char** argv);
int RunStaticsMergeTests(int argc, char** argv);
int RunStaticsClearTests(int argc, char** argv);
int RunFreezeChecksTests(int argc, char** argv);
int RunFreezeTests(int argc, char** argv);
int RunFreezeRecoveryTests(int argc, char** argv);
int RunFreezeUndoTests(int argc, char** argv);

int main(int argc, char** argv) {
  int failed = 0;
  for (int (*run)(int, char**) : {RunStaticsPairTests, RunStaticsMergeTests, RunStaticsClearTests,
                                  RunFreezeChecksTests, RunFreezeTests, RunFreezeRecoveryTests, RunFreezeUndoTests})
    failed += run(argc, argv);
  return failed;
}
