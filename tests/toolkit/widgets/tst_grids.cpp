#include <QPainter>
#include <QtTest>
#include <set>

#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/widgets/grids.h"

using mirnax::EInvalidGridOperation;
using mirnax::TCustomGrid;
using mirnax::support::ErrorOf;

namespace {

// A grid that refuses the cells in Refused and records what the base hands to its hooks.
class TTestGrid : public TCustomGrid {
 public:
  std::set<std::pair<int, int>> Refused;
  std::map<std::pair<int, int>, std::pair<QColor, TGridDrawState>> Drawn;
  int Clicks = 0;
  QSize LastSize;

 protected:
  bool SelectCell(int col, int row) override { return !Refused.count({col, row}); }
  void DrawCell(QPainter& canvas, int col, int row, const QRect&, TGridDrawState state) override {
    Drawn[{col, row}] = {canvas.brush().color(), state};
  }
  void Click() override { ++Clicks; }
  void WMSize(int width, int height) override { LastSize = QSize(width, height); }
};

}  // namespace

class TstGrids : public QObject {
  Q_OBJECT

 private slots:
  void moveRefusesOutsideAndAsksSelectCell() {
    TTestGrid grid;
    grid.SetColCount(4);
    grid.SetRowCount(4);
    QVERIFY_THROWS_EXCEPTION(EInvalidGridOperation, grid.MoveColRow(4, 1, true, true));
    QVERIFY_THROWS_EXCEPTION(EInvalidGridOperation, grid.MoveColRow(1, -1, true, true));
    QCOMPARE(ErrorOf<EInvalidGridOperation>([&] { grid.MoveColRow(0, 9, true, true); }),
             QString("Grid index out of range"));
    grid.Refused = {{2, 2}};
    grid.MoveColRow(2, 2, false, false);
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(1, 1));
    grid.MoveColRow(3, 2, false, false);
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(3, 2));
  }

  // Arrow keys stop at a refused cell and at the fixed cells; a click on a cell makes it current
  // and then reaches Click, a click on a refused cell only reaches Click.
  void keysAndMouse() {
    TTestGrid grid;
    grid.SetColCount(4);
    grid.SetRowCount(4);
    grid.resize(400, 200);
    grid.Refused = {{2, 1}};
    QTest::keyClick(&grid, Qt::Key_Left);
    QCOMPARE(grid.Col(), 1);
    QTest::keyClick(&grid, Qt::Key_Right);
    QCOMPARE(grid.Col(), 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(grid.Row(), 2);
    const QRect cell = grid.CellRect(3, 3);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, cell.center());
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(3, 3));
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(2, 1).center());
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(3, 3));
    QCOMPARE(grid.Clicks, 2);
  }

  void cellColoursAndSize() {
    TTestGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetOptions(TCustomGrid::goDrawFocusSelected);
    grid.resize(300, 120);
    grid.grab();
    QCOMPARE(grid.LastSize, QSize(300, 120));
    const QPalette& pal = grid.palette();
    const auto fixed = grid.Drawn[std::pair(0, 1)];
    const auto current = grid.Drawn[std::pair(1, 1)];
    const auto normal = grid.Drawn[std::pair(2, 2)];
    QCOMPARE(fixed.first, pal.color(QPalette::Button));
    QVERIFY(fixed.second & TCustomGrid::gdFixed);
    QCOMPARE(current.first, pal.color(QPalette::Highlight));
    QVERIFY(current.second & TCustomGrid::gdSelected);
    QCOMPARE(normal.first, pal.color(QPalette::Base));
  }

  // Rows below the fixed ones scroll; moving to a row out of view brings it in.
  void scrolling() {
    TTestGrid grid;
    grid.SetColCount(2);
    grid.SetRowCount(50);
    grid.SetDefaultRowHeight(19);
    grid.resize(200, 100);  // one fixed row and four scrolling rows of 20 pixels
    QCOMPARE(grid.VisibleRowCount(), 4);
    grid.MoveColRow(1, 10, true, true);
    QCOMPARE(grid.TopRow(), 7);
    QCOMPARE(grid.CellRect(1, 7).top(), 20);
    QVERIFY(grid.CellRect(1, 6).isEmpty());
    int col = 0, row = 0;
    QVERIFY(grid.MouseToCell(QPoint(70, 45), col, row));
    QCOMPARE(QPoint(col, row), QPoint(1, 8));
    QVERIFY(grid.MouseToCell(QPoint(70, 5), col, row));
    QCOMPARE(row, 0);
    grid.SetRowCount(5);
    QCOMPARE(grid.TopRow(), 1);
    QCOMPARE(grid.Row(), 4);
  }
};

QTEST_MAIN(TstGrids)
#include "tst_grids.moc"
