#include "app/core/block_store.h"

#include <algorithm>

#include "toolkit/exceptions.h"
#include "toolkit/sysutils.h"

TBlockStore::TBlockStore() : counts_(BlockCount, 0), start_(size_t{BlockCount} + 1, 0) {}

void TBlockStore::CheckBlock(int32_t block) {
  if (block < 0 || block >= BlockCount) throw ERangeError(Format("Block %d is outside the map", block));
}

void TBlockStore::Append(int32_t block, const StaticItem& item) {
  CheckBlock(block);
  // Positions in the sorted list are 32-bit.
  if (size_ >= UINT32_MAX) throw EOutOfMemory();
  if ((pending_ >> ChunkBits) == chunks_.size()) chunks_.push_back(std::make_unique_for_overwrite<TBlockItem[]>(ChunkSize));
  chunks_[pending_ >> ChunkBits][pending_ & (ChunkSize - 1)] = {block, item};
  ++pending_;
  ++size_;
  ++counts_[static_cast<size_t>(block)];
}

void TBlockStore::AppendMany(const TBlockItem* items, size_t count) {
  for (size_t i = 0; i < count; ++i) CheckBlock(items[i].Block);
  for (size_t i = 0; i < count; ++i) Append(items[i].Block, items[i].Item);
}

uint32_t TBlockStore::Count(int32_t block) const {
  CheckBlock(block);
  return counts_[static_cast<size_t>(block)];
}

std::span<const StaticItem> TBlockStore::Chain(int32_t block) const {
  CheckBlock(block);
  Sort();
  const size_t b = static_cast<size_t>(block);
  return {sorted_.get() + start_[b], start_[b + 1] - start_[b]};
}

void TBlockStore::Sort() const {
  if (pending_ == 0) return;
  // Each block's new place: its items already sorted first, the appended ones after them.
  std::vector<uint32_t> next(BlockCount);
  uint32_t at = 0;
  for (size_t b = 0; b < size_t{BlockCount}; ++b) {
    next[b] = at + (start_[b + 1] - start_[b]);
    at += counts_[b];
  }
  auto sorted = std::make_unique_for_overwrite<StaticItem[]>(size_);
  if (sorted_) {
    uint32_t to = 0;
    for (size_t b = 0; b < size_t{BlockCount}; ++b) {
      std::copy(sorted_.get() + start_[b], sorted_.get() + start_[b + 1], sorted.get() + to);
      to += counts_[b];
    }
    sorted_.reset();
  }
  // The chunks go as soon as they are filed.
  for (uint32_t i = 0; i < pending_; ++i) {
    const TBlockItem& item = chunks_[i >> ChunkBits][i & (ChunkSize - 1)];
    sorted[next[static_cast<size_t>(item.Block)]++] = item.Item;
    if ((i & (ChunkSize - 1)) == ChunkSize - 1) chunks_[i >> ChunkBits].reset();
  }
  chunks_.clear();
  chunks_.shrink_to_fit();
  pending_ = 0;
  sorted_ = std::move(sorted);
  at = 0;
  for (size_t b = 0; b < size_t{BlockCount}; ++b) {
    start_[b] = at;
    at += counts_[b];
  }
  start_[BlockCount] = at;
}

void TBlockStore::Clear() {
  chunks_.clear();
  chunks_.shrink_to_fit();
  pending_ = 0;
  sorted_.reset();
  size_ = 0;
  std::fill(counts_.begin(), counts_.end(), 0u);
  std::fill(start_.begin(), start_.end(), 0u);
}
