#include "app/core/index_scan.h"

#include <algorithm>

#include "app/core/map.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// The old index is read this many entries at a time.
constexpr int32_t IndexChunkEntries = 4096;
}  // namespace

TIndexReader::TIndexReader(TStaticsInput& index) : index_(index), chunk_(size_t{IndexChunkEntries} * IndexEntrySize) {}

StaticIndexEntry TIndexReader::Entry(int32_t block) {
  const int32_t slot = block % IndexChunkEntries;
  if (slot == 0) {
    const int32_t entries = std::min(IndexChunkEntries, BlockCount - block);
    index_.ReadAt(int64_t{block} * IndexEntrySize, chunk_.data(), size_t(entries) * IndexEntrySize);
  }
  return DecodeIndexEntry(chunk_.data() + size_t(slot) * IndexEntrySize);
}

void CheckIndexSize(const TStaticsInput& index) {
  if (index.Size() != IndexFileSize) {
    throw Exception(Format("The statics index file %s is %lld bytes long; a statics index file has exactly %lld bytes "
                           "(%d entries of %d bytes).",
                           index.Name().c_str(), static_cast<long long>(index.Size()),
                           static_cast<long long>(IndexFileSize), BlockCount, IndexEntrySize));
  }
}

void CheckEntry(const StaticIndexEntry& e, int32_t block, const TStaticsInput& index, const TStaticsInput& data) {
  if (!HasStatics(e)) return;
  if (e.Offset >= 0 && e.Length > 0 && int64_t{e.Offset} + e.Length <= data.Size()) return;
  throw Exception(Format("The statics index file %s is damaged: entry %d points outside the statics data file %s "
                         "(offset %d, length %d; the data file has %lld bytes).",
                         index.Name().c_str(), block, data.Name().c_str(), e.Offset, e.Length,
                         static_cast<long long>(data.Size())));
}

void CheckTotal(int64_t total) {
  if (total > INT32_MAX) {
    throw Exception(Format("The statics data would grow to %lld bytes, more than a statics index can address "
                           "(%d bytes).",
                           static_cast<long long>(total), INT32_MAX));
  }
}

int64_t NewBlockSize(const StaticIndexEntry& e, uint32_t items) {
  return (HasStatics(e) ? int64_t{e.Length} : 0) + int64_t{StaticRecordSize} * items;
}

int64_t ScanStaticsIndex(TStaticsInput& oldIndex, const TStaticsInput& oldData, const TBlockStore& store) {
  CheckIndexSize(oldIndex);
  TIndexReader reader(oldIndex);
  int64_t total = 0;
  for (int32_t b = 0; b < BlockCount; ++b) {
    const StaticIndexEntry e = reader.Entry(b);
    CheckEntry(e, b, oldIndex, oldData);
    total += NewBlockSize(e, store.Count(b));
  }
  CheckTotal(total);
  return total;
}

}  // namespace mirnax
