#include "app/core/block_store.h"

#include <algorithm>

#include "toolkit/exceptions.h"
#include "toolkit/sysutils.h"

TBlockStore::TBlockStore()
    : blocks_(BlockCount) {}

void TBlockStore::CheckBlock(int32_t block) {
  if (block < 0 || block >= BlockCount) throw ERangeError(Format("Block %d is outside the map", block));
}

void TBlockStore::Append(int32_t block, const StaticItem& item) {
  CheckBlock(block);
  // The last index is NoItem, the end-of-chain mark.
  if (size_ == NoItem) throw EOutOfMemory();
  if ((size_ >> ChunkBits) == chunks_.size())
    chunks_.push_back(std::make_unique_for_overwrite<StaticItem[]>(ChunkSize));
  const uint32_t index = size_++;
  StaticItem& slot = Item(index);
  slot = item;
  slot.Next = NoItem;
  TBlockChain& chain = blocks_[static_cast<size_t>(block)];
  if (chain.Tail == NoItem)
    chain.Head = index;
  else
    Item(chain.Tail).Next = index;
  chain.Tail = index;
  ++chain.Count;
}

void TBlockStore::AppendMany(const TBlockItem* items, size_t count) {
  for (size_t i = 0; i < count; ++i) CheckBlock(items[i].Block);
  // Items land all over the map: fetch the group's block entries, then the items their chains end
  // with, before touching any, so the memory loads overlap instead of following one another.
  for (size_t i = 0; i < count; ++i) __builtin_prefetch(&blocks_[static_cast<size_t>(items[i].Block)]);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t tail = blocks_[static_cast<size_t>(items[i].Block)].Tail;
    if (tail != NoItem) __builtin_prefetch(&Item(tail), 1);
  }
  for (size_t i = 0; i < count; ++i) Append(items[i].Block, items[i].Item);
}

uint32_t TBlockStore::Count(int32_t block) const {
  CheckBlock(block);
  return blocks_[static_cast<size_t>(block)].Count;
}

TBlockStore::TChain TBlockStore::Chain(int32_t block) const {
  CheckBlock(block);
  return TChain{TChainIterator(this, blocks_[static_cast<size_t>(block)].Head)};
}

void TBlockStore::Clear() {
  chunks_.clear();
  chunks_.shrink_to_fit();
  size_ = 0;
  std::fill(blocks_.begin(), blocks_.end(), TBlockChain{});
}
