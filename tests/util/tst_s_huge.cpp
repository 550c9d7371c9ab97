#include <QtTest>

#include "util/s_huge.h"

using mirnax::HMemCpy;
using mirnax::HugeDec;
using mirnax::HugeInc;
using mirnax::HugeOffset;

class TstSHuge : public QObject {
  Q_OBJECT

 private slots:
  void offsets() {
    char buffer[16] = {};
    void* p = buffer;
    HugeInc(p, 10);
    QCOMPARE(p, static_cast<void*>(buffer + 10));
    HugeDec(p, 4);
    QCOMPARE(p, static_cast<void*>(buffer + 6));
    QCOMPARE(HugeOffset(p, -6), static_cast<void*>(buffer));
    const void* c = buffer;
    QCOMPARE(HugeOffset(c, 15), static_cast<const void*>(buffer + 15));
  }

  void copyOverlapping_data() {
    QTest::addColumn<int>("dest");
    QTest::addColumn<int>("src");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("up over itself") << 2 << 0 << 6 << QByteArray("ababcdef");
    QTest::newRow("down over itself") << 0 << 2 << 6 << QByteArray("cdefghgh");
    QTest::newRow("apart") << 6 << 0 << 2 << QByteArray("abcdefab");
    QTest::newRow("nothing") << 3 << 0 << 0 << QByteArray("abcdefgh");
  }
  void copyOverlapping() {
    QFETCH(int, dest);
    QFETCH(int, src);
    QFETCH(int, count);
    QFETCH(QByteArray, result);
    QByteArray buffer("abcdefgh");
    HMemCpy(buffer.data() + dest, buffer.constData() + src, static_cast<size_t>(count));
    QCOMPARE(buffer, result);
  }
};

QTEST_APPLESS_MAIN(TstSHuge)
#include "tst_s_huge.moc"
