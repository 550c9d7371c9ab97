#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <algorithm>
#include <fstream>
#include <functional>
#include <vector>

#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"
#include "util/s_list.h"

#if defined(__SANITIZE_ADDRESS__)
#define MIRNAX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MIRNAX_ASAN 1
#endif
#endif

using mirnax::EListError;
using mirnax::EOutOfMemory;
using mirnax::Exception;
using mirnax::TObject;
using mirnax::TS_CustomList;
using mirnax::TS_List;
using mirnax::TS_ObjectList;
using mirnax::TS_OwnerList;
using mirnax::support::ErrorOf;

namespace {

// Items stand for themselves: a letter's address in this text, '.' for null.
const char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

void* Item(char c) { return c == '.' ? nullptr : const_cast<char*>(&Letters[c - 'A']); }

void Fill(TS_CustomList& list, const char* pattern) {
  for (const char* p = pattern; *p; ++p) list.Add(Item(*p));
}

QString Pattern(const TS_CustomList& list) {
  QString s;
  for (int32_t i = 0; i < list.Count(); ++i) {
    void* item = list.GetItem(i);
    s += item == nullptr ? QLatin1Char('.') : QLatin1Char(*static_cast<const char*>(item));
  }
  return s;
}

bool FreeSlotsNull(const TS_CustomList& list) {
  for (int32_t i = list.Count(); i < list.Capacity(); ++i)
    if (*list.GetPointer(i) != nullptr) return false;
  return true;
}

// Records its id in a log when destroyed.
class TTracked : public TObject {
 public:
  TTracked(int id, std::vector<int>& log) : id_(id), log_(log) {}
  ~TTracked() override { log_.push_back(id_); }

 private:
  int id_;
  std::vector<int>& log_;
};

using ListOp = std::function<void(TS_CustomList&)>;
using OwnerOp = std::function<void(TS_OwnerList&, std::vector<TObject*>&)>;

}  // namespace

Q_DECLARE_METATYPE(ListOp)
Q_DECLARE_METATYPE(OwnerOp)

class TstSList : public QObject {
  Q_OBJECT

 private slots:
  void growth_data() {
    QTest::addColumn<int>("adds");
    QTest::addColumn<int>("capacity");
    QTest::newRow("first item") << 1 << 4;
    QTest::newRow("4 fit") << 4 << 4;
    QTest::newRow("5th") << 5 << 8;
    QTest::newRow("9th") << 9 << 16;
    QTest::newRow("17th") << 17 << 32;
    QTest::newRow("33rd") << 33 << 48;
    QTest::newRow("49th") << 49 << 64;
  }
  void growth() {
    QFETCH(int, adds);
    QFETCH(int, capacity);
    TS_List list;
    for (int i = 0; i < adds; ++i) QCOMPARE(list.Add(Item('A' + i % 26)), i);
    QCOMPARE(list.Count(), adds);
    QCOMPARE(list.Capacity(), capacity);
    QVERIFY(FreeSlotsNull(list));
  }

  void setCount() {
    TS_List list;
    list.SetCount(10);
    QCOMPARE(list.Count(), 10);
    QVERIFY(list.Capacity() >= 10);
    QCOMPARE(Pattern(list), QString(".........."));
    // Items cut off by a shrink do not come back when the list grows again.
    for (int i = 0; i < 10; ++i) list.SetItem(i, Item('A'));
    list.SetCount(3);
    QVERIFY(FreeSlotsNull(list));
    list.SetCount(6);
    QCOMPARE(Pattern(list), QString("AAA..."));
  }

  void setCapacityBelowCountDropsItems() {
    TS_List list;
    Fill(list, "ABCDE");
    list.SetCapacity(2);
    QCOMPARE(list.Capacity(), 2);
    QCOMPARE(Pattern(list), QString("AB"));
    list.SetCapacity(0);
    QCOMPARE(list.Count(), 0);
    QCOMPARE(list.GetPointer(0), nullptr);
  }

  void insertAndDelete() {
    TS_List list;
    Fill(list, "ABCD");
    list.Insert(4, Item('E'));  // the end is a valid place
    list.Insert(0, Item('X'));
    list.Insert(3, Item('Y'));
    QCOMPARE(Pattern(list), QString("XABYCDE"));
    QCOMPARE(list.Delete(3), Item('Y'));
    QCOMPARE(list.Delete(0), Item('X'));
    QCOMPARE(list.Delete(4), Item('E'));
    QCOMPARE(Pattern(list), QString("ABCD"));
    QVERIFY(FreeSlotsNull(list));
    QCOMPARE(list.First(), Item('A'));
    QCOMPARE(list.Last(), Item('D'));
  }

  void pack_data() {
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("packed");
    QTest::addColumn<QList<int>>("calls");
    QTest::newRow("scattered") << "A.B.C" << "ABC" << QList<int>{1, 2};
    QTest::newRow("leading run") << "..AB" << "AB" << QList<int>{0, 0};
    QTest::newRow("trailing run") << "AB.." << "AB" << QList<int>{2, 2};
    QTest::newRow("no nulls") << "ABC" << "ABC" << QList<int>{};
    QTest::newRow("only nulls") << "..." << "" << QList<int>{0, 0, 0};
    QTest::newRow("empty") << "" << "" << QList<int>{};
  }
  void pack() {
    QFETCH(QString, items);
    QFETCH(QString, packed);
    QFETCH(QList<int>, calls);
    TS_List list;
    Fill(list, items.toLatin1().constData());
    const int32_t capacity = list.Capacity();
    QList<int> seen;
    // A parallel list that deletes each reported index must end up matching the packed list.
    QString parallel = items;
    list.DoPack([&](int32_t index) {
      seen << index;
      QCOMPARE(parallel.at(index), QLatin1Char('.'));
      parallel.remove(index, 1);
    });
    QCOMPARE(Pattern(list), packed);
    QCOMPARE(seen, calls);
    QCOMPARE(parallel, packed);
    QCOMPARE(list.Capacity(), capacity);
    QVERIFY(FreeSlotsNull(list));

    TS_List again;
    Fill(again, items.toLatin1().constData());
    again.Pack();
    QCOMPARE(Pattern(again), packed);
  }

  void packCallbackThrowingLeavesAWholeList() {
    TS_List list;
    Fill(list, "A.B.C.D");
    int calls = 0;
    QVERIFY_THROWS_EXCEPTION(Exception, list.DoPack([&](int32_t) {
      if (++calls == 2) throw Exception("stop");
    }));
    // The first null is gone, the one being reported when the callback failed stays.
    QCOMPARE(Pattern(list), QString("AB.C.D"));
    QVERIFY(FreeSlotsNull(list));
  }

  void move_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("result");
    QTest::newRow("0 to 2") << 0 << 2 << "BCAD";
    QTest::newRow("2 to 0") << 2 << 0 << "CABD";
    QTest::newRow("to the end") << 1 << 3 << "ACDB";
    QTest::newRow("from the end") << 3 << 1 << "ADBC";
    QTest::newRow("same place") << 2 << 2 << "ABCD";
  }
  void move() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, result);
    TS_List list;
    Fill(list, "ABCD");
    list.Move(from, to);
    QCOMPARE(Pattern(list), result);
  }

  void exchangeIndexOfRemove() {
    TS_List list;
    Fill(list, "ABCB");
    list.Exchange(0, 3);
    QCOMPARE(Pattern(list), QString("BBCA"));
    QCOMPARE(list.IndexOf(Item('B')), 0);
    QCOMPARE(list.IndexOf(Item('Z')), -1);
    QCOMPARE(list.Remove(Item('Z')), -1);
    QCOMPARE(Pattern(list), QString("BBCA"));
    QCOMPARE(list.Remove(Item('B')), 0);
    QCOMPARE(Pattern(list), QString("BCA"));
    QCOMPARE(list.Remove(nullptr), -1);
  }

  void indexErrors_data() {
    QTest::addColumn<ListOp>("op");
    QTest::addColumn<QString>("message");
    const QString bounds = "List index out of bounds (%1)";
    QTest::newRow("GetItem -1") << ListOp([](TS_CustomList& l) { l.GetItem(-1); }) << bounds.arg(-1);
    QTest::newRow("GetItem Count") << ListOp([](TS_CustomList& l) { l.GetItem(3); }) << bounds.arg(3);
    QTest::newRow("SetItem Count") << ListOp([](TS_CustomList& l) { l.SetItem(3, nullptr); }) << bounds.arg(3);
    QTest::newRow("Delete Count") << ListOp([](TS_CustomList& l) { l.Delete(3); }) << bounds.arg(3);
    QTest::newRow("Delete -1") << ListOp([](TS_CustomList& l) { l.Delete(-1); }) << bounds.arg(-1);
    QTest::newRow("Insert past end") << ListOp([](TS_CustomList& l) { l.Insert(4, nullptr); }) << bounds.arg(4);
    QTest::newRow("Insert -1") << ListOp([](TS_CustomList& l) { l.Insert(-1, nullptr); }) << bounds.arg(-1);
    QTest::newRow("Exchange second") << ListOp([](TS_CustomList& l) { l.Exchange(0, 3); }) << bounds.arg(3);
    QTest::newRow("Exchange first") << ListOp([](TS_CustomList& l) { l.Exchange(-2, 0); }) << bounds.arg(-2);
    QTest::newRow("Move from") << ListOp([](TS_CustomList& l) { l.Move(7, 0); }) << bounds.arg(7);
    QTest::newRow("Move to") << ListOp([](TS_CustomList& l) { l.Move(0, 3); }) << bounds.arg(3);
    QTest::newRow("SetCount -1") << ListOp([](TS_CustomList& l) { l.SetCount(-1); })
                                 << QString("List count out of bounds (-1)");
    QTest::newRow("SetCapacity -1") << ListOp([](TS_CustomList& l) { l.SetCapacity(-1); })
                                    << QString("List capacity out of bounds (-1)");
    QTest::newRow("ReAllocList -5") << ListOp([](TS_CustomList& l) { l.ReAllocList(-5); })
                                    << QString("List capacity out of bounds (-5)");
  }
  void indexErrors() {
    QFETCH(ListOp, op);
    QFETCH(QString, message);
    TS_List list;
    Fill(list, "ABC");
    const int32_t capacity = list.Capacity();
    QCOMPARE(ErrorOf<EListError>([&] { op(list); }), message);
    QCOMPARE(Pattern(list), QString("ABC"));
    QCOMPARE(list.Capacity(), capacity);
  }

  void emptyListHasNoFirstOrLast() {
    TS_List list;
    QVERIFY_THROWS_EXCEPTION(EListError, list.First());
    QCOMPARE(ErrorOf<EListError>([&] { list.Last(); }), QString("List index out of bounds (-1)"));
  }

  void outOfMemoryLeavesListUnchanged() {
#ifdef MIRNAX_ASAN
    QSKIP("the sanitizer's allocator reserves address space that an address-space limit breaks");
#else
    // In a child process, with an address-space limit well below what the list asks for.
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
      long pages = 0;
      std::ifstream("/proc/self/statm") >> pages;
      const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64 << 20);
      const rlimit rl{limit, limit};
      if (setrlimit(RLIMIT_AS, &rl) != 0) _exit(10);
      TS_List list;
      Fill(list, "ABC");
      const int32_t capacity = list.Capacity();
      int code = 1;
      try {
        list.SetCapacity(400'000'000);
      } catch (const EOutOfMemory& e) {
        code = e.Message == "Out of memory" ? 0 : 2;
      }
      if (code == 0 && (list.Count() != 3 || list.Capacity() != capacity || list.GetItem(2) != Item('C'))) code = 3;
      if (code == 0) {
        list.Add(Item('D'));  // still usable
        if (list.Count() != 4) code = 4;
      }
      _exit(code);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
#endif
  }

  void objectListIsTyped() {
    std::vector<int> log;
    TTracked a(1, log), b(2, log);
    TS_ObjectList list;
    list.Add(&a);
    list.Insert(0, &b);
    QCOMPARE(list.First(), &b);
    QCOMPARE(list.Last(), &a);
    QCOMPARE(list.IndexOf(&a), 1);
    QCOMPARE(list.DeleteObject(0), &b);
    QCOMPARE(list.Remove(&a), 0);
    QCOMPARE(list.Count(), 0);
    QVERIFY(log.empty());  // a plain object list frees nothing
    // Empty slots go in without a cast.
    list.Add(nullptr);
    list.Insert(0, nullptr);
    list.Insert(1, &a);
    QCOMPARE(list.Count(), 3);
    QCOMPARE(list.IndexOf(nullptr), 0);
    QCOMPARE(list.Remove(nullptr), 0);
    QCOMPARE(list.First(), &a);
    QCOMPARE(list.Last(), static_cast<TObject*>(nullptr));
  }

  void ownerFrees_data() {
    QTest::addColumn<OwnerOp>("op");
    QTest::addColumn<QList<int>>("freed");
    QTest::addColumn<int>("count");
    QTest::newRow("SetCount shrinks") << OwnerOp([](TS_OwnerList& l, auto&) { l.SetCount(1); }) << QList<int>{1, 2} << 1;
    QTest::newRow("SetCount grows") << OwnerOp([](TS_OwnerList& l, auto&) { l.SetCount(5); }) << QList<int>{} << 5;
    QTest::newRow("SetCapacity shrinks")
        << OwnerOp([](TS_OwnerList& l, auto&) { l.SetCapacity(1); }) << QList<int>{1, 2} << 1;
    QTest::newRow("SetCapacity grows")
        << OwnerOp([](TS_OwnerList& l, auto&) { l.SetCapacity(40); }) << QList<int>{} << 3;
    QTest::newRow("Delete") << OwnerOp([](TS_OwnerList& l, auto&) { QCOMPARE(l.Delete(1), nullptr); })
                            << QList<int>{1} << 2;
    QTest::newRow("Remove") << OwnerOp([](TS_OwnerList& l, auto& o) { QCOMPARE(l.Remove(o[2]), 2); })
                            << QList<int>{2} << 2;
    QTest::newRow("ReAllocList shrinks")
        << OwnerOp([](TS_OwnerList& l, auto&) { l.ReAllocList(2); }) << QList<int>{2} << 2;
    QTest::newRow("Clear") << OwnerOp([](TS_OwnerList& l, auto&) { l.Clear(); }) << QList<int>{0, 1, 2} << 0;
    QTest::newRow("Move and Exchange")
        << OwnerOp([](TS_OwnerList& l, auto&) { l.Move(0, 2); l.Exchange(0, 1); }) << QList<int>{} << 3;
    QTest::newRow("Delete, then shrink")
        << OwnerOp([](TS_OwnerList& l, auto&) { l.Delete(0); l.SetCapacity(0); }) << QList<int>{0, 1, 2} << 0;
    QTest::newRow("Delete, then grow and shrink")
        << OwnerOp([](TS_OwnerList& l, auto&) { l.Delete(2); l.SetCount(4); l.SetCount(0); })
        << QList<int>{0, 1, 2} << 0;
    QTest::newRow("bad index") << OwnerOp([](TS_OwnerList& l, auto&) {
      QVERIFY_THROWS_EXCEPTION(EListError, l.Delete(3));
      QVERIFY_THROWS_EXCEPTION(EListError, l.SetCount(-1));
      QVERIFY_THROWS_EXCEPTION(EListError, l.SetCapacity(-1));
    }) << QList<int>{} << 3;
  }
  void ownerFrees() {
    QFETCH(OwnerOp, op);
    QFETCH(QList<int>, freed);
    QFETCH(int, count);
    std::vector<int> log;
    {
      TS_OwnerList list;
      std::vector<TObject*> objects;
      for (int id = 0; id < 3; ++id) {
        objects.push_back(new TTracked(id, log));
        list.Add(objects.back());
      }
      op(list, objects);
      if (QTest::currentTestFailed()) return;
      std::vector<int> sorted = log;
      std::sort(sorted.begin(), sorted.end());
      QCOMPARE(QList<int>(sorted.begin(), sorted.end()), freed);
      QCOMPARE(list.Count(), count);
      QVERIFY(FreeSlotsNull(list));
    }
    // The list's end frees the rest, and nothing twice.
    std::sort(log.begin(), log.end());
    QCOMPARE(QList<int>(log.begin(), log.end()), (QList<int>{0, 1, 2}));
  }
};

QTEST_APPLESS_MAIN(TstSList)
#include "tst_s_list.moc"
