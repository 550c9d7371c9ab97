// The run's item store: every item taken, filed by map block, each block's items in the order
// they were appended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "app/core/map.h"

namespace mirnax {

// One item taken from a world file. Only the low 16 bits of the tile and hue numbers and the low 8
// bits of the altitude reach the data file, so that is all an item keeps: 8 bytes.
struct StaticItem {
  uint16_t TileId = 0;  // tile number + 0x4000
  uint16_t Hue = 0;
  uint8_t CellX = 0;    // x mod 8
  uint8_t CellY = 0;    // y mod 8
  int8_t Z = 0;
};

// Frees what AllocatePages (large_blocks.h) gave.
struct TPagesFree {
  size_t bytes = 0;
  void operator()(void* p) const noexcept;
};

// Items are appended to one flat list with their block; the first read counts them per block and
// sorts them by block once (a stable counting sort), after which each block's items lie side by
// side. Appending after a read is allowed and sorts again on the next read.
class TBlockStore {
 public:
  // A store for the blocks of map.
  explicit TBlockStore(const TMapSize& map = DefaultMapSize);
  TBlockStore(const TBlockStore&) = delete;
  TBlockStore& operator=(const TBlockStore&) = delete;

  const TMapSize& Map() const { return map_; }

  // Appends item at the end of block's items. A block outside 0 .. Map().BlockCount() - 1 raises
  // ERangeError; the store is left as it was.
  void Append(int32_t block, const StaticItem& item);
  // An item with the block it goes to, for AppendMany.
  struct TBlockItem {
    int32_t Block;
    StaticItem Item;
  };
  // Appends items in order, as Append one after another would. Every block is checked first: a
  // block outside the map raises ERangeError with the store left as it was.
  void AppendMany(const TBlockItem* items, size_t count);

  uint32_t Count(int32_t block) const;
  uint64_t TotalCount() const { return size_; }
  // Drops every item.
  void Clear();

  // Block's items in the order they were appended.
  std::span<const StaticItem> Chain(int32_t block) const;

  // Calls visit(k, item) for every item of blocks first .. first + count - 1, k being the block's
  // place in that range; each block's items come in order.
  template <class F>
  void WalkChains(int32_t first, int32_t count, F&& visit) const {
    CheckBlock(first);
    if (count <= 0) return;
    CheckBlock(first + count - 1);
    Sort();
    for (int32_t k = 0; k < count; ++k) {
      const size_t b = static_cast<size_t>(first + k);
      for (uint32_t i = start_[b]; i < start_[b + 1]; ++i) visit(k, sorted_[i]);
    }
  }

 private:
  // Appended items wait in lists, one per run of ListBlocks blocks, each list in chunks of its own
  // pages, so a list grows without moving what it holds. Sorting then works one list at a time: a
  // list's items land in their blocks' part of the sorted array, which fits in the processor's
  // cache, and its chunks go back to the system at once, so the sorted items take the room the
  // appended ones leave instead of doubling it. A list's chunks double from FirstChunk items up to
  // LastChunk: a list of few items takes little room, a long one few chunks.
  static constexpr unsigned ListBits = 13;
  static constexpr uint32_t ListBlocks = uint32_t{1} << ListBits;
  static constexpr uint32_t FirstChunk = 1024;  // 8 KB
  static constexpr uint32_t LastChunk = 8192;   // 64 KB

  void CheckBlock(int32_t block) const;
  // Files the appended items into sorted_ behind the ones already there.
  void Sort() const;

  // An appended item packed with its block's place in its list into 8 bytes: tile, hue, x, y and z
  // in the low 46 bits, the place above them.
  using TPacked = uint64_t;
  static TPacked Pack(int32_t block, const StaticItem& item);
  static StaticItem Unpack(TPacked packed);
  template <class T>
  using TPagesArray = std::unique_ptr<T[], TPagesFree>;
  using TChunk = TPagesArray<TPacked>;
  struct TPending {
    std::vector<TChunk> chunks;
    TPacked* at = nullptr;  // where the next item goes, in the last chunk
    TPacked* end = nullptr;
    // Adds a chunk for the next items.
    void Grow();
    // The items the chunk at i has room for, and those it holds.
    uint32_t Capacity(size_t i) const;
    uint32_t Filled(size_t i) const;
  };

  TMapSize map_;
  int32_t blocks_;
  uint64_t size_ = 0;
  // Not yet sorted: appended items in order, in lists by block / ListBlocks.
  mutable std::vector<TPending> pending_;
  // Sorted: every block's items side by side, block b's from start_[b] up to start_[b + 1].
  mutable TPagesArray<StaticItem> sorted_;
  mutable std::vector<uint32_t> start_;
};

}  // namespace mirnax
