#include <QtTest>
#include <functional>

#include "controls/gauge/cgauge.h"
#include "toolkit/core/exceptions.h"

using mirnax::Exception;
using mirnax::TCGauge;
using mirnax::TCGaugeKind;
using mirnax::gkHorizontalBar;
using mirnax::gkNeedle;
using mirnax::gkPie;
using mirnax::gkText;
using mirnax::gkVerticalBar;

namespace {

// Counts the pictures that reach the control.
class TCountingGauge : public TCGauge {
 public:
  int Paints = 0;

 protected:
  void Paint(QPainter& canvas) override {
    ++Paints;
    TCGauge::Paint(canvas);
  }
};

QImage Grab(TCGauge& gauge) { return gauge.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QRgb Rgb(uint32_t color) { return TCGauge::ToQColor(color).rgb(); }

QRgb Inverted(QRgb c) { return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c)); }

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

// Columns of row y that hold color.
int ColumnsOf(const QImage& image, int y, QRgb color) {
  int n = 0;
  for (int x = 0; x < image.width(); ++x) n += At(image, x, y) == color;
  return n;
}

// Distinct colours for the three colour properties, so that no layer can pass for another.
constexpr uint32_t Fore = 0x00204080;  // 0x00BBGGRR
constexpr uint32_t Back = 0x00C0E0F0;
constexpr uint32_t Face = 0x00609030;

void Colour(TCGauge& gauge) {
  gauge.SetForeColor(Fore);
  gauge.SetBackColor(Back);
  gauge.SetColor(Face);
}

QFont TextFont() {
  QFont font("Liberation Sans");
  font.setPixelSize(28);
  // Whole pixels only, so that every glyph pixel is a clean XOR of white.
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

using GaugeOp = std::function<void(TCGauge&)>;

}  // namespace

Q_DECLARE_METATYPE(GaugeOp)

class TstCGauge : public QObject {
  Q_OBJECT

 private slots:
  void colours() {
    // 0x00BBGGRR: red is the low byte.
    QCOMPARE(TCGauge::ToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
    QCOMPARE(TCGauge::FromQColor(QColor(0x56, 0x34, 0x12)), 0x00123456u);
    TCGauge gauge;
    QCOMPARE(Rgb(gauge.Color()), gauge.palette().color(QPalette::Button).rgb());
  }

  void state_data() {
    QTest::addColumn<GaugeOp>("op");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("percent");
    QTest::newRow("1 of 3") << GaugeOp([](TCGauge& g) { g.SetMaxValue(3); g.SetProgress(1); }) << 0 << 3 << 1 << 33;
    QTest::newRow("2 of 3") << GaugeOp([](TCGauge& g) { g.SetMaxValue(3); g.SetProgress(2); }) << 0 << 3 << 2 << 66;
    QTest::newRow("min = max") << GaugeOp([](TCGauge& g) { g.SetMinValue(100); }) << 100 << 100 << 100 << 0;
    QTest::newRow("above max") << GaugeOp([](TCGauge& g) { g.SetProgress(150); }) << 0 << 100 << 100 << 100;
    QTest::newRow("below min") << GaugeOp([](TCGauge& g) { g.SetMinValue(-50); g.SetProgress(-80); })
                               << -50 << 100 << -50 << 0;
    QTest::newRow("new min raises progress") << GaugeOp([](TCGauge& g) { g.SetProgress(30); g.SetMinValue(40); })
                                             << 40 << 100 << 40 << 0;
    QTest::newRow("new max lowers progress") << GaugeOp([](TCGauge& g) { g.SetProgress(80); g.SetMaxValue(50); })
                                             << 0 << 50 << 50 << 100;
    QTest::newRow("max 0 ignored") << GaugeOp([](TCGauge& g) { g.SetMaxValue(0); }) << 0 << 100 << 0 << 0;
    QTest::newRow("max 0 ignored in a range around 0")
        << GaugeOp([](TCGauge& g) { g.SetMinValue(-10); g.SetProgress(50); g.SetMaxValue(0); }) << -10 << 100 << 50 << 54;
    QTest::newRow("widest range") << GaugeOp([](TCGauge& g) {
      g.SetMaxValue(2147483647);
      g.SetMinValue(-2147483647 - 1);
      g.SetProgress(0);
    }) << (-2147483647 - 1) << 2147483647 << 0 << 50;
    QTest::newRow("AddProgress past max") << GaugeOp([](TCGauge& g) {
      g.SetMaxValue(2147483647);
      g.SetProgress(2147483600);
      g.AddProgress(1000);
    }) << 0 << 2147483647 << 2147483647 << 100;
    QTest::newRow("AddProgress below min") << GaugeOp([](TCGauge& g) {
      g.SetMinValue(-2147483647 - 1);
      g.AddProgress(-2147483647 - 1);
      g.AddProgress(-5);
    }) << (-2147483647 - 1) << 100 << (-2147483647 - 1) << 0;
  }
  void state() {
    QFETCH(GaugeOp, op);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, progress);
    QFETCH(int, percent);
    TCGauge gauge;
    op(gauge);
    QCOMPARE(gauge.MinValue(), min);
    QCOMPARE(gauge.MaxValue(), max);
    QCOMPARE(gauge.Progress(), progress);
    QCOMPARE(gauge.GetPercentDone(), percent);
  }

  void rangeErrors_data() {
    QTest::addColumn<GaugeOp>("setup");
    QTest::addColumn<GaugeOp>("op");
    QTest::addColumn<QString>("message");
    QTest::newRow("min above max") << GaugeOp([](TCGauge& g) { g.SetProgress(20); })
                                   << GaugeOp([](TCGauge& g) { g.SetMinValue(150); })
                                   << "Value must be between -2147483647 and 99";
    QTest::newRow("max below min") << GaugeOp([](TCGauge& g) { g.SetMinValue(10); g.SetProgress(20); })
                                   << GaugeOp([](TCGauge& g) { g.SetMaxValue(5); })
                                   << "Value must be between 11 and 2147483647";
  }
  void rangeErrors() {
    QFETCH(GaugeOp, setup);
    QFETCH(GaugeOp, op);
    QFETCH(QString, message);
    TCGauge gauge;
    setup(gauge);
    const int min = gauge.MinValue(), max = gauge.MaxValue(), progress = gauge.Progress();
    try {
      op(gauge);
      QFAIL("no error raised");
    } catch (const Exception& e) {
      QCOMPARE(QString::fromStdString(e.Message), message);
    }
    QCOMPARE(gauge.MinValue(), min);
    QCOMPARE(gauge.MaxValue(), max);
    QCOMPARE(gauge.Progress(), progress);
  }

  void repaintsOnlyOnWholePercent() {
    TCountingGauge gauge;
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    gauge.SetMaxValue(393216);  // one step per map block
    gauge.Paints = 0;
    // No event is processed in this loop: every paint counted is an immediate one.
    for (int32_t block = 1; block <= 393216; ++block) gauge.SetProgress(block);
    QCOMPARE(gauge.Paints, 100);
    gauge.SetProgress(393216);
    QCOMPARE(gauge.Paints, 100);

    gauge.AddProgress(0);  // no change, painted anyway
    QCOMPARE(gauge.Paints, 101);
    gauge.SetProgress(0);
    gauge.Paints = 0;
    gauge.AddProgress(1);  // within the same whole percent
    QCOMPARE(gauge.Paints, 1);
  }

  // Each setter paints at once, exactly once, when it changes what is shown, and not at all when
  // it changes nothing. The gauge starts at 0 .. 100, progress 50.
  void settersPaintOnlyOnAChange_data() {
    QTest::addColumn<GaugeOp>("op");
    QTest::addColumn<int>("paints");
    const auto row = [](const char* name, GaugeOp op, int paints) { QTest::newRow(name) << op << paints; };
    row("kind", [](TCGauge& g) { g.SeTCGaugeKind(gkPie); }, 1);
    row("same kind", [](TCGauge& g) { g.SetKind(g.Kind()); }, 0);
    row("show text", [](TCGauge& g) { g.SetShowText(false); }, 1);
    row("same show text", [](TCGauge& g) { g.SetShowText(g.ShowText()); }, 0);
    row("border", [](TCGauge& g) { g.SetBorderStyle(TCGauge::bsNone); }, 1);
    row("same border", [](TCGauge& g) { g.SetBorderStyle(g.BorderStyle()); }, 0);
    row("fore colour", [](TCGauge& g) { g.SetForeColor(Fore); }, 1);
    row("same fore colour", [](TCGauge& g) { g.SetForeColor(g.ForeColor()); }, 0);
    row("back colour", [](TCGauge& g) { g.SetBackColor(Back); }, 1);
    row("same back colour", [](TCGauge& g) { g.SetBackColor(g.BackColor()); }, 0);
    row("colour", [](TCGauge& g) { g.SetColor(Face); }, 1);
    row("same colour", [](TCGauge& g) { g.SetColor(g.Color()); }, 0);
    row("font", [](TCGauge& g) { g.SetFont(TextFont()); }, 1);
    row("same font", [](TCGauge& g) { g.SetFont(g.font()); }, 0);
    row("minimum", [](TCGauge& g) { g.SetMinValue(10); }, 1);
    row("same minimum", [](TCGauge& g) { g.SetMinValue(0); }, 0);
    row("maximum", [](TCGauge& g) { g.SetMaxValue(200); }, 1);
    row("same maximum, stored anew", [](TCGauge& g) { g.SetMaxValue(100); }, 1);
    row("maximum 0, ignored", [](TCGauge& g) { g.SetMaxValue(0); }, 0);
    row("progress to a new percent", [](TCGauge& g) { g.SetProgress(51); }, 1);
    row("same progress", [](TCGauge& g) { g.SetProgress(50); }, 0);
    row("progress clamped to where it is", [](TCGauge& g) { g.SetMaxValue(50); g.SetProgress(80); }, 1);
    row("add nothing", [](TCGauge& g) { g.AddProgress(0); }, 1);
  }
  void settersPaintOnlyOnAChange() {
    QFETCH(GaugeOp, op);
    QFETCH(int, paints);
    TCountingGauge gauge;
    gauge.SetProgress(50);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    gauge.Paints = 0;
    op(gauge);  // no event is processed: every paint counted is an immediate one
    QCOMPARE(gauge.Paints, paints);
  }

  void horizontalBar() {
    TCGauge gauge;
    Colour(gauge);
    gauge.SetBorderStyle(TCGauge::bsNone);
    gauge.SetShowText(false);
    gauge.SetProgress(50);
    const QImage image = Grab(gauge);
    for (int y = 0; y < image.height(); ++y) {
      QCOMPARE(ColumnsOf(image, y, Rgb(Fore)), 50);
      QCOMPARE(ColumnsOf(image, y, Rgb(Back)), 50);
      QCOMPARE(At(image, 49, y), Rgb(Fore));
    }
  }

  void horizontalBarInFrame() {
    TCGauge gauge;
    Colour(gauge);
    gauge.SetShowText(false);
    gauge.SetProgress(100);
    const QImage image = Grab(gauge);
    const QRgb frame = qRgb(0, 0, 0);
    for (int i = 0; i < 100; ++i) {
      QCOMPARE(At(image, i, 0), frame);
      QCOMPARE(At(image, i, 99), frame);
      QCOMPARE(At(image, 0, i), frame);
      QCOMPARE(At(image, 99, i), frame);
    }
    // At 100 % the bar fills the framed area, and only it.
    for (int y = 1; y < 99; ++y) QCOMPARE(ColumnsOf(image, y, Rgb(Fore)), 98);
  }

  void verticalBarFullLeavesTopRow() {
    TCGauge gauge;
    Colour(gauge);
    gauge.SetBorderStyle(TCGauge::bsNone);
    gauge.SetShowText(false);
    gauge.SeTCGaugeKind(gkVerticalBar);
    gauge.SetProgress(100);
    const QImage image = Grab(gauge);
    QCOMPARE(ColumnsOf(image, 0, Rgb(Back)), 100);
    for (int y = 1; y < 100; ++y) QCOMPARE(ColumnsOf(image, y, Rgb(Fore)), 100);
  }

  void textOnlyShowsBackColor() {
    TCGauge gauge;
    Colour(gauge);
    gauge.SeTCGaugeKind(gkText);
    gauge.SetShowText(false);
    gauge.SetProgress(70);
    const QImage image = Grab(gauge);
    for (int y = 1; y < 99; ++y) QCOMPARE(ColumnsOf(image, y, Rgb(Back)), 98);
  }

  void textInvertsWhatLiesUnder_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("border");
    QTest::newRow("horizontal bar, framed") << int(gkHorizontalBar) << int(TCGauge::bsSingle);
    QTest::newRow("horizontal bar") << int(gkHorizontalBar) << int(TCGauge::bsNone);
    QTest::newRow("vertical bar") << int(gkVerticalBar) << int(TCGauge::bsNone);
  }
  void textInvertsWhatLiesUnder() {
    QFETCH(int, kind);
    QFETCH(int, border);
    TCGauge gauge;
    Colour(gauge);
    gauge.SetFont(TextFont());
    gauge.SetKind(TCGaugeKind(kind));
    gauge.SetBorderStyle(TCGauge::TBorderStyle(border));
    gauge.SetProgress(50);
    const QImage withText = Grab(gauge);
    gauge.SetShowText(false);
    const QImage plain = Grab(gauge);

    // Where the text goes: centred in the paint rectangle's width and height plus one.
    const QFontMetrics metrics(gauge.font(), &plain);
    const int inset = border == TCGauge::bsSingle ? 1 : 0;
    const int span = 100 - 2 * inset + 1;
    const QString s = "50%";
    const int x = (span - metrics.horizontalAdvance(s)) / 2;
    const int y = (span - metrics.height()) / 2;
    const QRect textBox(x, y, metrics.horizontalAdvance(s), metrics.height());

    int overFore = 0, overBack = 0;
    for (int py = 0; py < 100; ++py) {
      for (int px = 0; px < 100; ++px) {
        const QRgb under = At(plain, px, py), shown = At(withText, px, py);
        if (shown == under) continue;
        QVERIFY2(textBox.adjusted(-1, 0, 1, 0).contains(px, py), qPrintable(QString("text pixel at %1,%2").arg(px).arg(py)));
        QCOMPARE(shown, Inverted(under));
        overFore += under == Rgb(Fore);
        overBack += under == Rgb(Back);
      }
    }
    QVERIFY(overFore > 0);
    QVERIFY(overBack > 0);
  }

  void pie_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<QPoint>("foreAt");  // offsets from the centre, in quarters of the radius
    QTest::addColumn<QPoint>("backAt");
    QTest::newRow("0 %") << 0 << QPoint(0, 0) << QPoint(2, 0);
    QTest::newRow("25 %") << 25 << QPoint(2, -2) << QPoint(2, 2);
    QTest::newRow("50 %") << 50 << QPoint(2, 1) << QPoint(-2, 1);
    QTest::newRow("75 %") << 75 << QPoint(-2, 2) << QPoint(-2, -2);
    QTest::newRow("100 %") << 100 << QPoint(-2, -2) << QPoint(0, 0);
  }
  void pie() {
    QFETCH(int, percent);
    QFETCH(QPoint, foreAt);
    QFETCH(QPoint, backAt);
    TCGauge gauge;
    Colour(gauge);
    gauge.SetShowText(false);
    gauge.SeTCGaugeKind(gkPie);
    gauge.resize(120, 80);
    gauge.SetProgress(percent);
    const QImage image = Grab(gauge);
    const QPointF centre(59.5, 39.5);
    const double rx = 118 / 2.0 / 4, ry = 78 / 2.0 / 4;
    auto pixel = [&](QPoint quarters) {
      return At(image, int(centre.x() + quarters.x() * rx), int(centre.y() + quarters.y() * ry));
    };
    QCOMPARE(At(image, 2, 2), Rgb(Face));  // outside the ellipse
    if (percent > 0) QCOMPARE(pixel(foreAt), Rgb(Fore));
    if (percent < 100) QCOMPARE(pixel(backAt), Rgb(Back));
    if (percent == 0) QCOMPARE(pixel(foreAt), Rgb(Back));
  }

  void needle_data() {
    QTest::addColumn<int>("percent");
    QTest::newRow("0 %") << 0;
    QTest::newRow("25 %") << 25;
    QTest::newRow("50 %") << 50;
    QTest::newRow("100 %") << 100;
  }
  void needle() {
    QFETCH(int, percent);
    TCGauge gauge;
    Colour(gauge);
    gauge.SetShowText(false);
    gauge.SetBorderStyle(TCGauge::bsNone);
    gauge.SeTCGaugeKind(gkNeedle);
    gauge.SetProgress(percent);
    const QImage image = Grab(gauge);
    QCOMPARE(At(image, 2, 2), Rgb(Face));  // above the half disc's shoulder
    QCOMPARE(At(image, 10, 90), Rgb(Back));  // inside the half disc, left, low
    // The needle runs from the middle of the bottom edge out to the half disc's rim at the angle
    // of the percentage, 0 % pointing left; look halfway along it.
    const double theta = percent * 0.01 * M_PI;
    const QPointF tip(50 - std::cos(theta) * 50, 99 - std::sin(theta) * 99);
    const QPoint halfway = ((QPointF(50, 99) + tip) / 2).toPoint();
    if (percent > 0) {
      bool found = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) found = found || At(image, halfway.x() + dx, halfway.y() + dy) == Rgb(Fore);
      QVERIFY2(found, qPrintable(QString("no needle near %1,%2").arg(halfway.x()).arg(halfway.y())));
    }
    if (percent != 50) QCOMPARE(At(image, 50, 60), Rgb(Back));
  }

  void tinyAndEmptySizes_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("0 x 0") << QSize(0, 0);
    QTest::newRow("1 x 1") << QSize(1, 1);
    QTest::newRow("2 x 2") << QSize(2, 2);
    QTest::newRow("3 x 40") << QSize(3, 40);
  }
  void tinyAndEmptySizes() {
    QFETCH(QSize, size);
    for (int kind = gkText; kind <= gkNeedle; ++kind) {
      TCGauge gauge;
      gauge.SetKind(TCGaugeKind(kind));
      gauge.resize(size);
      gauge.SetProgress(60);
      const QImage image = Grab(gauge);
      QCOMPARE(image.size(), size);
    }
  }
};

QTEST_MAIN(TstCGauge)
#include "tst_cgauge.moc"
