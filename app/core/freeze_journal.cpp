#include "app/core/freeze_journal.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include "app/core/frozen_worlds.h"
#include "toolkit/core/safe_replace.h"

namespace mirnax {

namespace {
constexpr std::string_view JournalExt = ".freeze";
constexpr std::string_view JournalMoving =
    "moving: the .xxx files are the previous statics, the files under the configured names are not complete\n";
constexpr std::string_view JournalComplete =
    "complete: the files under the configured names are the complete new statics, the .xxx files may be deleted\n";
// A journal is a few hundred bytes and a line per world file frozen; anything longer than the
// record of frozen worlds may be is not one of ours.
constexpr size_t JournalLimit = size_t{16} << 20;
constexpr std::string_view RecordKeep = "record keep", RecordClear = "record clear", WorldMark = "world ";
constexpr std::string_view UnfrozenMark = "unfrozen", UnfrozenKeep = "keep", UnfrozenReplace = "replace";

// "-" for no file, "<size>:<sum>" otherwise.
std::string SumText(const std::optional<TFileSum>& sum) { return sum ? mirnax::SumText(*sum) : "-"; }

bool ParseSum(std::string_view text, std::optional<TFileSum>& sum) {
  if (text == "-") {
    sum.reset();
    return true;
  }
  TFileSum s;
  if (!ParseSumText(text, s)) return false;
  sum = s;
  return true;
}

// "<role> <first> <second> <name>", split; the name comes last, so it may hold blanks.
struct TFieldsLine {
  std::string_view First, Second, Name;
};
std::optional<TFieldsLine> SplitLine(std::string_view line, std::string_view role) {
  if (!line.starts_with(role) || line.size() <= role.size() || line[role.size()] != ' ') return std::nullopt;
  line.remove_prefix(role.size() + 1);
  const size_t a = line.find(' ');
  if (a == std::string_view::npos) return std::nullopt;
  const size_t b = line.find(' ', a + 1);
  if (b == std::string_view::npos || b + 1 >= line.size()) return std::nullopt;
  return TFieldsLine{line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)};
}

// "unfrozen <keep|replace> <sum> <name>".
bool ParseUnfrozen(std::string_view line, TUnfrozenWorld& world) {
  const auto fields = SplitLine(line, UnfrozenMark);
  if (!fields || (fields->First != UnfrozenKeep && fields->First != UnfrozenReplace)) return false;
  world.Replace = fields->First == UnfrozenReplace;
  world.Name = std::string(fields->Name);
  return ParseSum(fields->Second, world.Sum);
}

// The lines after the files (format 3): what the freeze adds to the record of frozen worlds, or
// (format 5) the world file an unfreeze writes.
void ParseWorlds(const std::vector<std::string_view>& lines, TJournal& journal) {
  if (lines.size() < 4) return;
  if (TUnfrozenWorld world; ParseUnfrozen(lines[3], world)) {
    journal.Unfrozen = std::move(world);
    return;
  }
  if (lines[3] != RecordKeep && lines[3] != RecordClear) return;
  journal.RecordsWorlds = true;
  journal.Cleared = lines[3] == RecordClear;
  for (size_t i = 4; i < lines.size(); ++i) {
    TFrozenWorld world;
    if (lines[i].starts_with(WorldMark) && ParseFrozenLine(lines[i].substr(WorldMark.size()), world))
      journal.Worlds.push_back(std::move(world));
  }
}

std::string FileLine(std::string_view role, const TJournalFile& f) {
  return std::string(role) + " " + SumText(f.Old) + " " + SumText(f.New) + " " + f.Name + "\n";
}

// "<role> <old> <new> <name>".
bool ParseFileLine(std::string_view line, std::string_view role, TJournalFile& f) {
  const auto fields = SplitLine(line, role);
  if (!fields) return false;
  f.Name = std::string(fields->Name);
  return ParseSum(fields->First, f.Old) && ParseSum(fields->Second, f.New);
}
}  // namespace

std::string JournalName(const std::string& nativeIndex) { return nativeIndex + std::string(JournalExt); }

std::string BackupName(const std::string& native) { return native + ".bak"; }

std::string BackupRecordName(const std::string& nativeIndex) { return JournalName(BackupName(nativeIndex)); }

std::string UnfrozenSideName(const std::string& name) { return name + ".new"; }

std::string FrozenRecordName(const std::string& nativeIndex) { return nativeIndex + ".frozen"; }

TJournal ReadJournal(const std::string& name) {
  TJournal journal;
  std::ifstream file(name, std::ios::binary);
  std::string text;
  for (char piece[4096]; text.size() < JournalLimit && file.read(piece, sizeof piece).gcount() > 0;)
    text.append(piece, size_t(file.gcount()));
  std::string_view rest = text;
  std::vector<std::string_view> lines;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    lines.push_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  if (lines.empty()) return journal;
  const auto step = [&](std::string_view known) {
    return lines[0].starts_with(known.substr(0, known.find(':') + 1));
  };
  if (step(JournalComplete))
    journal.Step = jsComplete;
  else if (step(JournalMoving))
    journal.Step = jsMoving;
  else
    return journal;
  journal.Recorded = lines.size() >= 3 && ParseFileLine(lines[1], "index", journal.Index) &&
                     ParseFileLine(lines[2], "data", journal.Data);
  if (!journal.Recorded) journal.Index = journal.Data = TJournalFile{};
  if (journal.Recorded) ParseWorlds(lines, journal);
  return journal;
}

void WriteJournal(const std::string& name, const TJournal& journal) {
  std::string text(journal.Step == jsComplete ? JournalComplete : JournalMoving);
  text += FileLine("index", journal.Index);
  text += FileLine("data", journal.Data);
  if (journal.RecordsWorlds) {
    text += std::string(journal.Cleared ? RecordClear : RecordKeep) + "\n";
    for (const TFrozenWorld& world : journal.Worlds) text += std::string(WorldMark) + FrozenLine(world) + "\n";
  } else if (const auto& world = journal.Unfrozen) {
    text += std::string(UnfrozenMark) + " " + std::string(world->Replace ? UnfrozenReplace : UnfrozenKeep) + " " +
            SumText(world->Sum) + " " + world->Name + "\n";
  }
  TSafeReplace file(name);
  file.Write(text);
  file.Commit();
}

}  // namespace mirnax
