// Folding, word characters and the bounded word search.
#include <QtTest>
#include <array>
#include <string>

#include "controls/jumpmemo/text_primitives.h"

using mirnax::FindWordFrom;
using mirnax::FoldChar;
using mirnax::FoldText;
using mirnax::IsWordChar;

namespace {

// The folding rules written out as tables: first the letters outside the basic Cyrillic block,
// then Latin letters, the twelve that have a Cyrillic twin, and the Cyrillic small letters.
std::array<unsigned char, 256> ExpectedFolding() {
  std::array<unsigned char, 256> first{};
  for (int c = 0; c < 256; ++c) first[static_cast<size_t>(c)] = static_cast<unsigned char>(c);
  const std::pair<int, int> stage1[] = {{0xA1, 0xA2}, {0xA3, 0xA4}, {0xA6, 0xA8}, {0xAC, 0xAD}, {0xAF, 0xB0},
                                        {0xBA, 0xBC}, {0xB5, 0xB8}, {0xB2, 'I'},  {0xB3, 'I'},  {0xBD, 'H'},
                                        {0xBE, 'H'}};
  for (const auto& [from, to] : stage1) first[static_cast<size_t>(from)] = static_cast<unsigned char>(to);

  std::array<unsigned char, 256> second{};
  for (int c = 0; c < 256; ++c) second[static_cast<size_t>(c)] = static_cast<unsigned char>(c);
  const std::string latin = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (size_t i = 0; i < latin.size(); ++i) {
    second[static_cast<unsigned char>(latin[i])] = static_cast<unsigned char>(latin[i]);
    second[static_cast<unsigned char>(latin[i] + 32)] = static_cast<unsigned char>(latin[i]);
  }
  const std::pair<char, int> twins[] = {{'A', 0xC0}, {'B', 0xC2}, {'C', 0xD1}, {'E', 0xC5}, {'H', 0xCD}, {'K', 0xCA},
                                        {'M', 0xCC}, {'O', 0xCE}, {'P', 0xD0}, {'T', 0xD2}, {'X', 0xD5}, {'Y', 0xD3}};
  for (const auto& [letter, cyrillic] : twins) {
    second[static_cast<unsigned char>(letter)] = static_cast<unsigned char>(cyrillic);
    second[static_cast<unsigned char>(letter + 32)] = static_cast<unsigned char>(cyrillic);
  }
  for (int c = 0xE0; c <= 0xFF; ++c) second[static_cast<size_t>(c)] = static_cast<unsigned char>(c - 32);

  std::array<unsigned char, 256> folded{};
  for (int c = 0; c < 256; ++c) folded[static_cast<size_t>(c)] = second[first[static_cast<size_t>(c)]];
  return folded;
}

}  // namespace

class TestTextPrimitives : public QObject {
  Q_OBJECT

 private slots:
  void foldingOfEveryByte() {
    const auto expected = ExpectedFolding();
    for (int c = 0; c < 256; ++c)
      QVERIFY2(FoldChar(static_cast<unsigned char>(c)) == expected[static_cast<size_t>(c)],
               qPrintable(QString("byte 0x%1 folds to 0x%2, expected 0x%3")
                              .arg(c, 2, 16, QChar('0'))
                              .arg(FoldChar(static_cast<unsigned char>(c)), 2, 16, QChar('0'))
                              .arg(expected[static_cast<size_t>(c)], 2, 16, QChar('0'))));
    // The two-stage letters end where both stages take them.
    QCOMPARE(FoldChar(0xB2), static_cast<unsigned char>('I'));
    QCOMPARE(FoldChar(0xBE), static_cast<unsigned char>(0xCD));
  }

  void foldingMakesLookAlikesEqual() {
    const std::string expected = "\xD1\xC0\xC2";
    QCOMPARE(FoldText("Cab"), expected);
    QCOMPARE(FoldText("\xD1\xC0\xC2"), expected);  // the Cyrillic letters
    QCOMPARE(FoldText("cAB"), expected);
    QCOMPARE(FoldText("\xF1\xE0\xE2"), expected);  // Cyrillic small letters
    const std::string withNul("a\0b", 3);
    QCOMPARE(FoldText(withNul).size(), size_t{3});
  }

  void wordCharacters() {
    for (const int c : std::initializer_list<int>{'0', '9', 'A', 'Z', 'a', 'z', 0xC0, 0xE5, 0xFF}) QVERIFY(IsWordChar(static_cast<unsigned char>(c)));
    for (const int c : std::initializer_list<int>{'/', ':', '@', '[', '`', '{', '_', '.', ' ', '~', 0x00, 0xA8, 0xB8, 0xBF})
      QVERIFY2(!IsWordChar(static_cast<unsigned char>(c)), qPrintable(QString::number(c)));
  }

  void findWordFrom_data() {
    QTest::addColumn<QByteArray>("needle");
    QTest::addColumn<QByteArray>("haystack");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<int>("expected");

    QTest::newRow("first match glued: search ends") << QByteArray("ab") << QByteArray("xab ab") << 0 << false << 0;
    QTest::newRow("match at the start") << QByteArray("ab") << QByteArray("ab x") << 0 << false << 1;
    QTest::newRow("match after a space") << QByteArray("ab") << QByteArray("x ab") << 0 << false << 3;
    QTest::newRow("match after a later start") << QByteArray("ab") << QByteArray("ab ab") << 1 << false << 4;
    QTest::newRow("none: start comes back") << QByteArray("q") << QByteArray("abc") << 1 << false << 1;
    QTest::newRow("needle longer than haystack") << QByteArray("abc") << QByteArray("ab") << 1 << false << 0;
    QTest::newRow("needle does not fit after start") << QByteArray("ab") << QByteArray("xxab") << 3 << false << 3;
    QTest::newRow("start past the end") << QByteArray("a") << QByteArray("abc") << 9 << false << 9;
    QTest::newRow("glued after, no whole-word rule") << QByteArray("ab") << QByteArray("abc") << 0 << false << 1;
    QTest::newRow("glued after, whole-word rule") << QByteArray("ab") << QByteArray("abc") << 0 << true << 0;
    QTest::newRow("whole word before a separator") << QByteArray("ab") << QByteArray("ab.") << 0 << true << 1;
    QTest::newRow("whole word at the end") << QByteArray("ab") << QByteArray("x ab") << 0 << true << 3;
    QTest::newRow("Cyrillic letter before is a word character")
        << QByteArray("~") << QByteArray("\xC0~x") << 0 << false << 0;
    QTest::newRow("0xBF before is not") << QByteArray("~") << QByteArray("\xBF~x") << 0 << false << 2;
    QTest::newRow("digit before") << QByteArray("~") << QByteArray("1~x") << 0 << false << 0;
    QTest::newRow("marker at the very end") << QByteArray("~") << QByteArray("abc ~") << 0 << false << 5;
    QTest::newRow("empty needle matches at start") << QByteArray("") << QByteArray("abc") << 0 << false << 1;
    QTest::newRow("empty needle glued") << QByteArray("") << QByteArray("abc") << 1 << false << 1;
    QTest::newRow("negative start reads from the beginning")
        << QByteArray("ab") << QByteArray("ab") << -3 << false << 1;
  }

  void findWordFrom() {
    QFETCH(QByteArray, needle);
    QFETCH(QByteArray, haystack);
    QFETCH(int, start);
    QFETCH(bool, wholeWord);
    QFETCH(int, expected);
    QCOMPARE(FindWordFrom(std::string_view(needle.constData(), static_cast<size_t>(needle.size())),
                          std::string_view(haystack.constData(), static_cast<size_t>(haystack.size())), start,
                          wholeWord),
             expected);
  }
};

QTEST_APPLESS_MAIN(TestTextPrimitives)
#include "tst_text_primitives.moc"
