// Undoing the last freeze of a pair: the statics it replaced put back from their backup.
#pragma once

#include <string>

#include "app/core/statics_pair.h"

namespace mirnax {

// Puts back the statics the last freeze of this pair replaced, from its backup, under the pair's
// lock, as one step that is undone itself if it cannot finish (the error then says nothing was put
// back). Refuses with Exception, changing nothing, when there is no backup, it cannot be read, or
// the files are not the ones that freeze wrote and kept. Returns a line saying what was put back;
// once the backup is in place the undo no longer fails, and what it could not finish then (the
// undone files kept as the next backup, the record of frozen worlds) follows on lines of its own.
std::string UndoLastFreeze(const TStaticsPair& pair);

}  // namespace mirnax
