#include "app/core/frozen_worlds.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "app/core/statics_pair.h"
#include "toolkit/core/safe_replace.h"

namespace mirnax {

namespace {
constexpr size_t RecordLimit = size_t{16} << 20;
constexpr size_t DateLength = 16;  // "YYYY-MM-DD HH:MM"

// The record already holds what journal adds to it.
bool HoldsAlready(const std::vector<TFrozenWorld>& record, const TJournal& journal) {
  const auto held = [&record](const TFrozenWorld& w) {
    const std::string line = FrozenLine(w);
    return std::any_of(record.begin(), record.end(), [&line](const TFrozenWorld& r) { return FrozenLine(r) == line; });
  };
  if (journal.Cleared && record.size() != journal.Worlds.size()) return false;
  return std::all_of(journal.Worlds.begin(), journal.Worlds.end(), held);
}
}  // namespace

std::string FrozenLine(const TFrozenWorld& world) {
  std::string name = world.Name;
  for (char& c : name)
    if (c == '\n' || c == '\r') c = ' ';
  return SumText(world.Sum) + " " + world.Date + " " + name;
}

bool ParseFrozenLine(std::string_view line, TFrozenWorld& world) {
  const size_t blank = line.find(' ');
  if (blank == std::string_view::npos || !ParseSumText(line.substr(0, blank), world.Sum)) return false;
  line.remove_prefix(blank + 1);
  if (line.size() < DateLength + 2 || line[DateLength] != ' ') return false;
  world.Date = std::string(line.substr(0, DateLength));
  world.Name = std::string(line.substr(DateLength + 1));
  return true;
}

std::vector<TFrozenWorld> ReadFrozenWorlds(const std::string& recordName) {
  std::vector<TFrozenWorld> worlds;
  std::ifstream file(recordName, std::ios::binary);
  std::string line;
  size_t read = 0;
  while (read < RecordLimit && std::getline(file, line)) {
    read += line.size() + 1;
    TFrozenWorld world;
    if (ParseFrozenLine(line, world)) worlds.push_back(std::move(world));
  }
  return worlds;
}

void WriteFrozenWorlds(const std::string& recordName, const std::vector<TFrozenWorld>& worlds) {
  std::string text;
  for (const TFrozenWorld& w : worlds) text += FrozenLine(w) + "\n";
  TSafeReplace file(recordName);
  file.Write(text);
  file.Commit();
}

namespace {
// The record without the world files byte-identical to an unfreeze's: what those held has left the
// statics. With backup the record before is kept beside it, so an undo puts it back with the
// statics; when there is nothing to forget the backup goes instead, so an undo leaves the record
// as it is. Done once: a record that holds none of them is left as it is.
void ForgetUnfrozenWorld(const TStaticsPair& pair, const TUnfrozenWorld& world, bool backup) {
  if (!world.Sum) return;
  std::vector<TFrozenWorld> worlds = ReadFrozenWorlds(pair.FrozenRecord);
  const std::vector<TFrozenWorld> before = worlds;
  TFileSum sum = *world.Sum;
  // Lines of an earlier version hold CRC-32 alone: the file placed is summed both ways for them.
  if (std::any_of(worlds.begin(), worlds.end(), [](const TFrozenWorld& w) { return !w.Sum.Xxh3; }))
    if (const auto now = SumOfFile(world.Name, nullptr, true); now && SameFile(sum, *now)) sum = *now;
  std::erase_if(worlds, [&sum](const TFrozenWorld& w) { return SameFile(w.Sum, sum); });
  if (worlds.size() == before.size()) {
    if (backup) std::remove(pair.FrozenRecordBackup.c_str());
    return;
  }
  if (backup) WriteFrozenWorlds(pair.FrozenRecordBackup, before);
  WriteFrozenWorlds(pair.FrozenRecord, worlds);
}
}  // namespace

void RecordFrozenWorlds(const TStaticsPair& pair, const TJournal& journal, bool backup) {
  if (pair.FrozenRecord.empty()) return;
  if (journal.Unfrozen) return ForgetUnfrozenWorld(pair, *journal.Unfrozen, backup);
  if (!journal.RecordsWorlds) return;
  // Read now, under the lock: what another run recorded since this one began is kept.
  std::vector<TFrozenWorld> worlds = ReadFrozenWorlds(pair.FrozenRecord);
  if (HoldsAlready(worlds, journal)) return;
  // A copy, not a move: stopped between the two writes, the record is still the one before, and
  // the next run's finishing of the freeze does both again.
  if (backup) WriteFrozenWorlds(pair.FrozenRecordBackup, worlds);
  if (journal.Cleared) worlds.clear();
  worlds.insert(worlds.end(), journal.Worlds.begin(), journal.Worlds.end());
  WriteFrozenWorlds(pair.FrozenRecord, worlds);
}

std::string FrozenDateNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[DateLength + 1];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace mirnax
