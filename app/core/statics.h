// The clear and the freeze of the two statics files (index and data), each one transaction: the
// statics are never left with less than they had.
#pragma once

#include <string>

#include "app/core/block_store.h"
#include "app/core/progress.h"

namespace mirnax {

// Makes both files empty statics: an index of 393,216 empty entries (FF FF FF FF FF FF FF FF
// 00 00 00 00) and an empty data file. The new files are written beside the old ones, under names
// no other file has, and moved over them only when complete. A file that cannot be written raises
// EFCreateError "Cannot create file %s"; the files are then as they were.
void ClearStatics(const std::string& indexPath, const std::string& dataPath);

// The checks a clear makes before it writes anything: both paths given, the files (or, where one
// does not exist yet, their folders) writable, and the refusals of CheckStaticsPaths
// (statics_paths.h). A file that cannot be written raises EFCreateError "Cannot create file %s".
void CheckClearStatics(const std::string& indexPath, const std::string& dataPath);

// Merges store into the statics files: checks the paths and the old files (nothing is touched
// when a check fails), moves both to their ".xxx" names, writes the new files under the configured
// paths, forces them to disk and keeps the previous files as the backup "<file>.bak" (replacing
// the one before; with keepBackup false they are deleted). Any failure after the move puts the
// previous files back under the configured paths and raises the error with a note saying so.
// A journal "<index>.freeze" beside the index lives from before the first move to the end: it
// tells the next freeze, should this one be killed, which pair is whole. With
// RollBackFreezeOnSignals (run.h), SIGINT, SIGTERM and SIGHUP count as such a failure until the new
// files are complete, and end the process once the freeze has finished after that.
void FreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                   TProgressSink& gauge, bool keepBackup = true);

// A clear and a freeze as one step: writes what ClearStatics followed by FreezeStatics writes, but
// reads nothing of the old files and writes nothing before the freeze itself. The old files, where
// they exist, are kept under ".xxx" until the new pair is complete, exactly as FreezeStatics keeps
// them, so a failure leaves the statics as they were. Makes the checks of CheckClearStatics first.
void ClearAndFreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                           TProgressSink& gauge, bool keepBackup = true);

}  // namespace mirnax
