#include <QPainter>
#include <QtTest>
#include <clocale>

#include "controls/samples/ccalendar.h"
#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"

using mirnax::Date;
using mirnax::EConvertError;
using mirnax::EncodeDate;
using mirnax::TCCalendar;
using mirnax::TCustomGrid;
using mirnax::support::ErrorOf;

namespace {

struct TDate {
  int y, m, d;
  bool operator==(const TDate&) const = default;
};

TDate Held(const TCCalendar& c) { return {c.Year(), c.Month(), c.Day()}; }

char* toString(const TDate& d) { return qstrdup(QString("%1-%2-%3").arg(d.y).arg(d.m).arg(d.d).toLatin1()); }

// A calendar on a given date whose changes are counted.
struct TCounted {
  TCCalendar calendar;
  int changes = 0;
  explicit TCounted(TDate date) {
    calendar.SeTCCalendarDate(EncodeDate(date.y, date.m, date.d));
    calendar.OnChange = [this](TCCalendar*) { ++changes; };
  }
};

QImage Grab(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

class TstCCalendar : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { std::setlocale(LC_ALL, "C"); }

  void layout_data() {
    QTest::addColumn<int>("startOfWeek");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QPoint>("cell");
    // June 2026 begins on a Monday, August 2026 on a Saturday, March 2026 on a Sunday.
    QTest::newRow("Monday first, Monday start") << 1 << 6 << 1 << 1 << QPoint(0, 1);
    QTest::newRow("Sunday first, Saturday start") << 7 << 8 << 1 << -5 << QPoint(6, 1);
    QTest::newRow("31 days from the last column") << 1 << 3 << 31 << -5 << QPoint(1, 6);
    QTest::newRow("Saturday first") << 6 << 8 << 9 << 1 << QPoint(1, 2);
  }
  void layout() {
    QFETCH(int, startOfWeek);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, offset);
    QFETCH(QPoint, cell);
    TCCalendar c;
    c.SetStartOfWeek(startOfWeek);
    c.SeTCCalendarDate(EncodeDate(2026, month, day));
    QCOMPARE(c.FirstDayOffset(), offset);
    QCOMPARE(QPoint(c.Col(), c.Row()), cell);
    QCOMPARE(c.GetCellText(cell.x(), cell.y()), std::to_string(day));
    QCOMPARE(c.GetCellText(0, 0), std::string(startOfWeek == 7 ? "Sun" : startOfWeek == 6 ? "Sat" : "Mon"));
    if (offset < 1) QCOMPARE(c.GetCellText(-offset, 1), std::string());  // left of day 1
  }

  void startOfWeekBounds() {
    TCCalendar c;
    for (int v : {0, 8, -3}) {
      c.SetStartOfWeek(5);
      c.SetStartOfWeek(v);
      QCOMPARE(c.StartOfWeek(), 1);
    }
  }

  // Each cell shows its text centred (truncating halves) on the colour the grid chose for it.
  void painting() {
    TCCalendar c;
    c.resize(7 * 40 + 6, 7 * 30 + 6);
    c.SeTCCalendarDate(EncodeDate(2026, 6, 10));  // row 2, column 2
    const QImage image = Grab(c);
    QCOMPARE(c.DefaultColWidth(), 40);
    QCOMPARE(c.DefaultRowHeight(), 30);
    const QPalette& pal = c.palette();
    for (QPoint cell : {QPoint(2, 2), QPoint(3, 0), QPoint(4, 4), QPoint(0, 6)}) {
      const QRect r = c.CellRect(cell.x(), cell.y());
      QImage expected(r.size(), QImage::Format_RGB32);
      QPainter p(&expected);
      p.setFont(c.font());
      const bool current = cell == QPoint(2, 2);
      p.setBrush(pal.color(cell.y() == 0 ? QPalette::Button : current ? QPalette::Highlight : QPalette::Base));
      p.setPen(pal.color(cell.y() == 0 ? QPalette::ButtonText : current ? QPalette::HighlightedText : QPalette::Text));
      const QString text = QString::fromStdString(c.GetCellText(cell.x(), cell.y()));
      TCustomGrid::TextRect(p, expected.rect(), (r.width() - p.fontMetrics().horizontalAdvance(text)) / 2,
                            (r.height() - p.fontMetrics().height()) / 2, text);
      p.end();
      QCOMPARE(image.copy(r), expected);
    }
  }

  void setElements_data() {
    QTest::addColumn<TDate>("from");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    QTest::addColumn<TDate>("to");
    QTest::newRow("day 31 in April") << TDate{2026, 4, 10} << 3 << 31 << TDate{2026, 4, 10};
    QTest::newRow("29 Feb 2000") << TDate{2000, 2, 10} << 3 << 29 << TDate{2000, 2, 29};
    QTest::newRow("29 Feb 1900") << TDate{1900, 2, 10} << 3 << 29 << TDate{1900, 2, 10};
    QTest::newRow("month 13") << TDate{2026, 4, 10} << 2 << 13 << TDate{2026, 4, 10};
    QTest::newRow("day 0") << TDate{2026, 4, 10} << 3 << 0 << TDate{2026, 4, 10};
    QTest::newRow("year -1") << TDate{2026, 4, 10} << 1 << -1 << TDate{2026, 4, 10};
    QTest::newRow("index 4") << TDate{2026, 4, 10} << 4 << 1 << TDate{2026, 4, 10};
    QTest::newRow("same day") << TDate{2026, 4, 10} << 3 << 10 << TDate{2026, 4, 10};
    QTest::newRow("year") << TDate{2026, 4, 10} << 1 << 1999 << TDate{1999, 4, 10};
  }
  void setElements() {
    QFETCH(TDate, from);
    QFETCH(int, index);
    QFETCH(int, value);
    QFETCH(TDate, to);
    TCounted t(from);
    t.calendar.SetDateElement(index, value);
    QCOMPARE(Held(t.calendar), to);
    QCOMPARE(t.changes, to == from ? 0 : 1);
    QCOMPARE(t.calendar.UseCurrentDate(), !(to == from) ? false : true);
  }

  // No such date: the error of the encoding, and nothing changed.
  void setElementsRefused() {
    for (auto [index, value] : {std::pair(2, 2), std::pair(1, 10000), std::pair(1, 70000)}) {
      TCounted t({2026, 1, 31});
      const int row = t.calendar.Row();
      QVERIFY_THROWS_EXCEPTION(EConvertError, t.calendar.SetDateElement(index, value));
      QCOMPARE(Held(t.calendar), (TDate{2026, 1, 31}));
      QCOMPARE(t.calendar.Row(), row);
      QCOMPARE(t.changes, 0);
      QVERIFY(t.calendar.UseCurrentDate());
    }
    TCCalendar c;
    c.SeTCCalendarDate(EncodeDate(2026, 1, 31));
    QCOMPARE(ErrorOf<EConvertError>([&] { c.SetMonth(2); }), QString("Invalid argument to date encode"));
  }

  void steps_data() {
    QTest::addColumn<TDate>("from");
    QTest::addColumn<int>("step");  // 1 next month, -1 previous month, 2 next year, -2 previous year
    QTest::addColumn<TDate>("to");
    QTest::addColumn<int>("changes");
    QTest::newRow("31 Jan + month") << TDate{2026, 1, 31} << 1 << TDate{2026, 2, 28} << 1;
    QTest::newRow("31 Jan 2024 + month") << TDate{2024, 1, 31} << 1 << TDate{2024, 2, 29} << 1;
    QTest::newRow("31 Mar - month") << TDate{2026, 3, 31} << -1 << TDate{2026, 2, 28} << 1;
    QTest::newRow("15 Dec + month") << TDate{2026, 12, 15} << 1 << TDate{2027, 1, 15} << 1;
    QTest::newRow("15 Jan - month") << TDate{2026, 1, 15} << -1 << TDate{2025, 12, 15} << 1;
    QTest::newRow("29 Feb 2004 + year") << TDate{2004, 2, 29} << 2 << TDate{2005, 2, 28} << 2;
    QTest::newRow("29 Feb 2004 - year") << TDate{2004, 2, 29} << -2 << TDate{2003, 2, 28} << 2;
    QTest::newRow("28 Feb 2003 + year") << TDate{2003, 2, 28} << 2 << TDate{2004, 2, 28} << 1;
  }
  void steps() {
    QFETCH(TDate, from);
    QFETCH(int, step);
    QFETCH(TDate, to);
    QFETCH(int, changes);
    TCounted t(from);
    switch (step) {
      case 1: t.calendar.NextMonth(); break;
      case -1: t.calendar.PrevMonth(); break;
      case 2: t.calendar.NextYear(); break;
      default: t.calendar.PrevYear(); break;
    }
    QCOMPARE(Held(t.calendar), to);
    QCOMPARE(t.changes, changes);
  }

  // Clicks on day cells pick the day; empty cells and a read-only calendar keep the date, though
  // setting the day still moves the current cell. Arrow keys move among day cells only.
  void clicksAndKeys() {
    TCounted t({2026, 6, 10});
    TCCalendar& c = t.calendar;
    c.resize(7 * 40 + 6, 7 * 30 + 6);
    c.grab();
    QTest::mouseClick(&c, Qt::LeftButton, {}, c.CellRect(4, 3).center());
    QCOMPARE(c.Day(), 19);
    QCOMPARE(t.changes, 1);
    QVERIFY(!c.UseCurrentDate());
    QTest::mouseClick(&c, Qt::LeftButton, {}, c.CellRect(3, 5).center());  // after 30 June
    QCOMPARE(c.Day(), 19);
    QCOMPARE(QPoint(c.Col(), c.Row()), QPoint(4, 3));
    QCOMPARE(t.changes, 1);
    QTest::keyClick(&c, Qt::Key_Down);
    QCOMPARE(QPoint(c.Col(), c.Row()), QPoint(4, 4));
    QTest::keyClick(&c, Qt::Key_Down);  // 3 July: refused
    QCOMPARE(QPoint(c.Col(), c.Row()), QPoint(4, 4));
    QCOMPARE(c.Day(), 19);
    QTest::mouseClick(&c, Qt::LeftButton, {}, c.CellRect(4, 4).center());
    QCOMPARE(c.Day(), 26);
    c.SetReadOnly(true);
    QTest::mouseClick(&c, Qt::LeftButton, {}, c.CellRect(1, 1).center());
    QCOMPARE(QPoint(c.Col(), c.Row()), QPoint(4, 4));
    QCOMPARE(c.Day(), 26);
    QCOMPARE(t.changes, 2);
    c.SetDay(2);
    QCOMPARE(QPoint(c.Col(), c.Row()), QPoint(1, 1));
    QTest::keyClick(&c, Qt::Key_Right);
    QCOMPARE(c.Col(), 1);
  }

  void currentDate() {
    TCCalendar c;
    QVERIFY(c.UseCurrentDate());
    QCOMPARE(c.CalendarDate(), Date());
    QVERIFY(!c.StoreCalendarDate());
    int changes = 0;
    c.OnChange = [&](TCCalendar*) { ++changes; };
    c.SetYear(1999);
    QVERIFY(c.StoreCalendarDate());
    c.SetUseCurrentDate(true);
    QCOMPARE(c.CalendarDate(), Date());
    QCOMPARE(changes, 1);
  }
};

QTEST_MAIN(TstCCalendar)
#include "tst_ccalendar.moc"
