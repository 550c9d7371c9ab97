// The freeze as one transaction: failures, write limits, signals and a second freeze at any of its
// points leave the previous statics or the complete new ones.
#include <QTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "app/core/run.h"
#include "freeze_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/move_methods.h"

using mirnax::BlockCount;
using mirnax::ClearStatics;
using mirnax::EInOutError;
using mirnax::Exception;
using mirnax::IgnoreFileSizeSignal;
using mirnax::RollBackFreezeOnSignals;
using mirnax::SetFolderSync;
using mirnax::SignalAfterCompletedFreeze;
using mirnax::TBlockStore;
using mirnax::TFolderSync;
using mirnax::TFreezePoint;
using mirnax::fpBlockWritten;
using mirnax::fpChecked;
using mirnax::fpDataMoved;
using mirnax::fpIndexMoved;
using mirnax::fpIndexTempDeleted;
using mirnax::fpMarkedComplete;
using mirnax::fpNewFilesFlushed;
using mirnax::support::ErrorOf;

using namespace fixture;

class TestFreeze : public QObject, TFreezeWorkspace {
  Q_OBJECT

 private slots:
  void init() { Begin(); }

  // Until the new pair is complete the previous files are only moved aside: any failure puts back
  // what was there, and removes what was not.
  void failureDuringTheFreezePutsTheFilesBack_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("point");
    QTest::addColumn<int>("block");
    QTest::addColumn<bool>("withIndex");
    for (const char* how : {"freeze", "clear and freeze"}) {
      QTest::addRow("%s, after both moved", how) << how << int(fpDataMoved) << -1 << true;
      QTest::addRow("%s, after block 70000", how) << how << int(fpBlockWritten) << 70000 << true;
    }
    QTest::newRow("freeze, after the index moved") << "freeze" << int(fpIndexMoved) << -1 << true;
    QTest::newRow("freeze, after the last block") << "freeze" << int(fpBlockWritten) << BlockCount - 1 << true;
    QTest::newRow("clear and freeze, after the last block, no index before")
        << "clear and freeze" << int(fpBlockWritten) << BlockCount - 1 << false;
  }
  void failureDuringTheFreezePutsTheFilesBack() {
    QFETCH(QString, how);
    QFETCH(int, point);
    QFETCH(int, block);
    QFETCH(bool, withIndex);
    TBlockStore store;
    MakeBusyPair(store);
    if (!withIndex) QFile::remove(index_);
    const QStringList before = Snapshot();
    QCOMPARE(ErrorOf<EInOutError>([&] {
               Rewrite(how, store, [&](TFreezePoint p, int32_t b) {
                 if (p == point && b == block) throw EInOutError("Write error on the disk: Input/output error", 5);
               });
             }),
             QString("Write error on the disk: Input/output error\n"
                     "The statics files were put back as they were before the freeze."));
    QCOMPARE(Snapshot(), before);
  }

  // The folder sync that makes the completed journal durable fails (EIO): the freeze has not
  // completed, so it fails and puts the previous files back instead of reporting success.
  void aFailedFolderSyncOfTheCompleteJournalFails() {
    TBlockStore store;
    MakeBusyPair(store);
    const QStringList before = Snapshot();
    static int syncs;
    syncs = 0;
    // The first sync makes the journal of the moves durable, the second the complete one.
    const TFolderSync previous = SetFolderSync([](int fd) {
      if (++syncs == 2) {
        errno = EIO;
        return -1;
      }
      return ::fsync(fd);
    });
    const QString message = ErrorOf<Exception>([&] { Freeze(store); });
    SetFolderSync(previous);
    QVERIFY2(message.startsWith("Cannot write the folder") && message.contains("Input/output error") &&
                 message.contains("put back as they were"),
             qPrintable(message));
    QCOMPARE(Snapshot(), before);
  }

  // A put-back that itself fails keeps the previous file under ".xxx", says so, and the next
  // freeze refuses to go on.
  void failedPutBackKeepsThePreviousFile() {
    TBlockStore store;
    MakeBusyPair(store);
    const QByteArray index = Read(index_), data = Read(data_);
    const QString dataTemp = Path("statics0.xxx");
    const QString m = ErrorOf<EInOutError>([&] {
      Freeze(store, [&](TFreezePoint p, int32_t b) {
        if (p != fpBlockWritten || b != 70000) return;
        // A folder now stands where the previous data file must go back.
        QFile::remove(data_);
        QDir(dir_->path()).mkdir("statics0.mul");
        throw EInOutError("Write error on the disk: Input/output error", 5);
      });
    });
    QVERIFY2(m.startsWith("Write error on the disk: Input/output error\nCannot rename " + dataTemp + " to " + data_),
             qPrintable(m));
    QVERIFY2(m.endsWith("The previous statics are kept as " + dataTemp + "; put them back by hand."), qPrintable(m));
    QCOMPARE(Read(index_), index);
    QCOMPARE(Read(dataTemp), data);
    const QString next = ErrorOf<Exception>([&] { Freeze(store); });
    QVERIFY2(next.contains("Put back " + dataTemp + " as " + data_ + ","), qPrintable(next));
    QCOMPARE(Read(dataTemp), data);
  }

  // A ".xxx" file that appears after the checks (another freeze, the operator) is never
  // overwritten: the move fails and what was moved already goes back.
  void aLeftoverThatAppearsLateIsNeverReplaced_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<QString>("name");
    QTest::newRow("the index's, before the moves") << int(fpChecked) << "staidx0.xxx";
    QTest::newRow("the data's, after the index moved") << int(fpIndexMoved) << "statics0.xxx";
  }
  void aLeftoverThatAppearsLateIsNeverReplaced() {
    QFETCH(int, point);
    QFETCH(QString, name);
    TBlockStore store;
    MakeBusyPair(store);
    const QByteArray index = Read(index_), data = Read(data_);
    const QString late = Path(name);
    const QString from = name.startsWith("staidx") ? index_ : data_;
    QString expected = "Cannot rename " + from + " to " + late + ": File exists";
    if (point == fpIndexMoved) expected += "\nThe statics files were put back as they were before the freeze.";
    QCOMPARE(ErrorOf<EInOutError>([&] {
               Freeze(store, [&](TFreezePoint p, int32_t) {
                 if (p == point) Write(late, "the only copy");
               });
             }),
             expected);
    QCOMPARE(Read(late), QByteArray("the only copy"));
    QCOMPARE(Read(index_), index);
    QCOMPARE(Read(data_), data);
    QCOMPARE(Leftovers(), QStringList({name}));
  }

  // A real write limit: the write fails with EFBIG in the middle of the freeze (or the clear).
  void writeLimitLeavesTheFilesAsTheyWere_data() {
    QTest::addColumn<bool>("clear");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<int>("bigBlock");
    QTest::newRow("freeze: the index hits the limit") << false << qint64(1 << 20) << 0;
    QTest::newRow("freeze: the data hits the limit") << false << qint64(3 << 20) << 2000;
    QTest::newRow("clear: the index hits the limit") << true << qint64(1 << 20) << 0;
  }
  void writeLimitLeavesTheFilesAsTheyWere() {
    QFETCH(bool, clear);
    QFETCH(qint64, limit);
    QFETCH(int, bigBlock);
    TBlockStore store;
    MakeBusyPair(store);
    if (bigBlock > 0) {
      // About 4 MB of old statics in one early block: the data file passes the limit first.
      QByteArray index = Read(index_), data = Read(data_);
      SetEntry(index, bigBlock, int32_t(data.size()), 4 << 20);
      data += QByteArray(4 << 20, 's');
      Write(index_, index);
      Write(data_, data);
    }
    const QStringList before = Snapshot();
    const mirnax::support::TChildResult child = RunInChild(
        [&](int fd) {
          IgnoreFileSizeSignal();
          rlimit rl{rlim_t(limit), rlim_t(limit)};
          ::setrlimit(RLIMIT_FSIZE, &rl);
          Send(fd, Std(ErrorOf<Exception>([&] { Rewrite(clear ? "clear" : "freeze", store); })));
          return 0;
        });
    const QByteArray message = Q(child.Output);
    QVERIFY2(child.ExitCode == 0, message.constData());
    QVERIFY2(message.contains("File too large"), message.constData());
    QVERIFY2(message.contains(clear ? "The statics files were left as they were." : "were put back"), message.constData());
    QCOMPARE(Snapshot(), before);
  }

  // A second freeze of a pair while one is between its checks and its end is refused at once and
  // touches nothing; the first completes with its own items. At every point of the first.
  void aSecondFreezeWaitsForNone_data() {
    QTest::addColumn<int>("point");
    QTest::newRow("checked") << int(fpChecked);
    QTest::newRow("index moved") << int(fpIndexMoved);
    QTest::newRow("block written") << int(fpBlockWritten);
    QTest::newRow("marked complete") << int(fpMarkedComplete);
  }
  void aSecondFreezeWaitsForNone() {
    QFETCH(int, point);
    ClearStatics(Pair());
    TBlockStore mine, theirs;
    mine.Append(9, Item(1, 1, 1, 1, 1));
    theirs.Append(9, Item(2, 2, 2, 2, 2));
    bool tried = false;
    Freeze(mine, [&](TFreezePoint reached, int32_t) {
      if (reached != TFreezePoint(point) || tried) return;
      tried = true;
      const QStringList before = Snapshot();
      const mirnax::support::TChildResult second = RunInChild([&](int pipe) {
        try {
          Freeze(theirs);
        } catch (const Exception& e) {
          Send(pipe, e.Message);
          return 1;
        }
        return 0;
      });
      QCOMPARE(second.ExitCode, 1);
      QCOMPARE(QString::fromStdString(second.Output),
               QString("another freeze of these files is running (process %1)").arg(::getpid()));
      QCOMPARE(Snapshot(), before);
    });
    QVERIFY(tried);
    QCOMPARE(Read(data_), Record(1, 1, 1, 1, 1));
    QCOMPARE(Leftovers(), QStringList());
  }

  // Freezes of one pair started together, again and again: each either completes or is refused,
  // and the pair ends with the items of every one that completed.
  void freezesStartedTogetherLoseNothing() {
    ClearStatics(Pair());
    int completed = 0;
    for (int round = 0; round < 20; ++round) {
      pid_t children[2];
      for (pid_t& child : children) {
        child = ::fork();
        if (child == 0) {
          TBlockStore store;
          for (int i = 0; i < 2000; ++i) store.Append(i % 50, Item(1, 1, 1, 1, 1));
          try {
            Freeze(store);
          } catch (const Exception& e) {
            ::_exit(e.Message.starts_with("another freeze of these files is running") ? 1 : 2);
          }
          ::_exit(0);
        }
      }
      for (const pid_t child : children) {
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QVERIFY2(WEXITSTATUS(status) <= 1, "a freeze failed other than by being refused");
        if (WEXITSTATUS(status) == 0) ++completed;
      }
    }
    QVERIFY(completed >= 20);
    QCOMPARE(Read(data_).size(), qsizetype(completed) * 2000 * 7);
    QCOMPARE(Leftovers(), QStringList());
  }

  // With the programs' signal handling on, SIGINT, SIGTERM and SIGHUP during the freeze stop it and
  // put the previous statics back; the process goes on and reports it.
  void signalsDuringTheFreezePutTheFilesBack_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("point");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("message");
    const QString putBack = "\nThe statics files were put back as they were before the freeze.";
    QTest::newRow("SIGTERM before the moves") << SIGTERM << int(fpChecked) << -1 << "freeze"
                                              << "The freeze was stopped by SIGTERM.";
    QTest::newRow("SIGINT after the data moved") << SIGINT << int(fpDataMoved) << -1 << "freeze"
                                                 << "The freeze was stopped by SIGINT." + putBack;
    QTest::newRow("SIGTERM after block 70000") << SIGTERM << int(fpBlockWritten) << 70000 << "freeze"
                                               << "The freeze was stopped by SIGTERM." + putBack;
    QTest::newRow("SIGHUP after the last block") << SIGHUP << int(fpBlockWritten) << BlockCount - 1 << "freeze"
                                                 << "The freeze was stopped by SIGHUP." + putBack;
    QTest::newRow("SIGTERM after the new files are on disk") << SIGTERM << int(fpNewFilesFlushed) << -1 << "freeze"
                                                            << "The freeze was stopped by SIGTERM." + putBack;
    QTest::newRow("SIGINT during a clear and freeze") << SIGINT << int(fpBlockWritten) << 1000 << "clear and freeze"
                                                      << "The freeze was stopped by SIGINT." + putBack;
  }
  void signalsDuringTheFreezePutTheFilesBack() {
    QFETCH(int, signal);
    QFETCH(int, point);
    QFETCH(int, block);
    QFETCH(QString, how);
    QFETCH(QString, message);
    TBlockStore store;
    MakeBusyPair(store);
    const QStringList before = Snapshot();
    const mirnax::support::TChildResult child = RunInChild(
        [&](int fd) {
          RollBackFreezeOnSignals();
          Send(fd, Std(ErrorOf<Exception>([&] {
                 Rewrite(how, store, [&](TFreezePoint p, int32_t b) {
                   if (p == point && b == block) ::kill(::getpid(), signal);
                 });
               })));
          return 0;
        });
    const QByteArray got = Q(child.Output);
    QVERIFY2(child.ExitCode == 0, got.constData());
    QCOMPARE(QString::fromUtf8(got), message);
    QCOMPARE(Snapshot(), before);
  }

  // Once the new files are complete a signal no longer ends the process: the freeze finishes its
  // clean-up and the signal is only noted, so the program can say so and end with success (a
  // failure would invite the same items frozen twice). Outside a freeze, and for a signal the
  // program ignores, nothing changes.
  void signalsOutsideTheFreezeActAsUsual_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<bool>("ignored");
    QTest::addColumn<bool>("killed");
    QTest::addColumn<QString>("noted");
    QTest::newRow("after the new files are marked complete") << int(fpMarkedComplete) << false << false << "SIGTERM";
    QTest::newRow("after the index's .xxx is deleted") << int(fpIndexTempDeleted) << false << false << "SIGTERM";
    QTest::newRow("after the freeze") << -1 << false << true << "";
    QTest::newRow("ignored, during the freeze") << int(fpDataMoved) << true << false << "";
  }
  void signalsOutsideTheFreezeActAsUsual() {
    QFETCH(int, point);
    QFETCH(bool, ignored);
    QFETCH(bool, killed);
    QFETCH(QString, noted);
    TBlockStore store;
    MakeBusyPair(store);
    const auto [newIndex, newData] = Merged(store, Read(index_), Read(data_));
    const mirnax::support::TChildResult child = RunInChild(
        [&](int fd) {
          RollBackFreezeOnSignals();
          if (ignored) std::signal(SIGHUP, SIG_IGN);
          try {
            Freeze(store, [&](TFreezePoint p, int32_t) {
              if (p == point) ::kill(::getpid(), ignored ? SIGHUP : SIGTERM);
            });
          } catch (const Exception&) {
            return 1;
          }
          const char* late = SignalAfterCompletedFreeze();
          Send(fd, late ? late : "");
          if (point == -1) ::kill(::getpid(), SIGTERM);
          return 0;
        });
    if (killed) {
      QVERIFY(child.Signal == SIGTERM);
    } else {
      QCOMPARE(child.ExitCode, 0);
      QCOMPARE(QString::fromStdString(child.Output), noted);
    }
    QCOMPARE(Read(index_), newIndex);
    QCOMPARE(Read(data_), newData);
    QVERIFY(Leftovers().isEmpty());
  }
};

QTEST_APPLESS_MAIN(TestFreeze)

#include "tst_freeze.moc"
