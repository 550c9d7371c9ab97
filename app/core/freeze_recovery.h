// Settling, at the start of the next run, what a freeze left when it ended early (killed, or its
// machine stopped), from what its journal recorded.
#pragma once

#include <string>

#include "app/core/freeze_journal.h"

namespace mirnax {

// Takes the pair's lock and looks for a journal of an unfinished freeze beside the index. When it
// names its files with their sums and every file found is what it recorded, the freeze is settled
// by itself: before the new pair was complete the previous files are put back over what it had
// written; once the new pair was complete the previous files it kept are removed, as it would have
// done. Stale side files of the journal go too. Returns a line for the log saying what was done,
// empty when there was nothing to do. When the files are not what the journal recorded, nothing is
// changed and Exception says which differ and asks the operator to decide, keeping every copy. A
// journal of the step alone (as earlier versions wrote) is left to the freeze's own checks.
std::string RecoverInterruptedFreeze(const std::string& indexPath, const std::string& dataPath);

// The last steps of a freeze whose new pair is complete, as its journal says. RetireFile: the
// previous file left under its ".xxx" name becomes the backup "<file>.bak" (replacing the one
// before; a file that had no previous one loses its old backup, so no half pair is left), or is
// deleted without backup. RetireJournal, after both files: the journal becomes the backup's record,
// or is deleted without backup. Each step is one rename or delete: should the freeze stop between
// them, the journal still holds and the next run's recovery finishes it (keeping the backup).
void RetireFile(const TJournalFile& file, bool backup);
void RetireJournal(const std::string& journalName, const TJournal& journal, bool backup);

// Puts back the statics the last freeze of this pair replaced, from its backup, under the pair's
// lock, as one step that is undone itself if it cannot finish. Refuses with Exception, changing
// nothing, when there is no backup or the files are not the ones that freeze wrote and kept.
// Returns a line saying what was put back.
std::string UndoLastFreeze(const std::string& indexPath, const std::string& dataPath);

}  // namespace mirnax
