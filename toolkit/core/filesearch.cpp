#include "toolkit/core/filesearch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  // Iterative glob match with one backtrack point for the last '*'.
  size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    // A '*' in the mask is always a wildcard, even against a '*' in the name.
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == '?' || Upper(mask[m]) == Upper(name[n]))) {
      ++n;
      ++m;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<std::string> FindFiles(std::string_view pattern) {
  const std::string maskPart = ExtractFileName(pattern);
  // "*.*" lists every file, with or without a dot in its name.
  const std::string_view mask = maskPart == "*.*" ? std::string_view("*") : std::string_view(maskPart);
  const std::string folder = NativePath(FolderOf(pattern));
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.' || !MatchesMask(name, mask)) continue;
    std::error_code notFile;
    if (!std::filesystem::is_regular_file(it->path(), notFile)) continue;  // links followed
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int c = CompareText(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  return names;
}

}  // namespace mirnax
