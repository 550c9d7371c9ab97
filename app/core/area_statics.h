// The statics of a pair that stand in an area of the map, taken out of their blocks as world items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/core/map.h"
#include "app/core/statics_io.h"
#include "app/core/world_writer.h"

namespace mirnax {

// Serials of the world items an unfreeze writes run from this number on ("SERIAL=040001").
inline constexpr uint32_t UnfreezeSerialBase = 0x0001;

// What an area's blocks gave up.
struct TAreaStatics {
  // The world text of the statics taken (when the cut was given no output for it): block by block
  // in index order, each block's in the data file's order; serials from UnfreezeSerialBase on.
  std::string Text;
  int64_t Count = 0;   // the statics taken
  int64_t Blocks = 0;  // the blocks they came from
  // Statics of the area's blocks that cannot be placed again: their place inside the block is
  // outside 0 to 7, or their block's length is no multiple of 7 bytes (every record of it counts).
  // They stay where they are.
  int64_t Unplaceable = 0;
};

// Cuts an area out of blocks: a block's records that stand in the area are taken as world items,
// the others stay in order.
class TAreaCut {
 public:
  // With text, the world text of what is taken goes there in pieces as it grows (Flush sends the
  // rest) instead of into Taken().Text, so a large area is never held whole.
  TAreaCut(const TMapSize& map, const TMapArea& area, TStaticsOutput* text = nullptr)
      : map_(map), area_(area), out_(text) {}

  // Whether block has any tile in the area.
  bool Touches(int32_t block) const;
  // bytes holds block's length bytes of records; the records that stay are moved to its front.
  // Returns their length.
  size_t Cut(int32_t block, uint8_t* bytes, size_t length);
  // Sends the text kept back to the output.
  void Flush();
  void SetText(TStaticsOutput* text) { out_ = text; }
  // Only counts what it takes, writing no text: a look at the area before an unfreeze.
  void CountOnly() { countOnly_ = true; }

  const TAreaStatics& Taken() const { return taken_; }
  const TMapSize& Map() const { return map_; }
  const TMapArea& Area() const { return area_; }

 private:
  TMapSize map_;
  TMapArea area_;
  TStaticsOutput* out_;
  bool countOnly_ = false;
  TAreaStatics taken_;
};

// Passes the blocks of index and data (checked as a freeze checks them) that touch cut's area
// through cut, leaving both files as they are; returns what it took.
const TAreaStatics& ReadAreaStatics(TStaticsInput& index, TStaticsInput& data, TAreaCut& cut);

// Refuses with EFCreateError, before anything is read or written, a world file name that is empty,
// or taken when it may not be replaced.
void CheckWorldOut(const std::string& name, bool replace);

}  // namespace mirnax
