// The memo's text model: construction, loading, the markup scan, page markers and look-ups.
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>
#include <string>
#include <vector>

#include "controls/jumpmemo/jumpmemo.h"
#include "controls/jumpmemo/text_primitives.h"
#include "tests/controls/jumpmemo/memo_test_helpers.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/widgets/cp1251.h"
#include "toolkit/widgets/cursor_table.h"

using mirnax::Cursors;
using mirnax::IsWordChar;
using mirnax::TColor;
using mirnax::TJump;
using mirnax::TJumpMemo;
using mirnax::TLongPoint;
using mirnax::TPict;
using mirnax::TPositionInfo;
using mirnax::TStringList;
using mirnax::crIBeam;
using mirnax::mtError;

namespace {

using Strings = std::vector<std::string>;

}  // namespace

inline char* toString(const TLongPoint& p) { return QTest::toString(QString("(%1, %2)").arg(p.X).arg(p.Y)); }
char* toString(const TPositionInfo& p) {
  return QTest::toString(QString("line %1 row %2 col %3 len %4").arg(p.Line).arg(p.Row).arg(p.Col).arg(p.Len));
}

Q_DECLARE_METATYPE(Strings)
Q_DECLARE_METATYPE(std::vector<int>)
Q_DECLARE_METATYPE(mirnax::TLongPoint)

class TestJumpMemoText : public TMemoTestCase {
  Q_OBJECT

 private slots:

  void constructionDefaults() {
    TJumpMemo memo;
    QVERIFY(memo.Border());
    QCOMPARE(memo.font().family(), QString("Courier New"));
    QCOMPARE(memo.font().pointSize(), 10);
    QCOMPARE(memo.Color(), TColor{0xFFFFFF});
    QCOMPARE(memo.SelWords().Count(), 0);
    QCOMPARE(memo.SelectColor(), TColor{0x0000FF});
    QCOMPARE(memo.JumpColor(), TColor{0x008000});
    QCOMPARE(memo.TextColor(), TColor{0});
    QCOMPARE(memo.JumpPointLength(), 7);
    QVERIFY(!memo.UseJumpPointLength());
    QCOMPARE(memo.HelpContext(), 0);
    QCOMPARE(memo.Pagemarker(), std::string("Page"));
    QCOMPARE(memo.ScrollBars(), TJumpMemo::ssNone);
    QVERIFY(!memo.ShowPages());
    QVERIFY(!memo.TabStop());
    QCOMPARE(memo.size(), QSize(200, 200));
    QCOMPARE(memo.cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(memo.DefaultCursor(), crIBeam);
    QCOMPARE(memo.Caret(), TPositionInfo{});
    QCOMPARE(memo.SelStart(), TPositionInfo{});
    QVERIFY(!memo.Selecting() && !memo.Selected() && !memo.OverJump() && !memo.OverPict());
    QCOMPARE(memo.CharSize(), QPoint(QFontMetrics(memo.font(), &memo.Buffer()).averageCharWidth(), Height(memo)));
    // The published properties are reachable by name, as a designer reaches them.
    QCOMPARE(memo.property("Pagemarker").value<std::string>(), std::string("Page"));
    QVERIFY(memo.setProperty("JumpColorValue", 0x00FF00u));
    QCOMPARE(memo.JumpColor(), TColor{0x00FF00});
    QVERIFY(dialogs_.Calls.empty());
  }

  void defaultFontIsMetricCompatibleMono() {
    TJumpMemo memo;
    const QFontInfo info(memo.font());
    qInfo("\"Courier New\" 10 resolves to %s, %d px", qPrintable(info.family()), info.pixelSize());
    QVERIFY(info.fixedPitch());
    QCOMPARE(Width(memo, "~"), Width(memo, "W"));
  }

  void hoverCursorsAreRegistered() {
    TJumpMemo memo;
    QCOMPARE(memo.JumpCursor(), 1);
    QCOMPARE(memo.PictCursor(), 2);
    for (const int index : {1, 2}) {
      QVERIFY(Cursors().Registered(index));
      QCOMPARE(Cursors().Cursor(index).shape(), Qt::BitmapCursor);
      QVERIFY(!Cursors().Cursor(index).pixmap().isNull());
    }
    QVERIFY(Cursors().Cursor(1).pixmap().toImage() != Cursors().Cursor(2).pixmap().toImage());
  }

  void widthsFollowTheFontsOwnMeasure_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("one tilde") << QByteArray("~");
    QTest::newRow("ascii") << QByteArray("x ~A ~B and (more) text_01.bmp");
    QTest::newRow("cyrillic") << QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8\xB9");
    QTest::newRow("long") << QByteArray(300, 'm');
    QTest::newRow("empty") << QByteArray();
  }
  void widthsFollowTheFontsOwnMeasure() {
    QFETCH(QByteArray, text);
    TJumpMemo memo;
    const std::string_view s(text.constData(), static_cast<size_t>(text.size()));
    QCOMPARE(memo.TextWidth(s), Width(memo, s));
    QFont bigger("Courier New", 13);
    memo.SetFont(bigger);
    QCOMPARE(memo.TextWidth(s), Width(memo, s));
  }

  // Every byte value occupies one character cell when drawn and measured: control bytes and the
  // soft hyphen, which Qt would otherwise draw with no width, included.
  void everyByteTakesOneCell() {
    TJumpMemo memo;
    const int run = 100;
    const int expected = Width(memo, std::string(run, ' '));
    for (int b = 0; b < 256; ++b)
      QVERIFY2(memo.TextWidth(std::string(run, static_cast<char>(b))) == expected,
               qPrintable(QString("byte 0x%1").arg(b, 2, 16, QChar('0'))));
  }

  // Column c of a line starts c cells of CharSize.X right of the line's origin, which scrolling by
  // columns, the scroll range and the caret rely on; fractional advances drift off that grid.
  void textStaysOnTheCharacterGrid_data() {
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("throughSetFont");  // else through QWidget::setFont, as a QWidget pointer does
    QTest::newRow("default font") << 10 << true;
    QTest::newRow("13 pt, SetFont") << 13 << true;
    QTest::newRow("20 pt, QWidget::setFont") << 20 << false;
  }
  void textStaysOnTheCharacterGrid() {
    QFETCH(int, pointSize);
    QFETCH(bool, throughSetFont);
    TJumpMemo memo;
    const QFont font("Courier New", pointSize);
    if (throughSetFont)
      memo.SetFont(font);
    else
      static_cast<QWidget&>(memo).setFont(font);
    const int cell = memo.CharSize().x();
    for (const int n : {1, 7, 100, 1000}) QCOMPARE(Width(memo, std::string(n, 'm')), n * cell);
    // Scrolled 200 columns to the right, the caret at column 200 stands at the left margin.
    memo.Add(std::string(300, 'm'));
    memo.ScrollTo(200, 0);
    QCOMPARE(memo.ScrollPos().X, 200);
    memo.MouseDown(Qt::LeftButton, {}, TJumpMemo::LeftMargin + 1, 1);  // on the first visible cell
    QCOMPARE(memo.Caret().Col, 200);
    QCOMPARE(memo.CaretPos().x(), TJumpMemo::LeftMargin);
  }

  // ---- markup ----

  void jumpsInALine_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<Strings>("words");
    QTest::addColumn<Strings>("prefixes");  // the line up to and including each marker

    QTest::newRow("at line start") << QByteArray("~Start here") << Strings{"Start"} << Strings{"~"};
    QTest::newRow("two after spaces") << QByteArray("x ~A ~B") << Strings{"A", "B"} << Strings{"x ~", "x ~A ~"};
    QTest::newRow("glued first hides the rest") << QByteArray("x~A ~B") << Strings{} << Strings{};
    QTest::newRow("glued later one stops the line")
        << QByteArray("~a b~c ~d") << Strings{"a"} << Strings{"~"};
    QTest::newRow("non-word character after tilde") << QByteArray("~ abc") << Strings{""} << Strings{"~"};
    QTest::newRow("tilde at the very end") << QByteArray("see ~") << Strings{""} << Strings{"see ~"};
    QTest::newRow("word stops at a non-word character")
        << QByteArray("(~Index.html)") << Strings{"Index"} << Strings{"(~"};
    QTest::newRow("cyrillic word") << QByteArray("\xF1\xEC. ~\xCF\xF0\xE8\xEC\xE5\xF0")
                                   << Strings{"\xCF\xF0\xE8\xEC\xE5\xF0"} << Strings{"\xF1\xEC. ~"};
    QTest::newRow("double tilde") << QByteArray("~~A") << Strings{""} << Strings{"~"};
    QTest::newRow("no marker") << QByteArray("plain text") << Strings{} << Strings{};
  }
  void jumpsInALine() {
    QFETCH(QByteArray, line);
    QFETCH(Strings, words);
    QFETCH(Strings, prefixes);
    TJumpMemo memo;
    memo.Add("first line");
    memo.Add(line.toStdString());
    QCOMPARE(int(memo.Jumps().size()), int(words.size()));
    const int h = Height(memo);
    for (size_t i = 0; i < words.size(); ++i) {
      const TJump& jump = memo.Jumps()[i];
      QCOMPARE(jump.Text, words[i]);
      QCOMPARE(jump.Line, 1);
      QCOMPARE(jump.Left, Width(memo, prefixes[i]));
      QCOMPARE(jump.Right, jump.Left + Width(memo, words[i]));
      QCOMPARE(jump.Top, h);
      QCOMPARE(jump.Bottom, 2 * h);
    }
    QVERIFY(memo.Picts().empty());
  }

  void picturesInALine_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<Strings>("names");
    QTest::addColumn<Strings>("prefixes");

    QTest::newRow("name with dot and underscore")
        << QByteArray("^map_01.bmp") << Strings{"map_01.bmp"} << Strings{"^"};
    QTest::newRow("caret alone") << QByteArray("^") << Strings{""} << Strings{"^"};
    QTest::newRow("two pictures") << QByteArray("a ^x.png, ^y") << Strings{"x.png", "y"}
                                  << Strings{"a ^", "a ^x.png, ^"};
    QTest::newRow("glued") << QByteArray("a^b ^c") << Strings{} << Strings{};
    QTest::newRow("beside a jump") << QByteArray("~go ^pic_1") << Strings{"pic_1"} << Strings{"~go ^"};
  }
  void picturesInALine() {
    QFETCH(QByteArray, line);
    QFETCH(Strings, names);
    QFETCH(Strings, prefixes);
    TJumpMemo memo;
    memo.Add(line.toStdString());
    QCOMPARE(int(memo.Picts().size()), int(names.size()));
    for (size_t i = 0; i < names.size(); ++i) {
      const TPict& pict = memo.Picts()[i];
      QCOMPARE(pict.Text, names[i]);
      QCOMPARE(pict.Line, 0);
      QCOMPARE(pict.Left, Width(memo, prefixes[i]));
      QCOMPARE(pict.Right, pict.Left + Width(memo, names[i]));
      QCOMPARE(pict.Bottom, pict.Top + Height(memo));
    }
    // Picture names never become jump words.
    QCOMPARE(memo.JumpWords().Count(), line.contains('~') ? 1 : 0);
  }

  void jumpWordsAreDistinctAndSorted() {
    TJumpMemo memo;
    SetText(memo, {"~Zeta and ~alpha", "again ~Zeta", "~ALPHA ^Zeta", "~mid", "~zeta"});
    memo.ReadJumps();
    QCOMPARE(int(memo.Jumps().size()), 6);
    QCOMPARE(memo.Jumps()[2].Line, 1);
    QCOMPARE(memo.Jumps()[2].Text, std::string("Zeta"));
    // One entry per word, letter case ignored, the first spelling kept.
    QCOMPARE(memo.JumpWords().Count(), 3);
    QCOMPARE(memo.JumpWords().Get(0), std::string("alpha"));
    QCOMPARE(memo.JumpWords().Get(1), std::string("mid"));
    QCOMPARE(memo.JumpWords().Get(2), std::string("Zeta"));
  }

  void rectanglesAreInDocumentCoordinates() {
    TJumpMemo memo;
    memo.resize(120, 60);
    Strings lines = Numbered(99);
    lines[70] = "at ~seventy, with enough text after it to scroll sideways";
    SetText(memo, lines);
    memo.Add("line 99");
    memo.ScrollTo(3, 60);
    QCOMPARE(memo.ScrollPos(), (TLongPoint{3, 60}));
    memo.FontChanged();  // rescans while scrolled
    QCOMPARE(memo.ScrollPos().X, 0);
    QCOMPARE(int(memo.Jumps().size()), 1);
    QCOMPARE(memo.Jumps()[0].Top, 70 * Height(memo));
    QCOMPARE(memo.Jumps()[0].Left, Width(memo, "at ~"));
  }

  void markupOptionsDoNotLimitTheScan() {
    TJumpMemo memo;
    memo.Add("~averyveryverylongword");
    memo.SetJumpPointLength(2);
    memo.SetUseJumpPointLength(true);
    QCOMPARE(memo.Jumps().size(), size_t{1});
    QCOMPARE(memo.Jumps()[0].Text, std::string("averyveryverylongword"));
  }

  void fontChangeRemeasures() {
    TJumpMemo memo;
    memo.Add("ab ~cd");
    const int before = memo.Jumps()[0].Left;
    memo.SetFont(QFont("Courier New", 20));
    QVERIFY(memo.Jumps()[0].Left > before);
    QCOMPARE(memo.Jumps()[0].Left, Width(memo, "ab ~"));
    QCOMPARE(memo.CharSize().y(), Height(memo));
  }

  void hitTest_data() {
    QTest::addColumn<TLongPoint>("scroll");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("hit");
    // The word spans 16..40 across and 30..45 down in the document; cells are 8 x 15.
    QTest::newRow("left edge") << TLongPoint{0, 0} << 20 << 30 << true;
    QTest::newRow("right edge") << TLongPoint{0, 0} << 44 << 45 << true;
    QTest::newRow("left of it") << TLongPoint{0, 0} << 19 << 35 << false;
    QTest::newRow("right of it") << TLongPoint{0, 0} << 45 << 35 << false;
    QTest::newRow("above") << TLongPoint{0, 0} << 30 << 29 << false;
    QTest::newRow("below") << TLongPoint{0, 0} << 30 << 46 << false;
    QTest::newRow("scrolled: left edge moves") << TLongPoint{2, 1} << 4 << 15 << true;
    QTest::newRow("scrolled: old place misses") << TLongPoint{2, 1} << 44 << 45 << false;
    QTest::newRow("scrolled: bottom edge") << TLongPoint{2, 1} << 28 << 30 << true;
  }
  void hitTest() {
    QFETCH(TLongPoint, scroll);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, hit);
    const TJump jump("word", 2, 16, 30, 24, 15);
    QCOMPARE(jump.Right, 40);
    QCOMPARE(jump.Bottom, 45);
    QCOMPARE(jump.OnMe(x, y, scroll, QPoint(8, 15)), hit);
    const TPict pict("word", 2, 16, 30, 24, 15);
    QCOMPARE(pict.OnMe(x, y, scroll, QPoint(8, 15)), hit);
  }

  // ---- loading ----

  void loadFromFileScansAndResets() {
    TJumpMemo memo;
    memo.Add("old ~text");
    const std::string path = WriteFile("doc.txt", "first ~one\r\nsecond ^pic\rthird\n~last");
    memo.LoadFromFile(path);
    QCOMPARE(LinesOf(memo), (Strings{"first ~one", "second ^pic", "third", "~last"}));
    QCOMPARE(int(memo.Jumps().size()), 2);
    QCOMPARE(memo.Jumps()[1].Line, 3);
    QCOMPARE(int(memo.Picts().size()), 1);
    QCOMPARE(memo.Caret().Line, 0);
    QCOMPARE(memo.Caret().Col, 0);
    QCOMPARE(memo.Caret().Len, 10);
    QCOMPARE(memo.SelStart(), memo.Caret());
    QCOMPARE(memo.SelEnd(), memo.Caret());
    QVERIFY(memo.MaxLenValid());
    QCOMPARE(memo.MaxLineLength(), 11);
    QVERIFY(dialogs_.Calls.empty());
  }

  void loadingAnUnreadableFileReportsAndGoesOn_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("missing") << "no-such-file.txt";
    QTest::newRow("a folder") << ".";
  }
  void loadingAnUnreadableFileReportsAndGoesOn() {
    QFETCH(QString, name);
    TJumpMemo memo;
    memo.SetShowPages(true);
    memo.Add("~before");
    memo.LoadFromFile(dir_.filePath(name).toStdString());
    QCOMPARE(int(dialogs_.Calls.size()), 1);
    QCOMPARE(dialogs_.Calls[0].Kind, std::string("Message"));
    QCOMPARE(dialogs_.Calls[0].Text, std::string("Не могу загрузить документ из файла !"));
    QCOMPARE(dialogs_.Calls[0].Caption, std::string("Ошибка"));
    QCOMPARE(dialogs_.Calls[0].Type, mtError);
    // The rest of the load ran on the empty text: one page marker, no jumps, caret at the start.
    QCOMPARE(LinesOf(memo), (Strings{"- Page 1 -"}));
    QVERIFY(memo.Jumps().empty());
    QVERIFY(memo.JumpWords().Count() == 0);
    QCOMPARE(memo.Caret(), (TPositionInfo{0, 0, 0, 10}));
  }

  void everyByteValueLoads() {
    // Each line: one byte value, then a marker; CR and LF end lines and are left out.
    std::string file;
    std::vector<int> values;
    for (int b = 0; b < 256; ++b) {
      if (b == '\r' || b == '\n') continue;
      values.push_back(b);
      file += static_cast<char>(b);
      file += "~w\r\n";
    }
    TJumpMemo memo;
    memo.LoadFromFile(WriteFile("bytes.txt", file));
    QVERIFY(dialogs_.Calls.empty());
    QCOMPARE(memo.Lines().Count(), int(values.size()));
    size_t expectedJumps = 0;
    for (size_t i = 0; i < values.size(); ++i) {
      const std::string line = memo.Lines().Get(int(i));
      QCOMPARE(line.size(), size_t{3});
      QCOMPARE(static_cast<unsigned char>(line[0]), static_cast<unsigned char>(values[i]));
      // The marker counts unless glued to a word character; a tilde before it is a marker too.
      if (!IsWordChar(static_cast<unsigned char>(values[i]))) ++expectedJumps;
    }
    QCOMPARE(memo.Jumps().size(), expectedJumps);
    for (const TJump& jump : memo.Jumps()) {
      const unsigned char first = static_cast<unsigned char>(memo.Lines().View(jump.Line)[0]);
      QCOMPARE(jump.Text, std::string(first == '~' ? "" : "w"));
      // The word starts after one or two cells, and every byte takes one cell (as a blank does).
      QCOMPARE(jump.Left, Width(memo, first == '~' ? " " : "  "));
    }
  }

  void crOnlyLineEnds() {
    TJumpMemo memo;
    memo.LoadFromFile(WriteFile("cr.txt", "one\rtwo ~x\r\rfour\r"));
    QCOMPARE(LinesOf(memo), (Strings{"one", "two ~x", "", "four"}));
    QCOMPARE(memo.Jumps().size(), size_t{1});
    QCOMPARE(memo.Jumps()[0].Line, 1);
  }

  void veryLongLine() {
    std::string line;
    for (int i = 0; i < 9999; ++i) line += "abc ~w" + std::to_string(i % 10) + "xy ";
    line.resize(100000 - 2, 'z');
    line += " ~";  // a marker at the very end
    TJumpMemo memo;
    memo.LoadFromFile(WriteFile("long.txt", "short ^a.bmp\n" + line + "\n"));
    QCOMPARE(memo.MaxLineLength(), 100000);
    QCOMPARE(memo.Jumps().size(), size_t{9999 + 1});
    const TJump& last = memo.Jumps().back();
    QCOMPARE(last.Text, std::string());
    QCOMPARE(last.Left, Width(memo, line));
    const TJump& middle = memo.Jumps()[5000];
    QCOMPARE(middle.Text, std::string("w0xy"));
    QCOMPARE(middle.Left, Width(memo, std::string_view(line).substr(0, 5000 * 10 + 5)));
    QCOMPARE(memo.JumpWords().Count(), 11);  // ten words and the empty one
    QCOMPARE(memo.GetPos("W9XY", 0), 1);
    // The buffer stays the size of the client area.
    QCOMPARE(memo.Buffer().width(), memo.ClientRect().width());
  }

  void linesAloneLoadOnlyLines() {
    // The window's hidden memo is used as a line container only.
    TJumpMemo memo;
    memo.SetShowPages(true);
    const std::string path = WriteFile("world.scp", "[WORLDITEM 1]\r\nID=~0x0E75\r\nP=^1 2 3\r\n");
    memo.Lines().LoadFromFile(path);
    QCOMPARE(memo.Lines().Count(), 3);
    QCOMPARE(memo.Lines().Get(1), std::string("ID=~0x0E75"));
    QVERIFY(memo.Jumps().empty());
    QVERIFY(memo.Picts().empty());
  }

  // ---- Add and Clear ----

  void addAppendsAndScans() {
    TJumpMemo memo;
    memo.Add("plain");
    memo.Add("with ~link");
    QCOMPARE(LinesOf(memo), (Strings{"plain", "with ~link"}));
    QCOMPARE(memo.Jumps().size(), size_t{1});
    QCOMPARE(memo.Jumps()[0].Line, 1);
    QCOMPARE(memo.MaxLineLength(), 10);
  }

  void clearEmptiesEverything() {
    TJumpMemo memo;
    TStringList words;
    words.Add("alpha");
    memo.SetSelWords(words);
    QCOMPARE(memo.SelWords().Count(), 1);
    memo.Add("~a ^b");
    memo.Clear();
    QCOMPARE(memo.Lines().Count(), 0);
    QVERIFY(memo.Jumps().empty());
    QVERIFY(memo.Picts().empty());
    QCOMPARE(memo.JumpWords().Count(), 0);
    QCOMPARE(memo.SelWords().Count(), 0);
    QCOMPARE(memo.Caret(), TPositionInfo{});
    QCOMPARE(memo.CaretPos(), QPoint(4, 1));
    memo.SetShowPages(true);
    memo.Add("x");
    memo.Clear();
    QCOMPARE(LinesOf(memo), (Strings{"- Page 1 -"}));
  }

  // ---- look-ups ----

  void getPos_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");
    QTest::newRow("Latin capitals") << QByteArray("cab") << 0 << 1;
    QTest::newRow("Cyrillic look-alike") << QByteArray("cab") << 2 << 2;
    QTest::newRow("inside a word") << QByteArray("cab") << 3 << 3;
    QTest::newRow("Cyrillic word, Latin text") << QByteArray("\xF1\xE0\xE2") << 0 << 1;
    QTest::newRow("none: from comes back") << QByteArray("zzz") << 0 << 0;
    QTest::newRow("none after from") << QByteArray("cab") << 4 << 4;
    QTest::newRow("from past the end") << QByteArray("cab") << 99 << 99;
    QTest::newRow("empty word") << QByteArray("") << 1 << 1;
  }
  void getPos() {
    QFETCH(QByteArray, word);
    QFETCH(int, from);
    QFETCH(int, expected);
    TJumpMemo memo;
    SetText(memo, {"nothing here", "the CAB file", "\xD1\xC0\xC2 in Cyrillic", "vocabulary", "end"});
    QCOMPARE(memo.GetPos(word.toStdString(), from), expected);
  }

  void getWord_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");  // 0-based character under the point
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("first word") << 0 << 2 << QByteArray("hello");
    QTest::newRow("second word") << 0 << 8 << QByteArray("world");
    QTest::newRow("on a separator") << 0 << 5 << QByteArray(" ");
    QTest::newRow("dot separates") << 1 << 8 << QByteArray("html");
    QTest::newRow("underscore separates") << 1 << 0 << QByteArray("map");
    QTest::newRow("jump marker belongs to the word") << 2 << 5 << QByteArray("~jump");
    QTest::newRow("cyrillic") << 3 << 1 << QByteArray("\xF1\xEB\xEE\xE2\xEE");
  }
  void getWord() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QByteArray, expected);
    TJumpMemo memo;
    SetText(memo, {"hello world", "map_01.html", "see ~jump;", "\xF1\xEB\xEE\xE2\xEE"});
    const std::string text = memo.Lines().Get(line);
    // Middle of the character's cell; the text starts at the margin's left.
    const int x = Width(memo, text.substr(0, column)) + Width(memo, text.substr(column, 1)) / 2;
    const int y = line * Height(memo) + Height(memo) / 2;
    QCOMPARE(memo.GetWord(x, y), expected.toStdString());
  }

  void getWordOutsideTheText() {
    TJumpMemo memo;
    memo.Add("~short");
    memo.Add("");
    const auto hoverTheJump = [&] {
      memo.MouseMove({}, TJumpMemo::LeftMargin + Width(memo, "~s"), 2);
      QVERIFY(memo.OverJump());
      QCOMPARE(memo.cursor().pixmap().toImage(), Cursors().Cursor(memo.JumpCursor()).pixmap().toImage());
    };
    hoverTheJump();
    QCOMPARE(memo.GetWord(2, 5 * Height(memo)), std::string(" "));
    QVERIFY(!memo.OverJump());
    QCOMPARE(memo.cursor().shape(), Qt::IBeamCursor);
    hoverTheJump();
    QCOMPARE(memo.GetWord(Width(memo, "~short") + 5, 2), std::string(" "));  // right of the line
    QVERIFY(!memo.OverJump());
    QCOMPARE(memo.GetWord(2, Height(memo) + 2), std::string(" "));  // empty line
    QCOMPARE(memo.GetWord(2, -3 * Height(memo)), std::string(" "));
  }

  // ---- painting ----

  void paintsTheVisibleLines() {
    TJumpMemo memo;
    memo.SetBorder(false);
    memo.resize(160, 4 * Height(memo));
    memo.Add("MMMM");
    memo.SetShowPages(true);  // a blue marker line, then the text
    const QImage image = memo.grab().toImage();
    const int h = Height(memo);
    // Counts the pixels of one text row that satisfy test.
    auto count = [&](int row, auto test) {
      int n = 0;
      for (int y = row * h; y < (row + 1) * h; ++y)
        for (int x = 0; x < image.width(); ++x) n += test(QColor(image.pixel(x, y)));
      return n;
    };
    const auto bluish = [](const QColor& c) { return c.blue() > c.red() + 60 && c.blue() > c.green() + 60; };
    const auto dark = [](const QColor& c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; };
    const auto white = [](const QColor& c) { return c == QColor(Qt::white); };
    QVERIFY(count(0, bluish) > 0);
    QCOMPARE(count(1, bluish), 0);
    QVERIFY(count(1, dark) > 0);
    QCOMPARE(count(2, white), image.width() * h);
    // The text starts at the left margin (antialiasing may reach one pixel left of it).
    for (int y = h; y < 2 * h; ++y)
      for (int x = 0; x < TJumpMemo::LeftMargin - 1; ++x) QCOMPARE(QColor(image.pixel(x, y)), QColor(Qt::white));
  }
};

QTEST_MAIN(TestJumpMemoText)
#include "tst_jumpmemo_text.moc"
