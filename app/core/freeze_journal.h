// The freeze's journal: a few lines beside the index, written before the first rename and removed
// last, that say which of the two pairs (the configured files or the ".xxx" files) is whole when a
// freeze ends early, and record each file's name, size and checksum so that the next run can tell
// the files it finds are the ones the journal speaks of; and, for a freeze that records the world
// files it froze, which they are, so that whoever finishes the freeze records them. The journal is
// replaced whole, never rewritten in place. Format 5, written now: the step line, "index <old>
// <new> <name>", "data <old> <new> <name>", then, where world files are recorded, "record keep" or
// "record clear" and a line "world <the record's own line>" (frozen_worlds.h) per world file; for
// an unfreeze instead, "unfrozen keep <sum> <name>" or "unfrozen replace <sum> <name>": the world
// file it writes (its sum "-" until the file is complete). Format 4, still read: without
// "unfrozen". A sum
// is "-" for no file, else "<size>:<XXH3 as 16 hex digits>" (file_sum.h), or CRC-32 as 8 digits
// where a sum of an earlier journal is carried over (an undo's journal). Format 3, still read: the
// same with every sum CRC-32. Format 2, still read (and a reader of format 2 reads format 3 as
// such): the first three lines alone. Format 1, still read: the step line alone.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/core/file_sum.h"

namespace mirnax {

enum TJournalStep {
  jsNone,      // no journal, or one this program did not write
  jsMoving,    // the ".xxx" files are the previous statics, the configured files are not complete
  jsComplete,  // the configured files are the complete new statics, the ".xxx" files may go
};

// One of the pair as the journal records it.
struct TJournalFile {
  std::string Name;             // the file under its configured name, links followed, from the root
                                // (a journal of an earlier version may give it relative to its run's folder)
  std::optional<TFileSum> Old;  // the file before the freeze; none when there was no file
  std::optional<TFileSum> New;  // the complete new file (jsComplete only)
};

// A world file frozen into a pair, known by its checksum.
struct TFrozenWorld {
  TFileSum Sum;
  std::string Date;  // when it was frozen, "2026-12-08 15:34"
  std::string Name;  // as the log showed it
  bool operator==(const TFrozenWorld&) const = default;
};

// The world file an unfreeze writes the statics it takes out to: first under its side name, renamed
// to Name once the new statics are complete.
struct TUnfrozenWorld {
  std::string Name;             // from the root
  bool Replace = false;         // an existing file of that name is replaced (--force)
  std::optional<TFileSum> Sum;  // the complete file (jsComplete only)
};

struct TJournal {
  TJournalStep Step = jsNone;
  // False for a journal of format 1 (the step line alone): it names no files.
  bool Recorded = false;
  TJournalFile Index, Data;
  // Whoever finishes the freeze adds Worlds to the record of frozen worlds, after forgetting those
  // of the old statics when Cleared. False for a freeze that leaves the record alone.
  bool RecordsWorlds = false;
  bool Cleared = false;
  std::vector<TFrozenWorld> Worlds;
  // An unfreeze's world file; none for a freeze.
  std::optional<TUnfrozenWorld> Unfrozen;
};

// "<index>.freeze", beside the index file (its links followed).
std::string JournalName(const std::string& nativeIndex);
// The previous generation of a statics file, kept by a freeze: "<file>.bak" beside it.
std::string BackupName(const std::string& native);
// "<index>.bak.freeze": the journal of the freeze that made the backup, kept with it. It records
// the backup's files (Old) and the files that freeze wrote (New), so an undo can tell both are
// still what they were.
std::string BackupRecordName(const std::string& nativeIndex);
// "<file>.new": where an unfreeze writes its world file before the new statics are complete.
std::string UnfrozenSideName(const std::string& name);
// "<index>.frozen": the world files frozen into the pair (frozen_worlds.h).
std::string FrozenRecordName(const std::string& nativeIndex);
TJournal ReadJournal(const std::string& name);
// Replaces the journal with journal (step jsMoving or jsComplete), durably: the file holds the old
// journal or the new one whatever happens.
void WriteJournal(const std::string& name, const TJournal& journal);

}  // namespace mirnax
