// Geometry of the map and the sizes of the statics files' records.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mirnax {

// A map is cut into blocks of 8 x 8 tiles. Blocks are numbered down each block column first:
// block = (x div 8) * (block rows) + (y div 8).
inline constexpr int32_t BlockSide = 8;

// Each index entry is 12 bytes (offset, length, extra); each static record 7 bytes
// (tile, x, y, z, hue).
inline constexpr int32_t IndexEntrySize = 12;
inline constexpr int32_t StaticRecordSize = 7;

// The size of a map in tiles; the statics index has one entry per block of it. Both sides are
// multiples of BlockSide (ParseMapSize in map_size.h checks text from outside).
struct TMapSize {
  int32_t Width = 6144;
  int32_t Height = 4096;

  constexpr int32_t BlockRows() const { return Height / BlockSide; }
  constexpr int32_t BlockColumns() const { return Width / BlockSide; }
  constexpr int32_t BlockCount() const { return BlockColumns() * BlockRows(); }
  constexpr int64_t IndexFileSize() const { return int64_t{BlockCount()} * IndexEntrySize; }
  constexpr bool Inside(int32_t x, int32_t y) const { return x >= 0 && x < Width && y >= 0 && y < Height; }
  // Only for positions inside the map.
  constexpr int32_t BlockOf(int32_t x, int32_t y) const { return (x / BlockSide) * BlockRows() + y / BlockSide; }
  // A block's column and row of blocks, BlockOf the other way round.
  constexpr int32_t ColumnOf(int32_t block) const { return block / BlockRows(); }
  constexpr int32_t RowOf(int32_t block) const { return block % BlockRows(); }
  constexpr bool operator==(const TMapSize&) const = default;
};

// A rectangle of tiles, its corners included (X1 <= X2, Y1 <= Y2): the part of the map a run
// works on (ParseMapArea in map_size.h reads it from text).
struct TMapArea {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;

  constexpr bool Contains(int32_t x, int32_t y) const { return x >= X1 && x <= X2 && y >= Y1 && y <= Y2; }
  constexpr bool operator==(const TMapArea&) const = default;
};

// The map every program takes unless told otherwise: 6,144 x 4,096 tiles.
inline constexpr TMapSize DefaultMapSize{};
inline constexpr int32_t MapWidth = DefaultMapSize.Width;
inline constexpr int32_t MapHeight = DefaultMapSize.Height;
inline constexpr int32_t BlockRows = DefaultMapSize.BlockRows();        // 512
inline constexpr int32_t BlockColumns = DefaultMapSize.BlockColumns();  // 768
inline constexpr int32_t BlockCount = DefaultMapSize.BlockCount();      // 0x60000
static_assert(BlockCount == 0x60000);
inline constexpr int64_t IndexFileSize = DefaultMapSize.IndexFileSize();  // 4,718,592

// Items carry their tile number raised by this much; the data file holds it without.
inline constexpr uint32_t TileIdBase = 0x4000;

// One block's data is assembled in a buffer of this size, grown when a block needs more.
inline constexpr size_t BlockBufferSize = 100000;

}  // namespace mirnax
