#include <QtTest>

#include <array>
#include <climits>
#include <string>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"

using mirnax::AnsiCompareText;
using mirnax::AnsiSameText;
using mirnax::CompareText;
using mirnax::EConvertError;
using mirnax::Format;
using mirnax::SListIndexError;
using mirnax::SameText;
using mirnax::StrToInt;
using mirnax::TryStrToInt;

class TestSysUtils : public QObject {
  Q_OBJECT

 private slots:
  void strToIntAccepts_data();
  void strToIntAccepts();
  void strToIntRejects_data();
  void strToIntRejects();
  void format();
  void compareTextFoldsAsciiOnly();
  void ansiCompareTextFoldsCyrillicPairs();
  void comparisonOrder_data();
  void comparisonOrder();
};

void TestSysUtils::strToIntAccepts_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<int>("value");
  QTest::newRow("plain") << QByteArray("42") << 42;
  QTest::newRow("zero") << QByteArray("0") << 0;
  QTest::newRow("leading zeros") << QByteArray("0007") << 7;
  QTest::newRow("leading blanks") << QByteArray("   12") << 12;
  QTest::newRow("plus") << QByteArray("+5") << 5;
  QTest::newRow("minus") << QByteArray("-5") << -5;
  QTest::newRow("blanks then sign") << QByteArray("  -3") << -3;
  QTest::newRow("min") << QByteArray("-2147483648") << INT_MIN;
  QTest::newRow("max") << QByteArray("2147483647") << INT_MAX;
  QTest::newRow("max with plus") << QByteArray("+2147483647") << INT_MAX;
  QTest::newRow("many leading zeros") << QByteArray("000000000000000000000001") << 1;
}

void TestSysUtils::strToIntAccepts() {
  QFETCH(QByteArray, text);
  QFETCH(int, value);
  QCOMPARE(StrToInt(text.toStdString()), value);
  int32_t tried = 99;
  QVERIFY(TryStrToInt(text.toStdString(), tried));
  QCOMPARE(tried, value);
}

void TestSysUtils::strToIntRejects_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::newRow("one past max") << QByteArray("2147483648");
  QTest::newRow("one past min") << QByteArray("-2147483649");
  QTest::newRow("far too big") << QByteArray("99999999999999999999999");
  QTest::newRow("empty") << QByteArray("");
  QTest::newRow("blank") << QByteArray(" ");
  QTest::newRow("sign only") << QByteArray("-");
  QTest::newRow("two signs") << QByteArray("+-1");
  QTest::newRow("sign then blank") << QByteArray("- 1");
  QTest::newRow("trailing letter") << QByteArray("12a");
  QTest::newRow("inner blank") << QByteArray("1 2");
  QTest::newRow("hex") << QByteArray("0x10");
  QTest::newRow("trailing blank") << QByteArray("12 ");
  QTest::newRow("leading tab") << QByteArray("\t12");
  QTest::newRow("trailing tab") << QByteArray("12\t");
  QTest::newRow("decimal point") << QByteArray("1.0");
  QTest::newRow("inner NUL") << QByteArray("1\0" "2", 3);
}

void TestSysUtils::strToIntRejects() {
  QFETCH(QByteArray, text);
  const std::string s = text.toStdString();
  int32_t tried = 99;
  QVERIFY(!TryStrToInt(s, tried));
  QCOMPARE(tried, 99);
  try {
    StrToInt(s);
    QFAIL("no exception");
  } catch (const EConvertError& e) {
    // The message carries the text as it was given, up to a NUL it may hold.
    const std::string shown = s.substr(0, s.find('\0'));
    QCOMPARE(e.Message, "'" + shown + "' is not a valid integer value");
  }
}

void TestSysUtils::format() {
  QCOMPARE(Format("Cannot open file %s", "C:\\game\\a.scp"), std::string("Cannot open file C:\\game\\a.scp"));
  QCOMPARE(Format(SListIndexError, -1), std::string("List index out of bounds (-1)"));
  QCOMPARE(Format("%s", ""), std::string());
  // Longer than any small fixed buffer an implementation might use.
  const std::string big(100000, 'x');
  QCOMPARE(Format("<%s>", big.c_str()), "<" + big + ">");
}

namespace {
unsigned char AsciiUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

// Small and capital letters of the Windows-1251 code page besides ASCII.
constexpr std::array<std::pair<unsigned char, unsigned char>, 15> kCyrillicOutsideBlock = {{
    {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D},
    {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xBC, 0xA3}, {0xB4, 0xA5},
    {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD},
}};

std::array<unsigned char, 256> Cp1251Upper() {
  std::array<unsigned char, 256> up{};
  for (int c = 0; c < 256; ++c) up[c] = AsciiUpper(static_cast<unsigned char>(c));
  for (int c = 0xE0; c <= 0xFF; ++c) up[c] = static_cast<unsigned char>(c - 0x20);
  for (const auto& [small, capital] : kCyrillicOutsideBlock) up[small] = capital;
  return up;
}

std::string Byte(int c) { return std::string(1, static_cast<char>(c)); }
}  // namespace

void TestSysUtils::compareTextFoldsAsciiOnly() {
  // Every pair of bytes: equal exactly when they are the same ASCII letter in either case, so a
  // UTF-8 name never matches another by accident.
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      const bool expected = AsciiUpper(static_cast<unsigned char>(a)) == AsciiUpper(static_cast<unsigned char>(b));
      if (SameText(Byte(a), Byte(b)) != expected || (CompareText(Byte(a), Byte(b)) == 0) != expected)
        QFAIL(qPrintable(QStringLiteral("bytes %1 and %2").arg(a, 2, 16).arg(b, 2, 16)));
    }
}

void TestSysUtils::ansiCompareTextFoldsCyrillicPairs() {
  const auto up = Cp1251Upper();
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      const bool expected = up[a] == up[b];
      if (AnsiSameText(Byte(a), Byte(b)) != expected || (AnsiCompareText(Byte(a), Byte(b)) == 0) != expected)
        QFAIL(qPrintable(QStringLiteral("bytes %1 and %2").arg(a, 2, 16).arg(b, 2, 16)));
    }
  // A whole word: "Мирнакс" against "мИРНАКС" in Windows-1251.
  QVERIFY(AnsiSameText("\xCC\xE8\xF0\xED\xE0\xEA\xF1", "\xEC\xC8\xD0\xCD\xC0\xCA\xD1"));
  QVERIFY(!SameText("\xCC\xE8\xF0\xED\xE0\xEA\xF1", "\xEC\xC8\xD0\xCD\xC0\xCA\xD1"));
}

void TestSysUtils::comparisonOrder_data() {
  QTest::addColumn<QByteArray>("a");
  QTest::addColumn<QByteArray>("b");
  QTest::addColumn<int>("sign");
  QTest::newRow("equal but case") << QByteArray("Abc") << QByteArray("aBC") << 0;
  QTest::newRow("prefix first") << QByteArray("ab") << QByteArray("ABC") << -1;
  QTest::newRow("longer last") << QByteArray("abc") << QByteArray("AB") << 1;
  QTest::newRow("letters fold before comparing") << QByteArray("a") << QByteArray("B") << -1;
  QTest::newRow("empty first") << QByteArray("") << QByteArray("a") << -1;
  QTest::newRow("both empty") << QByteArray("") << QByteArray("") << 0;
  QTest::newRow("high bytes unsigned") << QByteArray("\xC0") << QByteArray("z") << 1;
}

void TestSysUtils::comparisonOrder() {
  QFETCH(QByteArray, a);
  QFETCH(QByteArray, b);
  QFETCH(int, sign);
  auto sgn = [](int v) { return (v > 0) - (v < 0); };
  QCOMPARE(sgn(CompareText(a.toStdString(), b.toStdString())), sign);
  QCOMPARE(sgn(AnsiCompareText(a.toStdString(), b.toStdString())), sign);
  QCOMPARE(sgn(CompareText(b.toStdString(), a.toStdString())), -sign);
}

QTEST_GUILESS_MAIN(TestSysUtils)
#include "tst_sysutils.moc"
