#include <QTemporaryDir>
#include <QtTest>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/file_helpers.h"
#include "tests/toolkit/core/string_list_probes.h"
#include "toolkit/core/classes.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/large_blocks.h"
#include "toolkit/core/packed_lines.h"
#include "toolkit/core/pages_ahead.h"

using mirnax::AllocateLarge;
using mirnax::EStringListError;
using mirnax::FreeLarge;
using mirnax::ReadWholeFile;
using mirnax::TPagesAhead;
using mirnax::TStringList;
using mirnax::support::Bytes;
using mirnax::support::WriteBytes;

// Lists loaded or filled at their end keep their lines packed; these look at that form, at what it
// costs in memory, and at the helper that backs a large block's pages ahead of the load.
class TestPackedLines : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(dir_.isValid()); }

  void piecesJoinLines();
  void manyChangesStayRight();
  void packedLinesStayRight();
  void loadedListCostsAboutItsText();
  void lineTableOutgrowsItsEstimate();
  void pagesAheadStayWithinTheirWindow();

 private:
  std::string Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)).toStdString(); }
  QTemporaryDir dir_;
};

void TestPackedLines::piecesJoinLines() {
  // A file is read in pieces: line ends of every kind and lines cut at a piece's end, a CR LF
  // pair cut between its two bytes, load as from one text.
  constexpr size_t Piece = size_t{1} << 20;
  const auto loadsAsText = [&](const std::string& text) {
    const std::string file = Path("pieces.txt");
    WriteBytes(file, Bytes(text));
    TStringList loaded, expected;
    loaded.LoadFromFile(file);
    expected.SetText(text);
    QCOMPARE(Lines(loaded), Lines(expected));
  };
  for (const std::string eol : {"\r\n", "\r", "\n"}) {
    for (size_t shift = 0; shift < 6; ++shift) {
      std::string text(Piece - 3 + shift, 'y');
      text += eol + "b" + eol + eol + "c";
      loadsAsText(text);
    }
  }
  // Sizes around the piece, the last line without an end.
  for (const size_t size : {Piece - 1, Piece, Piece + 1, 2 * Piece + 1}) {
    std::string text;
    for (size_t i = 0; text.size() < size; ++i) text += std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
    text.resize(size);
    loadsAsText(text);
  }
  // A CR ending one piece, its LF alone in the next, then an empty line's LF in a third.
  mirnax::TLinePieces pieces;
  std::vector<std::string> lines;
  const auto add = [&lines](std::string_view line) { lines.emplace_back(line); };
  for (const char* piece : {"a\r", "\n", "\n", "b"}) pieces.Feed(piece, std::strlen(piece), add);
  pieces.Finish(add);
  QCOMPARE(lines, (std::vector<std::string>{"a", "", "b"}));
}

void TestPackedLines::manyChangesStayRight() {
  // Random edits checked against a plain vector; the dead bytes they leave pass the compaction
  // threshold many times over.
  std::mt19937 rng(12345);
  TStringList l;
  std::vector<std::string> model;
  auto randomLine = [&] {
    const size_t n = rng() % 600;
    std::string s(n, '\0');
    for (char& ch : s) ch = static_cast<char>('a' + rng() % 26);
    return s;
  };
  for (int i = 0; i < 200; ++i) {
    model.push_back(randomLine());
    l.Add(model.back());
  }
  size_t written = 0;
  for (int step = 0; step < 20000; ++step) {
    const int op = static_cast<int>(rng() % 4);
    const int i = static_cast<int>(rng() % model.size());
    if (op == 0) {
      const std::string s = randomLine();
      written += s.size();
      l.Put(i, s);
      model[static_cast<size_t>(i)] = s;
    } else if (op == 1 && model.size() > 50) {
      l.Delete(i);
      model.erase(model.begin() + i);
    } else if (op == 2) {
      const std::string s = randomLine();
      written += s.size();
      l.Insert(i, s);
      model.insert(model.begin() + i, s);
    } else {
      const int j = static_cast<int>(rng() % model.size());
      l.Put(i, l.View(j));
      model[static_cast<size_t>(i)] = model[static_cast<size_t>(j)];
    }
  }
  QVERIFY(written > 10 * 65536);
  QCOMPARE(Lines(l), model);
  // Dead bytes are reclaimed: what the list holds (its text store at most twice the live text
  // between compactions, grown by doubling, and one span per line) stays within a small multiple
  // of the live text, far below the bytes ever written.
  size_t live = 0;
  for (const std::string& s : model) live += s.size();
  const size_t before = HeapInUse();
  TStringList().Swap(l);
  const size_t held = before - HeapInUse();
  QVERIFY2(held < 4 * live + 4 * 65536 + 64 * model.size(), qPrintable(QString::number(held)));
  QVERIFY2(written > 2 * (4 * live + 4 * 65536), qPrintable(QString::number(written)));
}

void TestPackedLines::packedLinesStayRight() {
  // A list only loaded, added to at its end and cut at its end keeps its lines packed, with one
  // length byte per line and long lines apart: lengths around that byte's limit, at every place
  // of a group of lines, lines added from the list itself, checked against a plain vector; then a
  // change in the middle, which unpacks the list.
  std::mt19937 rng(2024);
  const size_t lengths[] = {0, 1, 31, 253, 254, 255, 256, 300, 70000};
  auto randomLine = [&] {
    std::string s(rng() % 3 == 0 ? lengths[rng() % std::size(lengths)] : rng() % 40, '\0');
    for (char& ch : s) ch = static_cast<char>('a' + rng() % 26);
    return s;
  };
  TStringList l;
  std::vector<std::string> model;
  for (int step = 0; step < 3000; ++step) {
    const unsigned op = rng() % 8;
    if (op < 5 || model.empty()) {
      model.push_back(randomLine());
      l.Add(model.back());
    } else if (op < 7) {
      l.Delete(l.Count() - 1);
      model.pop_back();
    } else {
      const int j = static_cast<int>(rng() % model.size());
      l.Add(l.View(j));
      model.push_back(model[static_cast<size_t>(j)]);
    }
    if (step % 500 == 0) QCOMPARE(Lines(l), model);
  }
  QCOMPARE(Lines(l), model);
  QCOMPARE(Batched(l), model);

  // The same lines through a text and a file.
  std::string text;
  for (const std::string& line : model) text += line + "\r\n";
  TStringList fromText;
  fromText.SetText(text);
  QCOMPARE(Lines(fromText), model);
  const std::string file = Path("packed.txt");
  WriteBytes(file, Bytes(text));
  TStringList fromFile;
  fromFile.LoadFromFile(file);
  QCOMPARE(Lines(fromFile), model);

  l.Insert(1, "inserted");
  model.insert(model.begin() + 1, "inserted");
  l.Exchange(0, static_cast<int>(model.size()) - 1);
  std::swap(model.front(), model.back());
  QCOMPARE(Lines(l), model);
  QCOMPARE(Batched(l), model);
  std::string_view none[1];
  QCOMPARE(l.Views(l.Count(), none, 1), 0);
  QVERIFY_THROWS_EXCEPTION(EStringListError, l.Views(l.Count() + 1, none, 1));
  l.Clear();
  l.Add("again");
  QCOMPARE(Lines(l), std::vector<std::string>{"again"});
}

void TestPackedLines::loadedListCostsAboutItsText() {
#ifdef __SANITIZE_ADDRESS__
  QSKIP("the sanitizer's shadow memory grows with every allocation");
#endif
  // Short lines, as in a world file: a table entry per line of more than a few bytes would add
  // most of the text's size again.
  std::string text;
  for (int i = 0; text.size() < (size_t{24} << 20); ++i) text += "P=" + std::to_string(i % 6144) + ",100,5\r\n\r\n";
  const std::string file = Path("short-lines.txt");
  WriteBytes(file, Bytes(text));
  const size_t size = text.size();
  text = std::string();
  const size_t before = Resident();
  TStringList l;
  l.LoadFromFile(file);
  const size_t grown = Resident() - before;
  QCOMPARE(l.View(1), std::string_view());
  QVERIFY2(grown < size * 11 / 10,
           qPrintable(QString("%1 bytes for %2 lines").arg(grown).arg(l.Count())));
  // The pages backed ahead of the load on another thread hold what the load wrote into them.
  QVERIFY(l.Text() == ReadWholeFile(file));
}

void TestPackedLines::lineTableOutgrowsItsEstimate() {
  // The table is reserved as the first piece's lines suggest; here the rest has shorter ones, so
  // it moves to a larger block during the load, while the text's pages are being backed ahead.
  std::string text;
  while (text.size() < (size_t{1} << 20)) text += "abcde\r\n";
  while (text.size() < (size_t{40} << 20)) text += "\r\n";
  const std::string file = Path("shorter-lines.txt");
  WriteBytes(file, Bytes(text));
  TStringList l;
  l.LoadFromFile(file);
  QVERIFY(l.Text() == text);
}

void TestPackedLines::pagesAheadStayWithinTheirWindow() {
  // The helper backs pages ahead of what the owner has filled, never more than the window beyond
  // it: a block reserved far larger than it ends up being costs no more than that.
  constexpr size_t Mb = size_t{1} << 20, Size = 128 * Mb;
  char* const block = static_cast<char*>(AllocateLarge(Size));
  const auto resident = [&](size_t from, size_t to) {
    std::vector<unsigned char> pages((to - from) / 4096);
    if (::mincore(block + from, to - from, pages.data()) != 0) return size_t{0};
    return size_t(std::count_if(pages.begin(), pages.end(), [](unsigned char p) { return (p & 1) != 0; }));
  };
  bool helps = std::thread::hardware_concurrency() >= 2;
#ifdef __SANITIZE_ADDRESS__
  helps = false;  // the sanitizer's blocks come from the heap: nothing is backed ahead
#endif
  {
    TPagesAhead ahead(block, block + Size);
    for (const size_t filled : {Mb, 40 * Mb}) {
      ahead.FilledTo(block + filled);
      const size_t reach = filled + TPagesAhead::Window + 2 * Mb;
      if (helps) QTRY_VERIFY_WITH_TIMEOUT(resident(reach - 4 * Mb, reach) > 0, 10000);
      QTest::qWait(200);
      QCOMPARE(resident(reach, Size), size_t{0});
    }
  }
  FreeLarge(block, Size);
}


QTEST_GUILESS_MAIN(TestPackedLines)
#include "tst_packed_lines.moc"
