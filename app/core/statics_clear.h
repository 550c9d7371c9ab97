// The clear of the two statics files: both replaced by empty statics, the index first.
#pragma once

#include "app/core/map.h"
#include "app/core/statics_pair.h"

namespace mirnax {

// Makes both files empty statics: an index of one empty entry (FF FF FF FF FF FF FF FF
// 00 00 00 00) per block of map and an empty data file. The new files are written beside the old ones, under names
// no other file has, and moved over them only when complete. A file that cannot be written raises
// EFCreateError "Cannot create file %s"; the files are then as they were.
void ClearStatics(const TStaticsPair& pair, const TMapSize& map = DefaultMapSize);

}  // namespace mirnax
