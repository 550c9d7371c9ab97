// The Windows-1251 table and the display form of the memo's text.
#include <QtTest>

#include "toolkit/widgets/cp1251.h"

using mirnax::Cp1251ToDisplay;
using mirnax::Cp1251ToQString;

class TestCp1251 : public QObject {
  Q_OBJECT

 private slots:
  void characterTable() {
    QCOMPARE(Cp1251ToQString("Az~"), QString("Az~"));
    QCOMPARE(Cp1251ToQString("\xC0\xDF\xE0\xFF"), QString::fromUtf8("АЯая"));
    QCOMPARE(Cp1251ToQString("\xA8\xB8\xB9\x88\xAB\xBB"), QString::fromUtf8("Ёё№€«»"));
    QCOMPARE(Cp1251ToQString("\xB2\xB3\xAA\xBA\xAF\xBF\xA1\xA2"), QString::fromUtf8("ІіЄєЇїЎў"));
    // Control bytes take one ordinary cell when drawn.
    QCOMPARE(Cp1251ToDisplay(std::string_view("a\tb\0c", 5)), QString("a b c"));
    QCOMPARE(Cp1251ToDisplay("\x98\x7F"), QString("  "));
  }
};

QTEST_APPLESS_MAIN(TestCp1251)
#include "tst_cp1251.moc"
