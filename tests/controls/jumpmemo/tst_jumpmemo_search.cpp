// The memo's whole-text operations: Search, GotoWord, the clipboard and printing.
#include <QClipboard>
#include <QGuiApplication>
#include <QPrinter>
#include <QtTest>

#include "tests/controls/jumpmemo/memo_test_helpers.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/widgets/printer.h"

using mirnax::Exception;
using mirnax::FileExists;
using mirnax::Printer;
using mirnax::ReadWholeFile;
using mirnax::TJumpMemo;
using mirnax::TPositionInfo;

namespace {

// Pages of a PDF file: its page objects.
int PdfPages(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray pdf = file.readAll();
  return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
                          pdf.count("/Type /Page "));
}

}  // namespace

class TestJumpMemoSearch : public TMemoTestCase {
  Q_OBJECT

 private slots:

  // ---- search ----

  void searchWalksTheAcceptedMatches() {
    TJumpMemo memo;
    AddLines(memo, {"ab xab ab", "zz", "yy ab"});
    int selects = 0, deselects = 0;
    memo.OnSelect = [&](QObject*) { ++selects; };
    memo.OnDeSelect = [&](QObject*) { ++deselects; };
    QVERIFY(memo.Search("ab", true));
    QVERIFY(memo.Selected());
    QCOMPARE(memo.SelStart().Line, 0);
    QCOMPARE(memo.SelStart().Col, 0);
    QCOMPARE(memo.Caret().Col, 2);
    QCOMPARE(memo.SelEnd(), memo.Caret());
    // The next candidate on the line is glued to "x": the search goes on below.
    QVERIFY(memo.Search("ab", true));
    QCOMPARE(memo.SelStart().Line, 2);
    QCOMPARE(memo.SelStart().Col, 3);
    QCOMPARE(memo.Caret().Col, 5);
    QVERIFY(!memo.Search("ab", true));
    QVERIFY(!memo.Selected());
    QCOMPARE(selects, 2);
    QCOMPARE(deselects, 3);
    // Back up: each line is still searched left to right.
    memo.GotoWord("zz", 0, true);
    QVERIFY(memo.Search("ab", false));
    QCOMPARE(memo.SelStart().Line, 0);
    QCOMPARE(memo.SelStart().Col, 0);
  }

  void searchFoldsCaseAndScript() {
    TJumpMemo memo;
    AddLines(memo, {"none", "x CAB", "\xD1\xC0\xC2 y"});  // the second: Cyrillic look-alikes
    QVERIFY(memo.Search("cab", true));
    QCOMPARE(memo.Caret().Line, 1);
    QVERIFY(memo.Search("cab", true));
    QCOMPARE(memo.Caret().Line, 2);
    QVERIFY(!memo.Search("", true));
  }

  // Wherever the match lies, the view brings it in and the match itself is selected, so that a copy
  // takes it.
  void searchSelectsTheMatchWhereverItLies_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("forward");
    QTest::newRow("in view") << 3 << 4 << true;
    QTest::newRow("below the view") << 70 << 4 << true;
    QTest::newRow("right of the view") << 5 << 60 << true;
    QTest::newRow("below and right") << 80 << 60 << true;
    QTest::newRow("above the view, going back") << 10 << 4 << false;
  }
  void searchSelectsTheMatchWhereverItLies() {
    QFETCH(int, line);
    QFETCH(int, col);
    QFETCH(bool, forward);
    TJumpMemo memo;
    memo.resize(200, 10 * memo.CharSize().y() + 2);
    std::vector<std::string> lines = Numbered(100);
    lines[line] = std::string(static_cast<size_t>(col), ' ') + "needle and more";
    lines[95] = "end";
    AddLines(memo, lines);
    if (!forward) QCOMPARE(memo.GotoWord("end", 0, true), 95);
    QVERIFY(memo.Search("needle", forward));
    QVERIFY(memo.Selected());
    QCOMPARE(memo.SelStart().Line, line);
    QCOMPARE(memo.SelStart().Col, col);
    QCOMPARE(memo.SelEnd().Line, line);
    QCOMPARE(memo.SelEnd().Col, col + 6);
    QCOMPARE(memo.Caret(), memo.SelEnd());
    QVERIFY(memo.Caret().Row >= 0 && memo.Caret().Row < memo.LinesPerPage());
    QCOMPARE(memo.ScrollPos().Y + memo.Caret().Row, line);
    QVERIFY(memo.Caret().Col - memo.ScrollPos().X <= memo.VisibleCols());
    QCOMPARE(memo.CopyToClipboard(), 7);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("needle"));
  }

  void gotoWord_data() {
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("col");
    QTest::newRow("skips concat and catalog") << QByteArray("cat") << 0 << true << 3 << 2;
    QTest::newRow("star takes catalog") << QByteArray("cat*") << 0 << true << 2 << 0;
    QTest::newRow("folded") << QByteArray("CATALOG") << 0 << true << 2 << 0;
    QTest::newRow("backward") << QByteArray("cat") << 5 << false << 3 << 2;
    QTest::newRow("line 0 never backward") << QByteArray("dog") << 5 << false << -1 << -1;
    QTest::newRow("none") << QByteArray("mouse") << 1 << true << -1 << -1;
    QTest::newRow("empty") << QByteArray("") << 1 << true << -1 << -1;
  }
  void gotoWord() {
    QFETCH(QByteArray, word);
    QFETCH(int, from);
    QFETCH(bool, forward);
    QFETCH(int, line);
    QFETCH(int, col);
    TJumpMemo memo;
    AddLines(memo, {"dog", "concat cat", "catalog", "a cat", "x", "y"});
    const TPositionInfo before = memo.Caret();
    const int found = memo.GotoWord(word.toStdString(), from, forward);
    if (line < 0) {
      QCOMPARE(found, from);
      QCOMPARE(memo.Caret(), before);
      return;
    }
    QCOMPARE(found, line);
    QCOMPARE(memo.Caret().Line, line);
    QCOMPARE(memo.Caret().Col, col);
    QCOMPARE(memo.SelStart(), memo.Caret());
    QVERIFY(!memo.Selected());
  }

  // ---- clipboard ----

  void copyAcrossLines() {
    TJumpMemo memo;
    AddLines(memo, {"abcdef", "~gh", "ijk"});
    int reported = 0;
    memo.OnCopyToClipboard = [&](QObject*, int32_t count) { reported = count; };
    Select(memo, 0, 3, 2, 2);
    QVERIFY(memo.Selected());
    QCOMPARE(memo.CopyToClipboard(), 15);
    QCOMPARE(reported, 15);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("\r\ndef\r\n gh\r\nij"));
    QVERIFY(!memo.Selected());
    // Nothing selected: nothing copied, no event.
    reported = 0;
    QCOMPARE(memo.CopyToClipboard(), 0);
    QCOMPARE(reported, 0);
  }

  void copyWithinALine() {
    TJumpMemo memo;
    AddLines(memo, {"x \xEF\xF0\xE8\xE2\xE5\xF2 ^y", "- Page 4 -"});
    Select(memo, 0, 2, 0, 11);
    QCOMPARE(memo.CopyToClipboard(), 10);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("привет  y"));
    // A piece that holds a page marker is left out; the count stays the selected length + 1.
    Select(memo, 1, 0, 1, 7);
    QCOMPARE(memo.CopyToClipboard(), 8);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
  }

  void ctrlInsertCopies() {
    TJumpMemo memo;
    AddLines(memo, {"hello world"});
    Select(memo, 0, 6, 0, 11);
    QTest::keyClick(&memo, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("world"));
  }

  // ---- printing ----

  void printPagesToAFile_data() {
    QTest::addColumn<int>("fromPage");
    QTest::addColumn<int>("toPage");
    QTest::addColumn<bool>("all");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("page 2 of 60 lines") << 2 << 2 << false << 51 << 9;
    QTest::newRow("page 1") << 1 << 1 << false << 0 << 51;
    QTest::newRow("all pages") << 5 << 7 << true << 0 << 60;
    QTest::newRow("past the end") << 3 << 4 << false << 0 << 0;
  }
  void printPagesToAFile() {
    QFETCH(int, fromPage);
    QFETCH(int, toPage);
    QFETCH(bool, all);
    QFETCH(int, first);
    QFETCH(int, count);
    TJumpMemo memo;
    AddLines(memo, Numbered(60));
    const std::string path = PathOf("out.txt");
    memo.Print(path, fromPage, toPage, true, all);
    std::string expected;
    for (int i = first; i < first + count; ++i) expected += "line " + std::to_string(i) + "\r\n";
    QCOMPARE(ReadWholeFile(path), expected);
  }

  void reversedRangePrintsNothing() {
    TJumpMemo memo;
    AddLines(memo, Numbered(10));
    const std::string path = PathOf("never.txt");
    memo.Print(path, 3, 2, true, false);
    QVERIFY(!FileExists(path));
    QCOMPARE(dialogs_.Calls.size(), size_t{1});
    QCOMPARE(dialogs_.Calls[0].Text, std::string("Wrong pages range. Call printer procedure again"));
    QCOMPARE(dialogs_.Calls[0].Caption, std::string("Error"));
  }

  void fileErrorsReachTheCaller() {
    TJumpMemo memo;
    AddLines(memo, Numbered(3));
    QVERIFY_THROWS_EXCEPTION(Exception, memo.Print(PathOf("no/such/dir/x.txt"), 1, 1, true, true));
  }

  void printToPdf_data() {
    QTest::addColumn<int>("fromPage");
    QTest::addColumn<int>("toPage");
    QTest::addColumn<bool>("all");
    QTest::addColumn<int>("pages");
    QTest::newRow("all of 120 lines") << 1 << 1 << true << 3;
    QTest::newRow("pages 2 to 3") << 2 << 3 << false << 2;
    QTest::newRow("page 2 only") << 2 << 2 << false << 1;
  }
  void printToPdf() {
    QFETCH(int, fromPage);
    QFETCH(int, toPage);
    QFETCH(bool, all);
    QFETCH(int, pages);
    TJumpMemo memo;
    AddLines(memo, Numbered(120));
    const QString pdf = dir_.filePath(QString("print%1%2%3.pdf").arg(fromPage).arg(toPage).arg(all));
    Printer().setOutputFormat(QPrinter::PdfFormat);
    Printer().setOutputFileName(pdf);
    memo.Print("", fromPage, toPage, false, all);
    QCOMPARE(Printer().docName(), QString("Printing Doc"));
    QCOMPARE(PdfPages(pdf), pages);
    QVERIFY(dialogs_.Calls.empty());
  }
};

QTEST_MAIN(TestJumpMemoSearch)
#include "tst_jumpmemo_search.moc"
