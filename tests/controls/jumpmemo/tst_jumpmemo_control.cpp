// The memo's control object driven without a widget: keys, clicks, hovering and drags on a
// document, with a host that records what the control asks of its window.
#include <QFontMetrics>
#include <QImage>
#include <QtTest>
#include <string>
#include <vector>

#include "controls/jumpmemo/jumpmemo_control.h"
#include "controls/jumpmemo/jumpmemo_document.h"
#include "toolkit/widgets/cp1251.h"

using mirnax::TJumpDocument;
using mirnax::TMemoControl;
using mirnax::TMemoHost;
using mirnax::TMemoLayout;
using mirnax::TPositionInfo;
using mirnax::TTextMetrics;

namespace {

using Strings = std::vector<std::string>;

Strings Numbered(int count) {
  Strings out;
  for (int i = 0; i < count; ++i) out.push_back("line " + std::to_string(i));
  return out;
}

constexpr int kJumpCursor = 1;
constexpr int kPictCursor = 2;
constexpr int kDefaultCursor = 0;

class TRecordingHost final : public TMemoHost {
 public:
  void Select() override { ++selects; }
  void DeSelect() override { ++deselects; }
  void JumpClick() override { ++jumpClicks; }
  void PictClick() override { ++pictClicks; }
  void CopyToClipboard() override { ++copies; }
  void Help() override { ++helps; }
  void TakeFocus() override { focused = true; }
  void ShowCursor(int index) override { cursor = index; }
  void AutoScroll(bool on) override { autoScroll = on; }
  void KeyDone(int&, Qt::KeyboardModifiers) override { ++keysDone; }
  void MouseDone(Qt::MouseButton, Qt::KeyboardModifiers, int, int) override { ++clicksDone; }

  int selects = 0, deselects = 0, jumpClicks = 0, pictClicks = 0, copies = 0, helps = 0, keysDone = 0, clicksDone = 0;
  int cursor = -1;
  bool focused = false;
  bool autoScroll = false;
};

// A document, its font's metrics and a control over them, on a client area 400 pixels wide and
// `rows` lines high; the markup scanned as the memo scans it.
class TRig {
 public:
  explicit TRig(const Strings& lines, int rows = 12) {
    doc.CreateLists();
    for (const std::string& line : lines) doc.Lines().Add(line);
    metrics.SetFont(font, &image);
    control.View().CharSize = QPoint(metrics.AverageCharWidth(), metrics.Height());
    doc.ReadJumps(metrics, metrics.Height());
    control.SetCursors(kJumpCursor, kPictCursor, kDefaultCursor);
    control.RecalcRange(QSize(400, rows * metrics.Height()), doc.MaxLineLength());
    control.ResetPositions();
    control.UpdateCaret(false);
  }

  // Expected widths come from Qt's own measuring of the font.
  int Width(std::string_view s) const {
    return QFontMetrics(font, &image).horizontalAdvance(mirnax::Cp1251ToQString(s));
  }
  // The client point just right of the left edge of a column, in the middle of its row.
  QPoint PointOf(int line, int col) const {
    const std::string_view text = doc.Line(line);
    const int h = metrics.Height();
    return QPoint(TMemoLayout::LeftMargin + Width(text.substr(0, static_cast<size_t>(col))) + 1,
                  (line - control.View().ScrollPos.Y) * h + h / 2);
  }
  void Click(int line, int col) {
    const QPoint p = PointOf(line, col);
    control.MouseDown(Qt::LeftButton, {}, p.x(), p.y());
    control.MouseUp(Qt::LeftButton, {}, p.x(), p.y());
  }
  void Key(int key, Qt::KeyboardModifiers shift = {}) { control.KeyDown(key, shift); }
  void Release(int key) { control.KeyUp(key, {}); }

  const QFont font = mirnax::OnPixelGrid(QFont("Courier New", 10));
  TJumpDocument doc;
  QImage image{1, 1, QImage::Format_RGB32};
  TTextMetrics metrics;
  TRecordingHost host;
  TMemoControl control{doc, metrics, host};
};

struct TPlace {
  int line;
  int col;
};

}  // namespace

Q_DECLARE_METATYPE(TPlace)

class TestJumpMemoControl : public QObject {
  Q_OBJECT

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
    TRig rig({"go ~Next now", "^pic.bmp"});
    rig.Click(0, col);
    QCOMPARE(rig.control.Caret().Col, col);
    rig.Key(Qt::Key_Return);
    QCOMPARE(rig.host.jumpClicks, fires ? 1 : 0);
    if (fires) QCOMPARE(rig.control.CurJump(), std::string("Next"));
    QCOMPARE(rig.control.Caret().Col, col);  // Enter on a jump does not move the caret
    QCOMPARE(rig.host.keysDone, 1);
  }

  void enterOnAPicture() {
    TRig rig({"text", "^pic.bmp"});
    rig.Click(1, 3);
    rig.Key(Qt::Key_Enter);
    QCOMPARE(rig.host.pictClicks, 1);
    QCOMPARE(rig.control.CurPict(), std::string("pic.bmp"));
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
    TRig rig({"line zero", "line one", "line two", "line three", "line four", fifth, "line six"});
    rig.Click(2, 4);
    for (int i = 0; i < 3; ++i) rig.Key(Qt::Key_Down, Qt::ShiftModifier);
    rig.Release(Qt::Key_Shift);
    const TMemoControl& c = rig.control;
    QVERIFY(c.Selected());
    QVERIFY(!c.Selecting());
    QCOMPARE(c.SelStart().Line, 2);
    QCOMPARE(c.SelStart().Col, 4);
    QCOMPARE(c.SelEnd().Line, 5);
    QCOMPARE(c.SelEnd().Col, endCol);
    QCOMPARE(rig.host.selects, 3);
    // An unshifted move ends the selection.
    const int deselects = rig.host.deselects;
    rig.Key(Qt::Key_Up);
    QVERIFY(!c.Selected());
    QCOMPARE(rig.host.deselects, deselects + 1);
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
    TRig rig(Numbered(10));  // "line 0" .. "line 9", six characters each
    rig.Click(from.line, from.col);
    QCOMPARE(rig.control.Caret().Col, from.col);
    rig.Key(key);
    QCOMPARE(rig.control.Caret().Line, to.line);
    QCOMPARE(rig.control.Caret().Col, to.col);
    const std::string_view line = rig.doc.Line(to.line);
    QCOMPARE(rig.control.CaretPos().x(), TMemoLayout::LeftMargin + rig.Width(line.substr(0, size_t(to.col))));
  }

  void pagingAndTheEnds() {
    TRig rig(Numbered(100));
    const TMemoControl& c = rig.control;
    const int lpp = c.View().LinesPerPage;
    QCOMPARE(lpp, 12);
    rig.Key(Qt::Key_PageDown);
    QCOMPARE(c.Caret().Line, lpp);
    QCOMPARE(c.View().ScrollPos.Y, lpp);
    rig.Key(Qt::Key_PageDown, Qt::ControlModifier);  // the last visible row
    QCOMPARE(c.Caret().Line, 2 * lpp - 1);
    rig.Key(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(c.Caret().Line, 99);
    QCOMPARE(c.View().ScrollPos.Y, c.View().Range.Y);
    QCOMPARE(c.Caret().Row, lpp - 1);
    rig.Key(Qt::Key_PageDown);  // past the end: the last line
    QCOMPARE(c.Caret().Line, 99);
    rig.Key(Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(c.Caret().Line, c.View().ScrollPos.Y);
    rig.Key(Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(c.Caret(), (TPositionInfo{0, 0, 0, 6}));
    QCOMPARE(c.View().ScrollPos.Y, 0);
    rig.Key(Qt::Key_PageUp);
    QCOMPARE(c.Caret().Line, 0);
    // Down on the last visible row scrolls one line.
    for (int i = 0; i < lpp; ++i) rig.Key(Qt::Key_Down);
    QCOMPARE(c.View().ScrollPos.Y, 1);
    QCOMPARE(c.Caret().Row, lpp - 1);
  }

  // Without text no key does anything, not even pass itself on; F1 and Ctrl+Insert go to the host.
  void keysWithoutTextAndTheHostsKeys() {
    TRig rig({});
    rig.Key(Qt::Key_Down);
    rig.Key(Qt::Key_F1);
    QCOMPARE(rig.host.keysDone, 0);
    QCOMPARE(rig.host.helps, 0);
    rig.doc.Lines().Add("x");
    rig.Key(Qt::Key_Down);
    QCOMPARE(rig.host.keysDone, 1);
    rig.Key(Qt::Key_F1);
    rig.Key(Qt::Key_Insert, Qt::ControlModifier);
    rig.Key(Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(rig.host.helps, 1);
    QCOMPARE(rig.host.copies, 1);
    QCOMPARE(rig.host.keysDone, 2);
  }

  void keysAfterTheLinesWereShortenedDirectly() {
    TRig rig(Numbered(10));
    rig.Click(8, 4);
    rig.doc.Lines().Clear();
    rig.doc.Lines().Add("one");
    rig.doc.Lines().Add("two");
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Up, Qt::Key_End, Qt::Key_PageDown}) rig.Key(key);
    QCOMPARE(rig.control.Caret().Line, 1);
    QCOMPARE(rig.control.Caret().Col, 3);
  }

  // ---- mouse ----

  void clickOnAHoveredJump() {
    TRig rig({"first line", "see ~Index here"});
    rig.Click(0, 3);
    QVERIFY(rig.host.focused);
    const QPoint onJump = rig.PointOf(1, 6);
    rig.control.MouseMove({}, onJump.x(), onJump.y());
    QVERIFY(rig.control.OverJump());
    QCOMPARE(rig.control.CurJump(), std::string("Index"));
    QCOMPARE(rig.host.cursor, kJumpCursor);
    const int passedOn = rig.host.clicksDone;
    rig.control.MouseDown(Qt::LeftButton, {}, onJump.x(), onJump.y());
    QCOMPARE(rig.host.jumpClicks, 1);
    QCOMPARE(rig.host.clicksDone, passedOn);  // not passed on
    QCOMPARE(rig.control.Caret().Line, 0);
    QCOMPARE(rig.control.Caret().Col, 3);
    QVERIFY(!rig.control.Selecting());
    // Off the jump the default cursor returns.
    const QPoint off = rig.PointOf(1, 1);
    rig.control.MouseMove({}, off.x(), off.y());
    QVERIFY(!rig.control.OverJump());
    QCOMPARE(rig.host.cursor, kDefaultCursor);
  }

  void hoveringAPicture() {
    TRig rig({"a ^map_01.bmp"});
    const QPoint p = rig.PointOf(0, 5);
    rig.control.MouseMove({}, p.x(), p.y());
    QVERIFY(rig.control.OverPict());
    QCOMPARE(rig.control.CurPict(), std::string("map_01.bmp"));
    QCOMPARE(rig.host.cursor, kPictCursor);
  }

  void dragSelects() {
    TRig rig(Numbered(10));
    const QPoint from = rig.PointOf(1, 2);
    const QPoint to = rig.PointOf(3, 4);
    rig.control.MouseDown(Qt::LeftButton, {}, from.x(), from.y());
    QVERIFY(rig.control.Selecting());
    rig.control.MouseMove({}, to.x(), to.y());
    rig.control.MouseUp(Qt::LeftButton, {}, to.x(), to.y());
    QVERIFY(rig.control.Selected());
    QCOMPARE(rig.control.SelStart().Line, 1);
    QCOMPARE(rig.control.SelStart().Col, 2);
    QCOMPARE(rig.control.SelEnd().Line, 3);
    QCOMPARE(rig.control.SelEnd().Col, 4);
    QCOMPARE(rig.host.clicksDone, 1);
    QVERIFY(!rig.host.autoScroll);
  }

  // Dragging below the last row starts the host's timer; each step moves on like Shift+Down, and
  // the steps stop when the pointer comes back or the text ends.
  void dragPastTheEdgeScrollsStepByStep() {
    TRig rig(Numbered(30));
    TMemoControl& c = rig.control;
    const int h = rig.metrics.Height();
    const int bottom = c.View().Client.height() - 2;
    const QPoint from = rig.PointOf(0, 1);
    c.MouseDown(Qt::LeftButton, {}, from.x(), from.y());
    c.MouseMove({}, 20, bottom);
    QVERIFY(rig.host.autoScroll);
    const int line = c.Caret().Line;
    c.AutoScrollStep();
    QCOMPARE(c.Caret().Line, line + 1);
    QCOMPARE(c.View().ScrollPos.Y, 1);
    QCOMPARE(c.SelStart().Line, 0);
    QCOMPARE(c.SelEnd(), c.Caret());
    c.MouseMove({}, 20, 5 * h);
    c.AutoScrollStep();
    QVERIFY(!rig.host.autoScroll);
    c.MouseMove({}, 20, bottom);
    QVERIFY(rig.host.autoScroll);
    for (int i = 0; i < 40 && rig.host.autoScroll; ++i) c.AutoScrollStep();
    QVERIFY(!rig.host.autoScroll);
    QCOMPARE(c.Caret().Line, 29);
    QCOMPARE(c.View().ScrollPos.Y, c.View().Range.Y);
    c.MouseUp(Qt::LeftButton, {}, 20, 5 * h);
    QVERIFY(c.Selected());
  }
};

QTEST_MAIN(TestJumpMemoControl)
#include "tst_jumpmemo_control.moc"
