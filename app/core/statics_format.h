// The records of the two statics files: the index entry and the static record, and their codecs.
#pragma once

#include <array>
#include <cstdint>

#include "app/core/block_store.h"
#include "app/core/map.h"

namespace mirnax {

// One index entry per block, 12 bytes little-endian: offset, length, extra.
struct StaticIndexEntry {
  int32_t Offset = -1;  // of the block's first record in the data file; -1 when none
  int32_t Length = -1;  // bytes of the block's records; -1 when none
  std::array<uint8_t, 4> Extra{};  // carried over unchanged
};

// A block has statics only when Offset is not -1 and Length is neither 0 nor -1; any other entry
// counts as empty, whatever its other field holds.
inline bool HasStatics(const StaticIndexEntry& e) { return e.Offset != -1 && e.Length != 0 && e.Length != -1; }

StaticIndexEntry DecodeIndexEntry(const uint8_t* bytes);
void EncodeIndexEntry(const StaticIndexEntry& entry, uint8_t* bytes);
// The 7-byte record: tile (minus 0x4000) and hue as 16-bit little-endian, x, y, z as single bytes.
void EncodeStaticRecord(const StaticItem& item, uint8_t* bytes);

}  // namespace mirnax
