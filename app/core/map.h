// Geometry of the map and the sizes of the statics files' records.
#pragma once

#include <cstdint>

namespace mirnax {

// The map is 6,144 x 4,096 tiles, cut into blocks of 8 x 8 tiles. Blocks are numbered down each
// block column first: block = (x div 8) * 512 + (y div 8).
inline constexpr int32_t MapWidth = 6144;
inline constexpr int32_t MapHeight = 4096;
inline constexpr int32_t BlockSide = 8;
inline constexpr int32_t BlockRows = MapHeight / BlockSide;     // 512
inline constexpr int32_t BlockColumns = MapWidth / BlockSide;   // 768
inline constexpr int32_t BlockCount = BlockColumns * BlockRows;  // 0x60000
static_assert(BlockCount == 0x60000);

// Items carry their tile number raised by this much; the data file holds it without.
inline constexpr uint32_t TileIdBase = 0x4000;

// Each index entry is 12 bytes (offset, length, extra); each static record 7 bytes
// (tile, x, y, z, hue).
inline constexpr int32_t IndexEntrySize = 12;
inline constexpr int32_t StaticRecordSize = 7;
inline constexpr int64_t IndexFileSize = int64_t{BlockCount} * IndexEntrySize;  // 4,718,592

// One block's data is assembled in a buffer of this size, grown when a block needs more.
inline constexpr size_t BlockBufferSize = 100000;

inline constexpr bool InsideMap(int32_t x, int32_t y) { return x >= 0 && x < MapWidth && y >= 0 && y < MapHeight; }

// Only for positions inside the map.
inline constexpr int32_t BlockOf(int32_t x, int32_t y) { return (x / BlockSide) * BlockRows + y / BlockSide; }

}  // namespace mirnax
