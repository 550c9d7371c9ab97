// Map sizes as text ("6144x4096"), their limits, and the sizes of the maps known to exist.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/map.h"

namespace mirnax {

// The largest side a map may have, in tiles.
inline constexpr int32_t MaxMapSide = 32768;

// The key of mirnax.ini (section KEVOMIRNAX) that sets the map size; the programs never write it.
inline constexpr const char* ConfigKeyMapSize = "MapSize";

// "WIDTHxHEIGHT" in tiles, each side a multiple of 8 from 8 to 32,768 ('x' or 'X' between them,
// no blanks). Raises EConvertError "'%s' is not a map size: ..." otherwise.
TMapSize ParseMapSize(std::string_view text);

// "6144x4096".
std::string MapSizeText(const TMapSize& map);

// "X1,Y1,X2,Y2" in tiles, decimal, the corners of a rectangle of map (X1 <= X2, Y1 <= Y2, every
// corner inside the map). Raises EConvertError "'%s' is not an area of the map: ..." otherwise.
TMapArea ParseMapArea(std::string_view text, const TMapSize& map);

// "X1,Y1,X2,Y2".
std::string MapAreaText(const TMapArea& area);

// The sizes of the maps known to exist, 6,144 x 4,096 tiles among them.
const std::vector<TMapSize>& KnownMapSizes();

// Those known maps that have exactly this many blocks, as "2560x2048 or 1280x4096"; empty for none.
std::string KnownMapsWithBlocks(int64_t blocks);

}  // namespace mirnax
