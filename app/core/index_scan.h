// Reading an old statics index entry by entry, and the checks every entry must pass before the
// freeze writes anything.
#pragma once

#include <cstdint>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/statics_format.h"
#include "app/core/statics_io.h"

namespace mirnax {

// The old index of a map's blocks, entry by entry, read in chunks. Entries are asked for in block
// order from 0.
class TIndexReader {
 public:
  TIndexReader(TStaticsInput& index, const TMapSize& map);
  StaticIndexEntry Entry(int32_t block);

 private:
  TStaticsInput& index_;
  int32_t blocks_;
  std::vector<uint8_t> chunk_;
};

// The index holds exactly one entry per block of map; raises Exception naming the file, its block
// count and the one expected, and the known maps of its block count, otherwise.
void CheckIndexSize(const TStaticsInput& index, const TMapSize& map);
// An entry with statics lies inside the data file; raises Exception naming both files and the entry.
void CheckEntry(const StaticIndexEntry& e, int32_t block, const TStaticsInput& index, const TStaticsInput& data);
// The merged data reaches no further than a signed 32-bit offset can address.
void CheckTotal(int64_t total);
// A block's bytes after the merge: its old records (where it has statics) and its new ones.
int64_t NewBlockSize(const StaticIndexEntry& e, uint32_t items);

// Checks an old index against its data file before anything is written: the index holds exactly
// one entry per block of the store's map, every entry with statics lies inside the data file, and the merged data of
// every block fits a signed 32-bit offset. Returns the merged data size; raises Exception naming
// the file and the entry otherwise.
int64_t ScanStaticsIndex(TStaticsInput& oldIndex, const TStaticsInput& oldData, const TBlockStore& store);

}  // namespace mirnax
