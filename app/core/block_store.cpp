#include "app/core/block_store.h"

#include <algorithm>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/large_blocks.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

TBlockStore::TBlockStore(const TMapSize& map)
    : map_(map),
      blocks_(map.BlockCount()),
      counts_(size_t(blocks_), 0),
      pending_(size_t(blocks_ > 0 ? ((blocks_ - 1) >> BlockLowBits) + 1 : 1)),
      start_(size_t(blocks_) + 1, 0) {}

void TLargeFree::operator()(void* p) const noexcept { FreeLarge(p, bytes); }

template <class T>
TBlockStore::TLargeArray<T> TBlockStore::MakeLarge(size_t count) {
  const size_t bytes = std::max<size_t>(count, 1) * sizeof(T);
  return TLargeArray<T>(static_cast<T*>(AllocateLarge(bytes)), TLargeFree{bytes});
}

void TBlockStore::CheckBlock(int32_t block) const {
  if (block < 0 || block >= blocks_) throw ERangeError(Format("Block %d is outside the map", block));
}

TBlockStore::TPacked TBlockStore::Pack(int32_t block, const StaticItem& item) {
  return TPacked{item.TileId} | TPacked{item.Hue} << 16 | TPacked{item.CellX & 7u} << 32 |
         TPacked{item.CellY & 7u} << 35 | TPacked{static_cast<uint8_t>(item.Z)} << 38 |
         TPacked(uint32_t(block) & ((1u << BlockLowBits) - 1)) << 46;
}

StaticItem TBlockStore::Unpack(TPacked packed) {
  StaticItem item;
  item.TileId = static_cast<uint16_t>(packed);
  item.Hue = static_cast<uint16_t>(packed >> 16);
  item.CellX = static_cast<uint8_t>((packed >> 32) & 7);
  item.CellY = static_cast<uint8_t>((packed >> 35) & 7);
  item.Z = static_cast<int8_t>(static_cast<uint8_t>(packed >> 38));
  return item;
}

void TBlockStore::Append(int32_t block, const StaticItem& item) {
  CheckBlock(block);
  // Positions in the sorted list are 32-bit.
  if (size_ >= UINT32_MAX) throw EOutOfMemory();
  TPending& list = pending_[uint32_t(block) >> BlockLowBits];
  if ((list.count >> ChunkBits) == list.chunks.size())
    list.chunks.push_back(MakeLarge<TPacked>(ChunkSize));
  list.chunks[list.count >> ChunkBits][list.count & (ChunkSize - 1)] = Pack(block, item);
  ++list.count;
  ++size_;
}

void TBlockStore::AppendMany(const TBlockItem* items, size_t count) {
  for (size_t i = 0; i < count; ++i) CheckBlock(items[i].Block);
  for (size_t i = 0; i < count; ++i) Append(items[i].Block, items[i].Item);
}

uint32_t TBlockStore::Count(int32_t block) const {
  CheckBlock(block);
  Sort();
  return counts_[static_cast<size_t>(block)];
}

std::span<const StaticItem> TBlockStore::Chain(int32_t block) const {
  CheckBlock(block);
  Sort();
  const size_t b = static_cast<size_t>(block);
  return {sorted_.get() + start_[b], start_[b + 1] - start_[b]};
}

void TBlockStore::Sort() const {
  if (std::all_of(pending_.begin(), pending_.end(), [](const TPending& list) { return list.count == 0; })) return;
  const size_t blocks = size_t(blocks_);
  // Blocks are counted here, in one tight pass, rather than as items come: the counts are spread
  // over megabytes, and a loop that does nothing else waits for many of them at once.
  for (uint32_t top = 0; top < pending_.size(); ++top) {
    const TPending& list = pending_[top];
    for (uint32_t i = 0; i < list.count; ++i)
      ++counts_[size_t(top << BlockLowBits | uint32_t(list.chunks[i >> ChunkBits][i & (ChunkSize - 1)] >> 46))];
  }
  // Each block's new place: its items already sorted first, the appended ones after them.
  std::vector<uint32_t> next(blocks);
  uint32_t at = 0;
  for (size_t b = 0; b < blocks; ++b) {
    next[b] = at + (start_[b + 1] - start_[b]);
    at += counts_[b];
  }
  TLargeArray<StaticItem> sorted = MakeLarge<StaticItem>(size_);
  if (sorted_) {
    uint32_t to = 0;
    for (size_t b = 0; b < blocks; ++b) {
      std::copy(sorted_.get() + start_[b], sorted_.get() + start_[b + 1], sorted.get() + to);
      to += counts_[b];
    }
    sorted_.reset();
  }
  // A block's items are all in one list, in order. The chunks go as soon as they are filed.
  for (uint32_t top = 0; top < pending_.size(); ++top) {
    TPending& list = pending_[top];
    for (uint32_t i = 0; i < list.count; ++i) {
      const TPacked packed = list.chunks[i >> ChunkBits][i & (ChunkSize - 1)];
      const size_t block = size_t(top << BlockLowBits | uint32_t(packed >> 46));
      sorted[next[block]++] = Unpack(packed);
      if ((i & (ChunkSize - 1)) == ChunkSize - 1) list.chunks[i >> ChunkBits].reset();
    }
    list = TPending{};
  }
  sorted_ = std::move(sorted);
  at = 0;
  for (size_t b = 0; b < blocks; ++b) {
    start_[b] = at;
    at += counts_[b];
  }
  start_[blocks] = at;
}

void TBlockStore::Clear() {
  for (TPending& list : pending_) list = TPending{};
  sorted_.reset();
  size_ = 0;
  std::fill(counts_.begin(), counts_.end(), 0u);
  std::fill(start_.begin(), start_.end(), 0u);
}

}  // namespace mirnax
