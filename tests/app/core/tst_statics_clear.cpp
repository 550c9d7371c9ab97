// The clear alone and the clear with the freeze: what they write and what they refuse.
#include <QTest>

#include "app/core/freeze_checks.h"
#include "freeze_fixture.h"
#include "toolkit/core/exceptions.h"

using mirnax::BlockCount;
using mirnax::CheckClearStatics;
using mirnax::ClearAndFreezeStatics;
using mirnax::ClearStatics;
using mirnax::EFCreateError;
using mirnax::EFOpenError;
using mirnax::Exception;
using mirnax::FreezeStatics;
using mirnax::TBlockStore;
using mirnax::TNullProgress;
using mirnax::support::ErrorOf;

using namespace fixture;

class TestStaticsClear : public QObject, TFreezeWorkspace {
  Q_OBJECT

 private slots:
  void init() { Begin(); }

  void clearWritesAnEmptyPair() {
    Write(index_, "old index");
    Write(data_, "old data");
    ClearStatics(Pair());
    QCOMPARE(Read(index_), EmptyIndex());
    QCOMPARE(Read(data_), QByteArray());
    QVERIFY(Leftovers().isEmpty());
  }

  void clearCreatesMissingFiles() {
    ClearStatics(Pair());
    QCOMPARE(Read(index_), EmptyIndex());
    QCOMPARE(Read(data_), QByteArray());
  }

  void clearThatCannotCreateTouchesNothing() {
    Write(index_, "old index");
    const std::string data = Std(Path("missing/statics0.mul"));
    QCOMPARE(ErrorOf<EFCreateError>([&] { ClearStatics(Resolved(Index(), data)); }),
             QString::fromStdString("Cannot create file " + data + ": No such file or directory"));
    QCOMPARE(Read(index_), QByteArray("old index"));
    QVERIFY(Leftovers().isEmpty());
  }

  // The clear's new files take names of their own: files that happen to have the names a clear
  // might choose neither stop it nor get overwritten or removed.
  void clearSideFilesNeverMeetOtherFiles() {
    Write(index_, "old index");
    Write(data_, "old data");
    QVERIFY(QDir(dir_->path()).mkdir("staidx0.mul.new"));
    Write(Path("statics0.mul.new"), "someone else's file");
    ClearStatics(Pair());
    QCOMPARE(Read(index_), EmptyIndex());
    QCOMPARE(Read(data_), QByteArray());
    QCOMPARE(Read(Path("statics0.mul.new")), QByteArray("someone else's file"));
    QCOMPARE(Leftovers(), QStringList({"statics0.mul.new"}));
  }

  // Neither file exists yet, so only their folders tell that the two paths name one file.
  void clearRefusesOneFileNamedTwice() {
    QVERIFY(QDir(dir_->path()).mkdir("sub"));
    const QString m = ErrorOf<Exception>([&] { ClearStatics(Resolved(Index(), Std(Path("sub/../staidx0.mul")))); });
    QVERIFY2(m.contains("must be two different files"), qPrintable(m));
    QVERIFY(!QFile::exists(index_));
    QVERIFY(Leftovers().isEmpty());
  }

  void emptyPathsFailAsTheSystemDoes() {
    Write(index_, "index");
    Write(data_, "data");
    const QStringList before = Snapshot();
    TBlockStore store;
    TNullProgress gauge;
    QCOMPARE(ErrorOf<EFCreateError>([&] { ClearStatics(Resolved(Index(), "")); }), QString("Cannot create file "));
    QCOMPARE(ErrorOf<EFOpenError>([&] { FreezeStatics(store, Resolved("", Data()), gauge); }),
             QString("Cannot open file : No such file or directory"));
    QCOMPARE(Snapshot(), before);
  }

  // The clear and the freeze in one step write what a clear followed by a freeze writes, whether
  // the previous files exist or not, and leave no previous file behind.
  void clearAndFreezeEqualsClearThenFreeze_data() {
    QTest::addColumn<bool>("withIndex");
    QTest::addColumn<bool>("withData");
    QTest::newRow("both files") << true << true;
    QTest::newRow("no files yet") << false << false;
    QTest::newRow("no index yet") << false << true;
  }
  void clearAndFreezeEqualsClearThenFreeze() {
    QFETCH(bool, withIndex);
    QFETCH(bool, withData);
    TBlockStore store;
    MakeBusyPair(store);
    store.Append(91348, Item(0xEED, 6, 4, 0, 0x481));
    const QByteArray oldIndex = Read(index_), oldData = Read(data_);
    ClearStatics(Pair());
    Freeze(store);
    const QByteArray index = Read(index_), data = Read(data_);

    Write(index_, oldIndex);
    Write(data_, oldData);
    if (!withIndex) QFile::remove(index_);
    if (!withData) QFile::remove(data_);
    TNullProgress gauge;
    ClearAndFreezeStatics(store, Pair(), gauge);
    QCOMPARE(Read(index_), index);
    QCOMPARE(Read(data_), data);
    QCOMPARE(gauge.Progress(), BlockCount);
    QVERIFY(Leftovers().isEmpty());
  }

  // The clear alone, the clear with the freeze and the check before the question refuse alike.
  void clearAndFreezeMakesTheChecksOfTheClear_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder") << "missing folder" << "Cannot create file %dir/missing/statics0.mul";
    QTest::newRow("leftover") << "leftover" << "The file %dir/statics0.xxx is left from a freeze";
    QTest::newRow("one file named twice") << "twice" << "must be two different files";
    QTest::newRow("empty path") << "empty" << "Cannot create file ";
    // A statics file under the name of the freeze's own journal or lock would be deleted by it.
    QTest::newRow("journal's name") << "staidx0.mul.freeze" << "uses for its own working file";
    QTest::newRow("journal's name in capitals") << "STAIDX0.MUL.FREEZE" << "uses for its own working file";
    QTest::newRow("lock's name") << "sub/../staidx0.mul.lock" << "uses for its own working file";
    QTest::newRow("backup's name") << "Staidx0.mul.bak" << "uses for its own working file";
  }
  void clearAndFreezeMakesTheChecksOfTheClear() {
    QFETCH(QString, setup);
    QFETCH(QString, message);
    TBlockStore store;
    MakeBusyPair(store);
    if (setup == "missing folder") data_ = Path("missing/statics0.mul");
    if (setup == "leftover") Write(Path("statics0.xxx"), "previous data");
    if (setup == "twice") data_ = Path("sub/../staidx0.mul"), QDir(dir_->path()).mkdir("sub");
    if (setup == "empty") data_.clear();
    if (setup.contains(".freeze", Qt::CaseInsensitive) || setup.contains(".lock") || setup.contains(".bak")) {
      QDir(dir_->path()).mkdir("sub");
      data_ = Path(setup);
    }
    const QStringList before = Snapshot();
    message.replace("%dir", dir_->path());
    for (const QString how : {"check", "clear", "clear and freeze"}) {
      const QString m = ErrorOf<Exception>([&] {
        if (how == "check")
          CheckClearStatics(Pair());
        else
          Rewrite(how, store);
      });
      QVERIFY2(m.contains(message), qPrintable(how + ": " + m));
      QCOMPARE(Snapshot(), before);
    }
  }
};

QTEST_APPLESS_MAIN(TestStaticsClear)

#include "tst_statics_clear.moc"
