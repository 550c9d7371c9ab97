// The unfreeze of an area written through to the statics pair: a transaction of the freeze's kind,
// settled after a kill at any step, undone by the undo, and its world file placed only once the
// new pair is whole.
#include <QTest>

#include <csignal>

#include "app/core/area_statics.h"
#include "app/core/freeze_recovery.h"
#include "app/core/freeze_undo.h"
#include "app/core/frozen_worlds.h"
#include "app/core/map_size.h"
#include "app/core/world_reader.h"
#include "freeze_fixture.h"
#include "toolkit/core/classes.h"
#include "toolkit/core/exceptions.h"

using mirnax::DefaultMapSize;
using mirnax::EFCreateError;
using mirnax::RecoverInterruptedFreeze;
using mirnax::TAreaCut;
using mirnax::TBlockStore;
using mirnax::TFrozenWorld;
using mirnax::TMapArea;
using mirnax::TNullProgress;
using mirnax::TUnfrozenWorld;
using mirnax::fpBlockWritten;
using mirnax::fpChecked;
using mirnax::fpDataMoved;
using mirnax::fpIndexMoved;
using mirnax::fpIndexTempDeleted;
using mirnax::fpMarkedComplete;
using mirnax::fpNewFilesFlushed;
using mirnax::fpWorldWritten;
using mirnax::support::ErrorOf;

using namespace fixture;

namespace {
// Block 70000 of the busy pair, whole: column 136, row 368 of the default map.
constexpr TMapArea Block70000{1088, 2944, 1095, 2951};

// The pair in memory after the area is cut out of it, and the world text of what was cut.
struct TCutPair {
  QByteArray Index, Data, World;
};
TCutPair CutInMemory(const QByteArray& index, const QByteArray& data, const TMapArea& area) {
  mirnax::TMemoryStaticsInput oldIndex(View(index), "index"), oldData(View(data), "data");
  mirnax::TMemoryStaticsOutput newIndex, newData;
  TNullProgress gauge;
  TAreaCut cut(DefaultMapSize, area);
  mirnax::MergeStatics(TBlockStore(), oldIndex, oldData, newIndex, newData, gauge, {}, &cut);
  return {Q(newIndex.Bytes), Q(newData.Bytes), Q(cut.Taken().Text)};
}

// The world text read into a store as a freeze reads it.
void Parse(const QByteArray& text, TBlockStore& store) {
  mirnax::TStringList lines;
  lines.SetText(text.toStdString());
  mirnax::TWorldParser parser(store);
  for (int i = 0; i < lines.Count(); ++i) parser.Line(lines.View(i));
  parser.Finish();
}
}  // namespace

class TestUnfreezePair : public QObject, TFreezeWorkspace {
  Q_OBJECT

  QString Out() const { return Path("unfrozen.scp"); }
  std::string Unfreeze(const TMapArea& area, bool replace = false, const mirnax::TFreezeTestHook& hook = {}) {
    TAreaCut cut(DefaultMapSize, area);
    TNullProgress gauge;
    const TUnfrozenWorld out{Std(Out()), replace, {}};
    return hook ? mirnax::UnfreezeStatics(Pair(), cut, out, gauge, hook) : mirnax::UnfreezeStatics(Pair(), cut, out, gauge);
  }

 private slots:
  void init() { Begin(); }

  // Killed at any step, the unfreeze is settled by the next run: before the new pair is complete
  // the previous pair is back and no world file is left (not even half of one) to be frozen twice;
  // after, the new pair stands and the world file is in place. Nothing else is left behind.
  void killedUnfreezeSettlesByItself_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<int>("block");
    QTest::addColumn<bool>("complete");
    QTest::newRow("checked") << int(fpChecked) << -1 << false;
    QTest::newRow("index moved") << int(fpIndexMoved) << -1 << false;
    QTest::newRow("data moved") << int(fpDataMoved) << -1 << false;
    QTest::newRow("block 70000 written") << int(fpBlockWritten) << 70000 << false;
    QTest::newRow("world file written") << int(fpWorldWritten) << -1 << false;
    QTest::newRow("new files on disk") << int(fpNewFilesFlushed) << -1 << false;
    QTest::newRow("marked complete") << int(fpMarkedComplete) << -1 << true;
    QTest::newRow("index's .xxx retired") << int(fpIndexTempDeleted) << -1 << true;
  }
  void killedUnfreezeSettlesByItself() {
    QFETCH(int, point);
    QFETCH(int, block);
    QFETCH(bool, complete);
    TBlockStore store;
    MakeBusyPair(store);
    const QByteArray index = Read(index_), data = Read(data_);
    const TCutPair cut = CutInMemory(index, data, Block70000);
    QCOMPARE(cut.World.count("[WORLDITEM"), 2);
    const auto child = mirnax::support::RunInChild([&](int) {
      Unfreeze(Block70000, false, [&](mirnax::TFreezePoint p, int32_t b) {
        if (p == point && b == block) ::raise(SIGKILL);
      });
      return 0;
    });
    QCOMPARE(child.Signal, SIGKILL);
    QFile::remove(index_ + ".lock");  // the killed run's, which the next run takes over

    const std::string note = RecoverInterruptedFreeze(Pair());
    QCOMPARE(Read(index_), complete ? cut.Index : index);
    QCOMPARE(Read(data_), complete ? cut.Data : data);
    QCOMPARE(QFile::exists(Out()), complete);
    if (complete) QCOMPARE(Read(Out()), cut.World);
    QStringList left = Leftovers();
    left.removeOne("unfrozen.scp");
    QCOMPARE(left, QStringList());
    if (point != fpChecked)
      QVERIFY2(QString::fromStdString(note).startsWith("An unfreeze that "), note.c_str());
  }

  // Unfreezing an area and freezing its world file back, keeping the statics, gives the bytes a
  // freeze of nothing writes for the pair before: the area is whole blocks. An undo of the
  // unfreeze instead puts the previous pair back, names the world file and leaves it; the record of
  // frozen worlds forgets a world file byte-identical to it and gets it back with the undo.
  void unfreezeFreezeBackAndUndo() {
    TBlockStore store;
    MakeBusyPair(store);
    const QByteArray index = Read(index_), data = Read(data_);
    const TCutPair cut = CutInMemory(index, data, Block70000);
    mirnax::TFileSummer summer;
    summer.Add(cut.World.constData(), size_t(cut.World.size()));
    const TFrozenWorld same{summer.Sum(), "2026-12-01 10:00", "same.scp"}, other{{7, 7, {}}, "2026-12-01 10:00", "x"};
    mirnax::WriteFrozenWorlds(Pair().FrozenRecord, {same, other});

    QCOMPARE(Unfreeze(Block70000), std::string());
    QCOMPARE(Read(Out()), cut.World);
    QCOMPARE(Read(index_), cut.Index);
    QVERIFY(mirnax::ReadFrozenWorlds(Pair().FrozenRecord) == std::vector<TFrozenWorld>{other});

    const std::string undone = mirnax::UndoLastFreeze(Pair());
    QVERIFY2(QString::fromStdString(undone).contains("The world file " + Out() + " that the unfreeze wrote is left"),
             undone.c_str());
    QCOMPARE(Read(index_), index);
    QCOMPARE(Read(data_), data);
    QCOMPARE(Read(Out()), cut.World);
    QVERIFY(mirnax::ReadFrozenWorlds(Pair().FrozenRecord) == (std::vector<TFrozenWorld>{same, other}));

    QVERIFY(mirnax::UndoLastFreeze(Pair()).starts_with("The statics from before the last freeze"));  // redo
    TBlockStore back;
    Parse(Read(Out()), back);
    Freeze(back);
    const auto [plainIndex, plainData] = Merged(TBlockStore(), index, data);
    QCOMPARE(Read(index_), plainIndex);
    QCOMPARE(Read(data_), plainData);
  }

  // The world file is never put over a file without replace, nor is anything changed when its
  // side name is taken; with replace, an existing file gives way.
  void worldFileInTheWay_data() {
    QTest::addColumn<QString>("inTheWay");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("error");
    QTest::newRow("the file, no replace") << "unfrozen.scp" << false << "The file %1 exists; give --force to replace it.";
    QTest::newRow("its side name") << "unfrozen.scp.new" << true
                                   << "The file %1 is in the way of the world file the unfreeze writes; move it "
                                      "away, then start again.";
    QTest::newRow("the file, replace") << "unfrozen.scp" << true << "";
  }
  void worldFileInTheWay() {
    QFETCH(QString, inTheWay);
    QFETCH(bool, replace);
    QFETCH(QString, error);
    TBlockStore store;
    MakeBusyPair(store);
    Write(Path(inTheWay), "mine");
    const QStringList before = Snapshot();
    if (error.isEmpty()) {
      Unfreeze(Block70000, replace);
      QCOMPARE(Read(Out()).count("[WORLDITEM"), 2);
      return;
    }
    QCOMPARE(ErrorOf<EFCreateError>([&] { Unfreeze(Block70000, replace); }), error.arg(Path(inTheWay)));
    QCOMPARE(Snapshot(), before);
  }
};

QTEST_GUILESS_MAIN(TestUnfreezePair)
#include "tst_unfreeze_pair.moc"
