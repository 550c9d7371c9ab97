// Statics files as bytes, built from the file layout alone: 12-byte index entries (offset, length,
// extra; little-endian), 7-byte records (tile, x, y, z, hue).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirnax::support {
inline constexpr int Blocks = 0x60000;
inline constexpr int EntrySize = 12;
inline constexpr int RecordSize = 7;
inline constexpr std::string_view NoExtra("\0\0\0\0", 4);

// One index entry; extra gives its last four bytes (missing ones are 0).
std::string IndexEntry(int32_t offset, int32_t length, std::string_view extra = NoExtra);
// An index of Blocks entries, each offset -1, length -1, extra 0.
const std::string& EmptyIndex();
void SetIndexEntry(std::string& index, int block, int32_t offset, int32_t length, std::string_view extra = NoExtra);
// One record; tile is the number the data file holds (without 0x4000).
std::string StaticRecord(uint16_t tile, uint8_t x, uint8_t y, int8_t z, uint16_t hue);
}  // namespace mirnax::support
