#include <QtTest>

#include "controls/samples/performance_graph.h"
#include "toolkit/core/exceptions.h"

using mirnax::ColorToQColor;
using mirnax::ERangeError;
using mirnax::TColor;
using mirnax::TPerformanceGraph;

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor White = 0xFFFFFF;

QRgb Rgb(TColor c) { return ColorToQColor(c).rgb(); }

QRgb At(const TPerformanceGraph& g, int x, int y) { return g.Bitmap().pixel(x, y) | 0xFF000000u; }

// Columns (or rows) of a line of the bitmap that hold colour c.
std::vector<int> Where(const TPerformanceGraph& g, bool columns, int at, TColor c) {
  std::vector<int> found;
  const int n = columns ? g.Bitmap().width() : g.Bitmap().height();
  for (int i = 0; i < n; ++i)
    if ((columns ? At(g, i, at) : At(g, at, i)) == Rgb(c)) found.push_back(i);
  return found;
}

// One step that keeps the default scale of 1000.
void Step(TPerformanceGraph& g, std::initializer_list<std::pair<TColor, int>> points = {}) {
  for (auto [c, v] : points) g.DataPoint(c, v);
  g.DataPoint(White, 1000);
  g.Update();
}

}  // namespace

class TstPerformanceGraph : public QObject {
  Q_OBJECT

 private slots:
  void ringAndGrid() {
    TPerformanceGraph g;
    QCOMPARE(g.size(), QSize(100, 100));
    QCOMPARE(g.GetBandCount(), 33);
    QCOMPARE(g.BandCapacity(), 35);
    QCOMPARE(std::pair(g.FirstY(), g.CurrentBand()), std::pair(1, 0));
    const TColor grid = g.ForeColor();
    QCOMPARE(Where(g, true, 50, grid), (std::vector<int>{14, 29, 44, 59, 74, 89}));
    QCOMPARE(Where(g, false, 0, grid), (std::vector<int>{15, 30, 45, 60, 75, 90}));
    QCOMPARE(g.GridPhase(), 4);
    Step(g);
    QCOMPARE(Where(g, true, 50, grid), (std::vector<int>{11, 26, 41, 56, 71, 86}));
    Step(g);
    QCOMPARE(Where(g, true, 50, grid), (std::vector<int>{8, 23, 38, 53, 68, 83, 98}));
    QCOMPARE(Where(g, false, 99, grid), (std::vector<int>{15, 30, 45, 60, 75, 90}));
    // The ring walks from the oldest band to the current one, whatever the number of steps.
    for (int i = 0; i < 40; ++i) Step(g);
    QCOMPARE(g.FirstY(), (g.CurrentBand() + 1) % 35);
    int walked = 1;
    for (int b = g.FirstY(); (b = g.NextY(b)) != -1;) ++walked;
    QCOMPARE(walked, 35);
    QCOMPARE(g.LastY(0), 34);
  }

  void roundUp_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("gradient");
    QTest::addColumn<int>("result");
    QTest::newRow("up") << 1234 << 100 << 1300;
    QTest::newRow("multiple") << 1200 << 100 << 1200;
    QTest::newRow("no gradient") << 5 << 0 << 5;
    QTest::newRow("negative") << -150 << 100 << 0;
    QTest::newRow("negative multiple") << -200 << 100 << -200;
    QTest::newRow("negative gradient") << -5 << -3 << -6;
    QTest::newRow("largest value") << INT32_MAX << 100 << 2147483600;
    QTest::newRow("largest value, gradient 7") << INT32_MAX << 7 << 2147483646;
    QTest::newRow("below the smallest") << INT32_MIN + 1 << -3 << -2147483646;
    QTest::newRow("smallest by -1") << INT32_MIN << -1 << INT32_MIN;
  }
  void roundUp() {
    QFETCH(int, value);
    QFETCH(int, gradient);
    QFETCH(int, result);
    QCOMPARE(TPerformanceGraph::RoundUp(value, gradient), result);
  }

  void scaleFollowsData() {
    TPerformanceGraph g;
    int changes = 0;
    g.OnScaleChange = [&](TPerformanceGraph*) { ++changes; };
    g.DataPoint(Red, 1500);
    g.Update();
    QCOMPARE(g.Scale(), 1500);
    QCOMPARE(changes, 1);
    g.DataPoint(Red, 700);
    g.Update();  // 1500 is still in the ring
    QCOMPARE(changes, 1);
    // Only zeros: the scale drops to 0 and no data is drawn.
    TPerformanceGraph zeros;
    const QImage empty = zeros.Bitmap();
    for (int i = 0; i < 3; ++i) {
      zeros.DataPoint(Red, 0);
      zeros.Update();
    }
    QCOMPARE(zeros.Scale(), 0);
    // The largest value a point can hold: a positive scale, and its bar drawn as a full one is.
    TPerformanceGraph huge, full;
    huge.DataPoint(Red, INT32_MAX);
    huge.Update();
    full.DataPoint(Red, 1000);
    full.Update();
    QCOMPARE(huge.Scale(), 2147483600);
    QVERIFY(!Where(full, false, 97, Red).empty());
    QCOMPARE(Where(huge, false, 97, Red), Where(full, false, 97, Red));
    QVERIFY(Where(zeros, false, 97, Red).empty());
    // A scale of 0 set directly while values are kept: nothing drawn, no failure.
    g.SetScale(0);
    QVERIFY(Where(g, false, 95, Red).empty());
  }

  void seventeenthPoint() {
    TPerformanceGraph g;
    for (int i = 0; i < 16; ++i) g.DataPoint(Red, i);
    QVERIFY_THROWS_EXCEPTION(ERangeError, g.DataPoint(Red, 99));
    QCOMPARE(g.Band(g.CurrentBand()).Count, 16);
  }

  // Bars stack, each h + 1 pixels tall from the previous point's value up to its own; the
  // replayed picture starts at x = 1.
  void bars() {
    TPerformanceGraph g;
    g.SetGraphKind(TPerformanceGraph::pgBar);
    g.SetGridlines(false);
    Step(g, {{Red, 200}, {Blue, 500}});
    // Red 0..200 on rows 79..99, blue 200..500 on rows 49..79, white 500..1000 on rows 0..49,
    // each painted over the top row of the bar below.
    const std::vector<int> red = Where(g, false, 98, Red), blue = Where(g, false, 98, Blue),
                           white = Where(g, false, 98, White);
    QCOMPARE(std::pair(red.front(), red.back()), std::pair(80, 99));
    QCOMPARE(std::pair(blue.front(), blue.back()), std::pair(50, 79));
    QCOMPARE(std::pair(white.front(), white.back()), std::pair(0, 49));
    QCOMPARE(red.size() + blue.size() + white.size(), size_t(100));
    for (int i = 0; i < 40; ++i) Step(g, {{Red, 200}});
    g.SetBackColor(0x000001);  // replays
    QCOMPARE(At(g, 0, 50), Rgb(0x000001));
    QCOMPARE(At(g, 1, 50), Rgb(White));
  }

  // A line continues from the same colour's point of the step before, or from the bottom.
  void lines() {
    TPerformanceGraph g;
    g.SetGridlines(false);
    g.SetPenWidth(1);
    Step(g);
    Step(g, {{Red, 500}});
    QCOMPARE(At(g, 97, 99), Rgb(Red));
    Step(g, {{Red, 500}});
    QCOMPARE(At(g, 97, 50), Rgb(Red));
    QCOMPARE(At(g, 97, 99), Rgb(0));
    QCOMPARE(At(g, 94, 99), Rgb(Red));  // the step before, scrolled
  }

  void resizing() {
    TPerformanceGraph g;
    for (int i = 1; i <= 40; ++i) Step(g, {{Red, i}});
    g.resize(52, 100);
    g.grab();
    QCOMPARE(g.BandCapacity(), 19);
    QCOMPARE(g.FirstY(), (g.CurrentBand() + 1) % 19);
    QCOMPARE(g.Band(g.LastY(g.CurrentBand())).Values[0], 40);
    QCOMPARE(g.Band(g.NextY(g.FirstY())).Values[0], 24);
    g.resize(200, 100);
    g.grab();
    QCOMPARE(g.BandCapacity(), 68);
    QCOMPARE(g.Band(g.LastY(g.CurrentBand())).Values[0], 40);
    int kept = 0;
    for (int b = g.FirstY(); b != -1; b = g.NextY(b)) kept += g.Band(b).Count > 0;
    QCOMPARE(kept, 18);
    Step(g, {{Red, 41}});
    QCOMPARE(g.Band(g.LastY(g.CurrentBand())).Values[0], 41);
    g.SetStepSize(0);
    QCOMPARE(g.StepSize(), 1);
    QCOMPARE(g.BandCapacity(), 202);
    g.SetGridSize(1);
    QCOMPARE(g.GridSize(), 2);
  }
};

QTEST_MAIN(TstPerformanceGraph)
#include "tst_performance_graph.moc"
