// The world files frozen into a statics pair, known by their checksums, so that freezing one again
// (which doubles its items) does not go unnoticed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/core/freeze_journal.h"

namespace mirnax {

// The record "<index>.frozen" beside the index, one line per world file (TFrozenWorld, in
// freeze_journal.h): "<size>:<sum> <date> <time> <name>". A missing or unreadable record holds
// nothing; lines it cannot read are skipped. Format 2, written now: the sum is XXH3 as 16 hex
// digits (file_sum.h). Format 1, still read, and kept as it is in the lines carried over: CRC-32
// as 8 hex digits; a run comparing world files with a record that holds such lines sums them both
// ways.
std::vector<TFrozenWorld> ReadFrozenWorlds(const std::string& recordName);
// Replaces the record whole (a safe replace: the old one or the new one, whatever happens).
void WriteFrozenWorlds(const std::string& recordName, const std::vector<TFrozenWorld>& worlds);
// The local time now as the record gives dates.
std::string FrozenDateNow();

// One world's line without its line end (a line break in the name becomes a blank), and back.
std::string FrozenLine(const TFrozenWorld& world);
bool ParseFrozenLine(std::string_view line, TFrozenWorld& world);

class TStaticsPair;

// The record of the freeze journal speaks of, brought up to date under the pair's lock by whoever
// finishes that freeze: journal.Worlds added (to nothing, for a freeze into cleared statics). With
// backup the record before is kept beside it first, so an undo can put it back with the statics.
// Done once: a record that holds the worlds already (its freeze was finished by a run stopped
// after this step) is left as it is. For an unfreeze's journal, the world files byte-identical to
// the one it wrote are forgotten instead. Nothing for a journal that records no worlds.
void RecordFrozenWorlds(const TStaticsPair& pair, const TJournal& journal, bool backup);

}  // namespace mirnax
