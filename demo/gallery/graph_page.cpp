// The performance graph page: the machine's own CPU and memory load, read from /proc twice a
// second, drawn as bars or lines, with the graph's settings changed live.
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>

#include "controls/samples/performance_graph.h"
#include "demo/gallery/gallery_pages.h"

using mirnax::ColorToQColor;
using mirnax::TColor;
using mirnax::TPerformanceGraph;

namespace {

constexpr TColor CpuColor = 0x3030FF;     // red
constexpr TColor MemoryColor = 0xFFC040;  // light blue

// Busy and total jiffies of all processors, from the first line of /proc/stat.
bool ReadCpu(uint64_t& busy, uint64_t& total) {
  QFile file("/proc/stat");
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QList<QByteArray> fields = file.readLine().simplified().split(' ');
  if (fields.size() < 5 || fields[0] != "cpu") return false;
  total = 0;
  for (qsizetype i = 1; i < fields.size(); ++i) total += fields[i].toULongLong();
  const uint64_t idle = fields[4].toULongLong() + (fields.size() > 5 ? fields[5].toULongLong() : 0);
  busy = total - idle;
  return true;
}

// Per cent of the memory in use, from /proc/meminfo; -1 when it cannot be read.
int ReadMemory() {
  QFile file("/proc/meminfo");
  if (!file.open(QIODevice::ReadOnly)) return -1;
  uint64_t total = 0, available = 0;
  // Files of /proc report no size: read to the end rather than ask where it is.
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 2) continue;
    if (fields[0] == "MemTotal:") total = fields[1].toULongLong();
    if (fields[0] == "MemAvailable:") available = fields[1].toULongLong();
  }
  return total == 0 ? -1 : static_cast<int>((total - available) * 100 / total);
}

QSpinBox* Spin(QWidget* parent, int low, int high, int value) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

// Each tick adds one step: both loads in ascending order, so the bars stack.
void FeedLoads(QWidget* page, TPerformanceGraph* graph, QLabel* readings) {
  auto* timer = new QTimer(page);
  auto last = std::make_shared<std::pair<uint64_t, uint64_t>>(0, 0);
  ReadCpu(last->first, last->second);
  QObject::connect(timer, &QTimer::timeout, graph, [graph, readings, last] {
    uint64_t busy = 0, total = 0;
    int cpu = -1;
    if (ReadCpu(busy, total) && total > last->second)
      cpu = static_cast<int>((busy - last->first) * 100 / (total - last->second));
    *last = {busy, total};
    const int memory = ReadMemory();
    std::vector<std::pair<int, TColor>> points;
    if (cpu >= 0) points.emplace_back(cpu, CpuColor);
    if (memory >= 0) points.emplace_back(memory, MemoryColor);
    std::sort(points.begin(), points.end());
    for (auto [value, color] : points) graph->DataPoint(color, value);
    graph->Update();
    readings->setText(QCoreApplication::translate("Gallery", "CPU %1 %, memory %2 %").arg(cpu).arg(memory));
  });
  timer->start(500);
}

// The graph's properties, each changed as it is edited.
void AddPropertyRows(QFormLayout* form, QWidget* page, TPerformanceGraph* graph) {
  auto* kind = new QComboBox(page);
  kind->addItems({"pgBar", "pgLine"});
  kind->setCurrentIndex(graph->Kind());
  QObject::connect(kind, &QComboBox::currentIndexChanged, graph,
                   [graph](int index) { graph->SetGraphKind(static_cast<TPerformanceGraph::TGraphKind>(index)); });
  auto* stepSize = Spin(page, 1, 40, graph->StepSize());
  QObject::connect(stepSize, &QSpinBox::valueChanged, graph, [graph](int v) { graph->SetStepSize(v); });
  auto* gridSize = Spin(page, 2, 200, graph->GridSize());
  QObject::connect(gridSize, &QSpinBox::valueChanged, graph, [graph](int v) { graph->SetGridSize(v); });
  auto* gradient = Spin(page, 0, 1000, graph->Gradient());
  QObject::connect(gradient, &QSpinBox::valueChanged, graph, [graph](int v) { graph->SetGradient(v); });
  auto* penWidth = Spin(page, 1, 8, graph->PenWidth());
  QObject::connect(penWidth, &QSpinBox::valueChanged, graph, [graph](int v) { graph->SetPenWidth(v); });
  auto* gridlines = new QCheckBox("Gridlines", page);
  gridlines->setChecked(graph->Gridlines());
  QObject::connect(gridlines, &QCheckBox::toggled, graph, [graph](bool on) { graph->SetGridlines(on); });
  form->addRow("Kind", kind);
  form->addRow("StepSize", stepSize);
  form->addRow("GridSize", gridSize);
  form->addRow("Gradient", gradient);
  form->addRow("PenWidth", penWidth);
  form->addRow(gridlines);
}

}  // namespace

QWidget* MakeGraphPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* graph = new TPerformanceGraph(page);
  graph->setObjectName("GalleryPerformanceGraph");
  graph->setAccessibleName(QCoreApplication::translate("Gallery", "Performance graph"));
  graph->setMinimumSize(400, 240);
  graph->SetGradient(25);

  auto* readings = new QLabel(page);
  auto* scale = new QLabel(QString::number(graph->Scale()), page);
  graph->OnScaleChange = [scale](TPerformanceGraph* g) { scale->setText(QString::number(g->Scale())); };
  FeedLoads(page, graph, readings);

  auto* legend = new QLabel(
      QString("<span style='color:%1'>&#9632; %3</span> &nbsp; "
              "<span style='color:%2'>&#9632; %4</span>")
          .arg(ColorToQColor(CpuColor).name(), ColorToQColor(MemoryColor).name(),
               QCoreApplication::translate("Gallery", "CPU"), QCoreApplication::translate("Gallery", "memory")),
      page);
  auto* form = new QFormLayout;
  AddPropertyRows(form, page, graph);
  form->addRow("Scale", scale);
  form->addRow(QCoreApplication::translate("Gallery", "Load"), readings);
  form->addRow(legend);

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(graph, 1);
  layout->addLayout(form);
  return page;
}
