#include "app/core/freeze_journal.h"

#include <algorithm>
#include <fstream>
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

// The lines after the files (format 3): what the freeze adds to the record of frozen worlds.
void ParseWorlds(const std::vector<std::string_view>& lines, TJournal& journal) {
  if (lines.size() < 4 || (lines[3] != RecordKeep && lines[3] != RecordClear)) return;
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

// "<role> <old> <new> <name>"; the name comes last, so it may hold blanks.
bool ParseFileLine(std::string_view line, std::string_view role, TJournalFile& f) {
  if (!line.starts_with(role) || line.size() <= role.size() || line[role.size()] != ' ') return false;
  line.remove_prefix(role.size() + 1);
  const size_t a = line.find(' ');
  if (a == std::string_view::npos) return false;
  const size_t b = line.find(' ', a + 1);
  if (b == std::string_view::npos || b + 1 >= line.size()) return false;
  f.Name = std::string(line.substr(b + 1));
  return ParseSum(line.substr(0, a), f.Old) && ParseSum(line.substr(a + 1, b - a - 1), f.New);
}
}  // namespace

std::string JournalName(const std::string& nativeIndex) { return nativeIndex + std::string(JournalExt); }

std::string BackupName(const std::string& native) { return native + ".bak"; }

std::string BackupRecordName(const std::string& nativeIndex) { return JournalName(BackupName(nativeIndex)); }

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
  }
  TSafeReplace file(name);
  file.Write(text);
  file.Commit();
}

}  // namespace mirnax
