// The memo's keys and mouse, driven through QTest as a user would.
#include <QSignalSpy>
#include <QtTest>

#include "tests/controls/jumpmemo/memo_test_helpers.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/cursor_table.h"
#include "toolkit/core/dialogs.h"

using mirnax::Application;
using mirnax::Cursors;
using mirnax::TApplication;
using mirnax::TJumpMemo;
using mirnax::TPositionInfo;

namespace {

// The widget point of a place in the text (the middle of the cell's left edge region).
QPoint PointOf(const TJumpMemo& memo, int line, int col) {
  const std::string text = memo.Lines().Get(line);
  const int x = TJumpMemo::LeftMargin + Width(memo, text.substr(0, static_cast<size_t>(col))) + 1;
  return memo.ClientRect().topLeft() + QPoint(x, line * memo.CharSize().y() + memo.CharSize().y() / 2);
}

void PlaceCaret(TJumpMemo& memo, int line, int col) { QTest::mouseClick(&memo, Qt::LeftButton, {}, PointOf(memo, line, col)); }

struct TPlace {
  int line;
  int col;
};

}  // namespace

Q_DECLARE_METATYPE(TPlace)

class TestJumpMemoInput : public TMemoTestCase {
  Q_OBJECT

  // A shown memo with the focus, 12 rows high.
  void Show(TJumpMemo& memo, const std::vector<std::string>& lines) {
    memo.resize(400, 12 * memo.CharSize().y() + 2);
    AddLines(memo, lines);
    memo.show();
    memo.activateWindow();
    memo.setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));
  }

 private slots:

  // ---- keys ----

  void enterActivatesTheJumpAtTheCaret_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("fires");
    // "go ~Next now": the tilde at column 3, the word in columns 4 .. 7.
    QTest::newRow("just before the word") << 4 << true;
    QTest::newRow("inside") << 6 << true;
    QTest::newRow("just after") << 8 << true;
    QTest::newRow("one column before the hidden tilde") << 3 << false;
    QTest::newRow("two columns before") << 2 << false;
    QTest::newRow("far right") << 10 << false;
  }
  void enterActivatesTheJumpAtTheCaret() {
    QFETCH(int, col);
    QFETCH(bool, fires);
    TJumpMemo memo;
    Show(memo, {"go ~Next now", "^pic.bmp"});
    std::vector<std::string> clicked;
    memo.OnJumpClick = [&](QObject* sender, std::string word) {
      QCOMPARE(sender, &memo);
      clicked.push_back(word);
    };
    PlaceCaret(memo, 0, col);
    QCOMPARE(memo.Caret().Col, col);
    QTest::keyClick(&memo, Qt::Key_Return);
    QCOMPARE(clicked, fires ? std::vector<std::string>{"Next"} : std::vector<std::string>{});
    if (fires) QCOMPARE(memo.CurJump(), std::string("Next"));
    QCOMPARE(memo.Caret().Col, col);  // Enter on a jump does not move the caret
  }

  void enterOnAPicture() {
    TJumpMemo memo;
    Show(memo, {"text", "^pic.bmp"});
    std::string picture;
    memo.OnPictureClick = [&](QObject*, std::string name) { picture = name; };
    PlaceCaret(memo, 1, 3);
    QTest::keyClick(&memo, Qt::Key_Enter);
    QCOMPARE(picture, std::string("pic.bmp"));
    QCOMPARE(memo.CurPict(), std::string("pic.bmp"));
  }

  void shiftDownSelects_data() {
    QTest::addColumn<std::string>("fifth");
    QTest::addColumn<int>("endCol");
    QTest::newRow("long lines") << std::string("line five") << 4;
    QTest::newRow("shorter line") << std::string("xy") << 2;
  }
  void shiftDownSelects() {
    QFETCH(std::string, fifth);
    QFETCH(int, endCol);
    TJumpMemo memo;
    Show(memo, {"line zero", "line one", "line two", "line three", "line four", fifth, "line six"});
    int selects = 0;
    memo.OnSelect = [&](QObject*) { ++selects; };
    PlaceCaret(memo, 2, 4);
    for (int i = 0; i < 3; ++i) QTest::keyPress(&memo, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyRelease(&memo, Qt::Key_Shift, Qt::NoModifier);
    QVERIFY(memo.Selected());
    QVERIFY(!memo.Selecting());
    QCOMPARE(memo.SelStart().Line, 2);
    QCOMPARE(memo.SelStart().Col, 4);
    QCOMPARE(memo.SelEnd().Line, 5);
    QCOMPARE(memo.SelEnd().Col, endCol);
    QCOMPARE(selects, 3);
    // An unshifted move ends the selection.
    int deselects = 0;
    memo.OnDeSelect = [&](QObject*) { ++deselects; };
    QTest::keyClick(&memo, Qt::Key_Up);
    QVERIFY(!memo.Selected());
    QCOMPARE(deselects, 1);
  }

  void lineWraps_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<TPlace>("from");
    QTest::addColumn<TPlace>("to");
    QTest::newRow("right at the end of line 7") << int(Qt::Key_Right) << TPlace{7, 6} << TPlace{8, 1};
    QTest::newRow("left at the start of line 8") << int(Qt::Key_Left) << TPlace{8, 0} << TPlace{7, 6};
    QTest::newRow("right inside a line") << int(Qt::Key_Right) << TPlace{3, 2} << TPlace{3, 3};
    QTest::newRow("right at the end of the text") << int(Qt::Key_Right) << TPlace{9, 6} << TPlace{9, 6};
    QTest::newRow("left at the start of the text") << int(Qt::Key_Left) << TPlace{0, 0} << TPlace{0, 0};
    QTest::newRow("home") << int(Qt::Key_Home) << TPlace{4, 3} << TPlace{4, 0};
    QTest::newRow("end") << int(Qt::Key_End) << TPlace{4, 3} << TPlace{4, 6};
    QTest::newRow("up at the top line") << int(Qt::Key_Up) << TPlace{0, 4} << TPlace{0, 4};
  }
  void lineWraps() {
    QFETCH(int, key);
    QFETCH(TPlace, from);
    QFETCH(TPlace, to);
    TJumpMemo memo;
    Show(memo, Numbered(10));  // "line 0" .. "line 9", six characters each
    PlaceCaret(memo, from.line, from.col);
    QCOMPARE(memo.Caret().Col, from.col);
    QTest::keyClick(&memo, Qt::Key(key));
    QCOMPARE(memo.Caret().Line, to.line);
    QCOMPARE(memo.Caret().Col, to.col);
    QCOMPARE(memo.CaretPos().x(), TJumpMemo::LeftMargin + Width(memo, memo.Lines().Get(to.line).substr(0, to.col)));
  }

  void pagingAndTheEnds() {
    TJumpMemo memo;
    Show(memo, Numbered(100));
    const int lpp = memo.LinesPerPage();
    QCOMPARE(lpp, 12);
    QTest::keyClick(&memo, Qt::Key_PageDown);
    QCOMPARE(memo.Caret().Line, lpp);
    QCOMPARE(memo.ScrollPos().Y, lpp);
    QTest::keyClick(&memo, Qt::Key_PageDown, Qt::ControlModifier);  // the last visible row
    QCOMPARE(memo.Caret().Line, 2 * lpp - 1);
    QTest::keyClick(&memo, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(memo.Caret().Line, 99);
    QCOMPARE(memo.ScrollPos().Y, memo.Range().Y);
    QCOMPARE(memo.Caret().Row, lpp - 1);
    QTest::keyClick(&memo, Qt::Key_PageDown);  // past the end: the last line
    QCOMPARE(memo.Caret().Line, 99);
    QTest::keyClick(&memo, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(memo.Caret().Line, memo.ScrollPos().Y);
    QTest::keyClick(&memo, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(memo.Caret(), (TPositionInfo{0, 0, 0, 6}));
    QCOMPARE(memo.ScrollPos().Y, 0);
    QTest::keyClick(&memo, Qt::Key_PageUp);
    QCOMPARE(memo.Caret().Line, 0);
    // Down on the last visible row scrolls one line.
    for (int i = 0; i < lpp; ++i) QTest::keyClick(&memo, Qt::Key_Down);
    QCOMPARE(memo.ScrollPos().Y, 1);
    QCOMPARE(memo.Caret().Row, lpp - 1);
  }

  void keysWithoutTextDoNothing() {
    TJumpMemo memo;
    Show(memo, {});
    int keys = 0;
    memo.OnKeyDown = [&](QObject*, int&, Qt::KeyboardModifiers) { ++keys; };
    QTest::keyClick(&memo, Qt::Key_Down);
    QCOMPARE(keys, 0);
    memo.Add("x");
    QTest::keyClick(&memo, Qt::Key_Down);
    QCOMPARE(keys, 1);
  }

  void keysAfterTheLinesWereShortenedDirectly() {
    TJumpMemo memo;
    Show(memo, Numbered(10));
    PlaceCaret(memo, 8, 4);
    SetText(memo, {"one", "two"});
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Up, Qt::Key_End, Qt::Key_PageDown})
      QTest::keyClick(&memo, key);
    QCOMPARE(memo.Caret().Line, 1);
    QCOMPARE(memo.Caret().Col, 3);
  }

  void f1AsksTheApplicationForHelp() {
    TJumpMemo memo;
    Show(memo, {"text"});
    memo.SetHelpContext(42);
    QSignalSpy help(Application, &TApplication::HelpRequested);
    QTest::keyClick(&memo, Qt::Key_F1);
    QCOMPARE(help.count(), 1);
    QCOMPARE(help.at(0).at(0).toInt(), 42);
  }

  void focusMakesAndEndsTheCaret() {
    TJumpMemo memo;
    Show(memo, {"text"});
    QTRY_VERIFY(memo.hasFocus());
    QVERIFY(memo.CaretShown());
    memo.clearFocus();
    QVERIFY(!memo.CaretShown());
  }

  // ---- mouse ----

  void clickOnAHoveredJump() {
    TJumpMemo memo;
    Show(memo, {"first line", "see ~Index here"});
    std::string clicked;
    memo.OnJumpClick = [&](QObject*, std::string word) { clicked = word; };
    PlaceCaret(memo, 0, 3);
    const QPoint onJump = PointOf(memo, 1, 6);
    QTest::mouseMove(&memo, onJump);
    QVERIFY(memo.OverJump());
    QCOMPARE(memo.CurJump(), std::string("Index"));
    QCOMPARE(memo.cursor().pixmap().toImage(), Cursors().Cursor(memo.JumpCursor()).pixmap().toImage());
    QTest::mouseClick(&memo, Qt::LeftButton, {}, onJump);
    QCOMPARE(clicked, std::string("Index"));
    QCOMPARE(memo.Caret().Line, 0);
    QCOMPARE(memo.Caret().Col, 3);
    QVERIFY(!memo.Selecting());
    // Off the jump the I-beam returns.
    QTest::mouseMove(&memo, PointOf(memo, 1, 1));
    QVERIFY(!memo.OverJump());
    QCOMPARE(memo.cursor().shape(), Qt::IBeamCursor);
  }

  void hoveringAPicture() {
    TJumpMemo memo;
    Show(memo, {"a ^map_01.bmp"});
    QTest::mouseMove(&memo, PointOf(memo, 0, 5));
    QVERIFY(memo.OverPict());
    QCOMPARE(memo.CurPict(), std::string("map_01.bmp"));
    QCOMPARE(memo.cursor().pixmap().toImage(), Cursors().Cursor(memo.PictCursor()).pixmap().toImage());
  }

  void dragSelectsAndDoubleClickIsIgnored() {
    TJumpMemo memo;
    Show(memo, Numbered(10));
    QTest::mousePress(&memo, Qt::LeftButton, {}, PointOf(memo, 1, 2));
    QVERIFY(memo.Selecting());
    QTest::mouseMove(&memo, PointOf(memo, 3, 4));
    QTest::mouseRelease(&memo, Qt::LeftButton, {}, PointOf(memo, 3, 4));
    QVERIFY(memo.Selected());
    QCOMPARE(memo.SelStart().Line, 1);
    QCOMPARE(memo.SelEnd().Line, 3);
    QCOMPARE(memo.SelEnd().Col, 4);
    const TPositionInfo caret = memo.Caret();
    QTest::mouseDClick(&memo, Qt::LeftButton, {}, PointOf(memo, 5, 1));
    QCOMPARE(memo.Caret(), caret);
  }

  // Dragging below the last row scrolls on from a timer, and stops when the pointer comes back.
  void dragPastTheEdgeScrolls() {
    TJumpMemo memo;
    Show(memo, Numbered(30));
    const int h = memo.CharSize().y();
    QTest::mousePress(&memo, Qt::LeftButton, {}, PointOf(memo, 0, 1));
    QTest::mouseMove(&memo, memo.ClientRect().topLeft() + QPoint(20, memo.ClientRect().height() - 2));
    QTRY_VERIFY(memo.ScrollPos().Y >= 3);
    QVERIFY(memo.Selecting());
    QCOMPARE(memo.SelStart().Line, 0);
    QCOMPARE(memo.SelEnd().Line, memo.Caret().Line);
    QTest::mouseMove(&memo, memo.ClientRect().topLeft() + QPoint(20, 5 * h));
    const int stopped = memo.ScrollPos().Y;
    QTest::qWait(200);
    QCOMPARE(memo.ScrollPos().Y, stopped);
    // Back at the edge it runs to the end of the text and stops there.
    QTest::mouseMove(&memo, memo.ClientRect().topLeft() + QPoint(20, memo.ClientRect().height() - 2));
    QTRY_COMPARE_WITH_TIMEOUT(memo.Caret().Line, 29, 10000);
    QCOMPARE(memo.ScrollPos().Y, memo.Range().Y);
    QTest::mouseRelease(&memo, Qt::LeftButton, {}, memo.ClientRect().topLeft() + QPoint(20, 5 * h));
    QVERIFY(memo.Selected());
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);  // F1 goes to the application object
  TestJumpMemoInput test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_jumpmemo_input.moc"
