// The run's item store: for every map block an ordered chain of items and their count.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "app/core/map.h"

// One item taken from a world file. Only the low 16 bits of the tile and hue numbers and the low 8
// bits of the altitude reach the data file, so that is all an item keeps: 12 bytes with its link.
struct StaticItem {
  uint16_t TileId = 0;  // tile number + 0x4000
  uint16_t Hue = 0;
  uint8_t CellX = 0;    // x mod 8
  uint8_t CellY = 0;    // y mod 8
  int8_t Z = 0;
  uint32_t Next = 0;    // the next item of the same block (an index into the pool), or NoItem
};

class TBlockStore {
 public:
  static constexpr uint32_t NoItem = UINT32_MAX;

  // All chains empty, all counts 0.
  TBlockStore();
  TBlockStore(const TBlockStore&) = delete;
  TBlockStore& operator=(const TBlockStore&) = delete;

  // Appends item at the end of block's chain. A block outside 0 .. BlockCount - 1 raises
  // ERangeError; the store is left as it was.
  void Append(int32_t block, const StaticItem& item);
  // An item with the block it goes to, for AppendMany.
  struct TBlockItem {
    int32_t Block;
    StaticItem Item;
  };
  // Appends items in order, as Append one after another would. Every block is checked first: a
  // block outside the map raises ERangeError with the store left as it was. Faster than single
  // appends: the chain ends of the whole group are fetched from memory at once.
  void AppendMany(const TBlockItem* items, size_t count);

  uint32_t Count(int32_t block) const;
  uint64_t TotalCount() const { return size_; }
  // Drops every item; all chains empty again.
  void Clear();

  class TChainIterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = StaticItem;
    using difference_type = std::ptrdiff_t;
    using pointer = const StaticItem*;
    using reference = const StaticItem&;

    TChainIterator() = default;
    TChainIterator(const TBlockStore* store, uint32_t index) : store_(store), index_(index) {}
    reference operator*() const { return store_->Item(index_); }
    pointer operator->() const { return &store_->Item(index_); }
    TChainIterator& operator++() {
      index_ = store_->Item(index_).Next;
      return *this;
    }
    TChainIterator operator++(int) {
      TChainIterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const TChainIterator& other) const { return index_ == other.index_; }

   private:
    const TBlockStore* store_ = nullptr;
    uint32_t index_ = NoItem;
  };

  struct TChain {
    TChainIterator first;
    TChainIterator begin() const { return first; }
    TChainIterator end() const { return {}; }
  };

  // Block's items in the order they were appended.
  TChain Chain(int32_t block) const;

  // Walks the chains of blocks first .. first + count - 1 side by side, calling visit(k, item) for
  // the k-th of them; each chain's items come in order. One chain's items lie scattered over the
  // pool, so walking several at once lets their memory loads overlap.
  template <class F>
  void WalkChains(int32_t first, int32_t count, F&& visit) const {
    constexpr int32_t MaxSideBySide = 64;
    CheckBlock(first);
    if (count > 0) CheckBlock(first + count - 1);
    for (int32_t group = 0; group < count; group += MaxSideBySide) {
      const int32_t n = std::min(MaxSideBySide, count - group);
      uint32_t cursor[MaxSideBySide];
      for (int32_t k = 0; k < n; ++k) cursor[k] = blocks_[static_cast<size_t>(first + group + k)].Head;
      for (bool active = true; active;) {
        active = false;
        for (int32_t k = 0; k < n; ++k) {
          if (cursor[k] == NoItem) continue;
          const StaticItem& item = Item(cursor[k]);
          cursor[k] = item.Next;
          visit(group + k, item);
          active = true;
        }
      }
    }
  }

 private:
  // Items live in chunks of fixed size, so the pool grows without moving or copying what it holds.
  static constexpr unsigned ChunkBits = 16;
  static constexpr uint32_t ChunkSize = uint32_t{1} << ChunkBits;

  const StaticItem& Item(uint32_t index) const { return chunks_[index >> ChunkBits][index & (ChunkSize - 1)]; }
  StaticItem& Item(uint32_t index) { return chunks_[index >> ChunkBits][index & (ChunkSize - 1)]; }
  static void CheckBlock(int32_t block);

  std::vector<std::unique_ptr<StaticItem[]>> chunks_;
  uint32_t size_ = 0;
  // A block's chain ends and count side by side: an append touches one cache line of this table.
  struct TBlockChain {
    uint32_t Head = NoItem;
    uint32_t Tail = NoItem;
    uint32_t Count = 0;
  };
  std::vector<TBlockChain> blocks_;
};
