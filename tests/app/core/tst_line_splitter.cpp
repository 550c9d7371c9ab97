// The world reader's line splitter gives the lines the text list's splitter gives for the whole
// text, however the text is cut into pieces.
#include <QTest>

#include <random>
#include <string>
#include <vector>

#include "app/core/line_splitter.h"
#include "toolkit/core/packed_lines.h"

namespace {
template <class TSplitter>
std::vector<std::string> Lines(const std::string& text, const std::vector<size_t>& cuts) {
  TSplitter splitter;
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

class TestLineSplitter : public QObject {
  Q_OBJECT

 private slots:
  // A CR LF cut after its CR, then a piece of the LF alone: the next LF is a line end again.
  void aCrLfCutAroundItsLf() {
    const std::string text = "ab\r\n\nc";
    QCOMPARE(Lines<mirnax::TLineSplitter>(text, {3, 4}), std::vector<std::string>({"ab", "", "c"}));
  }
  // Text of short and long lines ending in CR, LF or CR LF (and runs of them), cut anywhere,
  // pieces of one byte and of none among them.
  void sameLinesAsTheTextList() {
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', ' ', '='};
    for (int round = 0; round < 400; ++round) {
      std::string text(random() % 300, 'x');
      for (char& c : text) c = random() % 3 == 0 ? alphabet[random() % 8] : char('0' + random() % 10);
      std::vector<size_t> cuts;
      for (size_t at = 0; at < text.size(); at += random() % (round % 2 ? 3 : 90)) cuts.push_back(at);
      const auto expected = Lines<mirnax::TLinePieces>(text, {});
      QCOMPARE(Lines<mirnax::TLineSplitter>(text, cuts), expected);
      QCOMPARE(Lines<mirnax::TLineSplitter>(text, {}), expected);
    }
  }
};

QTEST_APPLESS_MAIN(TestLineSplitter)

#include "tst_line_splitter.moc"
