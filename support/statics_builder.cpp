#include "support/statics_builder.h"

#include <algorithm>

#include "support/little_endian.h"

namespace mirnax::support {
std::string IndexEntry(int32_t offset, int32_t length, std::string_view extra) {
  std::string e(EntrySize, '\0');
  PutLE32(e, 0, static_cast<uint32_t>(offset));
  PutLE32(e, 4, static_cast<uint32_t>(length));
  e.replace(8, std::min<size_t>(extra.size(), 4), extra.substr(0, 4));
  e.resize(EntrySize);
  return e;
}

const std::string& EmptyIndex() {
  static const std::string index = [] {
    const std::string empty = IndexEntry(-1, -1);
    std::string s;
    s.reserve(size_t{Blocks} * EntrySize);
    for (int b = 0; b < Blocks; ++b) s += empty;
    return s;
  }();
  return index;
}

void SetIndexEntry(std::string& index, int block, int32_t offset, int32_t length, std::string_view extra) {
  index.replace(size_t(block) * EntrySize, EntrySize, IndexEntry(offset, length, extra));
}

std::string StaticRecord(uint16_t tile, uint8_t x, uint8_t y, int8_t z, uint16_t hue) {
  std::string r(RecordSize, '\0');
  auto* p = reinterpret_cast<uint8_t*>(r.data());
  PutLE16(p, tile);
  p[2] = x;
  p[3] = y;
  p[4] = static_cast<uint8_t>(z);
  PutLE16(p + 5, hue);
  return r;
}
}  // namespace mirnax::support
