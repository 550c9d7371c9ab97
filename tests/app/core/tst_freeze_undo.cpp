// The undo of the last freeze: the backup put back, and the refusals that keep it from guessing.
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "app/core/freeze_undo.h"
#include "app/core/frozen_worlds.h"
#include "freeze_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/move_methods.h"

using mirnax::Exception;
using mirnax::FreezeStatics;
using mirnax::ReadFrozenWorlds;
using mirnax::SetFolderSync;
using mirnax::TBlockStore;
using mirnax::TFolderSync;
using mirnax::TFreezePoint;
using mirnax::TFrozenWorld;
using mirnax::TNullProgress;
using mirnax::UndoLastFreeze;
using mirnax::fpMarkedComplete;
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

  // A backup that cannot be read is said to be unreadable, with the reason, not missing.
  void anUnreadableBackupIsSaidSo_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("message");
    QTest::newRow("data backup a folder") << "statics0.mul.bak" << "folder"
                                          << "statics0.mul.bak cannot be read: it is not a regular file";
    QTest::newRow("index backup unreadable") << "staidx0.mul.bak" << "mode 0"
                                             << "staidx0.mul.bak cannot be read: Permission denied";
    QTest::newRow("backup's record unreadable") << "staidx0.mul.bak.freeze" << "mode 0"
                                                << "staidx0.mul.bak.freeze cannot be read: Permission denied";
  }
  void anUnreadableBackupIsSaidSo() {
    QFETCH(QString, file);
    QFETCH(QString, how);
    QFETCH(QString, message);
    TBlockStore store;
    MakeBusyPair(store);
    Freeze(store);
    if (how == "folder") QVERIFY(QFile::remove(Path(file)) && QDir(dir_->path()).mkdir(file));
    if (how == "mode 0") QVERIFY(::chmod(qPrintable(Path(file)), 0) == 0);
    QVERIFY(::chmod(qPrintable(dir_->path()), 0777) == 0);
    const QStringList before = Snapshot();
    // As an ordinary user, so that permissions hold even for root.
    const auto child = RunInChild([&](int pipe) {
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
      Send(pipe, Std(ErrorOf<Exception>([&] { UndoLastFreeze(Pair()); })));
      return 0;
    });
    const QString m = QString::fromStdString(child.Output);
    QVERIFY2(m.contains(message) && m.endsWith("Nothing was put back."), qPrintable(m));
    QCOMPARE(Snapshot(), before);
  }

  // An undo that fails before the backup is in place says that nothing was put back, and leaves
  // the pair as it was: its journal cannot be written, or a copy of the backup fails halfway.
  void anUndoThatFailsSaysNothingWasPutBack_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("journal cannot be written") << "journal";
    QTest::newRow("copy past the file size limit") << "limit";
  }
  void anUndoThatFailsSaysNothingWasPutBack() {
    QFETCH(QString, how);
    TBlockStore store;
    MakeBusyPair(store);
    Freeze(store);
    if (how == "journal") QVERIFY(QDir(dir_->path()).mkpath("staidx0.mul.freeze/taken"));
    const QStringList before = Snapshot();
    const auto child = RunInChild([&](int pipe) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlim_t limit = how == "limit" ? rlim_t{1} << 20 : RLIM_INFINITY;
      const rlimit rl{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &rl);
      Send(pipe, Std(ErrorOf<Exception>([&] { UndoLastFreeze(Pair()); })));
      return 0;
    });
    const QString m = QString::fromStdString(child.Output);
    QVERIFY2(m.endsWith("\nNothing was put back: the statics files are as they were before the undo."), qPrintable(m));
    QCOMPARE(Snapshot(), before);
  }

  // Once the undo's journal says the backup is back, what fails after (keeping the undone files as
  // the next backup, making the folder durable, the record of frozen worlds) is said, and the undo
  // still succeeds: the previous pair is back.
  void aFailureAfterTheUndoCompletedIsOnlyNoted_data() {
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("note");
    QTest::newRow("backup name taken") << "backup" << "Cannot rename ";
    QTest::newRow("folder sync") << "sync" << "Cannot write the folder ";
    QTest::newRow("record") << "record" << "could not be put back with them";
  }
  void aFailureAfterTheUndoCompletedIsOnlyNoted() {
    QFETCH(QString, failing);
    QFETCH(QString, note);
    TBlockStore store;
    MakeBusyPair(store);
    const QByteArray index = Read(index_), data = Read(data_);
    TNullProgress gauge;
    const std::vector<TFrozenWorld> worlds = {{{1, 1}, "2026-01-02 03:04", "a.scp"}};
    FreezeStatics(store, Pair(), gauge, true, &worlds);
    const TFolderSync previous = SetFolderSync(::fsync);
    std::string said;
    try {
      said = UndoLastFreeze(Pair(), [&](TFreezePoint point, int32_t) {
        if (point != fpMarkedComplete) return;
        if (failing == "backup") QVERIFY(QFile::remove(index_ + ".bak") && QDir().mkpath(index_ + ".bak/taken"));
        if (failing == "record") QVERIFY(QFile::remove(Path("staidx0.mul.frozen")) && QDir().mkpath(Path("staidx0.mul.frozen/x")));
        if (failing == "sync") SetFolderSync([](int) { return errno = EIO, -1; });
      });
    } catch (const Exception& e) {
      said = "failed: " + e.Message;
    }
    SetFolderSync(previous);
    const QString s = QString::fromStdString(said);
    QVERIFY2(s.startsWith("The statics from before the last freeze were put back as ") && s.contains(note), qPrintable(s));
    QCOMPARE(Read(index_), index);
    QCOMPARE(Read(data_), data);
  }
};

QTEST_APPLESS_MAIN(TestFreezeUndo)

#include "tst_freeze_undo.moc"
