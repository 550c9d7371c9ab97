// The record of the world files frozen into a pair, kept by whoever finishes the freeze: the
// freeze itself or, when it was stopped after its new files were complete, the next run.
#include <QTest>

#include <csignal>

#include "app/core/freeze_recovery.h"
#include "app/core/frozen_worlds.h"
#include "freeze_fixture.h"

using mirnax::ClearAndFreezeStatics;
using mirnax::FreezeStatics;
using mirnax::ReadFrozenWorlds;
using mirnax::RecoverInterruptedFreeze;
using mirnax::TBlockStore;
using mirnax::TFreezePoint;
using mirnax::TFrozenWorld;
using mirnax::TNullProgress;
using mirnax::WriteFrozenWorlds;
using mirnax::fpIndexTempDeleted;
using mirnax::fpMarkedComplete;

using namespace fixture;

namespace {
using TWorlds = std::vector<TFrozenWorld>;

TFrozenWorld World(int64_t size, uint32_t crc, const char* name) { return {{size, crc}, "2026-01-02 03:04", name}; }

QStringList Names(const TWorlds& worlds) {
  QStringList names;
  for (const TFrozenWorld& w : worlds) names << QString::fromStdString(w.Name);
  return names;
}
}  // namespace

class TestFrozenWorlds : public QObject, TFreezeWorkspace {
  Q_OBJECT

  std::string Record() const { return Pair().FrozenRecord; }
  std::string RecordBackup() const { return Pair().FrozenRecordBackup; }

  // A freeze (or a clear and freeze) of store that records worlds, run in a child killed at point.
  void KillRecordingFreeze(const TBlockStore& store, bool clear, int point, const TWorlds& worlds) {
    const mirnax::support::TChildResult child = RunInChild([&](int) {
      TNullProgress gauge;
      const auto hook = [&](TFreezePoint p, int32_t) {
        if (p == point) ::raise(SIGKILL);
      };
      if (clear)
        ClearAndFreezeStatics(store, Pair(), gauge, hook, &worlds);
      else
        FreezeStatics(store, Pair(), gauge, hook, &worlds);
      return 0;
    });
    QCOMPARE(child.Signal, SIGKILL);
  }

 private slots:
  void init() { Begin(); }

  // Each freeze adds its world files to the record, a clear starts it anew, and the record before
  // is kept with the backup.
  void aFreezeRecordsItsWorldFiles() {
    TBlockStore store;
    MakeBusyPair(store);
    TNullProgress gauge;
    const TWorlds first = {World(1, 1, "a.scp")}, second = {World(2, 2, "b.scp"), World(3, 3, "c\nd.scp")},
                  third = {World(4, 4, "e.scp")};
    FreezeStatics(store, Pair(), gauge, true, &first);
    FreezeStatics(store, Pair(), gauge, true, &second);
    QCOMPARE(Names(ReadFrozenWorlds(Record())), QStringList({"a.scp", "b.scp", "c d.scp"}));
    QCOMPARE(Names(ReadFrozenWorlds(RecordBackup())), QStringList({"a.scp"}));
    ClearAndFreezeStatics(store, Pair(), gauge, true, &third);
    QCOMPARE(Names(ReadFrozenWorlds(Record())), QStringList({"e.scp"}));
    FreezeStatics(store, Pair(), gauge, false);  // records nothing
    QCOMPARE(Names(ReadFrozenWorlds(Record())), QStringList({"e.scp"}));
  }

  // A freeze stopped once its new files were complete is finished by the next run, which records
  // its world files too, once, whether or not the stopped freeze had recorded them already.
  void aFreezeFinishedByTheNextRunIsRecorded_data() {
    QTest::addColumn<bool>("clear");
    QTest::addColumn<int>("point");
    for (const bool clear : {false, true}) {
      const char* how = clear ? "clear and freeze" : "freeze";
      QTest::addRow("%s, stopped before the record", how) << clear << int(fpMarkedComplete);
      QTest::addRow("%s, stopped after the record", how) << clear << int(fpIndexTempDeleted);
    }
  }
  void aFreezeFinishedByTheNextRunIsRecorded() {
    QFETCH(bool, clear);
    QFETCH(int, point);
    TBlockStore store;
    MakeBusyPair(store);
    WriteFrozenWorlds(Record(), {World(1, 1, "old.scp")});
    KillRecordingFreeze(store, clear, point, {World(2, 2, "a.scp"), World(3, 3, "b.scp")});
    QVERIFY(QFile::exists(Path("staidx0.mul.freeze")));
    QVERIFY(!RecoverInterruptedFreeze(Pair()).empty());
    const QStringList both = {"a.scp", "b.scp"};
    QCOMPARE(Names(ReadFrozenWorlds(Record())), clear ? both : QStringList("old.scp") + both);
    QCOMPARE(Names(ReadFrozenWorlds(RecordBackup())), QStringList({"old.scp"}));
    QCOMPARE(Leftovers(), QStringList({"staidx0.mul.frozen", "staidx0.mul.frozen.bak"}));
  }

  // Once the new files are complete the freeze no longer fails: a record that cannot be written, or
  // a previous file that cannot become the backup, is returned as a note. A previous file left under
  // ".xxx" keeps the journal, and the next run finishes the freeze once the cause is gone.
  void aFailureAfterTheFreezeCompletedIsOnlyNoted_data() {
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QString>("note");
    QTest::newRow("record") << "staidx0.mul.frozen"
                            << "The record of the world files frozen into these statics could not be written: ";
    QTest::newRow("backup") << "statics0.mul.bak" << "Cannot rename ";
  }
  void aFailureAfterTheFreezeCompletedIsOnlyNoted() {
    QFETCH(QString, taken);
    QFETCH(QString, note);
    TBlockStore store;
    MakeBusyPair(store);
    const auto [newIndex, newData] = Merged(store, Read(index_), Read(data_));
    const TWorlds worlds = {World(2, 2, "a.scp")};
    TNullProgress gauge;
    const QString notes = QString::fromStdString(FreezeStatics(store, Pair(), gauge, [&](TFreezePoint p, int32_t) {
      if (p == fpMarkedComplete) QVERIFY(QDir().mkpath(Path(taken + "/in the way")));
    }, &worlds));
    QVERIFY2(notes.startsWith("\n" + note), qPrintable(notes));
    QCOMPARE(Read(index_), newIndex);
    QCOMPARE(Read(data_), newData);
    const bool record = taken == "staidx0.mul.frozen";
    QCOMPARE(QFile::exists(Path("staidx0.mul.freeze")), !record);
    QVERIFY(QDir(Path(taken)).removeRecursively());
    RecoverInterruptedFreeze(Pair());
    QCOMPARE(Names(ReadFrozenWorlds(Record())), record ? QStringList() : QStringList("a.scp"));
    QCOMPARE(Leftovers(), record ? QStringList({"staidx0.mul.frozen.bak"})
                                 : QStringList({"staidx0.mul.frozen", "staidx0.mul.frozen.bak"}));
  }
};

QTEST_APPLESS_MAIN(TestFrozenWorlds)

#include "tst_frozen_worlds.moc"
