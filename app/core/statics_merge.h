// The merge of old statics files and an item store into new ones.
#pragma once

#include <cstdint>
#include <functional>

#include "app/core/area_statics.h"
#include "app/core/block_store.h"
#include "app/core/progress.h"
#include "app/core/statics_io.h"

namespace mirnax {

// Writes the merge of the old files and store, block by block over the store's map: each block's
// old bytes, then its new records in store order, with running offsets in the new index and every
// Extra kept. Begins gauge with the map's block count and steps it per block; blockWritten, when
// given, hears of each block once its bytes are written. The old files are checked as ScanStaticsIndex does while they are
// read. With cut, each block's old records pass through it first (an unfreeze takes an area's
// statics out): what it keeps is written in their place.
void MergeStatics(const TBlockStore& store, TStaticsInput& oldIndex, TStaticsInput& oldData, TStaticsOutput& newIndex,
                  TStaticsOutput& newData, TProgressSink& gauge,
                  const std::function<void(int32_t block)>& blockWritten = {}, TAreaCut* cut = nullptr);

}  // namespace mirnax
