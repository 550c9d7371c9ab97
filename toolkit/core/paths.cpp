#include "toolkit/core/paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace fs = std::filesystem;

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

std::string FolderOf(std::string_view path) {
  std::string dir = ExtractFileDir(path);
  return dir.empty() ? std::string(".") : dir;
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

std::string ForwardSlashes(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
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

const std::vector<std::string>& TFolderNames::In(const std::string& folder) {
  const auto [at, added] = listed_.try_emplace(folder);
  if (added) {
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end; it.increment(error))
      at->second.push_back(it->path().filename().string());
  }
  return at->second;
}

namespace {
// The entry of folder spelled like part with letter case ignored: of several spellings side by
// side the first in byte order, every time; "" for none.
std::string MatchIn(TFolderNames& listed, const std::string& folder, const std::string& part) {
  const std::string* best = nullptr;
  for (const std::string& name : listed.In(folder))
    if (SameText(name, part) && (best == nullptr || name < *best)) best = &name;
  return best ? *best : std::string();
}
}  // namespace

std::string NativePath(std::string_view path, TFolderNames* listed) {
  std::string given(path);
  if (given.empty() || PathExists(given)) return given;
  std::string converted = ForwardSlashes(given);
  if (converted != given && PathExists(converted)) return converted;
  TFolderNames ownList;
  TFolderNames& names = listed ? *listed : ownList;

  // Most often only the last part is missing and its folder is there as written.
  if (const size_t slash = converted.rfind('/'); slash != std::string::npos && slash > 0 && slash + 1 < converted.size()) {
    const std::string folder = converted.substr(0, slash);
    if (PathExists(folder)) {
      const std::string hit = MatchIn(names, folder, converted.substr(slash + 1));
      return hit.empty() ? converted : folder + "/" + hit;
    }
  }

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
      std::string folder = resolved;
      if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
      const std::string hit = MatchIn(names, folder, part);
      if (hit.empty())
        matching = false;
      else
        candidate = resolved + hit;
    }
    resolved = candidate;
    if (next < converted.size()) resolved.push_back('/');
  }
  return resolved;
}

std::string GetCurrentDir() {
  std::error_code error;
  const fs::path dir = fs::current_path(error);
  return error ? std::string(".") : dir.string();
}

bool PathExists(const std::string& native) {
  std::error_code error;
  return fs::exists(fs::symlink_status(native, error));
}

std::string ResolveLinks(const std::string& native) {
  constexpr int MostLinks = 40;  // as many as the system follows itself
  fs::path path = native;
  for (int i = 0; i < MostLinks; ++i) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) break;
    const fs::path target = fs::read_symlink(path, error);
    if (error || target.empty()) break;
    path = path.parent_path() / target;  // a relative target is relative to the link's folder
  }
  return path.string();  // after a loop of links, using it fails with the system's reason
}

}  // namespace mirnax
