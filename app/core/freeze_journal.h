// The freeze's journal: one line beside the index, written before the first rename and removed
// last, that says which of the two pairs (the configured files or the ".xxx" files) is whole when a
// freeze ends early. Each line starts with its step; a line is replaced whole, never rewritten.
#pragma once

#include <string>

enum TJournalStep {
  jsNone,      // no journal, or one this program did not write
  jsMoving,    // the ".xxx" files are the previous statics, the configured files are not complete
  jsComplete,  // the configured files are the complete new statics, the ".xxx" files may go
};

// "<index>.freeze", beside the index file (its links followed).
std::string JournalName(const std::string& nativeIndex);
TJournalStep ReadJournal(const std::string& name);
// Replaces the journal's line with step's (jsMoving or jsComplete), durably: the journal holds the
// old line or the new one whatever happens.
void WriteJournal(const std::string& name, TJournalStep step);
