// The freeze of the two statics files (index and data), one transaction: the statics are never
// left with less than they had.
#pragma once

#include "app/core/block_store.h"
#include "app/core/progress.h"
#include "app/core/statics_pair.h"

namespace mirnax {

// Merges store into the statics files: checks the paths and the old files (nothing is touched
// when a check fails), moves both to their ".xxx" names, writes the new files under the configured
// paths, forces them to disk and keeps the previous files as the backup "<file>.bak" (replacing
// the one before; with keepBackup false they are deleted). Any failure after the move puts the
// previous files back under the configured paths and raises the error with a note saying so.
// A journal "<index>.freeze" beside the index lives from before the first move to the end: it
// tells the next freeze, should this one be killed, which pair is whole. With
// RollBackFreezeOnSignals (run.h), SIGINT, SIGTERM and SIGHUP count as such a failure until the new
// files are complete, and end the process once the freeze has finished after that.
void FreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge, bool keepBackup = true);

// A clear and a freeze as one step: writes what ClearStatics (statics_clear.h) followed by
// FreezeStatics writes, but reads nothing of the old files and writes nothing before the freeze
// itself. The old files, where they exist, are kept under ".xxx" until the new pair is complete,
// exactly as FreezeStatics keeps them, so a failure leaves the statics as they were. Makes the
// checks of CheckClearStatics (freeze_checks.h) first.
void ClearAndFreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                           bool keepBackup = true);

}  // namespace mirnax
