// The terminal's gauge: the percentage it shows and when it reports a change, against the
// gauge's floating-point rule, over small, odd and near-32-bit totals.
#include <QTest>
#include <cmath>
#include <random>

#include "app/cli/terminal_host.h"

using mirnax::TTerminalGauge;

class TestTerminalGauge : public QObject {
  Q_OBJECT
 private slots:
  void reportsEveryWholePercentChangeAndNoOther_data() {
    QTest::addColumn<int>("total");
    QTest::newRow("3 steps") << 3;
    QTest::newRow("100 steps") << 100;
    QTest::newRow("odd total") << 1003;
    QTest::newRow("lines of a big file") << 10000001;
    QTest::newRow("near 32 bits") << 2147483647;
  }
  void reportsEveryWholePercentChangeAndNoOther() {
    QFETCH(int, total);
    int reports = 0;
    TTerminalGauge gauge([&] { ++reports; });
    gauge.Begin(total);
    QCOMPARE(gauge.PercentDone(), 0);
    const auto expected = [&](int64_t done) { return static_cast<int>(std::floor(double(done) * 100.0 / total)); };
    std::mt19937_64 random(7);
    int64_t done = 0;
    int shown = 0;
    for (int k = 0; k < 20000 && done < total; ++k) {
      // Mostly single steps, now and then a batch that may cross several percentages at once.
      const int before = reports;
      if (k % 9 == 0) {
        const int64_t batch = int64_t(random() % uint64_t(total / 300 + 2));
        const auto count = static_cast<int32_t>(std::min<int64_t>(total - done, batch));
        gauge.Add(count);
        done += count;
      } else {
        gauge.Step();
        ++done;
      }
      const int percent = expected(done);
      QCOMPARE(gauge.PercentDone(), percent);
      QCOMPARE(reports != before, percent != shown);
      shown = percent;
    }
    // Every unit done shows 100 %; a new step starts from 0 % again.
    gauge.Add(static_cast<int32_t>(total - done));
    QCOMPARE(gauge.PercentDone(), 100);
    gauge.Begin(total / 4 + 1);
    QCOMPARE(gauge.PercentDone(), 0);
    gauge.Add(total / 4 + 1);
    QCOMPARE(gauge.PercentDone(), 100);
  }

  // An empty world file has no lines: its step shows 0 % and stays there.
  void anEmptyStepShowsNothingDone() {
    int reports = 0;
    TTerminalGauge gauge([&] { ++reports; });
    gauge.Begin(10);
    gauge.Add(5);
    gauge.Begin(0);
    QCOMPARE(gauge.PercentDone(), 0);
    gauge.Step();
    QCOMPARE(gauge.PercentDone(), 0);
    QCOMPARE(reports, 2);  // to 50 % and back to 0 %
  }
};

QTEST_APPLESS_MAIN(TestTerminalGauge)
#include "tst_terminal_gauge.moc"
