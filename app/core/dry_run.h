// A freeze that only looks: it reads what a freeze reads and says what the freeze would do.
#pragma once

#include "app/core/run.h"

namespace mirnax {

// Reads each world file of request and the statics pair as a freeze does (into cleared statics
// when clear), and logs through host per world file the lines a run logs, then what a freeze would
// do: items and the blocks they go to, the new sizes of both files, the free space it needs, what
// becomes of the replaced files. Touches nothing: no lock, no settling of an interrupted freeze (it
// says one is there), no backup, no record of frozen worlds. Returns when a freeze would go ahead;
// raises the error it would stop with, its message beginning "A freeze would stop: ", otherwise. A
// world file that cannot be read raises as in a run.
void DryRunFreeze(const TRunRequest& request, bool clear, TRunHost& host);

}  // namespace mirnax
