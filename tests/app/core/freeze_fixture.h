// A statics pair in a fresh folder for the tests of the clear, the freeze, its checks, its
// recovery and its undo, and the ways of writing it they share.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <array>
#include <memory>
#include <utility>

#include "app/core/block_store.h"
#include "app/core/freeze_points.h"
#include "app/core/statics_clear.h"
#include "app/core/statics_io.h"
#include "app/core/statics_merge.h"
#include "app/core/statics_pair.h"
#include "statics_fixture.h"

namespace fixture {

inline mirnax::StaticItem Item(uint16_t tile, uint8_t x, uint8_t y, int8_t z, uint16_t hue) {
  mirnax::StaticItem it;
  it.TileId = static_cast<uint16_t>(tile + mirnax::TileIdBase);
  it.CellX = x;
  it.CellY = y;
  it.Z = z;
  it.Hue = hue;
  return it;
}

// The freeze of old files and store, computed in memory, for comparing with what reaches disk.
inline std::pair<QByteArray, QByteArray> Merged(const mirnax::TBlockStore& store, const QByteArray& index,
                                                const QByteArray& data) {
  mirnax::TMemoryStaticsInput oldIndex(std::string_view(index.constData(), size_t(index.size())), "index");
  mirnax::TMemoryStaticsInput oldData(std::string_view(data.constData(), size_t(data.size())), "data");
  mirnax::TMemoryStaticsOutput newIndex, newData;
  mirnax::TNullProgress gauge;
  mirnax::MergeStatics(store, oldIndex, oldData, newIndex, newData, gauge);
  return {QByteArray::fromStdString(newIndex.Bytes), QByteArray::fromStdString(newData.Bytes)};
}

inline mirnax::TStaticsPair Resolved(const std::string& index, const std::string& data) {
  return mirnax::TStaticsPair::Resolve(index, data);
}

// The pair staidx0.mul and statics0.mul in a folder of its own; Begin makes a fresh one.
class TFreezeWorkspace {
 protected:
  void Begin() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    index_ = Path("staidx0.mul");
    data_ = Path("statics0.mul");
  }

  QString Path(const QString& name) const { return dir_->filePath(name); }
  std::string Index() const { return Std(index_); }
  std::string Data() const { return Std(data_); }
  mirnax::TStaticsPair Pair() const { return Resolved(Index(), Data()); }
  // Every file but the statics pair and the backup of the previous pair.
  QStringList Leftovers() const {
    QStringList names = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden);
    for (const char* kept : {"staidx0.mul", "statics0.mul", "staidx0.mul.bak", "statics0.mul.bak",
                             "staidx0.mul.bak.freeze"})
      names.removeOne(kept);
    return names;
  }
  QStringList Snapshot() const { return fixture::Snapshot(dir_->path()); }

  void Freeze(const mirnax::TBlockStore& store, const mirnax::TFreezeTestHook& hook = {}) {
    mirnax::TNullProgress gauge;
    mirnax::FreezeStatics(store, Pair(), gauge, hook);
  }
  // The three ways of writing the statics files: a freeze, a clear with the freeze, a clear alone
  // (which has no test points).
  void Rewrite(const QString& how, const mirnax::TBlockStore& store, const mirnax::TFreezeTestHook& hook = {}) {
    mirnax::TNullProgress gauge;
    if (how == "freeze")
      Freeze(store, hook);
    else if (how == "clear and freeze")
      mirnax::ClearAndFreezeStatics(store, Pair(), gauge, hook);
    else
      mirnax::ClearStatics(Pair());
  }

  // Old files with statics in a few blocks, stored out of block order and with unreferenced bytes
  // between them, and a store with items in some of those blocks and some others.
  void MakeBusyPair(mirnax::TBlockStore& store) {
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

  // A freeze of store in a child killed at point (and block, for fpBlockWritten).
  void KillFreezeAt(const mirnax::TBlockStore& store, int point, int block) {
    const mirnax::support::TChildResult child = RunInChild([&](int) {
      Freeze(store, [&](mirnax::TFreezePoint p, int32_t b) {
        if (p == point && b == block) ::raise(SIGKILL);
      });
      return 0;
    });
    QVERIFY(child.Signal == SIGKILL);
  }
  // The busy pair, frozen by a child killed at the row's point: the pair before and the pair the
  // freeze would have written.
  std::array<QByteArray, 4> KillAFreeze(mirnax::TBlockStore& store) {
    QFETCH(int, point);
    QFETCH(int, block);
    MakeBusyPair(store);
    const QByteArray index = Read(index_), data = Read(data_);
    const auto [newIndex, newData] = Merged(store, index, data);
    KillFreezeAt(store, point, block);
    return {index, data, newIndex, newData};
  }

  std::unique_ptr<QTemporaryDir> dir_;
  QString index_, data_;
};

}  // namespace fixture
