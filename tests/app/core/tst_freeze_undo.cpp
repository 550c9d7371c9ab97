// The undo of the last freeze: the backup put back, and the refusals that keep it from guessing.
#include <QTest>

#include "app/core/freeze_undo.h"
#include "freeze_fixture.h"
#include "toolkit/core/exceptions.h"

using mirnax::Exception;
using mirnax::FreezeStatics;
using mirnax::TBlockStore;
using mirnax::TNullProgress;
using mirnax::UndoLastFreeze;
using mirnax::support::ErrorOf;

using namespace fixture;

class TestFreezeUndo : public QObject, TFreezeWorkspace {
  Q_OBJECT

 private slots:
  void init() { Begin(); }

  // A freeze keeps the pair it replaced as "<file>.bak"; an undo puts it back byte for byte, and
  // keeps the undone pair in turn, so a second undo brings that back.
  void undoPutsThePreviousPairBack() {
    TBlockStore store;
    MakeBusyPair(store);
    const QByteArray index = Read(index_), data = Read(data_);
    Freeze(store);
    const QByteArray newIndex = Read(index_), newData = Read(data_);
    QCOMPARE(Read(index_ + ".bak"), index);
    QCOMPARE(Read(data_ + ".bak"), data);
    QVERIFY(QString::fromStdString(UndoLastFreeze(Pair())).contains("were put back"));
    QCOMPARE(Read(index_), index);
    QCOMPARE(Read(data_), data);
    QCOMPARE(Leftovers(), QStringList());
    UndoLastFreeze(Pair());
    QCOMPARE(Read(index_), newIndex);
    QCOMPARE(Read(data_), newData);
  }

  // An undo is refused, touching nothing, when there is no backup, or when the files are no longer
  // those the last freeze wrote (changed since, or a freeze without backup came after it).
  void undoRefusals_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    QTest::newRow("never frozen") << "none" << "There is no backup of";
    QTest::newRow("data changed since") << "changed" << "are not the ones the last freeze wrote";
    QTest::newRow("a freeze without backup since") << "no backup" << "are not the ones the last freeze wrote";
  }
  void undoRefusals() {
    QFETCH(QString, setup);
    QFETCH(QString, message);
    TBlockStore store;
    MakeBusyPair(store);
    TNullProgress gauge;
    if (setup != "none") Freeze(store);
    if (setup == "changed") Write(data_, Read(data_) + "x");
    if (setup == "no backup") FreezeStatics(store, Pair(), gauge, false);
    const QStringList before = Snapshot();
    const QString m = ErrorOf<Exception>([&] { UndoLastFreeze(Pair()); });
    QVERIFY2(m.contains(message), qPrintable(m));
    QCOMPARE(Snapshot(), before);
  }
};

QTEST_APPLESS_MAIN(TestFreezeUndo)

#include "tst_freeze_undo.moc"
