// The statics of a pair that stand in an area of the map, taken out of their blocks as world items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/core/file_sum.h"
#include "app/core/map.h"
#include "app/core/statics_io.h"
#include "app/core/world_writer.h"

namespace mirnax {

// Serials of the world items an unfreeze writes run from this number on ("SERIAL=040001").
inline constexpr uint32_t UnfreezeSerialBase = 0x0001;

// What an area's blocks gave up.
struct TAreaStatics {
  // Block by block in index order, each block's in the data file's order; serials from
  // UnfreezeSerialBase on.
  std::vector<TWorldItem> Items;
  int64_t Blocks = 0;  // the blocks they came from
  // Statics of the area's blocks that cannot be placed again: their place inside the block is
  // outside 0 to 7, or their block's length is no multiple of 7 bytes (every record of it counts).
  // They stay where they are.
  int64_t Unplaceable = 0;
};

// Cuts an area out of blocks: a block's records that stand in the area go to Taken(), the others
// stay in order.
class TAreaCut {
 public:
  TAreaCut(const TMapSize& map, const TMapArea& area) : map_(map), area_(area) {}

  // Whether block has any tile in the area.
  bool Touches(int32_t block) const;
  // bytes holds block's length bytes of records; the records that stay are moved to its front.
  // Returns their length.
  size_t Cut(int32_t block, uint8_t* bytes, size_t length);

  const TAreaStatics& Taken() const { return taken_; }
  const TMapSize& Map() const { return map_; }

 private:
  TMapSize map_;
  TMapArea area_;
  TAreaStatics taken_;
};

// The statics of index and data (checked as a freeze checks them) that stand in area of map,
// leaving both files as they are.
TAreaStatics ReadAreaStatics(TStaticsInput& index, TStaticsInput& data, const TMapSize& map, const TMapArea& area);

// The world file text of items.
std::string WorldText(const std::vector<TWorldItem>& items);

// Refuses with EFCreateError, before anything is read or written, a world file name that is empty,
// or taken when it may not be replaced.
void CheckWorldOut(const std::string& name, bool replace);
// Writes items as the world file name (created or truncated) and forces it to disk with its folder
// entry; returns the file's sum.
TFileSum WriteWorldFile(const std::string& name, const std::vector<TWorldItem>& items);

}  // namespace mirnax
