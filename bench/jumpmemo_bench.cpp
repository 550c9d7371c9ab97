// The memo's LoadFromFile of a large marked-up document with page markers shown, against loading
// the same file into a bare line list; and the scan and page operations at growing sizes, which
// must grow linearly with the text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "controls/jumpmemo/jumpmemo.h"
#include "toolkit/dialogs.h"
#include "util/s_strlst.h"

namespace {

// A document of `lines` lines with a jump on every 10th line and a picture on every 40th.
std::string MakeDocument(int lines) {
  static const char* const words[] = {"the", "operator", "freezes", "items", "into", "statics", "of", "map",
                                      "block", "world", "file", "index", "data", "record"};
  std::string text;
  text.reserve(static_cast<size_t>(lines) * 56);
  unsigned seed = 12345;
  for (int i = 0; i < lines; ++i) {
    std::string line;
    const int count = 5 + static_cast<int>(seed % 6);
    for (int w = 0; w < count; ++w) {
      seed = seed * 1103515245u + 12345u;
      line += words[(seed >> 16) % std::size(words)];
      line += ' ';
    }
    if (i % 10 == 3) line += "see ~Topic" + std::to_string(i % 997) + " for more ";
    if (i % 40 == 7) line += "^map_" + std::to_string(i % 113) + ".bmp";
    text += line;
    text += "\r\n";
  }
  return text;
}

class TDocument {
 public:
  explicit TDocument(int lines) {
    path_ = (std::filesystem::temp_directory_path() /
             ("mirnax_jumpmemo_bench_" + std::to_string(lines) + "_" + std::to_string(::getpid()) + ".txt"))
                .string();
    std::ofstream(path_, std::ios::binary) << MakeDocument(lines);
  }
  ~TDocument() { std::filesystem::remove(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_StringListLoadFromFile(benchmark::State& state) {
  const TDocument doc(200000);
  TS_StringList lines;
  for (auto _ : state) {
    lines.LoadFromFile(doc.Path());
    benchmark::DoNotOptimize(lines.Count());
  }
}
BENCHMARK(BM_StringListLoadFromFile)->Unit(benchmark::kMillisecond);

// Each iteration loads the file into a bare line list and then into the memo; the time reported
// is the memo's, the counter "x_stringlist" the memo's time over the list's.
void BM_MemoLoadFromFile(benchmark::State& state) {
  const TDocument doc(200000);
  TS_StringList baseline;
  TJumpMemo memo;
  memo.SetShowPages(true);
  double baseTime = 0, memoTime = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    baseline.LoadFromFile(doc.Path());
    const auto t1 = Clock::now();
    memo.LoadFromFile(doc.Path());
    const auto t2 = Clock::now();
    state.SetIterationTime(Seconds(t2 - t1));
    baseTime += Seconds(t1 - t0);
    memoTime += Seconds(t2 - t1);
  }
  if (memo.Jumps().size() != 20000 || memo.Picts().size() != 5000 || memo.Lines().Count() != 200000 + 4001)
    state.SkipWithError("the document does not hold what it should");
  state.counters["x_stringlist"] = memoTime / baseTime;
}
BENCHMARK(BM_MemoLoadFromFile)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReadJumps(benchmark::State& state) {
  const TDocument doc(static_cast<int>(state.range(0)));
  TJumpMemo memo;
  memo.LoadFromFile(doc.Path());
  for (auto _ : state) memo.ReadJumps();
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadJumps)->RangeMultiplier(2)->Range(50000, 400000)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_InsertAndRemovePages(benchmark::State& state) {
  const TDocument doc(static_cast<int>(state.range(0)));
  TJumpMemo memo;
  memo.LoadFromFile(doc.Path());
  for (auto _ : state) {
    memo.SetShowPages(true);
    memo.SetShowPages(false);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_InsertAndRemovePages)->RangeMultiplier(2)->Range(50000, 400000)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  TScriptedDialogs dialogs;  // a failure box would otherwise wait for a user
  SetDialogs(&dialogs);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SetDialogs(nullptr);
  if (!dialogs.Calls.empty()) {
    std::fprintf(stderr, "unexpected message box: %s\n", dialogs.Calls.front().Text.c_str());
    return 1;
  }
  return 0;
}
