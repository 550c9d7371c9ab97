#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>

#include "app/core/run.h"
#include "app/core/freeze_points.h"
#include "app/core/freeze_recovery.h"
#include "app/core/index_scan.h"
#include "app/core/statics.h"
#include "app/core/statics_merge.h"
#include "app/core/statics_paths.h"
#include "app/core/world_reader.h"
#include "statics_fixture.h"
#include "tests/support/child_process.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/move_methods.h"

namespace support = mirnax::support;
using mirnax::BlockBufferSize;
using mirnax::BlockCount;
using mirnax::CheckClearStatics;
using mirnax::ClearAndFreezeStatics;
using mirnax::ClearStatics;
using mirnax::EFCreateError;
using mirnax::EFOpenError;
using mirnax::EInOutError;
using mirnax::Exception;
using mirnax::FreezeStatics;
using mirnax::IgnoreFileSizeSignal;
using mirnax::MergeStatics;
using mirnax::ReadWorldFile;
using mirnax::RecoverInterruptedFreeze;
using mirnax::RollBackFreezeOnSignals;
using mirnax::SetFolderSync;
using mirnax::SetFreeSpaceQuery;
using mirnax::SignalAfterCompletedFreeze;
using mirnax::StaticItem;
using mirnax::TBlockStore;
using mirnax::TFolderSync;
using mirnax::TFreeSpaceQuery;
using mirnax::TFreezePoint;
using mirnax::TFreezeTestHook;
using mirnax::TMemoryStaticsInput;
using mirnax::TMemoryStaticsOutput;
using mirnax::TNullProgress;
using mirnax::TStaticsOutput;
using mirnax::TStringList;
using mirnax::TileIdBase;
using mirnax::UndoLastFreeze;
using mirnax::fpBlockWritten;
using mirnax::fpChecked;
using mirnax::fpDataMoved;
using mirnax::fpIndexMoved;
using mirnax::fpIndexTempDeleted;
using mirnax::fpMarkedComplete;
using mirnax::fpNewFilesFlushed;
using mirnax::support::ErrorOf;

using namespace fixture;

namespace {
StaticItem Item(uint16_t tile, uint8_t x, uint8_t y, int8_t z, uint16_t hue) {
  StaticItem it;
  it.TileId = static_cast<uint16_t>(tile + TileIdBase);
  it.CellX = x;
  it.CellY = y;
  it.Z = z;
  it.Hue = hue;
  return it;
}

// The freeze of old files and store, computed in memory, for comparing with what reaches disk.
std::pair<QByteArray, QByteArray> Merged(const TBlockStore& store, const QByteArray& index, const QByteArray& data) {
  TMemoryStaticsInput oldIndex(std::string_view(index.constData(), size_t(index.size())), "index");
  TMemoryStaticsInput oldData(std::string_view(data.constData(), size_t(data.size())), "data");
  TMemoryStaticsOutput newIndex, newData;
  TNullProgress gauge;
  MergeStatics(store, oldIndex, oldData, newIndex, newData, gauge);
  return {QByteArray::fromStdString(newIndex.Bytes), QByteArray::fromStdString(newData.Bytes)};
}

// Bytes of address space the process uses now.
rlim_t AddressSpaceInUse() {
  QFile statm("/proc/self/statm");
  if (!statm.open(QIODevice::ReadOnly)) qFatal("cannot read /proc/self/statm");
  return rlim_t(statm.readAll().split(' ').first().toULongLong()) * rlim_t(::sysconf(_SC_PAGESIZE));
}

// Counts what is written and keeps none of it.
class TCountingOutput : public TStaticsOutput {
 public:
  void Write(const void*, size_t count) override { Bytes += int64_t(count); }
  int64_t Bytes = 0;
};
}  // namespace

class TestStatics : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString index_, data_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  std::string Index() const { return Std(index_); }
  std::string Data() const { return Std(data_); }
  // Every file but the statics pair and the backup of the previous pair.
  QStringList Leftovers() const {
    QStringList names = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden);
    for (const char* kept : {"staidx0.mul", "statics0.mul", "staidx0.mul.bak", "statics0.mul.bak",
                             "staidx0.mul.bak.freeze"})
      names.removeOne(kept);
    return names;
  }
  QStringList Snapshot() const { return fixture::Snapshot(dir_->path()); }
  // The busy pair, frozen by a child killed at the row's point: the pair before and the pair the
  // freeze would have written.
  std::array<QByteArray, 4> KillAFreeze(TBlockStore& store) {
    QFETCH(int, point);
    QFETCH(int, block);
    MakeBusyPair(store);
    const QByteArray index = Read(index_), data = Read(data_);
    const auto [newIndex, newData] = Merged(store, index, data);
    KillFreezeAt(store, point, block);
    return {index, data, newIndex, newData};
  }
  void KillFreezeAt(const TBlockStore& store, int point, int block) {
    const support::TChildResult child = RunInChild([&](int) {
      Freeze(store, [&](TFreezePoint p, int32_t b) {
        if (p == point && b == block) ::raise(SIGKILL);
      });
      return 0;
    });
    QVERIFY(child.Signal == SIGKILL);
  }
  void Freeze(const TBlockStore& store, const TFreezeTestHook& hook = {}) {
    TNullProgress gauge;
    FreezeStatics(store, Index(), Data(), gauge, hook);
  }
  // The three ways of writing the statics files: a freeze, a clear with the freeze, a clear alone
  // (which has no test points).
  void Rewrite(const QString& how, const TBlockStore& store, const TFreezeTestHook& hook = {}) {
    TNullProgress gauge;
    if (how == "freeze")
      Freeze(store, hook);
    else if (how == "clear and freeze")
      ClearAndFreezeStatics(store, Index(), Data(), gauge, hook);
    else
      ClearStatics(Index(), Data());
  }

  // Old files with statics in a few blocks, stored out of block order and with unreferenced bytes
  // between them, and a store with items in some of those blocks and some others.
  void MakeBusyPair(TBlockStore& store) {
    QByteArray index = EmptyIndex();
    QByteArray data = "JUNK";
    SetEntry(index, 70000, int32_t(data.size()), 14, "\x01\x02\x03\x04");
    data += Record(1, 1, 1, 1, 1) + Record(2, 2, 2, 2, 2);
    data += "MOREJUNK";
    SetEntry(index, 5, int32_t(data.size()), 7, "\xAA\xBB\xCC\xDD");
    data += Record(3, 3, 3, 3, 3);
    SetEntry(index, 393215, int32_t(data.size()), 7);
    data += Record(4, 4, 4, 4, 4);
    Write(index_, index);
    Write(data_, data);
    store.Append(5, Item(10, 0, 0, 0, 0));
    store.Append(70000, Item(11, 1, 0, 0, 0));
    store.Append(70000, Item(12, 2, 0, 0, 0));
    store.Append(200000, Item(13, 3, 0, 0, 0));
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    index_ = Path("staidx0.mul");
    data_ = Path("statics0.mul");
  }

  void recordsAndEntries_data() {
    QTest::addColumn<QString>("world");
    QTest::addColumn<QByteArray>("record");
    QTest::newRow("tile, cell and hue") << "[WORLDITEM 0eed]\nCOLOR=0481\nP=1430,1700,0\n\n"
                                        << QByteArray("\xED\x0E\x06\x04\x00\x81\x04", 7);
    QTest::newRow("z of -1") << "[WORLDITEM 0001]\nP=0,0,-1\n\n" << QByteArray("\x01\x00\x00\x00\xFF\x00\x00", 7);
    QTest::newRow("z of 300") << "[WORLDITEM 0001]\nP=0,0,300\n\n" << QByteArray("\x01\x00\x00\x00\x2C\x00\x00", 7);
    QTest::newRow("tile and hue keep their low 16 bits")
        << "[WORLDITEM 0001]\nID=123456\nCOLOR=abcdef\n\n" << QByteArray("\x56\x34\x00\x00\x00\xEF\xCD", 7);
  }
  void recordsAndEntries() {
    QFETCH(QString, world);
    QFETCH(QByteArray, record);
    TStringList lines;
    lines.SetText(world.toStdString());
    TBlockStore store;
    TNullProgress gauge;
    ReadWorldFile(lines, store, gauge);
    const auto [index, data] = Merged(store, EmptyIndex(), {});
    QCOMPARE(data, record);
    QCOMPARE(index.size(), EmptyIndex().size());
    int filled = 0;
    for (int b = 0; b < Blocks; ++b) {
      if (EntryAt(index, b) == Entry(-1, -1)) continue;
      ++filled;
      QCOMPARE(EntryAt(index, b), Entry(0, 7));
    }
    QCOMPARE(filled, 1);
  }

  void clearWritesAnEmptyPair() {
    Write(index_, "old index");
    Write(data_, "old data");
    ClearStatics(Index(), Data());
    QCOMPARE(Read(index_), EmptyIndex());
    QCOMPARE(Read(data_), QByteArray());
    QVERIFY(Leftovers().isEmpty());
  }

  void clearCreatesMissingFiles() {
    ClearStatics(Index(), Data());
    QCOMPARE(Read(index_), EmptyIndex());
    QCOMPARE(Read(data_), QByteArray());
  }

  void clearThatCannotCreateTouchesNothing() {
    Write(index_, "old index");
    const std::string data = Std(Path("missing/statics0.mul"));
    QCOMPARE(ErrorOf<EFCreateError>([&] { ClearStatics(Index(), data); }),
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
    ClearStatics(Index(), Data());
    QCOMPARE(Read(index_), EmptyIndex());
    QCOMPARE(Read(data_), QByteArray());
    QCOMPARE(Read(Path("statics0.mul.new")), QByteArray("someone else's file"));
    QCOMPARE(Leftovers(), QStringList({"statics0.mul.new"}));
  }

  void freezeOneItemAfterClear() {
    ClearStatics(Index(), Data());
    TBlockStore store;
    store.Append(91348, Item(0xEED, 6, 4, 0, 0x481));
    Freeze(store);
    QByteArray expected = EmptyIndex();
    SetEntry(expected, 91348, 0, 7);
    QCOMPARE(Read(index_), expected);
    QCOMPARE(Read(data_), QByteArray("\xED\x0E\x06\x04\x00\x81\x04", 7));
    QVERIFY(Leftovers().isEmpty());
  }

  void freezeMergesOldAndNew() {
    TBlockStore store;
    MakeBusyPair(store);
    Freeze(store);
    const QByteArray index = Read(index_);
    const QByteArray data = Read(data_);
    // Ordered by block, unreferenced bytes dropped, offsets the running sums, Extra kept.
    QByteArray expectedData = Record(3, 3, 3, 3, 3) + Record(10, 0, 0, 0, 0);                       // block 5
    expectedData += Record(1, 1, 1, 1, 1) + Record(2, 2, 2, 2, 2) + Record(11, 1, 0, 0, 0) + Record(12, 2, 0, 0, 0);
    expectedData += Record(13, 3, 0, 0, 0);                                                         // block 200000
    expectedData += Record(4, 4, 4, 4, 4);                                                          // block 393215
    QCOMPARE(data, expectedData);
    QByteArray expected = EmptyIndex();
    SetEntry(expected, 5, 0, 14, "\xAA\xBB\xCC\xDD");
    SetEntry(expected, 70000, 14, 28, "\x01\x02\x03\x04");
    SetEntry(expected, 200000, 42, 7);
    SetEntry(expected, 393215, 49, 7);
    QCOMPARE(index, expected);
    QVERIFY(Leftovers().isEmpty());
  }

  void emptyEntriesKeepTheirExtra_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("withItem");
    QTest::newRow("offset -1, length 21") << -1 << 21 << false;
    QTest::newRow("offset -1, length 21, with an item") << -1 << 21 << true;
    QTest::newRow("length 0") << 3 << 0 << false;
    QTest::newRow("length -1") << 3 << -1 << true;
  }
  void emptyEntriesKeepTheirExtra() {
    QFETCH(int, offset);
    QFETCH(int, length);
    QFETCH(bool, withItem);
    QByteArray index = EmptyIndex();
    SetEntry(index, 42, offset, length, "\x01\x02\x03\x04");
    Write(index_, index);
    Write(data_, QByteArray(30, 'x'));
    TBlockStore store;
    if (withItem) store.Append(42, Item(1, 2, 3, 4, 5));
    Freeze(store);
    QByteArray expected = EmptyIndex();
    SetEntry(expected, 42, withItem ? 0 : -1, withItem ? 7 : -1, "\x01\x02\x03\x04");
    QCOMPARE(Read(index_), expected);
    QCOMPARE(Read(data_), withItem ? Record(1, 2, 3, 4, 5) : QByteArray());
  }

  void freezingTwiceDoublesTheRecords() {
    ClearStatics(Index(), Data());
    TBlockStore store;
    store.Append(9, Item(1, 1, 1, 1, 1));
    store.Append(9, Item(2, 2, 2, 2, 2));
    Freeze(store);
    Freeze(store);
    const QByteArray twice = (Record(1, 1, 1, 1, 1) + Record(2, 2, 2, 2, 2)).repeated(2);
    QCOMPARE(Read(data_), twice);
    QCOMPARE(EntryAt(Read(index_), 9), Entry(0, 28));
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

  // A disk without room for the new pair beside the old one is found before anything moves, and
  // the refusal says how much is needed.
  void tooLittleFreeSpaceIsRefusedEarly() {
    TBlockStore store;
    MakeBusyPair(store);
    const QStringList before = Snapshot();
    const TFreeSpaceQuery previous = SetFreeSpaceQuery([](const std::string&) { return int64_t{4000000}; });
    const QString message = ErrorOf<Exception>([&] { Freeze(store); });
    SetFreeSpaceQuery(previous);
    // 4,718,592 bytes of index and 71 of data (43 old, four new records).
    QVERIFY2(message.startsWith("Not enough free space for the new statics: 4.7 MB is needed beside ") &&
                 message.endsWith(", 4.0 MB is free."),
             qPrintable(message));
    QCOMPARE(Snapshot(), before);
  }

  // A data file under the journal's name, in any letter case, is refused by the freeze too, and
  // stays as it was (the freeze would delete it as its journal).
  void freezeRefusesTheJournalsName() {
    for (const QString name : {"staidx0.mul.freeze", "StaIdx0.Mul.Freeze"}) {
      data_ = Path(name);
      TBlockStore store;
      MakeBusyPair(store);
      const QStringList before = Snapshot();
      QVERIFY(ErrorOf<Exception>([&] { Freeze(store); }).contains("uses for its own working file"));
      QCOMPARE(Snapshot(), before);
      QFile::remove(data_);
    }
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
    ClearStatics(Index(), Data());
    TBlockStore mine, theirs;
    mine.Append(9, Item(1, 1, 1, 1, 1));
    theirs.Append(9, Item(2, 2, 2, 2, 2));
    bool tried = false;
    Freeze(mine, [&](TFreezePoint reached, int32_t) {
      if (reached != TFreezePoint(point) || tried) return;
      tried = true;
      const QStringList before = Snapshot();
      const support::TChildResult second = support::RunInChild([&](int pipe) {
        try {
          Freeze(theirs);
        } catch (const Exception& e) {
          support::Send(pipe, e.Message);
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
    ClearStatics(Index(), Data());
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
    ClearStatics(Index(), Data());
    Freeze(store);
    const QByteArray index = Read(index_), data = Read(data_);

    Write(index_, oldIndex);
    Write(data_, oldData);
    if (!withIndex) QFile::remove(index_);
    if (!withData) QFile::remove(data_);
    TNullProgress gauge;
    ClearAndFreezeStatics(store, Index(), Data(), gauge);
    QCOMPARE(Read(index_), index);
    QCOMPARE(Read(data_), data);
    QCOMPARE(gauge.Progress(), BlockCount);
    QVERIFY(Leftovers().isEmpty());
  }

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
          CheckClearStatics(Index(), Data());
        else
          Rewrite(how, store);
      });
      QVERIFY2(m.contains(message), qPrintable(how + ": " + m));
      QCOMPARE(Snapshot(), before);
    }
  }

  void blockLargerThanTheBufferGrowsIt() {
    QByteArray index = EmptyIndex();
    SetEntry(index, 1, 0, 14);
    const QByteArray old = Record(7, 1, 1, 1, 1) + Record(8, 2, 2, 2, 2);
    Write(index_, index);
    Write(data_, old);
    TBlockStore store;
    QByteArray expected = old;
    for (int i = 0; i < 15000; ++i) {
      store.Append(1, Item(uint16_t(i), uint8_t(i % 8), 0, 0, 0));
      expected += Record(uint16_t(i), uint8_t(i % 8), 0, 0, 0);
    }
    store.Append(2, Item(1, 0, 0, 0, 0));
    Freeze(store);
    QVERIFY(expected.size() > int(BlockBufferSize));
    QCOMPARE(Read(data_), expected + Record(1, 0, 0, 0, 0));
    QCOMPARE(EntryAt(Read(index_), 1), Entry(0, int32_t(expected.size())));
    QCOMPARE(EntryAt(Read(index_), 2), Entry(int32_t(expected.size()), 7));
  }

  // Entries may share their data. The merge still holds one large block at a time: 64 entries
  // naming the same 8 MB must not take 512 MB at once.
  void blocksSharingTheirDataAreAssembledOneAtATime() {
    constexpr int32_t Shared = 8 << 20, Sharing = 64;
    QByteArray index = EmptyIndex();
    for (int b = 0; b < Sharing; ++b) SetEntry(index, b, 0, Shared);
    const std::string data(size_t{Shared}, 's');
    const support::TChildResult child = RunInChild(
        [&](int fd) {
          const rlim_t limit = AddressSpaceInUse() + (rlim_t{128} << 20);
          rlimit rl{limit, limit};
          ::setrlimit(RLIMIT_AS, &rl);
          TMemoryStaticsInput oldIndex(std::string_view(index.constData(), size_t(index.size())), "index");
          TMemoryStaticsInput oldData(data, "data");
          TCountingOutput newIndex, newData;
          TNullProgress gauge;
          TBlockStore store;
          try {
            MergeStatics(store, oldIndex, oldData, newIndex, newData, gauge);
          } catch (const std::bad_alloc&) {
            Send(fd, "out of memory");
            return 1;
          } catch (const Exception& e) {
            Send(fd, e.Message);
            return 1;
          }
          Send(fd, std::to_string(newData.Bytes));
          return 0;
        });
    const QByteArray message = Q(child.Output);
    QVERIFY2(child.ExitCode == 0, message.constData());
    QCOMPARE(message, QByteArray::number(qint64{Shared} * Sharing));
  }

  // Each refusal happens before anything is renamed: the files stay byte for byte as they were.
  void refusals_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    QTest::newRow("index missing") << "no index" << "Cannot open file %index";
    QTest::newRow("data missing") << "no data" << "Cannot open file %data";
    QTest::newRow("index truncated") << "short index"
                                     << "The statics index file %index is 4718580 bytes long; a statics index file has "
                                        "exactly 4718592 bytes (393216 entries of 12 bytes).";
    QTest::newRow("index too long") << "long index" << "is 4718593 bytes long";
    QTest::newRow("entry past the end of the data")
        << "entry past end"
        << "The statics index file %index is damaged: entry 77 points outside the statics data file %data (offset 10, "
           "length 7; the data file has 16 bytes).";
    QTest::newRow("negative offset") << "negative offset" << "entry 77 points outside";
    QTest::newRow("negative length") << "negative length" << "entry 77 points outside";
    QTest::newRow("index left by an interrupted freeze")
        << "index xxx" << "The file %dir/staidx0.xxx is left from a freeze that did not finish";
    QTest::newRow("data left by an interrupted freeze")
        << "data xxx" << "The file %dir/statics0.xxx is left from a freeze that did not finish";
    QTest::newRow("one file given twice") << "same file" << "must be two different files";
    QTest::newRow("same temporary name") << "same temp" << "would both be kept as %dir/staidx0.xxx";
    QTest::newRow("same temporary name, folder spelled another way")
        << "same temp, other spelling" << "would both be kept as %dir/staidx0.xxx";
    QTest::newRow("temporary extension") << "xxx path" << "has the extension .xxx";
    QTest::newRow("more data than an offset can address") << "2 GB" << "more than a statics index can address";
  }
  void refusals() {
    QFETCH(QString, setup);
    QFETCH(QString, message);
    QByteArray index = EmptyIndex();
    SetEntry(index, 3, 0, 16);
    Write(index_, index);
    Write(data_, QByteArray(16, 'd'));
    TBlockStore store;
    store.Append(3, Item(1, 1, 1, 1, 1));
    if (setup == "no index") QFile::remove(index_);
    if (setup == "no data") QFile::remove(data_);
    if (setup == "short index") Write(index_, index.left(index.size() - 12));
    if (setup == "long index") Write(index_, index + "x");
    if (setup == "entry past end") SetEntry(index, 77, 10, 7), Write(index_, index);
    if (setup == "negative offset") SetEntry(index, 77, -5, 7), Write(index_, index);
    if (setup == "negative length") SetEntry(index, 77, 0, -7), Write(index_, index);
    if (setup == "index xxx") Write(Path("staidx0.xxx"), "previous index");
    if (setup == "data xxx") Write(Path("statics0.xxx"), "previous data");
    if (setup == "same file") QVERIFY(QFile::link(index_, data_ = Path("link.mul")));
    if (setup == "same temp") Write(data_ = Path("staidx0.dat"), "d");
    if (setup == "same temp, other spelling") {
      QVERIFY(QDir(dir_->path()).mkdir("sub"));
      Write(data_ = Path("sub/../staidx0.dat"), QByteArray(16, 'd'));
    }
    if (setup == "xxx path") QFile::rename(data_, data_ = Path("statics0.xxx"));
    if (setup == "2 GB") {
      // A sparse data file of 2 GB - 1 whose block 4 takes all of it but 6 bytes.
      QFile f(data_);
      QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(INT32_MAX));
      SetEntry(index, 4, 16, INT32_MAX - 16 - 6);
      Write(index_, index);
    }
    const QStringList before = Snapshot();
    const QString m = ErrorOf<Exception>([&] { Freeze(store); });
    message.replace("%index", index_).replace("%data", data_).replace("%dir", dir_->path());
    QVERIFY2(m.contains(message), qPrintable(m));
    QCOMPARE(Snapshot(), before);
  }

  void emptyPathsFailAsTheSystemDoes() {
    Write(index_, "index");
    Write(data_, "data");
    const QStringList before = Snapshot();
    TBlockStore store;
    TNullProgress gauge;
    QCOMPARE(ErrorOf<EFCreateError>([&] { ClearStatics(Index(), ""); }), QString("Cannot create file "));
    QCOMPARE(ErrorOf<EFOpenError>([&] { FreezeStatics(store, "", Data(), gauge); }),
             QString("Cannot open file : No such file or directory"));
    QCOMPARE(Snapshot(), before);
  }

  // Neither file exists yet, so only their folders tell that the two paths name one file.
  void clearRefusesOneFileNamedTwice() {
    QVERIFY(QDir(dir_->path()).mkdir("sub"));
    const QString m = ErrorOf<Exception>([&] { ClearStatics(Index(), Std(Path("sub/../staidx0.mul"))); });
    QVERIFY2(m.contains("must be two different files"), qPrintable(m));
    QVERIFY(!QFile::exists(index_));
    QVERIFY(Leftovers().isEmpty());
  }

  void rewrites_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("freeze") << "freeze";
    QTest::newRow("clear and freeze") << "clear and freeze";
    QTest::newRow("clear") << "clear";
  }

  // A configured path that is a link stays a link; the file it leads to is replaced.
  void linksStayAndTheirTargetsAreReplaced_data() { rewrites_data(); }
  void linksStayAndTheirTargetsAreReplaced() {
    QFETCH(QString, how);
    TBlockStore store;
    MakeBusyPair(store);
    QVERIFY(QDir(dir_->path()).mkdir("real"));
    const QByteArray oldIndex = Read(index_), oldData = Read(data_);
    const TBlockStore none;
    const auto [index, data] = Merged(how == "clear" ? none : store, how == "freeze" ? oldIndex : EmptyIndex(),
                                      how == "freeze" ? oldData : QByteArray());
    QVERIFY(QFile::rename(index_, Path("real/idx.mul")) && QFile::rename(data_, Path("real/dat.mul")));
    QVERIFY(QFile::link("real/idx.mul", index_));  // relative to the link's folder
    QVERIFY(QFile::link("real/dat.mul", Path("statics0.lnk")) && QFile::link(Path("statics0.lnk"), data_));
    Rewrite(how, store);
    QCOMPARE(QFileInfo(index_).symLinkTarget(), Path("real/idx.mul"));
    QCOMPARE(QFileInfo(data_).symLinkTarget(), Path("statics0.lnk"));
    QCOMPARE(Read(Path("real/idx.mul")), index);
    QCOMPARE(Read(Path("real/dat.mul")), data);
    // The backup of a replaced target lies beside it.
    const QStringList pair = {"dat.mul", "idx.mul"};
    const QStringList backedUp = {"dat.mul", "dat.mul.bak", "idx.mul", "idx.mul.bak", "idx.mul.bak.freeze"};
    QCOMPARE(QDir(Path("real")).entryList(QDir::Files | QDir::Hidden), how == "clear" ? pair : backedUp);
    QCOMPARE(Leftovers(), QStringList({"statics0.lnk"}));
  }

  // The new files take over the owner, the group and the permission bits of the files they
  // replace: root freezing statics of another user leaves them that user's.
  void newFilesKeepTheModes_data() { rewrites_data(); }
  void newFilesKeepTheModes() {
    QFETCH(QString, how);
    TBlockStore store;
    MakeBusyPair(store);
    QVERIFY(::chmod(qPrintable(index_), 0640) == 0 && ::chmod(qPrintable(data_), 0604) == 0);
    const bool root = ::geteuid() == 0;
    if (root) QVERIFY(::chown(qPrintable(index_), 65534, 65534) == 0 && ::chown(qPrintable(data_), 65534, 0) == 0);
    Rewrite(how, store);
    QCOMPARE(ModeOf(index_), mode_t(0640));
    QCOMPARE(ModeOf(data_), mode_t(0604));
    if (!root) return;
    struct stat index {}, data {};
    QVERIFY(::stat(qPrintable(index_), &index) == 0 && ::stat(qPrintable(data_), &data) == 0);
    QCOMPARE(index.st_uid, uid_t(65534));
    QCOMPARE(index.st_gid, gid_t(65534));
    QCOMPARE(data.st_uid, uid_t(65534));
    QCOMPARE(data.st_gid, gid_t(0));
  }

  // A read-only statics file is refused before anything is written, even for a process that could
  // write it anyway.
  void readOnlyFilesAreRefused_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("index");
    for (const char* how : {"freeze", "clear and freeze", "clear"}) {
      QTest::addRow("%s, index", how) << how << true;
      QTest::addRow("%s, data", how) << how << false;
    }
  }
  void readOnlyFilesAreRefused() {
    QFETCH(QString, how);
    QFETCH(bool, index);
    TBlockStore store;
    MakeBusyPair(store);
    const QString readOnly = index ? index_ : data_;
    QVERIFY(::chmod(qPrintable(readOnly), 0444) == 0);
    const QStringList before = Snapshot();
    QCOMPARE(ErrorOf<EFCreateError>([&] { Rewrite(how, store); }), "Cannot create file " + readOnly + ": the file is read-only");
    QCOMPARE(Snapshot(), before);
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
    const support::TChildResult child = RunInChild(
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
    const support::TChildResult child = RunInChild(
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
    const support::TChildResult child = RunInChild(
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

  // A freeze killed at any point leaves either the complete new files or the previous ones under
  // ".xxx". The next freeze refuses to go on, names the ".xxx" files and says what to do with them;
  // doing so gives what one freeze gives.
  void killedFreezeIsRecoverable_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<int>("block");
    QTest::addColumn<bool>("complete");
    QTest::newRow("after the index moved") << int(fpIndexMoved) << -1 << false;
    QTest::newRow("after the data moved") << int(fpDataMoved) << -1 << false;
    QTest::newRow("after block 0") << int(fpBlockWritten) << 0 << false;
    QTest::newRow("after block 200000") << int(fpBlockWritten) << 200000 << false;
    QTest::newRow("after the new files are on disk") << int(fpNewFilesFlushed) << -1 << false;
    QTest::newRow("after the new files are marked complete") << int(fpMarkedComplete) << -1 << true;
    QTest::newRow("after the index's .xxx is deleted") << int(fpIndexTempDeleted) << -1 << true;
  }
  void killedFreezeIsRecoverable() {
    QFETCH(bool, complete);
    TBlockStore store;
    const auto [index, data, newIndex, newData] = KillAFreeze(store);

    const QString indexTemp = Path("staidx0.xxx"), dataTemp = Path("statics0.xxx");
    // Marked complete: the new pair is whole. Otherwise the previous pair is, under either name.
    if (complete) {
      QCOMPARE(Read(index_), newIndex);
      QCOMPARE(Read(data_), newData);
    }
    for (const QString& temp : {indexTemp, dataTemp}) {
      if (QFile::exists(temp)) QCOMPARE(Read(temp), temp == indexTemp ? index : data);
    }
    QStringList left;
    for (const QString& temp : {indexTemp, dataTemp})
      if (QFile::exists(temp)) left << temp;
    QVERIFY(!left.isEmpty());

    const QByteArray indexNow = Read(index_), dataNow = Read(data_);
    QString expected;
    if (complete) {
      expected = "A freeze was interrupted after it had completed the new statics files " + index_ + " and " + data_ +
                 ". The previous statics left as " + left.join(" and ") + " are no longer needed: delete " +
                 left.join(" and ") + ", then start again.";
    } else {
      QStringList putBack;
      for (const QString& temp : left) putBack << temp + " as " + (temp == indexTemp ? index_ : data_);
      expected = "A freeze did not finish: the previous statics are kept as " + left.join(" and ") +
                 ", and what it wrote under the configured names is not complete. Put back " + putBack.join(" and ") +
                 ", then start again.";
    }
    QCOMPARE(ErrorOf<Exception>([&] { Freeze(store); }), expected);
    QCOMPARE(Read(index_), indexNow);
    QCOMPARE(Read(data_), dataNow);

    // Doing what the message says gives the previous or the new pair, and the next freeze goes on.
    for (const QString& temp : left) {
      if (complete) {
        QVERIFY(QFile::remove(temp));
        continue;
      }
      const QString path = temp == indexTemp ? index_ : data_;
      QFile::remove(path);
      QVERIFY(QFile::rename(temp, path));
    }
    QCOMPARE(Read(index_), complete ? newIndex : index);
    QCOMPARE(Read(data_), complete ? newData : data);
    Freeze(store);
    if (!complete) {
      QCOMPARE(Read(index_), newIndex);
      QCOMPARE(Read(data_), newData);
    }
    QVERIFY(Leftovers().isEmpty());
  }

  // The next run settles a killed freeze by itself from its journal: the previous pair back before
  // the new one was complete, the new one kept after; the same when the index is configured in
  // another letter case than it has on disk. The freeze then goes on as after no interruption.
  void killedFreezeSettlesByItself_data() {
    killedFreezeIsRecoverable_data();
    QTest::newRow("index moved, configured in capitals") << int(fpIndexMoved) << -1 << false;
    QTest::newRow("marked complete, configured in capitals") << int(fpMarkedComplete) << -1 << true;
  }
  void killedFreezeSettlesByItself() {
    QFETCH(bool, complete);
    TBlockStore store;
    const auto [index, data, newIndex, newData] = KillAFreeze(store);
    // A journal side file left by a freeze killed while writing its journal.
    Write(index_ + ".freeze.~Ab3xYz", "complete: ...\n");
    const std::string configured =
        QString(QTest::currentDataTag()).contains("capitals") ? Std(Path("STAIDX0.MUL")) : Index();

    const std::string note = RecoverInterruptedFreeze(configured, Data());
    QCOMPARE(Read(index_), complete ? newIndex : index);
    QCOMPARE(Read(data_), complete ? newData : data);
    QCOMPARE(Leftovers(), QStringList());
    QVERIFY2(QString::fromStdString(note).contains(complete ? "was finished" : "was undone"), note.c_str());
    QCOMPARE(RecoverInterruptedFreeze(Index(), Data()), std::string());
    if (!complete) {
      Freeze(store);
      QCOMPARE(Read(index_), newIndex);
      QCOMPARE(Read(data_), newData);
    }
  }

  // A journal of the step line alone, as earlier versions wrote it, names no files: the next run
  // settles nothing by itself and the freeze still reads it and gives its advice.
  void aJournalOfEarlierVersionsIsStillRead() {
    TBlockStore store;
    MakeBusyPair(store);
    QVERIFY(QFile::rename(index_, Path("staidx0.xxx")) && QFile::copy(Path("staidx0.xxx"), index_));
    Write(index_ + ".freeze", "moving: the .xxx files are the previous statics, the files under the configured names "
                              "are not complete\n");
    const QStringList before = Snapshot();
    QCOMPARE(RecoverInterruptedFreeze(Index(), Data()), std::string());
    QVERIFY(ErrorOf<Exception>([&] { Freeze(store); }).startsWith("A freeze did not finish"));
    QCOMPARE(Snapshot(), before);
  }

  // A ".xxx" file that is not what the journal recorded (changed since, or another file under that
  // name) leaves the choice to the operator: nothing is changed, and the advice removes nothing.
  void filesUnlikeTheJournalAreLeftToTheOperator_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<QString>("changed");
    QTest::newRow("before complete, previous data changed") << int(fpDataMoved) << "statics0.xxx";
    QTest::newRow("after complete, new index changed") << int(fpMarkedComplete) << "staidx0.mul";
  }
  void filesUnlikeTheJournalAreLeftToTheOperator() {
    QFETCH(int, point);
    QFETCH(QString, changed);
    TBlockStore store;
    MakeBusyPair(store);
    KillFreezeAt(store, point, -1);
    QFile file(Path(changed));
    QVERIFY(file.open(QIODevice::Append));
    file.write("x");
    file.close();
    QFile::remove(index_ + ".lock");  // the killed freeze's, which the next run takes over
    const QStringList before = Snapshot();
    const QString message = ErrorOf<Exception>([&] { RecoverInterruptedFreeze(Index(), Data()); });
    QVERIFY2(message.contains(Path(changed) + " holds"), qPrintable(message));
    QVERIFY2(message.contains("nothing was changed"), qPrintable(message));
    QVERIFY(!message.contains("delete") && !message.contains("remove"));
    QCOMPARE(Snapshot(), before);
  }

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
    QVERIFY(QString::fromStdString(UndoLastFreeze(Index(), Data())).contains("were put back"));
    QCOMPARE(Read(index_), index);
    QCOMPARE(Read(data_), data);
    QCOMPARE(Leftovers(), QStringList());
    UndoLastFreeze(Index(), Data());
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
    if (setup == "no backup") FreezeStatics(store, Index(), Data(), gauge, false);
    const QStringList before = Snapshot();
    const QString m = ErrorOf<Exception>([&] { UndoLastFreeze(Index(), Data()); });
    QVERIFY2(m.contains(message), qPrintable(m));
    QCOMPARE(Snapshot(), before);
  }
};

QTEST_APPLESS_MAIN(TestStatics)
#include "tst_statics.moc"
