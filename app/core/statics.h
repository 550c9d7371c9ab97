// The two statics files (index and data), their records, and the clear and freeze operations.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/core/block_store.h"
#include "app/core/map.h"
#include "app/core/progress.h"

// One index entry per block, 12 bytes little-endian: offset, length, extra.
struct StaticIndexEntry {
  int32_t Offset = -1;  // of the block's first record in the data file; -1 when none
  int32_t Length = -1;  // bytes of the block's records; -1 when none
  std::array<uint8_t, 4> Extra{};  // carried over unchanged
};

// A block has statics only when Offset is not -1 and Length is neither 0 nor -1; any other entry
// counts as empty, whatever its other field holds.
inline bool HasStatics(const StaticIndexEntry& e) { return e.Offset != -1 && e.Length != 0 && e.Length != -1; }

StaticIndexEntry DecodeIndexEntry(const uint8_t* bytes);
void EncodeIndexEntry(const StaticIndexEntry& entry, uint8_t* bytes);
// The 7-byte record: tile (minus 0x4000) and hue as 16-bit little-endian, x, y, z as single bytes.
void EncodeStaticRecord(const StaticItem& item, uint8_t* bytes);

// The name a statics file is kept under while it is rewritten: its extension replaced by ".xxx"
// (appended when it has none). "C:\game\staidx0.mul" gives "C:\game\staidx0.xxx".
std::string FreezeTempName(std::string_view path);

// Positioned reads of an old statics file, from disk or from memory.
class TStaticsInput {
 public:
  virtual ~TStaticsInput() = default;
  virtual const std::string& Name() const = 0;
  virtual int64_t Size() const = 0;
  // Exactly count bytes from position, or EInOutError.
  virtual void ReadAt(int64_t position, void* buffer, size_t count) = 0;
};

// Sequential writes of a new statics file.
class TStaticsOutput {
 public:
  virtual ~TStaticsOutput() = default;
  virtual void Write(const void* buffer, size_t count) = 0;
};

class TMemoryStaticsInput : public TStaticsInput {
 public:
  TMemoryStaticsInput(std::string_view bytes, std::string name) : bytes_(bytes), name_(std::move(name)) {}
  const std::string& Name() const override { return name_; }
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  void ReadAt(int64_t position, void* buffer, size_t count) override;

 private:
  std::string_view bytes_;
  std::string name_;
};

class TMemoryStaticsOutput : public TStaticsOutput {
 public:
  void Write(const void* buffer, size_t count) override { Bytes.append(static_cast<const char*>(buffer), count); }
  std::string Bytes;
};

// Checks an old index against its data file before anything is written: the index holds exactly
// 393,216 entries, every entry with statics lies inside the data file, and the merged data of
// every block fits a signed 32-bit offset. Returns the merged data size; raises Exception naming
// the file and the entry otherwise.
int64_t ScanStaticsIndex(TStaticsInput& oldIndex, const TStaticsInput& oldData, const TBlockStore& store);

// Stops a freeze at a chosen point, for the tests that interrupt it. Never set by the programs.
// fpMarkedComplete: the journal says the new files are complete, both ".xxx" files still exist;
// fpChecked: every check has passed, nothing is written yet.
enum TFreezePoint {
  fpIndexMoved, fpDataMoved, fpBlockWritten, fpNewFilesFlushed, fpIndexTempDeleted, fpMarkedComplete, fpChecked
};
using TFreezeTestHook = std::function<void(TFreezePoint point, int32_t block)>;

// Writes the merge of the old files and store, block by block: each block's old bytes, then its
// new records in store order, with running offsets in the new index and every Extra kept. Begins
// gauge with 393,216 units and steps it per block. The old files are checked as ScanStaticsIndex
// does while they are read.
void MergeStatics(const TBlockStore& store, TStaticsInput& oldIndex, TStaticsInput& oldData, TStaticsOutput& newIndex,
                  TStaticsOutput& newData, TProgressSink& gauge, const TFreezeTestHook& testHook = {});

// Refuses, before anything is touched, a pair of paths that a clear or a freeze cannot handle
// safely: one file given twice, two paths with the same temporary name, a path that has the
// temporary extension itself, or a ".xxx" file left beside either (it may hold the only copy of
// the statics left by an interrupted freeze; the refusal says, from that freeze's journal, whether
// the ".xxx" files are to be put back or may simply be deleted).
void CheckStaticsPaths(const std::string& indexPath, const std::string& dataPath);

// Makes both files empty statics: an index of 393,216 empty entries (FF FF FF FF FF FF FF FF
// 00 00 00 00) and an empty data file. The new files are written beside the old ones, under names
// no other file has, and moved over them only when complete. A file that cannot be written raises EFCreateError
// "Cannot create file %s"; the files are then as they were.
void ClearStatics(const std::string& indexPath, const std::string& dataPath);

// The checks a clear makes before it writes anything: both paths given, the files (or, where one
// does not exist yet, their folders) writable, and the refusals of CheckStaticsPaths. A file that
// cannot be written raises EFCreateError "Cannot create file %s".
void CheckClearStatics(const std::string& indexPath, const std::string& dataPath);

// Merges store into the statics files: checks the paths and the old files (nothing is touched
// when a check fails), moves both to their ".xxx" names, writes the new files under the configured
// paths, forces them to disk and deletes the ".xxx" files. Any failure after the move puts the
// previous files back under the configured paths and raises the error with a note saying so.
// A journal "<index>.freeze" beside the index lives from before the first move to the end: it
// tells the next freeze, should this one be killed, which pair is whole. With
// RollBackFreezeOnSignals (run.h), SIGINT, SIGTERM and SIGHUP count as such a failure until the new
// files are complete, and end the process once the freeze has finished after that.
void FreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                   TProgressSink& gauge, const TFreezeTestHook& testHook = {});

// A clear and a freeze as one step: writes what ClearStatics followed by FreezeStatics writes, but
// reads nothing of the old files and writes nothing before the freeze itself. The old files, where
// they exist, are kept under ".xxx" until the new pair is complete, exactly as FreezeStatics keeps
// them, so a failure leaves the statics as they were. Makes the checks of CheckClearStatics first.
void ClearAndFreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                           TProgressSink& gauge, const TFreezeTestHook& testHook = {});
