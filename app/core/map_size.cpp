#include "app/core/map_size.h"

#include <charconv>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// A side of a map: decimal digits only, a multiple of BlockSide inside the limits.
bool ParseSide(std::string_view text, int32_t& side) {
  if (text.empty() || text.size() > 6) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  std::from_chars(text.data(), text.data() + text.size(), side);
  return side >= BlockSide && side <= MaxMapSide && side % BlockSide == 0;
}
}  // namespace

TMapSize ParseMapSize(std::string_view text) {
  const size_t x = text.find_first_of("xX");
  TMapSize map;
  if (x == std::string_view::npos || !ParseSide(text.substr(0, x), map.Width) ||
      !ParseSide(text.substr(x + 1), map.Height)) {
    throw EConvertError(Format("'%s' is not a map size: give WIDTHxHEIGHT in tiles, each a multiple of %d from %d "
                               "to %d (%s by default)",
                               std::string(text).c_str(), BlockSide, BlockSide, MaxMapSide,
                               MapSizeText(DefaultMapSize).c_str()));
  }
  return map;
}

std::string MapSizeText(const TMapSize& map) { return std::to_string(map.Width) + "x" + std::to_string(map.Height); }

const std::vector<TMapSize>& KnownMapSizes() {
  static const std::vector<TMapSize> maps{{7168, 4096}, {6144, 4096}, {2560, 2048},
                                          {2304, 1600}, {1280, 4096}, {1448, 1448}};
  return maps;
}

std::string KnownMapsWithBlocks(int64_t blocks) {
  std::string text;
  for (const TMapSize& map : KnownMapSizes()) {
    if (map.BlockCount() != blocks) continue;
    text += (text.empty() ? "" : " or ") + MapSizeText(map);
  }
  return text;
}

}  // namespace mirnax
