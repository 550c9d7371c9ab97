// Wildcard search for files: plain files by a name mask, letter case ignored, in a stable order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirnax {

// '*' matches any run of characters, '?' one character; letters match in either case.
bool MatchesMask(std::string_view name, std::string_view mask);

// Names (without folder) of the plain files that match pattern, a folder part (may be empty, with
// '\' or '/' separators, relative to the current directory unless absolute) plus a name mask.
// Folders, and hidden files (a name starting with a dot), are not listed; the folder and the
// mask match in any letter case, and the mask "*.*" lists every file, dot or not. The names come
// in letter-case-insensitive order (names equal but for case in byte order), whatever order the
// file system keeps them in.
std::vector<std::string> FindFiles(std::string_view pattern);

}  // namespace mirnax
