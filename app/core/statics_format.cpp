#include "app/core/statics_format.h"

#include <cstring>

namespace mirnax {

namespace {
int32_t GetInt32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

void PutInt32(uint8_t* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}
}  // namespace

StaticIndexEntry DecodeIndexEntry(const uint8_t* bytes) {
  StaticIndexEntry e;
  e.Offset = GetInt32(bytes);
  e.Length = GetInt32(bytes + 4);
  std::memcpy(e.Extra.data(), bytes + 8, e.Extra.size());
  return e;
}

void EncodeIndexEntry(const StaticIndexEntry& entry, uint8_t* bytes) {
  PutInt32(bytes, entry.Offset);
  PutInt32(bytes + 4, entry.Length);
  std::memcpy(bytes + 8, entry.Extra.data(), entry.Extra.size());
}

void EncodeStaticRecord(const StaticItem& item, uint8_t* bytes) {
  const auto tile = static_cast<uint16_t>(item.TileId - TileIdBase);
  bytes[0] = static_cast<uint8_t>(tile);
  bytes[1] = static_cast<uint8_t>(tile >> 8);
  bytes[2] = item.CellX;
  bytes[3] = item.CellY;
  bytes[4] = static_cast<uint8_t>(item.Z);
  bytes[5] = static_cast<uint8_t>(item.Hue);
  bytes[6] = static_cast<uint8_t>(item.Hue >> 8);
}

}  // namespace mirnax
