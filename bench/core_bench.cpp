// The freeze and the world file reader on the benchmark workspace (make_bench_data), each against
// what the plain tools take for the same bytes: the freeze against cp of the statics pair, the
// reader against cat of the world file. Usage: core_bench DIR [benchmark flags].
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "app/core/block_store.h"
#include "app/core/freeze.h"
#include "app/core/progress.h"
#include "app/core/world_reader.h"
#include "util/s_strlst.h"

using mirnax::FreezeStatics;
using mirnax::ReadWorldFile;
using mirnax::StaticRecordSize;
using mirnax::TBlockStore;
using mirnax::TNullProgress;
using mirnax::TStaticsPair;
using mirnax::TS_StringList;
using mirnax::TWorldFileResult;

namespace fs = std::filesystem;

namespace {
std::string gDir;

std::string World() { return gDir + "/STATICS/BENCH.SCP"; }
std::string Index() { return gDir + "/staidx0.mul"; }
std::string Data() { return gDir + "/statics0.mul"; }
std::string WorkIndex() { return gDir + "/work_staidx0.mul"; }
std::string WorkData() { return gDir + "/work_statics0.mul"; }

int64_t FileSize(const std::string& path) { return static_cast<int64_t>(fs::file_size(path)); }

void Shell(benchmark::State& state, const std::string& command) {
  if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The items of the benchmark world, read once and kept for the freeze.
const TBlockStore& BenchStore() {
  static TBlockStore store;
  static const bool filled = [] {
    TS_StringList lines;
    lines.LoadFromFile(World());
    TNullProgress gauge;
    ReadWorldFile(lines, store, gauge);
    return true;
  }();
  static_cast<void>(filled);
  return store;
}

// Copies the statics pair with cp; synced, also forces the copies to disk as the freeze does.
void CopyStaticsPair(benchmark::State& state, bool synced) {
  std::string command =
      "cp " + Quoted(Index()) + " " + Quoted(WorkIndex()) + " && cp " + Quoted(Data()) + " " + Quoted(WorkData());
  if (synced) command += " && sync " + Quoted(WorkIndex()) + " " + Quoted(WorkData());
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(WorkIndex());
    fs::remove(WorkData());
    state.ResumeTiming();
    Shell(state, command);
  }
}

void BM_CopyStaticsPair(benchmark::State& state) { CopyStaticsPair(state, false); }
// The freeze forces its files to disk, which cp does not; this shows what that costs.
void BM_CopyStaticsPairSynced(benchmark::State& state) { CopyStaticsPair(state, true); }

void BM_FreezeStatics(benchmark::State& state) {
  const TBlockStore& store = BenchStore();
  TNullProgress gauge;
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(Index(), WorkIndex(), fs::copy_options::overwrite_existing);
    fs::copy_file(Data(), WorkData(), fs::copy_options::overwrite_existing);
    state.ResumeTiming();
    FreezeStatics(store, TStaticsPair::Resolve(WorkIndex(), WorkData()), gauge);
  }
  const int64_t expected = FileSize(Data()) + int64_t{StaticRecordSize} * static_cast<int64_t>(store.TotalCount());
  if (FileSize(WorkData()) != expected) state.SkipWithError("the frozen data file has the wrong size");
}

void BM_CatWorldFile(benchmark::State& state) {
  const std::string command = "cat " + Quoted(World()) + " > /dev/null";
  for (auto _ : state) Shell(state, command);
  state.SetBytesProcessed(state.iterations() * FileSize(World()));
}

void BM_ReadWorldFile(benchmark::State& state) {
  const auto expected = static_cast<int64_t>(BenchStore().TotalCount());
  TS_StringList lines;
  lines.LoadFromFile(World());
  TNullProgress gauge;
  TBlockStore store;
  for (auto _ : state) {
    state.PauseTiming();
    store.Clear();
    state.ResumeTiming();
    const TWorldFileResult result = ReadWorldFile(lines, store, gauge);
    if (result.Taken != expected) state.SkipWithError("the reader took the wrong number of items");
  }
  state.SetBytesProcessed(state.iterations() * FileSize(World()));
}

void BM_LoadAndReadWorldFile(benchmark::State& state) {
  const auto expected = static_cast<int64_t>(BenchStore().TotalCount());
  TNullProgress gauge;
  TBlockStore store;
  for (auto _ : state) {
    state.PauseTiming();
    store.Clear();
    state.ResumeTiming();
    TS_StringList lines;
    lines.LoadFromFile(World());
    const TWorldFileResult result = ReadWorldFile(lines, store, gauge);
    if (result.Taken != expected) state.SkipWithError("the reader took the wrong number of items");
  }
  state.SetBytesProcessed(state.iterations() * FileSize(World()));
}

constexpr int Repeats = 5;

BENCHMARK(BM_CopyStaticsPair)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(Repeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_CopyStaticsPairSynced)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(Repeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_FreezeStatics)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(Repeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_CatWorldFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(Repeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadWorldFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(Repeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadAndReadWorldFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(Repeats)->ReportAggregatesOnly(true);

// Prints as usual and keeps the median wall time of each benchmark for the ratios.
class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  TRatioReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred)
        seconds_[run.run_name.function_name] = run.real_accumulated_time / static_cast<double>(run.iterations);
    }
  }

  void PrintRatios() const {
    const double worldMB = static_cast<double>(FileSize(World())) / 1e6;
    std::printf("\n");
    if (Has("BM_FreezeStatics"))
      std::printf("%-34s %8.3f s  (target: at most 0.5 s)\n", "freeze alone", seconds_.at("BM_FreezeStatics"));
    Ratio("freeze", "BM_FreezeStatics", "cp of the statics pair", "BM_CopyStaticsPair");
    Ratio("freeze", "BM_FreezeStatics", "cp of the statics pair and sync", "BM_CopyStaticsPairSynced");
    Throughput("reader (lines in memory)", "BM_ReadWorldFile", worldMB);
    Throughput("reader with LoadFromFile", "BM_LoadAndReadWorldFile", worldMB);
    Throughput("cat of the world file", "BM_CatWorldFile", worldMB);
    Ratio("reader (lines in memory)", "BM_ReadWorldFile", "cat", "BM_CatWorldFile");
    Ratio("reader with LoadFromFile", "BM_LoadAndReadWorldFile", "cat", "BM_CatWorldFile");
  }

 private:
  bool Has(const std::string& name) const { return seconds_.count(name) != 0; }
  void Ratio(const char* what, const std::string& name, const char* baseline, const std::string& base) const {
    if (!Has(name) || !Has(base)) return;
    std::printf("%-34s %8.3f s  = %6.2f x %s (%.3f s)\n", what, seconds_.at(name), seconds_.at(name) / seconds_.at(base),
                baseline, seconds_.at(base));
  }
  void Throughput(const char* what, const std::string& name, double megabytes) const {
    if (!Has(name)) return;
    std::printf("%-34s %8.1f MB/s (%.1f MB in %.3f s)\n", what, megabytes / seconds_.at(name), megabytes,
                seconds_.at(name));
  }

  std::map<std::string, double> seconds_;
};
}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "Usage: core_bench DIR [benchmark flags]   (DIR written by make_bench_data)\n");
    return 2;
  }
  gDir = argv[1];
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  fs::remove(WorkIndex());
  fs::remove(WorkData());
  benchmark::Shutdown();
  return 0;
}
