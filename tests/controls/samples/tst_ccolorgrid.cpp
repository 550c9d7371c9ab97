#include <QtTest>

#include "controls/samples/ccolorgrid.h"

using mirnax::ColorToQColor;
using mirnax::TCColorGrid;
using mirnax::TColor;

namespace {

QImage Grab(TCColorGrid& grid) { return grid.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QRgb Rgb(TColor color) { return ColorToQColor(color).rgb(); }

// A grid of 25 x 25 squares whose marks are drawn in whole pixels of one colour.
void Prepare(TCColorGrid& grid) {
  QFont font("Liberation Sans");
  font.setPixelSize(14);
  font.setStyleStrategy(QFont::NoAntialias);
  grid.setFont(font);
  grid.resize(100, 100);
}

void Focus(TCColorGrid& grid) {
  QFocusEvent in(QEvent::FocusIn);
  QCoreApplication::sendEvent(&grid, &in);
}

int CountOf(const QImage& image, const QRect& r, QRgb color) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += (image.pixel(x, y) | 0xFF000000u) == color;
  return n;
}

}  // namespace

class TstCColorGrid : public QObject {
  Q_OBJECT

 private slots:
  void orderings_data() {
    QTest::addColumn<int>("ordering");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QSize>("size");
    QTest::newRow("go16x1") << 0 << 16 << QSize(320, 330);
    QTest::newRow("go8x2") << 1 << 8 << QSize(328, 330);
    QTest::newRow("go2x8") << 3 << 2 << QSize(330, 328);
    QTest::newRow("go1x16") << 4 << 1 << QSize(330, 320);
  }
  // Each ordering lays the squares row by row and snaps the control to whole squares.
  void orderings() {
    QFETCH(int, ordering);
    QFETCH(int, columns);
    QFETCH(QSize, size);
    TCColorGrid grid;
    Prepare(grid);
    grid.resize(330, 330);
    grid.SetGridOrdering(static_cast<TCColorGrid::TGridOrdering>(ordering));
    QCOMPARE(grid.Columns(), columns);
    QCOMPARE(grid.Rows(), 16 / columns);
    QCOMPARE(grid.size(), size);
    const QImage image = Grab(grid);
    for (int i = 0; i < 16; ++i) {
      const QRect r = grid.SquareRect(i);
      QCOMPARE(r.topLeft(), QPoint(i % columns * grid.CellWidth(), i / columns * grid.CellHeight()));
      QCOMPARE(grid.SquareFromPos(r.center().x(), r.center().y()), i);
      // Inside the button-face ring and the two-pixel frame the square has its colour.
      QCOMPARE(image.pixel(r.left() + 3, r.bottom() - 3) | 0xFF000000u, Rgb(grid.SquareColor(i)));
    }
  }

  void squareColoursAndSnapping() {
    TCColorGrid grid;
    const TColor expected[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                 0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) QCOMPARE(grid.SquareColor(i), expected[i]);
    grid.resize(103, 50);
    grid.show();  // a hidden widget hears of its new size only when shown
    QCOMPARE(grid.size(), QSize(100, 48));
    QCOMPARE(QSize(grid.CellWidth(), grid.CellHeight()), QSize(25, 12));
    QCOMPARE(grid.SquareFromPos(500, -3), 3);  // clamped into the control
    grid.SetGridOrdering(static_cast<TCColorGrid::TGridOrdering>(9));
    QCOMPARE(grid.GridOrdering(), TCColorGrid::go4x4);
  }

  // "FB" where both marks meet; disabling the background leaves "FG", the same picture as a
  // foreground alone on that square.
  void marks() {
    TCColorGrid both, fgOnly, elsewhere;
    for (TCColorGrid* g : {&both, &fgOnly, &elsewhere}) {
      Prepare(*g);
      g->SetForegroundIndex(15);
      g->SetBackgroundIndex(15);
    }
    fgOnly.EnableBackground(false);
    elsewhere.SetBackgroundIndex(0);
    const QRect r = both.SquareRect(15);
    QVERIFY(CountOf(Grab(both), r, qRgb(0, 0, 0)) > 0);
    QVERIFY(Grab(both).copy(r) != Grab(fgOnly).copy(r));
    QCOMPARE(Grab(fgOnly).copy(r), Grab(elsewhere).copy(r));
  }

  void markColours_data() {
    QTest::addColumn<int>("square");
    QTest::addColumn<uint>("mark");
    QTest::newRow("white") << 15 << 0x000000u;
    QTest::newRow("dark grey") << 8 << 0x000000u;
    QTest::newRow("black") << 0 << 0xFFFFFFu;
    QTest::newRow("yellow") << 11 << 0xFF0000u;
    QTest::newRow("dark blue") << 4 << 0x00FFFFu;
  }
  void markColours() {
    QFETCH(int, square);
    QFETCH(uint, mark);
    QCOMPARE(TCColorGrid::ContrastColor(TCColorGrid().SquareColor(square)), mark);
    TCColorGrid grid;
    Prepare(grid);
    grid.SetForegroundIndex(square);
    const QRect r = grid.SquareRect(square).adjusted(3, 3, -3, -3);
    const QImage image = Grab(grid);
    QVERIFY(CountOf(image, r, Rgb(mark)) > 5);
    QCOMPARE(CountOf(image, r, Rgb(mark)) + CountOf(image, r, Rgb(grid.SquareColor(square))), r.width() * r.height());
  }

  // Without the 3D look the selector inverts the square's black outline and draws a black
  // rectangle two pixels inside; the 3D look shows a dotted focus rectangle instead.
  void selector() {
    TCColorGrid grid;
    Prepare(grid);
    grid.SetCtl3D(false);
    grid.SetSelection(5);
    Focus(grid);
    const QRect r = grid.SquareRect(5);
    QImage image = Grab(grid);
    auto at = [&](int x, int y) { return image.pixel(x, y) | 0xFF000000u; };
    QCOMPARE(at(r.left(), r.top() + 7), qRgb(255, 255, 255));
    QCOMPARE(at(r.left() + 1, r.top() + 7), Rgb(grid.SquareColor(5)));
    QCOMPARE(at(r.left() + 2, r.top() + 7), qRgb(0, 0, 0));
    QCOMPARE(at(grid.SquareRect(6).left(), r.top() + 7), qRgb(0, 0, 0));
    grid.SetCtl3D(true);
    image = Grab(grid);
    const QRect inner = r.adjusted(4, 4, -4, -4);  // ring 1, frame 2, then the focus dots
    QVERIFY(at(inner.left(), inner.top()) != at(inner.left() + 1, inner.top()));
  }

  void clicks() {
    TCColorGrid grid;
    Prepare(grid);
    int changes = 0;
    grid.OnChange = [&](TCColorGrid*) { ++changes; };
    grid.SetForegroundIndex(5);
    grid.EnableForeground(false);
    changes = 0;
    const QPoint on5 = grid.SquareRect(5).center();
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.SquareRect(6).center());
    QCOMPARE(grid.ForegroundIndex(), 5);
    QCOMPARE(grid.Selection(), 6);
    QVERIFY(!grid.ForegroundEnabled());
    grid.SetClickEnablesColor(true);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, on5);
    QVERIFY(grid.ForegroundEnabled());
    QCOMPARE(grid.ForegroundIndex(), 5);
    QCOMPARE(changes, 1);
    QTest::mouseClick(&grid, Qt::RightButton, {}, grid.SquareRect(9).center());
    QCOMPARE(grid.BackgroundIndex(), 9);
    QCOMPARE(grid.GetBackgroundColor(), 0x0000FFu);
    QCOMPARE(changes, 2);
    // Dragging moves the mark square by square, one change per new square.
    QTest::mousePress(&grid, Qt::LeftButton, {}, grid.SquareRect(0).center());
    QMouseEvent move(QEvent::MouseMove, grid.SquareRect(0).center() + QPoint(3, 0), grid.mapToGlobal(QPoint()),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&grid, &move);
    for (int s : {1, 2}) {
      QMouseEvent to(QEvent::MouseMove, grid.SquareRect(s).center(), grid.mapToGlobal(QPoint()), Qt::NoButton,
                     Qt::LeftButton, {});
      QCoreApplication::sendEvent(&grid, &to);
    }
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, grid.SquareRect(2).center());
    QCOMPARE(grid.ForegroundIndex(), 2);
    QCOMPARE(changes, 5);
  }

  void keys_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("up 0") << 0 << int(Qt::Key_Up) << 15;
    QTest::newRow("up 2") << 2 << int(Qt::Key_Up) << 13;
    QTest::newRow("up 6") << 6 << int(Qt::Key_Up) << 2;
    QTest::newRow("down 13") << 13 << int(Qt::Key_Down) << 2;
    QTest::newRow("down 15") << 15 << int(Qt::Key_Down) << 0;
    QTest::newRow("down 1") << 1 << int(Qt::Key_Down) << 5;
    QTest::newRow("right 15") << 15 << int(Qt::Key_Right) << 0;
    QTest::newRow("space") << 3 << int(Qt::Key_Space) << 4;
    QTest::newRow("left 0") << 0 << int(Qt::Key_Left) << 15;
    QTest::newRow("end") << 3 << int(Qt::Key_End) << 15;
    QTest::newRow("home") << 3 << int(Qt::Key_Home) << 0;
    QTest::newRow("page down") << 3 << int(Qt::Key_PageDown) << 3;
  }
  void keys() {
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    TCColorGrid grid;
    grid.SetSelection(from);
    QTest::keyClick(&grid, static_cast<Qt::Key>(key));
    QCOMPARE(grid.Selection(), to);
  }

  void pickKeys() {
    TCColorGrid grid;
    int clicks = 0;
    grid.OnClick = [&](TCColorGrid*) { ++clicks; };
    grid.SetSelection(7);
    QTest::keyClick(&grid, Qt::Key_F);
    grid.SetSelection(12);
    QTest::keyClick(&grid, 'b');
    QCOMPARE(std::pair(grid.ForegroundIndex(), grid.BackgroundIndex()), std::pair(7, 12));
    QCOMPARE(clicks, 2);
  }

  // Squares of no size take no mouse input.
  void tooSmall() {
    TCColorGrid grid;
    grid.resize(10, 3);
    grid.show();
    QCOMPARE(grid.CellHeight(), 0);
    QCOMPARE(grid.SquareFromPos(1, 1), -1);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(grid.Selection(), 0);
    grid.grab();
  }
};

QTEST_MAIN(TstCColorGrid)
#include "tst_ccolorgrid.moc"
