// Statics files from the fuzzer. The input describes a small map, an old index of it (a few entries
// placed among empty ones, so the file has the size the map's index must have), the old data file
// and a small item store. The pair is merged and checked against a plain model of the merge: a pair
// the model cannot merge (an entry outside the data file, data past a 32-bit offset, an index of
// the wrong size) is refused, any other is written exactly as the model says. Inputs with flag bit
// 7 are frozen on disk instead, with every file call of a freeze, and then a refused pair is left
// untouched and an interrupted freeze puts the old files back. The maps have at most 512 blocks:
// an input merged in memory costs microseconds, one frozen on disk about a hundred file calls.
//
// Input (read with FuzzedDataProvider: numbers from the end, the data file from the front):
//   flags     bits 0-1  index size: exact, exact, one byte short, one entry too long
//             bit 2     data file padded past the block buffer, so one block can outgrow it
//             bit 3     the first item repeated past the block buffer's capacity
//             bit 4     the freeze interrupted at a chosen point (on disk only)
//             bits 5-6  the map: 64x64, 8x8 (one block), 256x128 or 8x2048 tiles
//             bit 7     frozen on disk, not merged in memory
//   entries   up to 24, each: distance to the previous entry's block, a kind and three numbers
//   items     up to 48, each: which block, tile, cell, z, hue
//   the rest  the old data file
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/freeze_points.h"
#include "app/core/map.h"
#include "app/core/progress.h"
#include "app/core/statics_io.h"
#include "app/core/statics_merge.h"
#include "support/little_endian.h"
#include "support/statics_builder.h"
#include "tests/fuzz/fuzz_check.h"
#include "toolkit/core/exceptions.h"

namespace support = mirnax::support;
using mirnax::BlockSide;
using mirnax::Exception;
using mirnax::FreezeStatics;
using mirnax::IndexEntrySize;
using mirnax::StaticItem;
using mirnax::StaticRecordSize;
using mirnax::TBlockStore;
using mirnax::TFreezePoint;
using mirnax::TFreezeTestHook;
using mirnax::TNullProgress;
using mirnax::TStaticsPair;
using mirnax::TMapSize;
using mirnax::MergeStatics;
using mirnax::TMemoryStaticsInput;
using mirnax::TMemoryStaticsOutput;
using mirnax::TileIdBase;
using mirnax::fpBlockWritten;
using mirnax::fpIndexMoved;

namespace fs = std::filesystem;
using support::GetLE32;
using support::PutLE32;

namespace {
constexpr int MaxEntries = 24;
constexpr int MaxItems = 48;
constexpr size_t PaddedDataSize = 131072;
constexpr uint32_t ManyItems = 15000;
constexpr int32_t MaxGap = 63;
// Square, a single block, wide and tall: a swapped block column and row cannot hide.
constexpr TMapSize Maps[4] = {{64, 64}, {8, 8}, {256, 128}, {8, 2048}};

enum TEntryKind { ekRaw, ekInside, ekEmpty, ekPastEnd, ekKinds };

struct TEntryPlan {
  int32_t block;
  uint8_t kind;
  uint32_t a, b;
  uint32_t extra;
};

// The work folder of this process: under TMPDIR (tests/fuzz/run.sh points it at a memory file
// system, where the freeze's flushes cost nothing).
class TWorkDir {
 public:
  TWorkDir() {
    dir_ = fs::temp_directory_path() / ("mirnax_fuzz_statics_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  ~TWorkDir() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }

 private:
  fs::path dir_;
};

// Plain stdio, so a fault of the toolkit's file classes cannot hide in the harness.
void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
}

// The file's bytes, in a buffer the caller keeps from input to input: fresh pages for megabytes on
// every input would cost more than the freeze itself.
const std::string& ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  FUZZ_CHECK(in.good());
  bytes.resize(static_cast<size_t>(fs::file_size(path)));
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(in.gcount() == static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// The old index of an input: an empty entry for every block of map.
std::string EmptyIndexOf(const TMapSize& map) {
  const std::string empty = support::IndexEntry(-1, -1);
  std::string index;
  index.reserve(static_cast<size_t>(map.IndexFileSize()));
  for (int32_t b = 0; b < map.BlockCount(); ++b) index += empty;
  return index;
}

// Whether the freeze must take the pair: the index has its exact size, every entry with statics
// lies inside the data file, and the merged data fits a signed 32-bit offset. Only the busy blocks
// (those with a planned entry or with items) can break a rule: every other entry is empty.
bool Acceptable(const TBlockStore& store, const std::vector<int32_t>& busy, const std::string& oldIndex,
                size_t dataSize) {
  if (oldIndex.size() != static_cast<size_t>(store.Map().IndexFileSize())) return false;
  int64_t total = 0;
  for (const int32_t b : busy) {
    const size_t at = static_cast<size_t>(b) * IndexEntrySize;
    const auto offset = static_cast<int32_t>(GetLE32(oldIndex, at));
    const auto length = static_cast<int32_t>(GetLE32(oldIndex, at + 4));
    const bool statics = offset != -1 && length != 0 && length != -1;
    if (statics && (offset < 0 || length < 0 || int64_t{offset} + length > static_cast<int64_t>(dataSize))) return false;
    total += (statics ? length : 0) + int64_t{StaticRecordSize} * store.Count(b);
  }
  return total <= INT32_MAX;
}

// The merge, block by block, against what it must be: each block's old bytes unchanged, then its
// items in store order as 7-byte records, at offsets that run on without gaps, every Extra kept;
// the entries between the busy blocks stay empty, byte for byte.
void CheckMerge(const TBlockStore& store, const std::vector<int32_t>& busy, const std::string& oldIndex,
                const std::string& oldData, const std::string& newIndex, const std::string& newData) {
  FUZZ_CHECK(newIndex.size() == static_cast<size_t>(store.Map().IndexFileSize()));
  const std::string empty = EmptyIndexOf(store.Map());
  const auto emptyUpTo = [&](int32_t from, int32_t to) {
    const size_t at = static_cast<size_t>(from) * IndexEntrySize, n = static_cast<size_t>(to - from) * IndexEntrySize;
    FUZZ_CHECK(newIndex.compare(at, n, empty, at, n) == 0);
  };
  int64_t running = 0;
  int32_t next = 0;  // the first block not checked yet
  for (const int32_t b : busy) {
    emptyUpTo(next, b);
    const size_t at = static_cast<size_t>(b) * IndexEntrySize;
    const auto oldOffset = static_cast<int32_t>(GetLE32(oldIndex, at));
    const auto oldLength = static_cast<int32_t>(GetLE32(oldIndex, at + 4));
    const int32_t kept = oldOffset != -1 && oldLength != 0 && oldLength != -1 ? oldLength : 0;
    const int64_t expected = kept + int64_t{StaticRecordSize} * store.Count(b);
    const auto offset = static_cast<int32_t>(GetLE32(newIndex, at));
    const auto length = static_cast<int32_t>(GetLE32(newIndex, at + 4));
    FUZZ_CHECK(GetLE32(newIndex, at + 8) == GetLE32(oldIndex, at + 8));
    if (expected == 0) {
      FUZZ_CHECK(offset == -1 && length == -1);
      next = b + 1;
      continue;
    }
    FUZZ_CHECK(offset == running && length == expected);
    FUZZ_CHECK(running + expected <= static_cast<int64_t>(newData.size()));
    const char* block = newData.data() + running;
    FUZZ_CHECK(std::memcmp(block, oldData.data() + (kept ? oldOffset : 0), static_cast<size_t>(kept)) == 0);
    const auto* record = reinterpret_cast<const uint8_t*>(block + kept);
    for (const StaticItem& item : store.Chain(b)) {
      const auto tile = static_cast<uint16_t>(item.TileId - TileIdBase);
      FUZZ_CHECK(record[0] == (tile & 0xFF) && record[1] == tile >> 8);
      FUZZ_CHECK(record[2] == item.CellX && record[3] == item.CellY && static_cast<int8_t>(record[4]) == item.Z);
      FUZZ_CHECK(record[5] == (item.Hue & 0xFF) && record[6] == item.Hue >> 8);
      record += StaticRecordSize;
    }
    running += expected;
    next = b + 1;
  }
  emptyUpTo(next, store.Map().BlockCount());
  FUZZ_CHECK(running == static_cast<int64_t>(newData.size()));
}

struct TInterrupt {};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider in(bytes, size);
  const auto flags = in.ConsumeIntegral<uint8_t>();
  const TMapSize& map = Maps[(flags >> 5) & 3];
  const int32_t blocks = map.BlockCount();

  std::vector<TEntryPlan> plans(static_cast<size_t>(in.ConsumeIntegralInRange(0, MaxEntries)));
  int32_t block = -1;
  for (TEntryPlan& plan : plans) {
    block += 1 + in.ConsumeIntegralInRange(0, MaxGap);
    plan.block = std::min(block, blocks - 1);
    plan.kind = static_cast<uint8_t>(in.ConsumeIntegral<uint8_t>() % ekKinds);
    plan.a = in.ConsumeIntegral<uint32_t>();
    plan.b = in.ConsumeIntegral<uint32_t>();
    plan.extra = in.ConsumeIntegral<uint32_t>();
  }

  TBlockStore store(map);
  const int items = in.ConsumeIntegralInRange(0, MaxItems);
  for (int i = 0; i < items; ++i) {
    const auto target = in.ConsumeIntegral<uint8_t>();
    int32_t b = target & 1 ? blocks - 1 : 0;
    if (target >= 64 && !plans.empty()) b = plans[target % plans.size()].block;
    StaticItem item;
    item.TileId = in.ConsumeIntegral<uint16_t>();
    item.CellX = in.ConsumeIntegralInRange<uint8_t>(0, BlockSide - 1);
    item.CellY = in.ConsumeIntegralInRange<uint8_t>(0, BlockSide - 1);
    item.Z = in.ConsumeIntegral<int8_t>();
    item.Hue = in.ConsumeIntegral<uint16_t>();
    const uint32_t times = i == 0 && (flags & 8) ? ManyItems : 1;
    for (uint32_t t = 0; t < times; ++t) store.Append(b, item);
  }
  const bool interrupt = flags & 16;
  const auto stopPoint = static_cast<TFreezePoint>(in.ConsumeIntegralInRange(0, 2));
  const int32_t stopBlock = in.ConsumeIntegralInRange(0, blocks - 1);

  std::string oldData = in.ConsumeRemainingBytesAsString();
  if ((flags & 4) && oldData.size() < PaddedDataSize) {
    size_t i = oldData.size();
    oldData.resize(PaddedDataSize);
    for (; i < PaddedDataSize; ++i) oldData[i] = static_cast<char>(i * 7);
  }
  const auto dataSize = static_cast<uint32_t>(oldData.size());

  std::vector<int32_t> placed;
  std::string oldIndex = EmptyIndexOf(map);
  for (const TEntryPlan& plan : plans) {
    placed.push_back(plan.block);
    uint32_t offset = plan.a, length = plan.b;
    switch (plan.kind) {
      case ekInside:
        offset = plan.a % (dataSize + 1);
        length = plan.b % (dataSize - offset + 1);
        break;
      case ekEmpty:
        if (plan.a & 1)
          offset = UINT32_MAX;
        else
          length = plan.a & 2 ? 0 : UINT32_MAX;
        break;
      case ekPastEnd:
        offset = plan.a % (dataSize + 1);
        length = dataSize - offset + 1;
        break;
      default:
        break;
    }
    const size_t at = static_cast<size_t>(plan.block) * IndexEntrySize;
    PutLE32(oldIndex, at, offset);
    PutLE32(oldIndex, at + 4, length);
    PutLE32(oldIndex, at + 8, plan.extra);
  }
  if ((flags & 3) == 2) oldIndex.pop_back();
  if ((flags & 3) == 3) oldIndex += support::IndexEntry(-1, -1);

  // Items go to the first block, the last, or a planned one: those are the busy blocks.
  std::vector<int32_t> busy = placed;
  busy.push_back(0);
  busy.push_back(blocks - 1);
  std::sort(busy.begin(), busy.end());
  busy.erase(std::unique(busy.begin(), busy.end()), busy.end());
  const bool acceptable = Acceptable(store, busy, oldIndex, oldData.size());
  TNullProgress gauge;

  // In memory: the merge alone refuses exactly what it cannot write.
  if (!(flags & 0x80)) {
    TMemoryStaticsInput index(oldIndex, "staidx0.mul"), data(oldData, "statics0.mul");
    TMemoryStaticsOutput newIndex, newData;
    bool merged = false;
    try {
      MergeStatics(store, index, data, newIndex, newData, gauge);
      merged = true;
    } catch (const Exception&) {
    }
    FUZZ_CHECK(merged == acceptable);
    if (merged) CheckMerge(store, busy, oldIndex, oldData, newIndex.Bytes, newData.Bytes);
    return 0;
  }

  // The same pair on disk.
  static const TWorkDir work;
  const std::string indexPath = work.Path("staidx0.mul"), dataPath = work.Path("statics0.mul");
  const std::string indexTemp = work.Path("staidx0.xxx"), dataTemp = work.Path("statics0.xxx");
  WriteFile(indexPath, oldIndex);
  WriteFile(dataPath, oldData);
  // The freeze moves the index away only once its checks have passed.
  bool accepted = false;
  const TFreezeTestHook hook = [&](TFreezePoint point, int32_t at) {
    if (point == fpIndexMoved) accepted = true;
    if (interrupt && point == stopPoint && (point != fpBlockWritten || at == stopBlock)) throw TInterrupt();
  };
  bool frozen = false, stopped = false;
  try {
    FreezeStatics(store, TStaticsPair::Resolve(indexPath, dataPath), gauge, hook);
    frozen = true;
  } catch (const Exception&) {
  } catch (const TInterrupt&) {
    stopped = true;
  }
  // The checks before the freeze refuse exactly what the merge cannot write.
  FUZZ_CHECK(accepted == acceptable);
  FUZZ_CHECK(!fs::exists(indexTemp) && !fs::exists(dataTemp));
  static std::string index, data;
  if (frozen) {
    FUZZ_CHECK(acceptable);
    CheckMerge(store, busy, oldIndex, oldData, ReadFile(indexPath, index), ReadFile(dataPath, data));
  } else {
    FUZZ_CHECK(!acceptable || stopped);
    FUZZ_CHECK(ReadFile(indexPath, index) == oldIndex);
    FUZZ_CHECK(ReadFile(dataPath, data) == oldData);
  }
  return 0;
}
