// Settling, at the start of the next run, what a freeze left when it ended early (killed, or its
// machine stopped), from what its journal recorded.
#pragma once

#include <string>

// Takes the pair's lock and looks for a journal of an unfinished freeze beside the index. When it
// names its files with their sums and every file found is what it recorded, the freeze is settled
// by itself: before the new pair was complete the previous files are put back over what it had
// written; once the new pair was complete the previous files it kept are removed, as it would have
// done. Stale side files of the journal go too. Returns a line for the log saying what was done,
// empty when there was nothing to do. When the files are not what the journal recorded, nothing is
// changed and Exception says which differ and asks the operator to decide, keeping every copy. A
// journal of the step alone (as earlier versions wrote) is left to the freeze's own checks.
std::string RecoverInterruptedFreeze(const std::string& indexPath, const std::string& dataPath);
