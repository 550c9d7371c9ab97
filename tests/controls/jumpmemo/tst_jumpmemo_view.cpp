// The memo on the screen: painting checked on grabbed images, scrolling and the caret.
#include <QPalette>
#include <QScrollBar>
#include <QtTest>

#include "tests/controls/jumpmemo/memo_test_helpers.h"
#include "toolkit/core/dialogs.h"

using mirnax::TJumpMemo;
using mirnax::TLongPoint;
using mirnax::TPict;
using mirnax::TStringList;

namespace {

// Looks at a grabbed client area cell by cell: column and row of the memo's text grid.
class TShot {
 public:
  explicit TShot(TJumpMemo& memo)
      : memo_(memo), image_(memo.grab(memo.ClientRect()).toImage().convertToFormat(QImage::Format_RGB32)) {}

  QColor At(int x, int y) const { return QColor(image_.pixel(x, y)); }
  // Pixels of the rectangle that pass test.
  template <typename Test>
  int Count(const QRect& r, Test test) const {
    int n = 0;
    const QRect clipped = r.intersected(image_.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
      for (int x = clipped.left(); x <= clipped.right(); ++x) n += test(At(x, y)) ? 1 : 0;
    return n;
  }
  // The cells of columns [from, to) of a line, as the memo places them without scrolling.
  QRect Cells(int line, int from, int to) const {
    const std::string text = memo_.Lines().Get(line);
    const int left = TJumpMemo::LeftMargin + Width(memo_, text.substr(0, static_cast<size_t>(from)));
    const int right = TJumpMemo::LeftMargin + Width(memo_, text.substr(0, static_cast<size_t>(to)));
    return QRect(left, line * Height(memo_), right - left, Height(memo_));
  }

 private:
  TJumpMemo& memo_;
  QImage image_;
};

bool Greenish(const QColor& c) { return c.green() > c.red() + 50 && c.green() > c.blue() + 50; }
bool Bluish(const QColor& c) { return c.blue() > c.red() + 60 && c.blue() > c.green() + 60; }
bool Reddish(const QColor& c) { return c.red() > c.green() + 60 && c.red() > c.blue() + 60; }
bool Dark(const QColor& c) { return c.red() < 110 && c.green() < 110 && c.blue() < 110; }
bool White(const QColor& c) { return c == QColor(Qt::white); }

}  // namespace

inline char* toString(const TLongPoint& p) { return QTest::toString(QString("(%1, %2)").arg(p.X).arg(p.Y)); }

class TestJumpMemoView : public TMemoTestCase {
  Q_OBJECT

 private slots:

  // ---- painting ----

  void jumpIsUnderlinedInItsColourWithTheTildeHidden() {
    TJumpMemo memo;
    memo.resize(300, 100);
    memo.Add("see ~Go");
    const TShot shot(memo);
    const QRect tilde = shot.Cells(0, 4, 5);
    QCOMPARE(shot.Count(tilde, White), tilde.width() * tilde.height());
    const QRect word = shot.Cells(0, 5, 7);
    QVERIFY(shot.Count(word, Greenish) > 0);
    QCOMPARE(shot.Count(word, Dark), 0);
    // The underline: a row of the word's cells that is green from end to end.
    bool underlined = false;
    for (int y = word.top(); y <= word.bottom(); ++y)
      underlined |= shot.Count(QRect(word.left(), y, word.width(), 1), Greenish) >= word.width() - 1;
    QVERIFY(underlined);
    // Plain text stays in the text colour.
    QVERIFY(shot.Count(shot.Cells(0, 0, 3), Dark) > 0);
  }

  void pictureHasADottedFrameAndShowsUnderscoresAsDots() {
    TJumpMemo memo;
    memo.resize(300, 100);
    memo.Add("x ^a_b");
    const TShot shot(memo);
    const QFontMetrics fm(memo.font(), &memo.Buffer());
    const TPict& pict = memo.Picts().front();
    QCOMPARE(pict.Text, std::string("a_b"));
    const QRect caret = shot.Cells(0, 2, 3).adjusted(0, 0, -2, 0);  // left of the frame
    QCOMPARE(shot.Count(caret, Dark), 0);
    // The frame's top edge, one pixel either side of the name, alternates ink and gaps.
    const int left = TJumpMemo::LeftMargin + pict.Left - 1;
    const int right = TJumpMemo::LeftMargin + pict.Right + 1;
    const QRect top(left, 0, right - left + 1, 1);
    const int ink = shot.Count(top, Dark);
    QVERIFY2(ink >= top.width() / 3 && ink <= top.width() * 2 / 3, qPrintable(QString::number(ink)));
    // The "_" is drawn as ".": blue ink in its cell, none below the name's baseline.
    const QRect underscore = shot.Cells(0, 4, 5);
    QVERIFY(shot.Count(underscore, Bluish) > 0);
    const int baseline = -1 + fm.ascent();
    QCOMPARE(shot.Count(QRect(underscore.left(), baseline + 2, underscore.width(), underscore.bottom() - baseline - 2),
                        Bluish),
             0);
  }

  void highlightedWordsAndMarkerLines() {
    TJumpMemo memo;
    memo.resize(300, 100);
    AddLines(memo, {"x cat concat", "- Page 3 -"});
    TStringList words;
    words.Add("cat");
    memo.SetSelWords(words);
    const TShot shot(memo);
    QVERIFY(shot.Count(shot.Cells(0, 2, 5), Reddish) > 0);
    QCOMPARE(shot.Count(shot.Cells(0, 0, 1), Reddish), 0);
    QCOMPARE(shot.Count(shot.Cells(0, 9, 12), Reddish), 0);  // glued to "con"
    QVERIFY(shot.Count(shot.Cells(1, 0, 10), Bluish) > 0);
    QCOMPARE(shot.Count(shot.Cells(1, 0, 10), Dark), 0);
  }

  void selectionIsDrawnFromItsFirstEnd() {
    TJumpMemo memo;
    memo.resize(300, 120);
    AddLines(memo, {"aaaaaaaa", "oooooooo", "- Page 9 -", "eeeeeeee", "uuuuuuuu"});
    const int h = Height(memo);
    const auto x = [&](int col) { return TJumpMemo::LeftMargin + Width(memo, std::string(col, 'a')) + 1; };
    // Dragged from (3, 5) up to (1, 2).
    memo.MouseDown(Qt::LeftButton, {}, x(5), 3 * h + 2);
    memo.MouseMove({}, x(2), h + 2);
    memo.MouseUp(Qt::LeftButton, {}, x(2), h + 2);
    QVERIFY(memo.Selected());
    const TShot shot(memo);
    const QColor highlight = memo.palette().color(QPalette::Highlight);
    // The top pixel row of a cell is clear of these letters' ink.
    const auto lit = [&](int line, int col) {
      const QRect cell = shot.Cells(line, col, col + 1);
      return shot.At(cell.center().x(), cell.top()) == highlight;
    };
    QVERIFY(!lit(1, 1));
    QVERIFY(lit(1, 2));
    QVERIFY(lit(1, 7));
    QVERIFY(!lit(2, 3));  // the page-marker line stays blue on the background
    QVERIFY(shot.Count(shot.Cells(2, 0, 10), Bluish) > 0);
    QVERIFY(lit(3, 0));
    QVERIFY(lit(3, 4));
    QVERIFY(!lit(3, 5));
    QVERIFY(!lit(0, 3));
    QVERIFY(!lit(4, 0));
  }

  void caretStandsAfterTheCharactersLeftOfIt() {
    TJumpMemo memo;
    memo.resize(300, 100);
    memo.Add("abc");
    memo.show();
    memo.activateWindow();
    memo.setFocus();
    QTRY_VERIFY(memo.hasFocus());
    memo.MouseDown(Qt::LeftButton, {}, 150, 2);  // right of the line: after its last character
    memo.MouseUp(Qt::LeftButton, {}, 0, 0);
    QVERIFY(memo.CaretShown());
    const int x = TJumpMemo::LeftMargin + Width(memo, "abc");
    QCOMPARE(memo.CaretPos(), QPoint(x, 1));
    const TShot shot(memo);
    const int h = memo.CharSize().y();
    // 2 pixels wide and CharSize.Y high, one pixel below the row's top: its pixels are inverted.
    QCOMPARE(shot.Count(QRect(x, 1, 2, h), [](const QColor& c) { return !White(c); }), 2 * h);
    QCOMPARE(shot.Count(QRect(x, 0, 2, 1), Dark), 0);
    // Without the focus there is no caret.
    memo.clearFocus();
    QVERIFY(!memo.CaretShown());
  }

  void emptyText() {
    TJumpMemo memo;
    memo.resize(200, 100);
    AddLines(memo, Numbered(100));
    memo.ScrollTo(0, 50);
    memo.Clear();
    QCOMPARE(memo.ScrollPos(), TLongPoint{});
    QCOMPARE(memo.CaretPos(), QPoint(4, 1));
    const TShot shot(memo);
    QCOMPARE(shot.Count(QRect(0, 0, 100, 50), White), 100 * 50);
  }

  // ---- scrolling ----

  void scrollCommands_data() {
    QTest::addColumn<int>("bar");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("pos");
    QTest::addColumn<TLongPoint>("expected");  // from (10, 20)
    QTest::newRow("line down") << 1 << 1 << 0 << TLongPoint{10, 21};
    QTest::newRow("line up") << 1 << 0 << 0 << TLongPoint{10, 19};
    QTest::newRow("page down") << 1 << 3 << 0 << TLongPoint{10, 30};
    QTest::newRow("thumb") << 1 << 5 << 44 << TLongPoint{10, 44};
    QTest::newRow("top") << 1 << 6 << 0 << TLongPoint{10, 0};
    QTest::newRow("bottom shows the last rows") << 1 << 7 << 0 << TLongPoint{10, 90};
    QTest::newRow("end of scroll") << 1 << 8 << 0 << TLongPoint{10, 20};
    QTest::newRow("beyond the range") << 1 << 4 << 1000 << TLongPoint{10, 90};
    QTest::newRow("half the columns a page") << 0 << 3 << 0 << TLongPoint{15, 20};
    QTest::newRow("left page") << 0 << 2 << 0 << TLongPoint{5, 20};
    QTest::newRow("no such bar") << 2 << 1 << 0 << TLongPoint{10, 20};
  }
  void scrollCommands() {
    QFETCH(int, bar);
    QFETCH(int, code);
    QFETCH(int, pos);
    QFETCH(TLongPoint, expected);
    TJumpMemo memo;
    memo.SetBorder(false);
    memo.resize(11 * memo.CharSize().x(), 10 * memo.CharSize().y());
    AddLines(memo, std::vector<std::string>(100, std::string(200, 'x')));
    QCOMPARE(memo.VisibleRows(), 10);
    QCOMPARE(memo.Range(), (TLongPoint{200 - 11 + 1, 90}));
    memo.ScrollTo(10, 20);
    memo.DoScroll(bar, code, pos);
    QCOMPARE(memo.ScrollPos(), expected);
  }

  void shortTextAndScrollBars() {
    TJumpMemo memo;
    memo.ChangeScrollBars(TJumpMemo::ssBoth);
    memo.Add("one");
    QCOMPARE(memo.Range().Y, 0);
    memo.DoScroll(1, 1, 0);
    QCOMPARE(memo.ScrollPos().Y, 0);
    const auto bars = memo.findChildren<QScrollBar*>();
    QCOMPARE(bars.size(), 2);
    for (const QScrollBar* bar : bars) {
      QVERIFY(bar->isVisibleTo(&memo));
      QCOMPARE(bar->maximum(), 1);
    }
    // The bars take room from the client area; the text and positions stay.
    QVERIFY(memo.ClientRect().width() < memo.width() - 10);
    memo.ChangeScrollBars(TJumpMemo::ssNone);
    for (const QScrollBar* bar : bars) QVERIFY(!bar->isVisibleTo(&memo));
    QCOMPARE(memo.Lines().Get(0), std::string("one"));
  }

  void scrollBarMovesTheView() {
    TJumpMemo memo;
    memo.ChangeScrollBars(TJumpMemo::ssVertical);
    AddLines(memo, Numbered(100));
    QScrollBar* bar = nullptr;
    for (QScrollBar* each : memo.findChildren<QScrollBar*>())
      if (each->orientation() == Qt::Vertical) bar = each;
    QVERIFY(bar);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(memo.ScrollPos().Y, memo.VisibleRows());
    QCOMPARE(bar->value(), memo.VisibleRows());
    memo.DoScroll(1, 7, 0);
    QCOMPARE(bar->value(), memo.Range().Y);
  }

  void shorterTextStartsAtTheTop() {
    const std::string path = WriteFile("short.txt", "a\nb\nc\n");
    TJumpMemo memo;
    AddLines(memo, Numbered(300));
    memo.ScrollTo(3, 250);
    memo.LoadFromFile(path);
    QCOMPARE(memo.ScrollPos(), TLongPoint{});
    QCOMPARE(memo.Caret().Row, 0);
    QCOMPARE(memo.CaretPos(), QPoint(4, 1));
  }

  void resizeKeepsTheCaretOnItsLine() {
    TJumpMemo memo;
    memo.resize(200, 20 * memo.CharSize().y());
    AddLines(memo, Numbered(100));
    memo.MouseDown(Qt::LeftButton, {}, 10, 15 * memo.CharSize().y() + 2);
    memo.MouseUp(Qt::LeftButton, {}, 0, 0);
    QCOMPARE(memo.Caret().Line, 15);
    memo.show();  // a hidden widget gets its resize when shown
    memo.resize(200, 5 * memo.CharSize().y() + 2);
    QCOMPARE(memo.Caret().Line, 15);
    QCOMPARE(memo.Caret().Row, memo.LinesPerPage() - 1);
    QCOMPARE(memo.ScrollPos().Y, 15 - memo.LinesPerPage() + 1);
  }

  // The word look-up measures from PixelOffset, which follows sideways scrolling.
  void getWordFollowsSidewaysScrolling() {
    TJumpMemo memo;
    memo.SetBorder(false);
    memo.resize(8 * memo.CharSize().x(), 3 * memo.CharSize().y());
    memo.Add("aaaa bbbb cccc dddd eeee");
    memo.ScrollTo(5, 0);
    QCOMPARE(memo.ScrollPos().X, 5);
    const int cell = memo.CharSize().x();
    QCOMPARE(memo.GetWord(TJumpMemo::LeftMargin + cell / 2, 2), std::string("bbbb"));
    QCOMPARE(memo.GetWord(TJumpMemo::LeftMargin + 6 * cell, 2), std::string("cccc"));
  }
};

QTEST_MAIN(TestJumpMemoView)
#include "tst_jumpmemo_view.moc"
