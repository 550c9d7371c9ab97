// Settling, at the start of the next run, what a freeze left when it ended early (killed, or its
// machine stopped), from what its journal recorded; and the last steps of a freeze, which that
// settling finishes for it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/freeze_journal.h"
#include "app/core/statics_pair.h"

namespace mirnax {

// Takes the pair's lock and looks for a journal of an unfinished freeze beside the index. When it
// names its files with their sums and every file found is what it recorded, the freeze is settled
// by itself: before the new pair was complete the previous files are put back over what it had
// written; once the new pair was complete the previous files it kept are removed, as it would have
// done. Stale side files of the journal go too. Returns a line for the log saying what was done,
// empty when there was nothing to do (files moved otherwise: resolve the pair Again). When the
// files are not what the journal recorded, nothing is changed and Exception says which differ and
// asks the operator to decide, keeping every copy. A journal of format 1 (the step line alone) is
// left to the freeze's own checks.
std::string RecoverInterruptedFreeze(const TStaticsPair& pair);

// The same, for a caller that holds the pair's lock already.
std::string SettleInterruptedFreeze(const TStaticsPair& pair);

// The last steps of a freeze whose new pair is complete, as its journal says. RetireFile: the
// previous file left under its ".xxx" name becomes the backup "<file>.bak" (replacing the one
// before; a file that had no previous one loses its old backup, so no half pair is left), or is
// deleted without backup. RetireJournal, after both files: the journal becomes the backup's record,
// or is deleted without backup. Each step is one rename or delete: should the freeze stop between
// them, the journal still holds and the next run's recovery finishes it (keeping the backup).
void RetireFile(const TStaticsFile& file, bool hadPrevious, bool backup);
void RetireJournal(const std::string& journal, const std::string& backupRecord, bool backup);

// Steps past a point of no return: each one runs, and one that fails is noted instead of ending the
// others, for the caller to report. Notes() holds each failure's message on a line of its own after
// a line break, empty when every step was done.
class TLateSteps {
 public:
  // Runs step; false, its message noted after what, when it raised Exception.
  bool Run(const std::function<void()>& step, const std::string& what = "");
  void Note(const std::string& text) { notes_ += "\n" + text; }
  const std::string& Notes() const { return notes_; }

 private:
  std::string notes_;
};

// An unfreeze's world file moved from its side name into place (over a file of that name only when
// the unfreeze may replace it); nothing when there is no side file (placed already). Should the
// move fail, Exception says where the world file is.
void PlaceUnfrozenWorld(const TUnfrozenWorld& world);

// Everything a freeze (or an undo) has left to do once its journal says the new pair is complete,
// as late steps: an unfreeze's world file put in place (PlaceUnfrozenWorld), the record of frozen worlds the journal asks for (RecordFrozenWorlds,
// frozen_worlds.h), each previous file retired, then the journal. While a previous file is left
// under ".xxx" the journal (journalName) stays, so the next run finishes the freeze. afterIndex is
// called once the index is retired (or has failed to be). Returns the notes of the steps that failed.
std::string FinishFreeze(const TStaticsPair& pair, const std::string& journalName, const TJournal& journal,
                         bool backup, const std::function<void()>& afterIndex = {});

// Adds to differences when the file native is not what sum records (no file where sum is none), or
// cannot be read (saying why).
void ExpectRecorded(const std::string& native, const std::optional<TFileSum>& sum,
                    std::vector<std::string>& differences);
// The differences, each on a line of its own after a line break.
std::string Listed(const std::vector<std::string>& lines);

}  // namespace mirnax
