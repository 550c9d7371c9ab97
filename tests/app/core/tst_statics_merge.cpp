// The statics a freeze writes: records and index entries, merged in block order with the old ones.
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <new>

#include "app/core/world_reader.h"
#include "freeze_fixture.h"
#include "toolkit/core/exceptions.h"
#include "util/s_strlst.h"

using mirnax::BlockBufferSize;
using mirnax::Exception;
using mirnax::MergeStatics;
using mirnax::ReadWorldFile;
using mirnax::TBlockStore;
using mirnax::TMemoryStaticsInput;
using mirnax::TNullProgress;
using mirnax::TStaticsOutput;
using mirnax::TStringList;

using namespace fixture;

namespace {
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

class TestStaticsMerge : public QObject, TFreezeWorkspace {
  Q_OBJECT

 private slots:
  void init() { Begin(); }

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

  void freezeOneItemAfterClear() {
    ClearStatics(Pair());
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
    ClearStatics(Pair());
    TBlockStore store;
    store.Append(9, Item(1, 1, 1, 1, 1));
    store.Append(9, Item(2, 2, 2, 2, 2));
    Freeze(store);
    Freeze(store);
    const QByteArray twice = (Record(1, 1, 1, 1, 1) + Record(2, 2, 2, 2, 2)).repeated(2);
    QCOMPARE(Read(data_), twice);
    QCOMPARE(EntryAt(Read(index_), 9), Entry(0, 28));
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
    const mirnax::support::TChildResult child = RunInChild(
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
};

QTEST_APPLESS_MAIN(TestStaticsMerge)

#include "tst_statics_merge.moc"
