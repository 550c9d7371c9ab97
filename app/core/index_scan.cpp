#include "app/core/index_scan.h"

#include <algorithm>

#include "app/core/freeze_checks.h"
#include "app/core/map.h"
#include "app/core/map_size.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// The old index is read this many entries at a time.
constexpr int32_t IndexChunkEntries = 4096;
}  // namespace

TIndexReader::TIndexReader(TStaticsInput& index, const TMapSize& map)
    : index_(index),
      blocks_(map.BlockCount()),
      chunk_(size_t(std::max(1, std::min(IndexChunkEntries, blocks_))) * IndexEntrySize) {}

StaticIndexEntry TIndexReader::Entry(int32_t block) {
  const int32_t slot = block % IndexChunkEntries;
  if (slot == 0) {
    const int32_t entries = std::min(IndexChunkEntries, blocks_ - block);
    index_.ReadAt(int64_t{block} * IndexEntrySize, chunk_.data(), size_t(entries) * IndexEntrySize);
  }
  return DecodeIndexEntry(chunk_.data() + size_t(slot) * IndexEntrySize);
}

void CheckIndexSize(const TStaticsInput& index, const TMapSize& map) {
  const int64_t size = index.Size();
  if (size == map.IndexFileSize()) return;
  const int64_t blocks = size / IndexEntrySize;
  const int64_t rest = size % IndexEntrySize;
  std::string message =
      Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                         "The statics index file %s is %lld bytes long: %lld blocks%s. The statics "
                                         "index of a map of %s tiles has exactly %lld bytes (%d blocks of "
                                         "8x8 tiles, an entry of %d bytes each)."))
                 .c_str(),
             index.Name().c_str(), static_cast<long long>(size), static_cast<long long>(blocks),
             rest == 0 ? ""
                       : Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks", " and %lld bytes more")).c_str(),
                                static_cast<long long>(rest))
                             .c_str(),
             MapSizeText(map).c_str(), static_cast<long long>(map.IndexFileSize()), map.BlockCount(), IndexEntrySize);
  if (const std::string known = KnownMapsWithBlocks(blocks); rest == 0 && !known.empty())
    message += " " + Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                                        "%lld blocks are those of a map of %s tiles; give its "
                                                        "size with --map-size or MapSize= in mirnax.ini."))
                                .c_str(),
                            static_cast<long long>(blocks), known.c_str());
  throw Exception(message);
}

void CheckEntry(const StaticIndexEntry& e, int32_t block, const TStaticsInput& index, const TStaticsInput& data) {
  if (!HasStatics(e)) return;
  if (e.Offset >= 0 && e.Length > 0 && int64_t{e.Offset} + e.Length <= data.Size()) return;
  throw Exception(Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                                     "The statics index file %s is damaged: entry %d points outside "
                                                     "the statics data file %s (offset %d, length %d; the data file "
                                                     "has %lld bytes)."))
                             .c_str(),
                         index.Name().c_str(), block, data.Name().c_str(), e.Offset, e.Length,
                         static_cast<long long>(data.Size())));
}

void CheckTotal(int64_t total) {
  if (total > INT32_MAX) {
    throw Exception(Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                                       "The statics data would grow to %lld bytes, more than a "
                                                       "statics index can address (%d bytes)."))
                               .c_str(),
                           static_cast<long long>(total), INT32_MAX));
  }
}

int64_t NewBlockSize(const StaticIndexEntry& e, uint32_t items) {
  return (HasStatics(e) ? int64_t{e.Length} : 0) + int64_t{StaticRecordSize} * items;
}

int64_t ScanStaticsIndex(TStaticsInput& oldIndex, const TStaticsInput& oldData, const TBlockStore& store) {
  const TMapSize& map = store.Map();
  CheckIndexSize(oldIndex, map);
  TIndexReader reader(oldIndex, map);
  int64_t total = 0;
  for (int32_t b = 0; b < map.BlockCount(); ++b) {
    const StaticIndexEntry e = reader.Entry(b);
    CheckEntry(e, b, oldIndex, oldData);
    total += NewBlockSize(e, store.Count(b));
  }
  CheckTotal(total);
  return total;
}

}  // namespace mirnax
