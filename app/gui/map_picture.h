// The small map shown beside the question "Clear current statics": the blocks that hold statics
// now, the blocks the new items fall in (in a second colour), and the count of items outside the
// map. Drawn from the index and the item store alone, at the map size in use; no map art needed.
#pragma once

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <string>

#include "app/core/map.h"

namespace mirnax {

class TBlockStore;

struct TMapPictureColours {
  static constexpr QRgb Ground = 0xff1f3a4d;    // a block without statics
  static constexpr QRgb Statics = 0xff9aa7b0;   // a block that holds statics now
  static constexpr QRgb NewItems = 0xffffb000;  // a block a new item falls in
  static constexpr QRgb Legend = 0xffffffff;    // under the map
};

// The side of the map picture's longest edge at most, in pixels.
inline constexpr int MapPictureSide = 256;
// A block that gets new items is marked by a square this many pixels wide, so a single item shows.
inline constexpr int MapPictureMark = 3;

// The close-up beside the map: the blocks around the new items (a margin of MapPictureCloseUpMargin
// blocks), drawn MapPictureCloseUpScale pixels a block or less, within MapPictureCloseUpSide.
inline constexpr int MapPictureCloseUpMargin = 3;
inline constexpr int MapPictureCloseUpScale = 12;
inline constexpr int MapPictureCloseUpSide = 171;

// The blocks the close-up shows (x: block columns, y: block rows), empty when there are no new
// items or they lie too far apart for a close-up to show more than the map does.
QRect MapPictureCloseUp(const TBlockStore& store);
// Pixels a block in that close-up.
int MapPictureCloseUpPixels(const QRect& blocks);

// How many blocks one pixel covers along each side: the least that keeps the map within
// MapPictureSide.
int MapPictureScale(const TMapSize& map);

// The picture: the map (x to the right, y down, as the map runs) in its top left MapPictureMapSize,
// the close-up to its right (its place framed on the map), a legend under them. An index that
// cannot be read shows no statics.
QImage MapPicture(const std::string& indexPath, const TBlockStore& store, int64_t outside);

// The map part's size in pixels.
QSize MapPictureMapSize(const TMapSize& map);

}  // namespace mirnax
