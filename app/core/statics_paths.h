// The names a clear or a freeze works with, and the refusals it makes before touching any file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/core/safe_replace.h"

namespace mirnax {

// The name a statics file is kept under while it is rewritten: its extension replaced by ".xxx"
// (appended when it has none). "C:\game\staidx0.mul" gives "C:\game\staidx0.xxx".
std::string FreezeTempName(std::string_view path);

// The file a configured path names, its links followed: a freeze replaces a link's target and
// keeps the link.
std::string StaticsFile(const std::string& path);

// True when both names lie in one folder, however it is reached.
bool SameFolder(const std::string& a, const std::string& b);

// Refuses, before anything is touched, a pair of paths that a clear or a freeze cannot handle
// safely: one file given twice, two paths with the same temporary name, a path that has the
// temporary extension itself, or a ".xxx" file left beside either (it may hold the only copy of
// the statics left by an interrupted freeze; the refusal says, from that freeze's journal, whether
// the ".xxx" files are to be put back or may simply be deleted).
void CheckStaticsPaths(const std::string& indexPath, const std::string& dataPath);

// Refuses, as EFCreateError "Cannot create file %s" with path, a statics file that must not or
// cannot be replaced: a read-only one (no write permission for anyone, or none for this process),
// one that is no plain file, or one whose folder takes no new files. Returns the file's owner,
// group and permission bits, or nothing when there is no file yet. native is path with its links followed.
std::optional<TFileOwnership> CheckReplaceable(const std::string& path, const std::string& native);

}  // namespace mirnax
