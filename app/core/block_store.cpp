#include "app/core/block_store.h"

#include <algorithm>

#include "toolkit/exceptions.h"
#include "toolkit/sysutils.h"

TBlockStore::TBlockStore()
    : heads_(BlockCount, NoItem), tails_(BlockCount, NoItem), counts_(BlockCount, 0) {}

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
  const auto b = static_cast<size_t>(block);
  if (tails_[b] == NoItem)
    heads_[b] = index;
  else
    Item(tails_[b]).Next = index;
  tails_[b] = index;
  ++counts_[b];
}

uint32_t TBlockStore::Count(int32_t block) const {
  CheckBlock(block);
  return counts_[static_cast<size_t>(block)];
}

TBlockStore::TChain TBlockStore::Chain(int32_t block) const {
  CheckBlock(block);
  return TChain{TChainIterator(this, heads_[static_cast<size_t>(block)])};
}

void TBlockStore::Clear() {
  chunks_.clear();
  chunks_.shrink_to_fit();
  size_ = 0;
  std::fill(heads_.begin(), heads_.end(), NoItem);
  std::fill(tails_.begin(), tails_.end(), NoItem);
  std::fill(counts_.begin(), counts_.end(), 0);
}
