// The terminal's gauge: the percentage it shows and when it reports a change, against the
// gauge's floating-point rule, over small, odd and near-32-bit ranges.
#include <QTest>
#include <cmath>
#include <random>

#include "app/cli/terminal_host.h"

class TestTerminalGauge : public QObject {
  Q_OBJECT
 private slots:
  void reportsEveryWholePercentChangeAndNoOther_data() {
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::newRow("3 steps") << 0 << 3;
    QTest::newRow("negative minimum") << -7 << 93;
    QTest::newRow("odd range") << 10 << 1013;
    QTest::newRow("lines of a big file") << 0 << 10000001;
    QTest::newRow("near 32 bits") << -2147483647 << 2147483647;
  }
  void reportsEveryWholePercentChangeAndNoOther() {
    QFETCH(int, min);
    QFETCH(int, max);
    int reports = 0;
    TTerminalGauge gauge([&] { ++reports; });
    gauge.SetMinValue(min);
    gauge.SetMaxValue(max);
    gauge.SetMinValue(min);
    gauge.SetProgress(min);
    const auto expected = [&](int64_t p) {
      return static_cast<int>(std::floor((double(p) - min) * 100.0 / (double(max) - min)));
    };
    std::mt19937_64 random(7);
    const int64_t range = int64_t{max} - min;
    int shown = gauge.PercentDone();
    for (int k = 0; k < 20000; ++k) {
      // Mostly small steps forward, now and then a jump anywhere (backwards too).
      const int64_t step = range / 700 + 1;
      const int64_t next = k % 9 == 0 ? min + int64_t(random() % uint64_t(range + 1))
                                      : std::min<int64_t>(max, int64_t{gauge.Progress()} + 1 + int64_t(random() % uint64_t(step)));
      const int before = reports;
      gauge.SetProgress(static_cast<int32_t>(next));
      const int percent = expected(gauge.Progress());
      QCOMPARE(gauge.PercentDone(), percent);
      QCOMPARE(reports != before, percent != shown);
      shown = percent;
    }
    // Adding past the top stops at the maximum, also at the top of 32 bits.
    gauge.SetProgress(max);
    gauge.AddProgress(1);
    QCOMPARE(gauge.Progress(), max);
    // A new range shows the same progress anew.
    gauge.SetProgress(static_cast<int32_t>(min + range / 2));
    const int32_t newMax = static_cast<int32_t>(min + range / 4 + 1);
    gauge.SetMaxValue(newMax);
    QCOMPARE(gauge.Progress(), newMax);
    QCOMPARE(gauge.PercentDone(), 100);
    gauge.SetProgress(min);
    QCOMPARE(gauge.PercentDone(), 0);
  }
};

QTEST_APPLESS_MAIN(TestTerminalGauge)
#include "tst_terminal_gauge.moc"
