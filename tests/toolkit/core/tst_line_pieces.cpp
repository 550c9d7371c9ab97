// Text split in pieces gives the lines the whole text gives, however it is cut.
#include <QTest>

#include <random>
#include <string>
#include <vector>

#include "toolkit/core/packed_lines.h"

namespace {
std::vector<std::string> Lines(const std::string& text, const std::vector<size_t>& cuts) {
  mirnax::TLinePieces splitter;
  std::vector<std::string> lines;
  const auto line = [&lines](std::string_view l) { lines.emplace_back(l); };
  size_t from = 0;
  for (const size_t cut : cuts) {
    splitter.Feed(text.data() + from, cut - from, line);
    from = cut;
  }
  splitter.Feed(text.data() + from, text.size() - from, line);
  splitter.Finish(line);
  return lines;
}
}  // namespace

class TestLinePieces : public QObject {
  Q_OBJECT

 private slots:
  // A CR LF cut after its CR, then a piece of the LF alone: the next LF is a line end again.
  void aCrLfCutAroundItsLf() {
    const std::string text = "ab\r\n\nc";
    QCOMPARE(Lines(text, {3, 4}), std::vector<std::string>({"ab", "", "c"}));
  }
  // Text of short and long lines ending in CR, LF or CR LF (and runs of them), cut anywhere,
  // pieces of one byte and of none among them.
  void sameLinesHoweverCut() {
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', ' ', '='};
    for (int round = 0; round < 400; ++round) {
      std::string text(random() % 300, 'x');
      for (char& c : text) c = random() % 3 == 0 ? alphabet[random() % 8] : char('0' + random() % 10);
      std::vector<size_t> cuts;
      for (size_t at = 0; at < text.size(); at += random() % (round % 2 ? 3 : 90)) cuts.push_back(at);
      QCOMPARE(Lines(text, cuts), Lines(text, {}));
    }
  }
};

QTEST_APPLESS_MAIN(TestLinePieces)

#include "tst_line_pieces.moc"
