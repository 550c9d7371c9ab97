#include "app/core/map_size.h"

#include <charconv>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"

namespace mirnax {

namespace {
// The refusals of a map size or an area are translated in the context "mirnax::TMapSize".
std::string MapText(const char* text) { return TrUtf8("mirnax::TMapSize", text); }
constexpr const char* SGiveArea =
    QT_TRANSLATE_NOOP("mirnax::TMapSize", "give X1,Y1,X2,Y2 in tiles, the corners of a rectangle");

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
    throw EConvertError(Format(MapText(QT_TRANSLATE_NOOP("mirnax::TMapSize",
                                                         "'%s' is not a map size: give WIDTHxHEIGHT in tiles, each "
                                                         "a multiple of %d from %d to %d (%s by default)"))
                                   .c_str(),
                               std::string(text).c_str(), BlockSide, BlockSide, MaxMapSide,
                               MapSizeText(DefaultMapSize).c_str()));
  }
  return map;
}

TMapArea ParseMapArea(std::string_view text, const TMapSize& map) {
  const auto refuse = [&](const std::string& why) {
    throw EConvertError(
        Format(MapText(QT_TRANSLATE_NOOP("mirnax::TMapSize", "'%s' is not an area of the map: %s")).c_str(),
               std::string(text).c_str(), why.c_str()));
  };
  int32_t corner[4];
  std::string_view rest = text;
  for (int k = 0; k < 4; ++k) {
    const size_t comma = k < 3 ? rest.find(',') : rest.size();
    if (comma == std::string_view::npos) refuse(MapText(SGiveArea));
    const std::string_view part = rest.substr(0, comma);
    if (part.empty() || part.size() > 6 || part.find_first_not_of("0123456789") != std::string_view::npos)
      refuse(MapText(SGiveArea));
    std::from_chars(part.data(), part.data() + part.size(), corner[k]);
    rest = k < 3 ? rest.substr(comma + 1) : std::string_view();
  }
  const TMapArea area{corner[0], corner[1], corner[2], corner[3]};
  if (area.X1 > area.X2 || area.Y1 > area.Y2)
    refuse(MapText(QT_TRANSLATE_NOOP("mirnax::TMapSize", "X1 must not be greater than X2, nor Y1 than Y2")));
  if (!map.Inside(area.X2, area.Y2))
    refuse(Format(MapText(QT_TRANSLATE_NOOP("mirnax::TMapSize", "the map of %s tiles ends at %d,%d")).c_str(),
                  MapSizeText(map).c_str(), map.Width - 1, map.Height - 1));
  return area;
}

std::string MapAreaText(const TMapArea& area) { return Format("%d,%d,%d,%d", area.X1, area.Y1, area.X2, area.Y2); }

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
