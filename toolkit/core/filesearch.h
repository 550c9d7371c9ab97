// Wildcard search for files, as the original platform's file search reports them.
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
// in letter-case-insensitive order, as the original platform's file system lists a folder.
std::vector<std::string> FindFiles(std::string_view pattern);

}  // namespace mirnax
