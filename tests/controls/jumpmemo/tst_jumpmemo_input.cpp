// The memo's keys and mouse as a program sees them: events from QTest reach its control, and the
// control's requests reach the program's events, the cursor, the focus and the auto-scroll timer.
#include <QSignalSpy>
#include <QtTest>

#include "tests/controls/jumpmemo/memo_test_helpers.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/cursor_table.h"

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

}  // namespace

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

  // The program's events fire with what the control found.
  void eventsReachTheProgram() {
    TJumpMemo memo;
    Show(memo, {"see ~Index here", "^pic.bmp", "line two", "line three"});
    std::string jump, picture;
    int selects = 0, keysDown = 0, keysUp = 0, clicks = 0;
    memo.OnJumpClick = [&](QObject* sender, std::string word) {
      QCOMPARE(sender, &memo);
      jump = word;
    };
    memo.OnPictureClick = [&](QObject*, std::string name) { picture = name; };
    memo.OnSelect = [&](QObject*) { ++selects; };
    memo.OnKeyDown = [&](QObject*, int&, Qt::KeyboardModifiers) { ++keysDown; };
    memo.OnKeyUp = [&](QObject*, int&, Qt::KeyboardModifiers) { ++keysUp; };
    memo.OnMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++clicks; };
    const QPoint onJump = PointOf(memo, 0, 6);
    QTest::mouseMove(&memo, onJump);
    QCOMPARE(memo.cursor().pixmap().toImage(), Cursors().Cursor(memo.JumpCursor()).pixmap().toImage());
    QTest::mouseClick(&memo, Qt::LeftButton, {}, onJump);
    QCOMPARE(jump, std::string("Index"));
    QCOMPARE(memo.cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(clicks, 0);
    QTest::mouseMove(&memo, PointOf(memo, 2, 1));  // off the marked words, so the click places the caret
    PlaceCaret(memo, 1, 3);
    QCOMPARE(clicks, 1);
    QTest::keyClick(&memo, Qt::Key_Enter);
    QCOMPARE(picture, std::string("pic.bmp"));
    QTest::keyPress(&memo, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyRelease(&memo, Qt::Key_Shift, Qt::NoModifier);
    QVERIFY(memo.Selected());
    QCOMPARE(selects, 1);
    QCOMPARE(keysDown, 3);  // Enter, Shift and Down
    QVERIFY(keysUp >= 1);
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

  void doubleClickIsIgnored() {
    TJumpMemo memo;
    Show(memo, Numbered(10));
    PlaceCaret(memo, 1, 2);
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
