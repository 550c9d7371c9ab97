// The ways MoveNoReplace (posix_files.h) can move a file, for the tests that prove each of the
// fallbacks on a file system that has the better ones. Programs call MoveNoReplace.
#pragma once

#include <cstdint>
#include <string>

namespace mirnax {

enum TMoveMethod {
  mmRenameNoReplace,  // one rename that refuses an existing target (renameat2 with RENAME_NOREPLACE)
  mmLink,             // a second name for the file, then the first removed
  mmCheckedRename,    // a plain rename after a check that the target does not exist
};

// MoveNoReplace starting at method; each one falls back to the next where the file system lacks it.
void MoveNoReplaceBy(TMoveMethod method, const std::string& from, const std::string& to);

// How SyncFolderOf forces a folder's entries to disk (fsync unless replaced), for the tests that
// make it fail. Returns the previous one.
using TFolderSync = int (*)(int fd);
TFolderSync SetFolderSync(TFolderSync sync);

// How FreeSpaceOf learns the bytes free for this process in a folder (statvfs unless replaced),
// for the tests that fill a disk. Returns the previous one; -1 from it means unknown.
using TFreeSpaceQuery = int64_t (*)(const std::string& folder);
TFreeSpaceQuery SetFreeSpaceQuery(TFreeSpaceQuery query);

}  // namespace mirnax
