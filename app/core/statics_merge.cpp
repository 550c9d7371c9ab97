#include "app/core/statics_merge.h"

#include <algorithm>
#include <vector>

#include "app/core/index_scan.h"
#include "app/core/map.h"
#include "app/core/statics_format.h"

namespace mirnax {

void MergeStatics(const TBlockStore& store, TStaticsInput& oldIndex, TStaticsInput& oldData, TStaticsOutput& newIndex,
                  TStaticsOutput& newData, TProgressSink& gauge,
                  const std::function<void(int32_t block)>& blockWritten, TAreaCut* cut) {
  const int32_t blocks = store.Map().BlockCount();
  CheckIndexSize(oldIndex, store.Map());
  gauge.Begin(blocks);
  TIndexReader reader(oldIndex, store.Map());
  // A group of blocks is assembled at a time: each block's old bytes, then room for its new
  // records, which the store fills in for the whole group at once. A group ends early once it fills
  // the block buffer, so the buffer holds one large block at most, however many entries share it.
  constexpr int32_t Group = 64;
  size_t place[Group];  // where each block's new records go in the buffer
  std::vector<uint8_t> buffer(BlockBufferSize);
  std::vector<uint8_t> index(size_t{Group} * IndexEntrySize);
  int64_t offset = 0;
  for (int32_t first = 0, n = 0; first < blocks; first += n) {
    const int32_t most = std::min(Group, blocks - first);
    size_t used = 0;
    for (n = 0; n < most && used < BlockBufferSize; ++n) {
      const int32_t k = n;  // the block's place in the group
      StaticIndexEntry e = reader.Entry(first + k);
      CheckEntry(e, first + k, oldIndex, oldData);
      int64_t size = NewBlockSize(e, store.Count(first + k));
      CheckTotal(offset + size);  // a cut only makes a block smaller
      if (used + size_t(size) > buffer.size()) {
        buffer.reserve(used + size_t(size));  // exactly: one block may be most of a 2 GB file
        buffer.resize(used + size_t(size));
      }
      size_t old = HasStatics(e) ? static_cast<size_t>(e.Length) : 0;
      if (old > 0) oldData.ReadAt(e.Offset, buffer.data() + used, old);
      if (cut && old > 0) {
        const size_t kept = cut->Cut(first + k, buffer.data() + used, old);
        size -= int64_t(old - kept);
        old = kept;
      }
      place[k] = used + old;
      if (size != 0) {
        e.Offset = static_cast<int32_t>(offset);
        e.Length = static_cast<int32_t>(size);
      } else {
        e.Offset = -1;
        e.Length = -1;
      }
      EncodeIndexEntry(e, index.data() + size_t(k) * IndexEntrySize);
      used += size_t(size);
      offset += size;
    }
    store.WalkChains(first, n, [&](int32_t k, const StaticItem& item) {
      EncodeStaticRecord(item, buffer.data() + place[k]);
      place[k] += StaticRecordSize;
    });
    if (used > 0) newData.Write(buffer.data(), used);
    newIndex.Write(index.data(), size_t(n) * IndexEntrySize);
    for (int32_t k = 0; k < n; ++k) {
      gauge.Step();
      if (blockWritten) blockWritten(first + k);
    }
  }
}

}  // namespace mirnax
