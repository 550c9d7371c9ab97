#include "app/core/block_store.h"

#include <algorithm>

#include "app/core/run_texts.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/large_blocks.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

TBlockStore::TBlockStore(const TMapSize& map)
    : map_(map),
      blocks_(map.BlockCount()),
      pending_(size_t(blocks_ > 0 ? ((blocks_ - 1) >> ListBits) + 1 : 1)),
      start_(size_t(blocks_) + 1, 0) {}

void TPagesFree::operator()(void* p) const noexcept { FreePages(p, bytes); }

uint32_t TBlockStore::TPending::Capacity(size_t i) const {
  return uint32_t(chunks[i].get_deleter().bytes / sizeof(TPacked));
}

void TBlockStore::TPending::Grow() {
  const uint32_t items = chunks.empty() ? FirstChunk : std::min(LastChunk, Capacity(chunks.size() - 1) * 2);
  const size_t bytes = items * sizeof(TPacked);
  chunks.push_back(TChunk(static_cast<TPacked*>(AllocatePages(bytes)), TPagesFree{bytes}));
  at = chunks.back().get();
  end = at + items;
}

uint32_t TBlockStore::TPending::Filled(size_t i) const {
  return i + 1 == chunks.size() ? uint32_t(at - chunks[i].get()) : Capacity(i);
}

void TBlockStore::CheckBlock(int32_t block) const {
  if (block < 0 || block >= blocks_)
    throw ERangeError(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Block %d is outside the map"), block));
}

TBlockStore::TPacked TBlockStore::Pack(int32_t block, const StaticItem& item) {
  return TPacked{item.TileId} | TPacked{item.Hue} << 16 | TPacked{item.CellX & 7u} << 32 |
         TPacked{item.CellY & 7u} << 35 | TPacked{static_cast<uint8_t>(item.Z)} << 38 |
         TPacked(uint32_t(block) & (ListBlocks - 1)) << 46;
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
  TPending& list = pending_[uint32_t(block) >> ListBits];
  if (list.at == list.end) list.Grow();
  *list.at++ = Pack(block, item);
  ++size_;
}

void TBlockStore::AppendMany(const TBlockItem* items, size_t count) {
  for (size_t i = 0; i < count; ++i) CheckBlock(items[i].Block);
  for (size_t i = 0; i < count; ++i) Append(items[i].Block, items[i].Item);
}

uint32_t TBlockStore::Count(int32_t block) const {
  CheckBlock(block);
  Sort();
  return start_[size_t(block) + 1] - start_[size_t(block)];
}

std::span<const StaticItem> TBlockStore::Chain(int32_t block) const {
  CheckBlock(block);
  Sort();
  const size_t b = static_cast<size_t>(block);
  return {sorted_.get() + start_[b], start_[b + 1] - start_[b]};
}

void TBlockStore::Sort() const {
  if (start_.back() == size_) return;  // every item filed: the sorted array ends where the items do
  const uint32_t blocks = uint32_t(blocks_);
  const size_t bytes = std::max<size_t>(size_, 1) * sizeof(StaticItem);
  // Its pages are filled in list by list, as the lists' chunks go: it never holds more memory than
  // the items filed so far.
  TPagesArray<StaticItem> sorted(static_cast<StaticItem*>(AllocatePages(bytes, false)), TPagesFree{bytes});
  std::vector<uint32_t> next(std::min(ListBlocks, blocks));
  // Block by block: the items sorted before, then the list's new ones. start_ still holds the old
  // places of the blocks not yet reached.
  uint32_t at = 0, oldBegin = 0;
  for (uint32_t top = 0; top < pending_.size(); ++top) {
    TPending& list = pending_[top];
    const uint32_t first = top << ListBits;
    const uint32_t count = std::min(ListBlocks, blocks - first);
    std::fill(next.begin(), next.begin() + count, 0u);
    for (size_t c = 0; c < list.chunks.size(); ++c) {
      const TPacked* const items = list.chunks[c].get();
      for (uint32_t i = 0, n = list.Filled(c); i < n; ++i) ++next[uint32_t(items[i] >> 46)];
    }
    const uint32_t listStart = at;
    for (uint32_t k = 0; k < count; ++k) {
      const uint32_t oldEnd = start_[first + k + 1];
      if (oldEnd > oldBegin) std::copy(sorted_.get() + oldBegin, sorted_.get() + oldEnd, sorted.get() + at);
      start_[first + k] = at;
      at += oldEnd - oldBegin;
      const uint32_t added = next[k];
      next[k] = at;
      at += added;
      oldBegin = oldEnd;
    }
    FillPages(sorted.get() + listStart, size_t(at - listStart) * sizeof(StaticItem));
    // Each chunk goes as soon as its items are filed.
    for (size_t c = 0; c < list.chunks.size(); ++c) {
      const TPacked* const items = list.chunks[c].get();
      for (uint32_t i = 0, n = list.Filled(c); i < n; ++i) sorted[next[uint32_t(items[i] >> 46)]++] = Unpack(items[i]);
      list.chunks[c].reset();
    }
    list = TPending{};
  }
  start_[blocks] = at;
  sorted_ = std::move(sorted);
}

void TBlockStore::Clear() {
  for (TPending& list : pending_) list = TPending{};
  sorted_.reset();
  size_ = 0;
  std::fill(start_.begin(), start_.end(), 0u);
}

}  // namespace mirnax
