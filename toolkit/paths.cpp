#include "toolkit/paths.h"

#include <dirent.h>
#include <cerrno>
#include <unistd.h>

#include <vector>

#include "toolkit/file_ops.h"
#include "toolkit/sysutils.h"

bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }

namespace {
// Index of the last separator or colon, or npos.
size_t LastDelimiter(std::string_view path) { return path.find_last_of("\\/:"); }

bool IsRoot(std::string_view dir) {
  if (dir.size() == 1 && IsPathDelimiter(dir[0])) return true;                             // "/"
  return dir.size() == 3 && dir[1] == ':' && IsPathDelimiter(dir[2]);                       // "C:\"
}
}  // namespace

std::string ExtractFileDir(std::string_view path) {
  const size_t i = LastDelimiter(path);
  if (i == std::string_view::npos) return {};
  std::string_view dir = path.substr(0, i + 1);
  if (IsPathDelimiter(dir.back()) && !IsRoot(dir)) dir.remove_suffix(1);
  return std::string(dir);
}

std::string ExtractFileName(std::string_view path) {
  const size_t i = LastDelimiter(path);
  return std::string(i == std::string_view::npos ? path : path.substr(i + 1));
}

std::string ExtractFileExt(std::string_view path) {
  const size_t dot = path.find_last_of('.');
  const size_t delim = LastDelimiter(path);
  if (dot == std::string_view::npos || (delim != std::string_view::npos && dot < delim)) return {};
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  const std::string old = ExtractFileExt(path);
  std::string out(path.substr(0, path.size() - old.size()));
  out.append(ext);
  return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.empty() || !IsPathDelimiter(out.back())) out.push_back(PathDelim);
  return out;
}

std::string NativePath(std::string_view path) {
  std::string given(path);
#ifdef _WIN32
  return given;
#else
  if (given.empty() || PathExists(given)) return given;
  std::string converted = given;
  for (char& c : converted)
    if (c == '\\') c = '/';
  if (PathExists(converted)) return converted;

  // Walk the parts, matching each missing one against its folder's entries, letter case ignored.
  std::string resolved = converted.front() == '/' ? "/" : "";
  size_t pos = converted.front() == '/' ? 1 : 0;
  bool matching = true;
  while (pos <= converted.size()) {
    size_t next = converted.find('/', pos);
    if (next == std::string::npos) next = converted.size();
    const std::string part = converted.substr(pos, next - pos);
    pos = next + 1;
    if (part.empty()) continue;
    std::string candidate = resolved + part;
    if (matching && !PathExists(candidate)) {
      bool found = false;
      if (DIR* dir = ::opendir(resolved.empty() ? "." : resolved.c_str())) {
        std::vector<std::string> hits;
        while (dirent* e = ::readdir(dir))
          if (SameText(e->d_name, part)) hits.emplace_back(e->d_name);
        ::closedir(dir);
        if (!hits.empty()) {
          // Several spellings may exist side by side; take the first in byte order, every time.
          std::string best = hits.front();
          for (const std::string& h : hits)
            if (h < best) best = h;
          candidate = resolved + best;
          found = true;
        }
      }
      if (!found) matching = false;
    }
    resolved = candidate;
    if (next < converted.size()) resolved.push_back('/');
  }
  return resolved;
#endif
}

std::string GetCurrentDir() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return ".";
    buf.resize(buf.size() * 2);
  }
  return std::string(buf.data());
}
