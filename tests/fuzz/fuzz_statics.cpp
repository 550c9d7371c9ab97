// Statics files from the fuzzer. The input describes an old index (a few entries placed among
// empty ones, so the file has the size a statics index must have), the old data file and a small
// item store. The pair is checked and merged in memory, then frozen on disk, and the two must
// agree: a pair the checks refuse is left untouched on disk, a pair they accept is rewritten
// exactly as the merge in memory says, and an interrupted freeze puts the old files back. The
// merge itself is checked against a plain model of it.
//
// Input (read with FuzzedDataProvider: numbers from the end, the data file from the front):
//   flags     bits 0-1  index size: exact, exact, one byte short, one entry too long
//             bit 2     data file padded past the block buffer, so one block can outgrow it
//             bit 3     the first item repeated past the block buffer's capacity
//             bit 4     the freeze interrupted at a chosen point
//   entries   up to 24, each: distance to the previous entry's block, a kind and three numbers
//   items     up to 48, each: which block, tile, cell, z, hue
//   the rest  the old data file
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/map.h"
#include "app/core/progress.h"
#include "app/core/freeze_points.h"
#include "app/core/statics_io.h"
#include "app/core/statics_merge.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/little_endian.h"
#include "tests/support/statics_builder.h"
#include "toolkit/exceptions.h"

namespace fs = std::filesystem;
using support::GetLE32;
using support::PutLE32;

namespace {
constexpr int MaxEntries = 24;
constexpr int MaxItems = 48;
constexpr size_t PaddedDataSize = 131072;
constexpr uint32_t ManyItems = 15000;

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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  FUZZ_CHECK(in.good());
  std::string bytes(static_cast<size_t>(fs::file_size(path)), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(in.gcount() == static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// The merge, block by block, against what it must be: each block's old bytes unchanged, then its
// items in store order as 7-byte records, at offsets that run on without gaps, every Extra kept.
void CheckMerge(const TBlockStore& store, const std::string& oldIndex, const std::string& oldData,
                const std::string& newIndex, const std::string& newData) {
  FUZZ_CHECK(newIndex.size() == static_cast<size_t>(IndexFileSize));
  int64_t running = 0;
  for (int32_t b = 0; b < BlockCount; ++b) {
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
  }
  FUZZ_CHECK(running == static_cast<int64_t>(newData.size()));
}

struct TInterrupt {};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider in(bytes, size);
  const auto flags = in.ConsumeIntegral<uint8_t>();

  std::vector<TEntryPlan> plans(static_cast<size_t>(in.ConsumeIntegralInRange(0, MaxEntries)));
  int32_t block = -1;
  for (TEntryPlan& plan : plans) {
    block += 1 + in.ConsumeIntegralInRange(0, 8191);
    plan.block = std::min(block, BlockCount - 1);
    plan.kind = static_cast<uint8_t>(in.ConsumeIntegral<uint8_t>() % ekKinds);
    plan.a = in.ConsumeIntegral<uint32_t>();
    plan.b = in.ConsumeIntegral<uint32_t>();
    plan.extra = in.ConsumeIntegral<uint32_t>();
  }

  // One store for every input: a new one costs its three tables of 393,216 entries.
  static TBlockStore store;
  if (store.TotalCount() != 0) store.Clear();
  const int items = in.ConsumeIntegralInRange(0, MaxItems);
  for (int i = 0; i < items; ++i) {
    const auto target = in.ConsumeIntegral<uint8_t>();
    int32_t b = target & 1 ? BlockCount - 1 : 0;
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
  const int32_t stopBlock = in.ConsumeIntegralInRange(0, BlockCount - 1);

  std::string oldData = in.ConsumeRemainingBytesAsString();
  if ((flags & 4) && oldData.size() < PaddedDataSize) {
    for (size_t i = oldData.size(); i < PaddedDataSize; ++i) oldData.push_back(static_cast<char>(i * 7));
  }
  const auto dataSize = static_cast<uint32_t>(oldData.size());

  std::string oldIndex = support::EmptyIndex();
  for (const TEntryPlan& plan : plans) {
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
  if ((flags & 3) == 3) oldIndex.append(support::EmptyIndex(), 0, IndexEntrySize);

  // The merge in memory: the reference for the freeze on disk.
  TMemoryStaticsInput memIndex(oldIndex, "staidx0.mul");
  TMemoryStaticsInput memData(oldData, "statics0.mul");
  TMemoryStaticsOutput newIndex, newData;
  TNullProgress gauge;
  bool merged = true;
  try {
    MergeStatics(store, memIndex, memData, newIndex, newData, gauge);
  } catch (const Exception&) {
    merged = false;
  }
  if (merged) CheckMerge(store, oldIndex, oldData, newIndex.Bytes, newData.Bytes);

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
    FreezeStatics(store, indexPath, dataPath, gauge, hook);
    frozen = true;
  } catch (const Exception&) {
  } catch (const TInterrupt&) {
    stopped = true;
  }
  // The checks before the freeze refuse exactly what the merge cannot write.
  FUZZ_CHECK(accepted == merged);
  FUZZ_CHECK(!fs::exists(indexTemp) && !fs::exists(dataTemp));
  if (frozen) {
    FUZZ_CHECK(merged);
    FUZZ_CHECK(ReadFile(indexPath) == newIndex.Bytes);
    FUZZ_CHECK(ReadFile(dataPath) == newData.Bytes);
  } else {
    FUZZ_CHECK(!merged || stopped);
    FUZZ_CHECK(ReadFile(indexPath) == oldIndex);
    FUZZ_CHECK(ReadFile(dataPath) == oldData);
  }
  return 0;
}
