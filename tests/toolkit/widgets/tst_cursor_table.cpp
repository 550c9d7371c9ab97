// The cursor table: built-in shapes by index, shapes of the program registered at their own.
#include <QtTest>

#include "toolkit/widgets/cursor_table.h"

using mirnax::Cursors;
using mirnax::RegisterCursorResource;
using mirnax::crIBeam;
using mirnax::crUpArrow;

class TestCursorTable : public QObject {
  Q_OBJECT

 private slots:
  void resourcesAndBuiltInShapes() {
    QCOMPARE(RegisterCursorResource(1, "HANDCURSOR2"), 1);
    QCOMPARE(RegisterCursorResource(2, "PICTCURSOR2"), 2);
    QCOMPARE(Cursors().Cursor(1).shape(), Qt::BitmapCursor);
    QVERIFY(Cursors().Cursor(1).pixmap().toImage() != Cursors().Cursor(2).pixmap().toImage());
    // A cursor that cannot be loaded takes the up arrow's index.
    QCOMPARE(RegisterCursorResource(7, "NOSUCHCURSOR"), crUpArrow);
    QVERIFY(!Cursors().Registered(7));
    QCOMPARE(Cursors().Cursor(crUpArrow).shape(), Qt::UpArrowCursor);
    QCOMPARE(Cursors().Cursor(crIBeam).shape(), Qt::IBeamCursor);
    QCOMPARE(Cursors().Cursor(12345).shape(), Qt::ArrowCursor);
  }
};

QTEST_MAIN(TestCursorTable)
#include "tst_cursor_table.moc"
