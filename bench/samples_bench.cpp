// The sample controls against their bare baselines, in the same run:
// - the directory outline listing a folder of 10,000 subfolders against a bare QDir listing of it;
// - one performance-graph Update (1920 x 300, 16 series) against one bare scroll copy of a bitmap
//   of that size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <cstring>
#include <filesystem>

#include "controls/samples/cdirectory_outline.h"
#include "controls/samples/performance_graph.h"

using mirnax::TCDirectoryOutline;
using mirnax::TPerformanceGraph;

namespace {

constexpr int kFolders = 10000;

// A folder of 10,000 subfolders, made once.
const std::string& BigFolder() {
  static QTemporaryDir temp;
  static const std::string path = [] {
    const std::string big = temp.path().toStdString() + "/big";
    for (int i = 0; i < kFolders; ++i)
      std::filesystem::create_directories(big + "/Folder" + std::to_string(i * 7919 % kFolders));
    return big;
  }();
  return path;
}

void BM_QDirListing(benchmark::State& state) {
  const QString big = QString::fromStdString(BigFolder());
  for (auto _ : state) {
    const QStringList names = QDir(big).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (names.size() != kFolders) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(names);
  }
}
BENCHMARK(BM_QDirListing)->Unit(benchmark::kMillisecond);

// Opening the folder's item in the outline: the tree is rebuilt down to it, then it is listed.
void BM_OutlineListing(benchmark::State& state) {
  std::filesystem::current_path(BigFolder());
  TCDirectoryOutline outline;
  for (auto _ : state) {
    outline.BuildTree();
    const int32_t item = outline.SelectedItem();
    outline[item].SetExpanded(true);
    if (outline[item].ChildCount() != kFolders) state.SkipWithError("wrong count");
  }
}
BENCHMARK(BM_OutlineListing)->Unit(benchmark::kMillisecond);

constexpr int kWidth = 1920;
constexpr int kHeight = 300;

void BM_BareScroll(benchmark::State& state) {
  QImage bitmap(kWidth, kHeight, QImage::Format_RGB32);
  bitmap.fill(Qt::black);
  const int step = 3;
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      uchar* row = bitmap.scanLine(y);
      std::memmove(row, row + step * 4, static_cast<size_t>(kWidth - step) * 4);
    }
    benchmark::DoNotOptimize(bitmap.constBits());
  }
}
BENCHMARK(BM_BareScroll)->Unit(benchmark::kMicrosecond);

// 16 series in ascending order under a constant top, so the scale stays put.
void BM_GraphUpdate(benchmark::State& state) {
  TPerformanceGraph graph;
  graph.SetGraphKind(static_cast<TPerformanceGraph::TGraphKind>(state.range(0)));
  graph.resize(kWidth, kHeight);
  graph.grab();  // the bitmap and the history take the new size
  int tick = 0;
  for (auto _ : state) {
    for (int i = 0; i < 15; ++i) graph.DataPoint(0x101010u * static_cast<uint32_t>(i), 40 * i + (tick + i) % 30);
    graph.DataPoint(0xFFFFFF, 1000);
    graph.Update();
    ++tick;
  }
  if (graph.Scale() != 1000) state.SkipWithError("the scale moved");
}
BENCHMARK(BM_GraphUpdate)->Arg(TPerformanceGraph::pgBar)->Arg(TPerformanceGraph::pgLine)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
