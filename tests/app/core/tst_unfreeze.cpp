#include <QTest>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/core/area_statics.h"
#include "app/core/block_store.h"
#include "app/core/map_size.h"
#include "app/core/statics_io.h"
#include "app/core/statics_merge.h"
#include "app/core/world_reader.h"
#include "support/statics_builder.h"
#include "toolkit/core/classes.h"

using mirnax::BlockSide;
using mirnax::StaticItem;
using mirnax::TAreaCut;
using mirnax::TAreaStatics;
using mirnax::TBlockStore;
using mirnax::TMapArea;
using mirnax::TMapSize;
using mirnax::TMemoryStaticsInput;
using mirnax::TMemoryStaticsOutput;
using mirnax::TStringList;
using mirnax::TWorldParser;
namespace support = mirnax::support;

namespace {
constexpr TMapSize Map{64, 40};  // 8 block columns of 5 blocks

// Per block, its records as 7-byte strings, sorted: a multiset to compare.
using TRecords = std::map<int32_t, std::vector<std::string>>;

// The block's records of a pair.
std::string BlockOf(const std::string& index, const std::string& data, int32_t b) {
  const auto field = [&](size_t at) {
    return int32_t(uint8_t(index[at]) | uint8_t(index[at + 1]) << 8 | uint8_t(index[at + 2]) << 16 |
                   uint8_t(index[at + 3]) << 24);
  };
  const int32_t offset = field(size_t(b) * 12), length = field(size_t(b) * 12 + 4);
  return offset == -1 ? std::string() : data.substr(size_t(offset), size_t(length));
}

// The records of a pair that stand in area.
TRecords RecordsIn(const std::string& index, const std::string& data, const TMapArea& area) {
  TRecords out;
  for (int32_t b = 0; b < Map.BlockCount(); ++b) {
    const std::string block = BlockOf(index, data, b);
    for (size_t at = 0; at < block.size(); at += 7) {
      const int x = (b / Map.BlockRows()) * BlockSide + block[at + 2], y = (b % Map.BlockRows()) * BlockSide + block[at + 3];
      if (area.Contains(x, y)) out[b].push_back(block.substr(at, 7));
    }
  }
  for (auto& [b, records] : out) std::sort(records.begin(), records.end());
  return out;
}

// A pair of Map with a few records in most blocks, each block's data in a run of its own.
struct TPair {
  std::string index = std::string(size_t(Map.BlockCount()) * support::EntrySize, '\xFF');
  std::string data;
  TPair() {
    std::mt19937 random(7);
    for (int32_t b = 0; b < Map.BlockCount(); ++b) {
      const int n = int(random() % 5);
      std::string block;
      for (int i = 0; i < n; ++i)
        block += support::StaticRecord(uint16_t(random()), uint8_t(random() % 8), uint8_t(random() % 8),
                                       int8_t(random()), uint16_t(random()));
      if (b == 6) block += support::StaticRecord(0x1234, 1, 1, -3, 0x21);  // on tile 9,9
      if (!block.empty()) support::SetIndexEntry(index, b, int32_t(data.size()), int32_t(block.size()));
      data += block;
    }
  }
  TRecords In(const TMapArea& area) const { return RecordsIn(index, data, area); }
};

// The world text read into store as a freeze reads it.
void Parse(const std::string& text, TBlockStore& store) {
  TStringList lines;
  lines.SetText(text);
  TWorldParser parser(store);
  for (int i = 0; i < lines.Count(); ++i) parser.Line(lines.View(i));
  parser.Finish();
}

// A pair merged with store, through cut when given: its index and data.
std::pair<std::string, std::string> Merged(const std::string& index, const std::string& data, const TBlockStore& store,
                                           TAreaCut* cut = nullptr) {
  TMemoryStaticsInput oldIndex(index, "idx"), oldData(data, "dat");
  TMemoryStaticsOutput newIndex, newData;
  mirnax::TNullProgress gauge;
  mirnax::MergeStatics(store, oldIndex, oldData, newIndex, newData, gauge, {}, cut);
  return {newIndex.Bytes, newData.Bytes};
}

// The world text read back as a freeze reads it, per block.
TRecords ReadBack(const std::string& text) {
  TBlockStore store(Map);
  Parse(text, store);
  TRecords out;
  for (int32_t b = 0; b < Map.BlockCount(); ++b) {
    for (const StaticItem& it : store.Chain(b))
      out[b].push_back(support::StaticRecord(uint16_t(it.TileId - mirnax::TileIdBase), it.CellX, it.CellY, it.Z, it.Hue));
    std::sort(out[b].begin(), out[b].end());
    if (out[b].empty()) out.erase(b);
  }
  return out;
}
}  // namespace

class TestUnfreeze : public QObject {
  Q_OBJECT
 private slots:
  // The area's statics written as a world file come back, read as a freeze reads world files, as
  // the same records in the same blocks; the rest of the pair is not among them.
  void areaRoundTrip_data() {
    QTest::addColumn<QString>("area");
    QTest::newRow("one tile") << "9,9,9,9";
    QTest::newRow("across block borders") << "3,5,20,17";
    QTest::newRow("whole blocks") << "8,8,23,15";
    QTest::newRow("one column of tiles") << "40,0,40,39";
    QTest::newRow("the whole map") << "0,0,63,39";
  }
  void areaRoundTrip() {
    QFETCH(QString, area);
    const TMapArea rect = mirnax::ParseMapArea(area.toStdString(), Map);
    const TPair pair;
    TMemoryStaticsInput index(pair.index, "idx"), data(pair.data, "dat");
    TAreaCut cut(Map, rect);
    const TAreaStatics& taken = mirnax::ReadAreaStatics(index, data, cut);
    const TRecords expected = pair.In(rect);
    QVERIFY(!expected.empty());
    QCOMPARE(int64_t(taken.Blocks), int64_t(expected.size()));
    QCOMPARE(taken.Unplaceable, int64_t{0});
    const std::string& text = taken.Text;
    QVERIFY(ReadBack(text) == expected);
    QVERIFY(text.starts_with("[WORLDITEM "));
    QVERIFY(text.find("\r\nSERIAL=040001\r\nID=") != std::string::npos);
    QVERIFY(text.ends_with("\r\n\r\n"));
  }

  // An unfreeze of an area and a freeze of what it wrote, keeping the statics, give every block the
  // records it had; where the area is whole blocks, the very bytes a freeze of nothing writes.
  void unfreezeAndFreezeBack_data() {
    QTest::addColumn<QString>("area");
    QTest::addColumn<bool>("wholeBlocks");
    QTest::newRow("across block borders") << "3,5,20,17" << false;
    QTest::newRow("one tile") << "9,9,9,9" << false;
    QTest::newRow("whole blocks") << "8,8,23,15" << true;
    QTest::newRow("the whole map") << "0,0,63,39" << true;
  }
  void unfreezeAndFreezeBack() {
    QFETCH(QString, area);
    QFETCH(bool, wholeBlocks);
    const TPair pair;
    const TBlockStore none(Map);
    TAreaCut cut(Map, mirnax::ParseMapArea(area.toStdString(), Map));
    const auto [index, data] = Merged(pair.index, pair.data, none, &cut);
    QVERIFY(data.size() + size_t(cut.Taken().Count) * 7 == pair.data.size());
    TBlockStore back(Map);
    Parse(cut.Taken().Text, back);
    const auto [index2, data2] = Merged(index, data, back);
    const TMapArea all{0, 0, Map.Width - 1, Map.Height - 1};
    QVERIFY(RecordsIn(index2, data2, all) == pair.In(all));
    if (wholeBlocks) {
      const auto [plainIndex, plainData] = Merged(pair.index, pair.data, none);
      QVERIFY(index2 == plainIndex);
      QVERIFY(data2 == plainData);
    }
  }

  // Cutting keeps a block's other records in their order, and what cannot be placed again stays:
  // a place inside the block past 7, or a block that is no whole number of records.
  void cutKeepsTheRestAndTheUnplaceable() {
    TAreaCut cut(Map, {0, 0, 7, 3});
    std::string block = support::StaticRecord(1, 0, 0, 0, 0) + support::StaticRecord(2, 0, 5, 0, 0) +
                        support::StaticRecord(3, 9, 1, 0, 0) + support::StaticRecord(4, 3, 3, 0, 0) +
                        support::StaticRecord(5, 7, 7, 0, 0);
    const size_t kept = cut.Cut(0, reinterpret_cast<uint8_t*>(block.data()), block.size());
    QCOMPARE(block.substr(0, kept), support::StaticRecord(2, 0, 5, 0, 0) + support::StaticRecord(3, 9, 1, 0, 0) +
                                        support::StaticRecord(5, 7, 7, 0, 0));
    QCOMPARE(cut.Taken().Count, int64_t{2});
    QVERIFY(cut.Taken().Text.find("[WORLDITEM 0004]\r\nSERIAL=040002\r\n") != std::string::npos);
    QCOMPARE(cut.Taken().Unplaceable, int64_t{1});
    std::string ragged = support::StaticRecord(6, 1, 1, 0, 0) + "xyz";
    QCOMPARE(cut.Cut(0, reinterpret_cast<uint8_t*>(ragged.data()), ragged.size()), ragged.size());
    QCOMPARE(cut.Taken().Unplaceable, int64_t{3});
    // A block outside the area is not looked at.
    std::string far = support::StaticRecord(7, 0, 0, 0, 0);
    QCOMPARE(cut.Cut(Map.BlockRows(), reinterpret_cast<uint8_t*>(far.data()), far.size()), far.size());
    QCOMPARE(cut.Taken().Blocks, int64_t{1});
  }
};

QTEST_APPLESS_MAIN(TestUnfreeze)
#include "tst_unfreeze.moc"
