#include "toolkit/inifile.h"

#define SI_NO_CONVERSION 1  // bytes in, bytes out: values stay exactly as stored
#include <SimpleIni.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "toolkit/exceptions.h"
#include "toolkit/fileio.h"
#include "toolkit/paths.h"
#include "toolkit/sysutils.h"

namespace {
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
  return lines;
}

// The section name of a header line, or false.
bool SectionOf(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  const size_t close = line.find(']');
  name = Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  return true;
}

bool KeyOf(std::string_view line, std::string_view& key) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '#') return false;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  return true;
}
}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  std::string data;
  try {
    data = ReadWholeFile(fileName_);
  } catch (const Exception&) {
    return def;
  }
  // Multi-key mode returns the first of repeated keys, as the original platform's reader does.
  CSimpleIniCaseA ini(/*isUtf8=*/false, /*multiKey=*/true, /*multiLine=*/false);
  if (ini.LoadData(data.data(), data.size()) < 0) return def;
  const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
  return value ? std::string(value) : def;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  std::string oneLine = value;
  for (char& c : oneLine)
    if (c == '\r' || c == '\n') c = ' ';

  std::string old;
  if (FileExists(fileName_)) old = ReadWholeFile(fileName_);
  const std::vector<Line> lines = SplitLines(old);
  const std::string newline = old.find("\r\n") != std::string::npos || old.empty() ? "\r\n" : "\n";
  const std::string entry = key + "=" + oneLine;

  // Find the section, the key's first line in it, and the last non-blank line of the section.
  size_t sectionAt = lines.size(), keyAt = lines.size(), lastInSection = lines.size();
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (SectionOf(lines[i].body, name)) {
      if (inSection) break;
      if (sectionAt == lines.size() && SameText(name, section)) {
        inSection = true;
        sectionAt = lastInSection = i;
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i].body).empty()) lastInSection = i;
    std::string_view k;
    if (KeyOf(lines[i].body, k) && SameText(k, key)) {
      keyAt = i;
      break;
    }
  }

  std::string out;
  out.reserve(old.size() + entry.size() + section.size() + 8);
  auto put = [&](const Line& l) {
    out.append(l.body);
    out.append(l.end);
  };
  if (keyAt < lines.size()) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i == keyAt) {
        out.append(entry);
        out.append(lines[i].end.empty() ? std::string_view() : lines[i].end);
      } else {
        put(lines[i]);
      }
    }
  } else if (sectionAt < lines.size()) {
    for (size_t i = 0; i < lines.size(); ++i) {
      put(lines[i]);
      if (i == lastInSection) {
        if (lines[i].end.empty()) out.append(newline);
        out.append(entry);
        out.append(newline);
      }
    }
  } else {
    out = old;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out.append(newline);
    out.append("[" + section + "]" + newline + entry + newline);
  }

  // Write beside the file, then put it in place: the old file survives any failure.
  const std::string target = NativePath(fileName_);
  const std::string temp = target + ".tmp";
  try {
    TFileStream file(temp, fmCreate);
    file.WriteBuffer(out.data(), out.size());
    file.Flush();
    file.Close();
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) ::chmod(temp.c_str(), st.st_mode & 07777);
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    throw EInOutError(Format("Cannot replace %s: %s", fileName_.c_str(), std::strerror(error)), error);
  }
}
