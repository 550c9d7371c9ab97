#include "app/core/freeze_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
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
constexpr size_t SumBlock = size_t{1} << 20;

// "-" for no file, "<size>:<crc as 8 hex digits>" otherwise.
std::string SumText(const std::optional<TFileSum>& sum) {
  if (!sum) return "-";
  char crc[9];
  std::snprintf(crc, sizeof crc, "%08x", unsigned(sum->Crc));
  return std::to_string(sum->Size) + ":" + crc;
}

bool ParseSum(std::string_view text, std::optional<TFileSum>& sum) {
  if (text == "-") {
    sum.reset();
    return true;
  }
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || text.size() - colon - 1 != 8) return false;
  TFileSum s;
  const char* end = text.data() + colon;
  if (std::from_chars(text.data(), end, s.Size).ptr != end || s.Size < 0) return false;
  end = text.data() + text.size();
  if (std::from_chars(text.data() + colon + 1, end, s.Crc, 16).ptr != end) return false;
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

void TFileSum::Add(const void* bytes, size_t count) {
  const auto* p = static_cast<const Bytef*>(bytes);
  Size += int64_t(count);
  while (count > 0) {
    const uInt piece = uInt(std::min<size_t>(count, SumBlock));
    Crc = uint32_t(crc32(Crc, p, piece));
    p += piece;
    count -= piece;
  }
}

std::optional<TFileSum> SumOfFile(const std::string& native, std::string* failure) {
  std::string why;
  std::optional<TFileSum> sum;
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd < 0) {
    why = std::strerror(errno);
  } else if (::fstat(fd, &st) != 0) {
    why = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    why = "it is not a regular file";
  } else {
    sum.emplace();
    // No larger than the file: statics of a small map are summed at every freeze too.
    std::vector<char> buffer(size_t(std::clamp<int64_t>(int64_t(st.st_size) + 1, 1, int64_t(SumBlock))));
    for (;;) {
      const ssize_t n = ::read(fd, buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        why = std::strerror(errno);
        sum.reset();
        break;
      }
      if (n == 0) break;
      sum->Add(buffer.data(), size_t(n));
    }
    if (sum && sum->Size != st.st_size) {
      why = "it changed while it was read";
      sum.reset();
    }
  }
  if (fd >= 0) ::close(fd);
  if (failure) *failure = why;
  return sum;
}

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
