// The points of a freeze at which the tests stop it, and the freezes that let them. The programs
// call freeze.h and never include this header.
#pragma once

#include <cstdint>
#include <functional>

#include "app/core/freeze.h"

namespace mirnax {

// fpChecked: every check has passed, nothing is written yet; fpBlockWritten: a block's bytes are
// written (block says which); fpNewFilesFlushed: the new files are on disk; fpMarkedComplete: the
// journal says they are complete, both ".xxx" files still exist; fpWorldWritten: an unfreeze's
// world file is on disk under its side name.
enum TFreezePoint {
  fpIndexMoved, fpDataMoved, fpBlockWritten, fpNewFilesFlushed, fpIndexTempDeleted, fpMarkedComplete, fpChecked,
  fpWorldWritten
};
// Called at each point, block -1 where the point has none; what it throws ends the freeze there.
using TFreezeTestHook = std::function<void(TFreezePoint point, int32_t block)>;

std::string FreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                          const TFreezeTestHook& testHook, const std::vector<TFrozenWorld>* worlds = nullptr);
std::string ClearAndFreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                                  const TFreezeTestHook& testHook, const std::vector<TFrozenWorld>* worlds = nullptr);
std::string UnfreezeStatics(const TStaticsPair& pair, TAreaCut& cut, const TUnfrozenWorld& out, TProgressSink& gauge,
                            const TFreezeTestHook& testHook);
// An undo (freeze_undo.h) that passes fpMarkedComplete once its journal says the backup is back.
std::string UndoLastFreeze(const TStaticsPair& pair, const TFreezeTestHook& testHook);

}  // namespace mirnax
