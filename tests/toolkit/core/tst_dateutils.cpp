#include <QtTest>
#include <clocale>

#include "tests/support/file_helpers.h"
#include "toolkit/core/dateutils.h"
#include "toolkit/core/exceptions.h"

using mirnax::Date;
using mirnax::DayOfWeek;
using mirnax::DaysInMonth;
using mirnax::DecodeDate;
using mirnax::EConvertError;
using mirnax::EncodeDate;
using mirnax::ShortDayNames;
using mirnax::support::ErrorOf;

class TstDateUtils : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { std::setlocale(LC_ALL, "C"); }

  // Fixed points of the day count, and a round trip over four centuries of month starts and ends.
  void encodeDecode() {
    QCOMPARE(EncodeDate(1899, 12, 30), 0.0);
    QCOMPARE(EncodeDate(1900, 1, 1), 2.0);
    QCOMPARE(EncodeDate(2000, 1, 1), 36526.0);
    QCOMPARE(EncodeDate(1, 1, 1), -693593.0);
    for (int y = 1899; y <= 2301; ++y)
      for (int m = 1; m <= 12; ++m)
        for (int d : {1, DaysInMonth(y, m)}) {
          uint16_t yy = 0, mm = 0, dd = 0;
          DecodeDate(EncodeDate(y, m, d) + 0.75, yy, mm, dd);
          QCOMPARE(std::tuple(int(yy), int(mm), int(dd)), std::tuple(y, m, d));
        }
    QCOMPARE(EncodeDate(2000, 3, 1) - EncodeDate(2000, 2, 28), 2.0);
    QCOMPARE(EncodeDate(1900, 3, 1) - EncodeDate(1900, 2, 28), 1.0);
  }

  void encodeRefuses_data() {
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("d");
    QTest::newRow("29 Feb 1900") << 1900 << 2 << 29;
    QTest::newRow("31 Apr") << 2020 << 4 << 31;
    QTest::newRow("month 13") << 2020 << 13 << 1;
    QTest::newRow("day 0") << 2020 << 1 << 0;
    QTest::newRow("year 0") << 0 << 1 << 1;
    QTest::newRow("year 10000") << 10000 << 1 << 1;
  }
  void encodeRefuses() {
    QFETCH(int, y);
    QFETCH(int, m);
    QFETCH(int, d);
    QCOMPARE(ErrorOf<EConvertError>([&] { EncodeDate(y, m, d); }), QString("Invalid argument to date encode"));
  }

  void weekdays() {
    QCOMPARE(DayOfWeek(EncodeDate(2026, 12, 8)), 3);  // a Tuesday
    QCOMPARE(DayOfWeek(EncodeDate(2000, 1, 1)), 7);   // a Saturday
    QCOMPARE(DayOfWeek(EncodeDate(1899, 12, 31)), 1);
    QCOMPARE(DayOfWeek(EncodeDate(1800, 1, 5)), 1);   // before day 0
    const auto names = ShortDayNames();
    QCOMPARE(names[0], std::string("Sun"));
    QCOMPARE(names[6], std::string("Sat"));
    QCOMPARE(Date(), std::floor(Date()));
  }
};

QTEST_APPLESS_MAIN(TstDateUtils)
#include "tst_dateutils.moc"
