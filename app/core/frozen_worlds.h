// The world files frozen into a statics pair, known by their checksums, so that freezing one again
// (which doubles its items) does not go unnoticed.
#pragma once

#include <string>
#include <vector>

#include "app/core/freeze_journal.h"

namespace mirnax {

struct TFrozenWorld {
  TFileSum Sum;
  std::string Date;  // when it was frozen, "2026-12-08 15:34"
  std::string Name;  // as the log showed it
};

// The record "<index>.frozen" beside the index, one line per world file: "<size>:<crc> <date>
// <time> <name>". A missing or unreadable record holds nothing; lines it cannot read are skipped.
std::vector<TFrozenWorld> ReadFrozenWorlds(const std::string& recordName);
// Replaces the record whole (a safe replace: the old one or the new one, whatever happens).
void WriteFrozenWorlds(const std::string& recordName, const std::vector<TFrozenWorld>& worlds);
// The local time now as the record gives dates.
std::string FrozenDateNow();

}  // namespace mirnax
