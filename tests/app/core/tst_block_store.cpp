#include <QTest>

#include "app/core/block_store.h"
#include "toolkit/core/exceptions.h"

using mirnax::BlockCount;
using mirnax::ERangeError;
using mirnax::StaticItem;
using mirnax::TBlockStore;

namespace {
StaticItem Item(uint16_t tile) {
  StaticItem it;
  it.TileId = tile;
  return it;
}

std::vector<uint16_t> Tiles(const TBlockStore& store, int32_t block) {
  std::vector<uint16_t> tiles;
  for (const StaticItem& it : store.Chain(block)) tiles.push_back(it.TileId);
  return tiles;
}
}  // namespace

class TestBlockStore : public QObject {
  Q_OBJECT
 private slots:
  void chainsKeepOrderAcrossPoolChunks() {
    TBlockStore store;
    // Interleaved appends to two blocks, well past one pool chunk.
    std::vector<uint16_t> first, last;
    for (int i = 0; i < 150000; ++i) {
      const auto tile = static_cast<uint16_t>(i);
      if (i % 3 == 0) {
        store.Append(BlockCount - 1, Item(tile));
        last.push_back(tile);
      } else {
        store.Append(0, Item(tile));
        first.push_back(tile);
      }
    }
    QCOMPARE(store.Count(0), uint32_t(first.size()));
    QCOMPARE(store.Count(BlockCount - 1), uint32_t(last.size()));
    QCOMPARE(store.Count(1), 0u);
    QCOMPARE(store.TotalCount(), 150000u);
    QVERIFY(Tiles(store, 0) == first);
    QVERIFY(Tiles(store, BlockCount - 1) == last);
    QVERIFY(Tiles(store, 1).empty());
  }

  void walkingChainsSideBySideKeepsEachChainsOrder() {
    TBlockStore store;
    // 150 blocks (more than one group walked at once), chain lengths 0 to 6, appended interleaved.
    constexpr int32_t First = 1000, Count = 150;
    std::vector<std::vector<uint16_t>> expected(Count);
    for (int round = 0; round < 6; ++round) {
      for (int32_t k = 0; k < Count; ++k) {
        if (round >= k % 7) continue;
        const auto tile = static_cast<uint16_t>(k * 10 + round);
        store.Append(First + k, Item(tile));
        expected[size_t(k)].push_back(tile);
      }
    }
    store.Append(First - 1, Item(9999));  // a neighbour outside the range is not visited
    std::vector<std::vector<uint16_t>> seen(Count);
    store.WalkChains(First, Count, [&](int32_t k, const StaticItem& it) { seen[size_t(k)].push_back(it.TileId); });
    QVERIFY(seen == expected);
  }

  void blocksOutsideTheMapAreRefused_data() {
    QTest::addColumn<int>("block");
    QTest::newRow("negative") << -1;
    QTest::newRow("one past the last") << BlockCount;
  }
  void blocksOutsideTheMapAreRefused() {
    QFETCH(int, block);
    TBlockStore store;
    QVERIFY_THROWS_EXCEPTION(ERangeError, store.Append(block, Item(1)));
    QCOMPARE(store.TotalCount(), 0u);
  }

  void groupsAppendAsSingleAppendsDo() {
    // Groups that name one block several times, across a pool chunk, against single appends.
    TBlockStore single, grouped;
    std::vector<TBlockStore::TBlockItem> group;
    for (int i = 0; i < 70000; ++i) {
      const int32_t block = (i * 7919) % 5 == 0 ? 42 : (i * 7919) % 1000;
      const auto tile = static_cast<uint16_t>(i);
      single.Append(block, Item(tile));
      group.push_back({block, Item(tile)});
      if (group.size() == 33 || i == 69999) {
        grouped.AppendMany(group.data(), group.size());
        group.clear();
      }
    }
    QCOMPARE(grouped.TotalCount(), single.TotalCount());
    for (int32_t b = 0; b < 1000; ++b) QVERIFY2(Tiles(grouped, b) == Tiles(single, b), qPrintable(QString::number(b)));

    // A group with one block outside the map files nothing.
    const std::vector<TBlockStore::TBlockItem> bad{{1, Item(1)}, {BlockCount, Item(2)}};
    QVERIFY_THROWS_EXCEPTION(ERangeError, grouped.AppendMany(bad.data(), bad.size()));
    QCOMPARE(grouped.TotalCount(), single.TotalCount());
  }

  void clearEmptiesEveryChain() {
    TBlockStore store;
    for (int i = 0; i < 70000; ++i) store.Append(i % 7, Item(1));
    store.Clear();
    QCOMPARE(store.TotalCount(), 0u);
    for (int b = 0; b < 7; ++b) QCOMPARE(store.Count(b), 0u);
    store.Append(3, Item(9));
    QVERIFY(Tiles(store, 3) == std::vector<uint16_t>{9});
  }

  // Every field of an item comes back whole, in blocks on both sides of the borders between the
  // store's lists and
  // at the map's ends, with items of the two lists appended in turn.
  void itemsKeepEveryField() {
    const int32_t blocks[] = {0, (1 << 13) - 1, 1 << 13, (1 << 18) - 1, 1 << 18, BlockCount - 1};
    TBlockStore store;
    for (int round = 0; round < 3; ++round) {
      for (const int32_t block : blocks) {
        StaticItem it;
        it.TileId = uint16_t(0xFFFF - round);
        it.Hue = uint16_t(0x8001 + block % 7);
        it.CellX = uint8_t(7 - round);
        it.CellY = uint8_t(round * 3);
        it.Z = int8_t(round == 1 ? -128 : 127 - round);
        store.Append(block, it);
      }
    }
    for (const int32_t block : blocks) {
      int round = 0;
      for (const StaticItem& it : store.Chain(block)) {
        QCOMPARE(it.TileId, uint16_t(0xFFFF - round));
        QCOMPARE(it.Hue, uint16_t(0x8001 + block % 7));
        QCOMPARE(it.CellX, uint8_t(7 - round));
        QCOMPARE(it.CellY, uint8_t(round * 3));
        QCOMPARE(it.Z, int8_t(round == 1 ? -128 : 127 - round));
        ++round;
      }
      QCOMPARE(round, 3);
    }
  }

  // Items appended after a read join their blocks behind the ones read before, in order.
  void appendAfterReadKeepsOrder() {
    TBlockStore store;
    store.Append(5, Item(1));
    store.Append(2, Item(2));
    store.Append(5, Item(3));
    QVERIFY(Tiles(store, 5) == (std::vector<uint16_t>{1, 3}));
    store.Append(5, Item(4));
    store.Append(BlockCount - 1, Item(5));
    store.Append(2, Item(6));
    QVERIFY(Tiles(store, 5) == (std::vector<uint16_t>{1, 3, 4}));
    QVERIFY(Tiles(store, 2) == (std::vector<uint16_t>{2, 6}));
    QVERIFY(Tiles(store, BlockCount - 1) == std::vector<uint16_t>{5});
    QCOMPARE(store.TotalCount(), 6u);
  }
};

QTEST_APPLESS_MAIN(TestBlockStore)
#include "tst_block_store.moc"
