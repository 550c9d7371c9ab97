// The memo's page-marker lines: where they go, which lines count as one, and what counting as one
// means for removing, painting and copying.
#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>
#include <string>
#include <vector>

#include "controls/jumpmemo/jumpmemo.h"
#include "tests/controls/jumpmemo/memo_test_helpers.h"

using mirnax::TJumpDocument;
using mirnax::TJumpMemo;

namespace {

using Strings = std::vector<std::string>;

std::vector<int> MarkerIndexes(const TJumpMemo& memo) {
  std::vector<int> out;
  for (int i = 0; i < memo.Lines().Count(); ++i)
    if (TJumpDocument::IsMarkerLine(memo.Lines().View(i), memo.Pagemarker())) out.push_back(i);
  return out;
}

// Whether a row of the grabbed memo holds blue ink, the colour of marker lines.
bool RowIsBlue(TJumpMemo& memo, int row) {
  const QImage image = memo.grab(memo.ClientRect()).toImage();
  const int h = memo.CharSize().y();
  for (int y = row * h; y < (row + 1) * h; ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c(image.pixel(x, y));
      if (c.blue() > c.red() + 60 && c.blue() > c.green() + 60) return true;
    }
  return false;
}

}  // namespace

Q_DECLARE_METATYPE(Strings)
Q_DECLARE_METATYPE(std::vector<int>)

class TestJumpMemoPages : public TMemoTestCase {
  Q_OBJECT

 private slots:

  void addKeepsPageMarkersInPlace() {
    TJumpMemo memo;
    memo.SetShowPages(true);
    for (int i = 0; i < 60; ++i) memo.Add("text " + std::to_string(i));
    QCOMPARE(memo.Lines().Count(), 62);
    QCOMPARE(MarkerIndexes(memo), (std::vector<int>{0, 51}));
    QCOMPARE(memo.Lines().Get(51), std::string("- Page 2 -"));
    QCOMPARE(memo.Lines().Get(52), std::string("text 50"));
    QCOMPARE(memo.Lines().Get(61), std::string("text 59"));
  }


  void pageMarkers_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<std::vector<int>>("markers");
    QTest::newRow("empty text") << 0 << std::vector<int>{0};
    QTest::newRow("49 lines") << 49 << std::vector<int>{0};
    QTest::newRow("50 lines") << 50 << std::vector<int>{0, 51};
    QTest::newRow("100 lines") << 100 << std::vector<int>{0, 51, 102};
    QTest::newRow("150 lines") << 150 << std::vector<int>{0, 51, 102, 153};
  }
  void pageMarkers() {
    QFETCH(int, lines);
    QFETCH(std::vector<int>, markers);
    TJumpMemo memo;
    const Strings text = Numbered(lines);
    SetText(memo, text);
    memo.SetShowPages(true);
    QCOMPARE(MarkerIndexes(memo), markers);
    QCOMPARE(memo.Lines().Count(), lines + int(markers.size()));
    for (size_t k = 0; k < markers.size(); ++k)
      QCOMPARE(memo.Lines().Get(markers[k]), "- Page " + std::to_string(k + 1) + " -");
    memo.SetShowPages(false);
    QCOMPARE(LinesOf(memo), text);
  }

  void markersAreRescanned() {
    TJumpMemo memo;
    SetText(memo, Numbered(60));
    memo.Lines().Put(55, "go ~there");
    memo.SetShowPages(true);
    QCOMPARE(memo.Jumps().size(), size_t{1});
    QCOMPARE(memo.Jumps()[0].Line, 57);
    memo.SetShowPages(false);
    QCOMPARE(memo.Jumps()[0].Line, 55);
  }

  void changingTheMarkerWord() {
    TJumpMemo memo;
    SetText(memo, Numbered(120));
    memo.SetShowPages(true);
    memo.SetPageMarker("Seite");
    QCOMPARE(memo.Pagemarker(), std::string("Seite"));
    QCOMPARE(memo.Lines().Count(), 123);
    for (const std::string& line : LinesOf(memo)) QVERIFY(line.find("- Page ") == std::string::npos);
    QCOMPARE(MarkerIndexes(memo), (std::vector<int>{0, 51, 102}));
    QCOMPARE(memo.Lines().Get(102), std::string("- Seite 3 -"));
    memo.SetShowPages(false);
    QCOMPARE(LinesOf(memo), Numbered(120));
    // With pages hidden only the word changes.
    memo.SetPageMarker("Blatt");
    QCOMPARE(LinesOf(memo), Numbered(120));
    QVERIFY(dialogs_.Calls.empty());
  }

  // Only a whole line exactly as the memo writes a marker counts as one; a text line that holds the
  // words stays text when the markers go, is painted as text and is copied.
  void whichLinesAreMarkers_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<bool>("marker");
    QTest::newRow("first page") << QByteArray("- Page 1 -") << QByteArray("Page") << true;
    QTest::newRow("page 120") << QByteArray("- Page 120 -") << QByteArray("Page") << true;
    QTest::newRow("other word") << QByteArray("- Seite 3 -") << QByteArray("Seite") << true;
    QTest::newRow("text with the words") << QByteArray("see - Page 7 of the book") << QByteArray("Page") << false;
    QTest::newRow("words at the line start") << QByteArray("- Page 7 of the book") << QByteArray("Page") << false;
    QTest::newRow("a marker quoted in text")
        << QByteArray("opened by a line such as - Page 2 - in") << QByteArray("Page") << false;
    QTest::newRow("no number") << QByteArray("- Page -") << QByteArray("Page") << false;
    QTest::newRow("not a number") << QByteArray("- Page x -") << QByteArray("Page") << false;
    QTest::newRow("leading zero") << QByteArray("- Page 02 -") << QByteArray("Page") << false;
    QTest::newRow("another word") << QByteArray("- Pages 2 -") << QByteArray("Page") << false;
    QTest::newRow("the old word") << QByteArray("- Page 3 -") << QByteArray("Seite") << false;
    QTest::newRow("indented") << QByteArray(" - Page 2 -") << QByteArray("Page") << false;
    QTest::newRow("trailing blank") << QByteArray("- Page 2 - ") << QByteArray("Page") << false;
  }
  void whichLinesAreMarkers() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, word);
    QFETCH(bool, marker);
    const std::string text = line.toStdString();
    QCOMPARE(TJumpDocument::IsMarkerLine(text, word.toStdString()), marker);

    TJumpMemo memo;
    memo.SetPageMarker(word.toStdString());
    memo.resize(400, 100);
    SetText(memo, {text, "after"});
    QCOMPARE(RowIsBlue(memo, 0), marker);
    QVERIFY(!RowIsBlue(memo, 1));
    Select(memo, 0, 0, 0, static_cast<int>(text.size()));
    QCOMPARE(memo.CopyToClipboard(), static_cast<int>(text.size()) + 1);
    QCOMPARE(QGuiApplication::clipboard()->text(), marker ? QString() : QString::fromStdString(text));

    memo.SetShowPages(true);
    memo.SetShowPages(false);
    QCOMPARE(LinesOf(memo), marker ? Strings{"after"} : (Strings{text, "after"}));
    QVERIFY(dialogs_.Calls.empty());
  }

  // A file written with its markers loads with them once, and its text lines all stay.
  void aFileSavedWithMarkersLoadsWithoutDoubling() {
    Strings text = Numbered(60);
    text[7] = "see - Page 7 of the book";
    TJumpMemo memo;
    SetText(memo, text);
    memo.SetShowPages(true);
    const std::string path = PathOf("saved.txt");
    memo.Print(path, 1, 1, true, true);
    TJumpMemo again;
    again.SetShowPages(true);
    again.LoadFromFile(path);
    QCOMPARE(LinesOf(again), LinesOf(memo));
    QCOMPARE(MarkerIndexes(again), (std::vector<int>{0, 51}));
    again.SetShowPages(false);
    QCOMPARE(LinesOf(again), text);
  }
};

QTEST_MAIN(TestJumpMemoPages)
#include "tst_jumpmemo_pages.moc"
