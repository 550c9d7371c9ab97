// Our own INI reader and writer rather than a library's, because a key we write must read back
// exactly as written and every other byte of the file must stay as it was; the reader and the
// writer share one line scanner, so they agree on any file (NUL bytes, a byte order mark, broken
// headers, plain garbage), and values are kept literally, backslashes included.

#include "toolkit/core/inifile.h"

#include <unistd.h>

#include <cstdio>
#include <string_view>
#include <vector>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// One line of the file with its own line end, so the file can be put back together byte for byte.
struct Line {
  std::string_view body;
  std::string_view end;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t stop = text.find_first_of("\r\n", pos);
    if (stop == std::string_view::npos) stop = text.size();
    size_t after = stop;
    if (after < text.size() && text[after] == '\r') ++after;
    if (after < text.size() && text[after] == '\n') ++after;
    lines.push_back({text.substr(pos, stop - pos), text.substr(stop, after - stop)});
    pos = after;
  }
  // A byte order mark (left by some editors) belongs to no line's meaning; it stays in the file.
  if (!lines.empty() && lines.front().body.starts_with(kByteOrderMark))
    lines.front().body.remove_prefix(kByteOrderMark.size());
  return lines;
}

// The section name of a header line "[name]" (text after the ']' is ignored), or false.
bool SectionOf(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

// The key and value of a line "key=value", or false for blank, comment and header lines.
bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return false;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

// Where a key lives: the first line of it in any section of that name, and the first such section.
struct KeyPlace {
  size_t keyAt;
  size_t sectionAt;
  size_t lastInSection;  // last non-blank line of the first section, where a new key goes
};

KeyPlace Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  KeyPlace place{lines.size(), lines.size(), lines.size()};
  bool inSection = false, inFirst = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name, k, v;
    if (SectionOf(lines[i].body, name)) {
      inSection = SameText(name, section);
      inFirst = inSection && place.sectionAt == lines.size();
      if (inFirst) place.sectionAt = place.lastInSection = i;
      continue;
    }
    if (inFirst && !Trim(lines[i].body).empty()) place.lastInSection = i;
    if (inSection && KeyOf(lines[i].body, k, v) && SameText(k, key)) {
      place.keyAt = i;
      break;
    }
  }
  return place;
}
}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  std::string data;
  try {
    data = ReadWholeFile(fileName_);
  } catch (const Exception&) {
    return def;
  }
  const std::vector<Line> lines = SplitLines(data);
  const KeyPlace place = Locate(lines, section, key);
  if (place.keyAt == lines.size()) return def;
  std::string_view k, value;
  KeyOf(lines[place.keyAt].body, k, value);
  return std::string(value);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  std::string oneLine = value;
  for (char& c : oneLine)
    if (c == '\r' || c == '\n') c = ' ';

  // One writer at a time, whichever program: a write between another's read and its rename would
  // be lost. Side files left by a writer that was killed are removed meanwhile.
  const std::string target = ResolveLinks(NativePath(fileName_));
  const TLockFile lock(target + ".lock", true);
  for (const std::string& side : SideFilesOf(target)) std::remove(side.c_str());
  // A file made read-only is the user's decision; it is not replaced behind their back.
  if (const auto ownership = OwnershipOf(target)) {
    constexpr auto AnyWrite = std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                              std::filesystem::perms::others_write;
    if ((ownership->Perms & AnyWrite) == std::filesystem::perms::none || ::access(target.c_str(), W_OK) != 0)
      throw CreateFailure(fileName_, ExceptionText(SReadOnlyFile));
  }

  std::string old;
  if (FileExists(fileName_)) old = ReadWholeFile(fileName_);
  const std::vector<Line> lines = SplitLines(old);
  const std::string newline = old.find("\r\n") != std::string::npos || old.empty() ? "\r\n" : "\n";
  const std::string entry = key + "=" + oneLine;
  const KeyPlace place = Locate(lines, section, key);

  // The new text is the old one copied in runs around the one change, byte for byte.
  const char* const base = old.data();
  std::string out;
  out.reserve(old.size() + entry.size() + section.size() + 8);
  size_t copied = 0;  // bytes of old already in out
  auto copyThrough = [&](const char* until) {
    const size_t to = static_cast<size_t>(until - base);
    out.append(old, copied, to - copied);
    copied = to;
  };
  if (place.keyAt < lines.size()) {
    const Line& l = lines[place.keyAt];
    copyThrough(l.body.data());
    out.append(entry);
    copied += l.body.size();
  } else if (place.sectionAt < lines.size()) {
    const Line& l = lines[place.lastInSection];
    copyThrough(l.end.data() + l.end.size());
    if (l.end.empty()) out.append(newline);
    out.append(entry);
    out.append(newline);
  } else {
    copyThrough(base + old.size());
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out.append(newline);
    out.append("[" + section + "]" + newline + entry + newline);
  }
  copyThrough(base + old.size());

  // The old file survives any failure; a link keeps pointing at the replaced file.
  TSafeReplace replace(fileName_);
  replace.Write(out);
  replace.Commit();
}

}  // namespace mirnax
