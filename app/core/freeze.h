// The freeze of the two statics files (index and data), one transaction: the statics are never
// left with less than they had.
#pragma once

#include <string>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/freeze_journal.h"
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
// With worlds, the world files read for store are added to the record of frozen worlds beside the
// index, under the pair's lock, once the new files are complete; the journal names them, so a run
// that finishes this freeze for it records them too. Once the new files are complete nothing fails
// any more: what cannot be done then (the record, a backup's rename) is returned as notes, each on
// a line of its own after a line break; empty when everything was done.
std::string FreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                          bool keepBackup = true, const std::vector<TFrozenWorld>* worlds = nullptr);

// A clear and a freeze as one step: writes what ClearStatics (statics_clear.h) followed by
// FreezeStatics writes, but reads nothing of the old files and writes nothing before the freeze
// itself. The old files, where they exist, are kept under ".xxx" until the new pair is complete,
// exactly as FreezeStatics keeps them, so a failure leaves the statics as they were. Makes the
// checks of CheckClearStatics (freeze_checks.h) first. With worlds, the record of frozen worlds
// holds them alone afterwards.
std::string ClearAndFreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                                  bool keepBackup = true, const std::vector<TFrozenWorld>* worlds = nullptr);

class TAreaCut;

// An unfreeze: a freeze of no items whose merge passes every block of the pair through cut
// (area_statics.h), so that the statics standing in its area leave the pair, and which writes them
// as the world file out.Name. That file is written under its side name (UnfrozenSideName) before
// the new pair is complete, and renamed into place as the first step past that point (over an
// existing file only with out.Replace), so that a run settled backward leaves no world file to be
// frozen twice. Refuses, changing nothing, when out.Name exists and may not be replaced or its
// side name exists. The record of frozen worlds then forgets the world files byte-identical to
// the one written. Everything else (checks, lock, journal, backup, notes) as FreezeStatics.
std::string UnfreezeStatics(const TStaticsPair& pair, TAreaCut& cut, const TUnfrozenWorld& out, TProgressSink& gauge,
                            bool keepBackup = true);

}  // namespace mirnax
