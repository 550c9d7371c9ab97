// The memo's LoadFromFile of a large marked-up document with page markers shown, against loading
// the same file into a bare line list; the scan and page operations at growing sizes, which must
// grow linearly with the text; painting and scrolling a 1,000,000-line document against a 100-line
// one; a search that finds nothing against the plain loop it is built on; the memory a document
// takes against its file's size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include "controls/jumpmemo/jumpmemo.h"
#include "controls/jumpmemo/text_primitives.h"
#include "toolkit/core/dialogs.h"
#include "util/s_strlst.h"

using mirnax::FindWordFrom;
using mirnax::FoldText;
using mirnax::LargeBlocksInUse;
using mirnax::SetDialogs;
using mirnax::TJumpMemo;
using mirnax::TS_StringList;
using mirnax::TScriptedDialogs;

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

// This thread's processor time in seconds: on a shared machine, wall time also counts the waits
// for a processor, which fall on either side of a comparison at random.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

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
// is the memo's, the counter "x_stringlist" the memo's processor time over the list's.
void BM_MemoLoadFromFile(benchmark::State& state) {
  const TDocument doc(200000);
  TS_StringList baseline;
  TJumpMemo memo;
  memo.SetShowPages(true);
  double baseTime = 0, memoTime = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    baseline.LoadFromFile(doc.Path());
    const double t1 = ThreadSeconds();
    memo.LoadFromFile(doc.Path());
    const double t2 = ThreadSeconds();
    state.SetIterationTime(t2 - t1);
    baseTime += t1 - t0;
    memoTime += t2 - t1;
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

// Lines of exactly 60 characters, words from a small vocabulary.
std::string MakeEvenDocument(int lines) {
  static const char* const words[] = {"alpha", "beta", "gamma", "delta", "statics", "index", "block", "map"};
  std::string text;
  text.reserve(static_cast<size_t>(lines) * 62);
  unsigned seed = 777;
  for (int i = 0; i < lines; ++i) {
    std::string line;
    while (line.size() < 60) {
      seed = seed * 1103515245u + 12345u;
      line += words[(seed >> 16) % std::size(words)];
      line += ' ';
    }
    line.resize(60);
    text += line;
    text += "\r\n";
  }
  return text;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()) + ".txt")).string();
}

// A memo of `lines` lines as a user sees it: 800 x 600 pixels, scrolled to the middle.
struct TShownMemo {
  explicit TShownMemo(int lines) : path(TempPath("mirnax_memo_paint_" + std::to_string(lines))) {
    std::ofstream(path, std::ios::binary) << MakeDocument(lines);
    memo.resize(800, 600);
    memo.LoadFromFile(path);
    memo.ScrollTo(0, lines / 2);
  }
  ~TShownMemo() { std::filesystem::remove(path); }
  std::string path;
  TJumpMemo memo;
};

// Processor seconds per call of work, over enough calls to take about 60 ms.
template <typename Work>
double TimePerCall(Work&& work) {
  int calls = 0;
  const double start = ThreadSeconds();
  double spent = 0;
  do {
    work();
    ++calls;
    spent = ThreadSeconds() - start;
  } while (spent < 0.06);
  return spent / calls;
}

// One full repaint and one one-line scroll of a 1,000,000-line document; the counters are their
// times over those of a 100-line document in the same run (at most 1.2 wanted).
void BM_PaintLongAgainstShort(benchmark::State& state) {
  TShownMemo shortDoc(100);
  TShownMemo longDoc(1000000);
  QImage target(800, 600, QImage::Format_RGB32);
  const auto repaint = [&](TJumpMemo& memo) { memo.render(&target); };
  const auto scroll = [&](TJumpMemo& memo) {
    // Down one line and back, each followed by the repaint the scroll asks for.
    memo.DoScroll(1, 1, 0);
    memo.render(&target);
    memo.DoScroll(1, 0, 0);
    memo.render(&target);
  };
  // The best of interleaved rounds, so that a busy moment of the machine falls on neither side.
  double shortPaint = 1e9, longPaint = 1e9, shortScroll = 1e9, longScroll = 1e9;
  for (auto _ : state) {
    for (int round = 0; round < 8; ++round) {
      shortPaint = std::min(shortPaint, TimePerCall([&] { repaint(shortDoc.memo); }));
      longPaint = std::min(longPaint, TimePerCall([&] { repaint(longDoc.memo); }));
      shortScroll = std::min(shortScroll, TimePerCall([&] { scroll(shortDoc.memo); }));
      longScroll = std::min(longScroll, TimePerCall([&] { scroll(longDoc.memo); }));
    }
    state.SetIterationTime(longPaint);
  }
  const double paintRatio = longPaint / shortPaint;
  const double scrollRatio = longScroll / shortScroll;
  state.counters["paint_x_100_lines"] = paintRatio;
  state.counters["scroll_x_100_lines"] = scrollRatio;
}
BENCHMARK(BM_PaintLongAgainstShort)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Search for a word that is not there through 1,000,000 lines of 60 characters, against a plain
// loop that folds each line and runs the word search over it (at most 3 times wanted).
void BM_SearchMissing(benchmark::State& state) {
  const std::string path = TempPath("mirnax_memo_search");
  std::ofstream(path, std::ios::binary) << MakeEvenDocument(1000000);
  TJumpMemo memo;
  memo.LoadFromFile(path);
  std::filesystem::remove(path);
  const std::string needle = FoldText("nowhere");
  double baseTime = 0, searchTime = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    int hits = 0;
    std::string folded;
    const TS_StringList& lines = memo.Lines();
    for (int i = 0; i < lines.Count(); ++i) {
      folded = FoldText(lines.View(i));
      hits += FindWordFrom(needle, folded, 0, false) > 0 ? 1 : 0;
    }
    benchmark::DoNotOptimize(hits);
    const auto t1 = Clock::now();
    memo.SelectionToZero();
    if (memo.Search("nowhere", true)) state.SkipWithError("found a word that is not there");
    const auto t2 = Clock::now();
    state.SetIterationTime(Seconds(t2 - t1));
    baseTime += Seconds(t1 - t0);
    searchTime += Seconds(t2 - t1);
  }
  state.counters["x_plain_loop"] = searchTime / baseTime;
}
BENCHMARK(BM_SearchMissing)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Bytes the allocator has handed out and not taken back, mapped blocks included, and the large
// blocks the lists map on their own (counted whole, touched or not).
long HeldBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>(info.uordblks + info.hblkhd + LargeBlocksInUse());
}

// The memory a loaded 1,000,000-line document of 60 MB holds, over the file's size (at most 2 wanted).
void BM_DocumentMemory(benchmark::State& state) {
  const std::string path = TempPath("mirnax_memo_memory");
  std::ofstream(path, std::ios::binary) << MakeEvenDocument(1000000);
  const double fileSize = static_cast<double>(std::filesystem::file_size(path));
  double ratio = 0;
  for (auto _ : state) {
    const long before = HeldBytes();
    auto memo = std::make_unique<TJumpMemo>();
    memo->LoadFromFile(path);
    const long after = HeldBytes();
    ratio = static_cast<double>(after - before) / fileSize;
    state.SetIterationTime(1);
  }
  std::filesystem::remove(path);
  state.counters["x_file_size"] = ratio;
}
BENCHMARK(BM_DocumentMemory)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

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
