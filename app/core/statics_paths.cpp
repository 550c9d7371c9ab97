#include "app/core/statics_paths.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "app/core/freeze_journal.h"
#include "app/core/statics_lock.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace fs = std::filesystem;

namespace {
constexpr std::string_view TempExt = ".xxx";

bool SameInode(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(a, b, error);
}

// True when both names lead to one file. A name that does not exist yet is compared by its folder,
// so "d/x.xxx" and "d/sub/../x.xxx" (or a folder reached through a link) count as one name.
bool SameFile(const std::string& a, const std::string& b) {
  if (a == b || SameInode(a, b)) return true;
  return ExtractFileName(a) == ExtractFileName(b) && SameFolder(a, b);
}

// True when a names the working file b in any spelling: the same file, or the same name in
// another letter case in the same folder (a case-insensitive file system finds it so, and a user
// may type it so).
bool NamesWorkingFile(const std::string& a, const std::string& b) {
  return SameFile(a, b) || (SameText(ExtractFileName(a), ExtractFileName(b)) && SameFolder(a, b));
}

// Refuses to go on beside a ".xxx" file, and tells from the journal what to do with it.
void RefuseLeftovers(const std::string& index, const std::string& indexTemp, const std::string& data,
                     const std::string& dataTemp) {
  const bool indexLeft = PathExists(indexTemp), dataLeft = PathExists(dataTemp);
  if (!indexLeft && !dataLeft) return;
  const auto both = [&](const std::string& a, const std::string& b) {
    return indexLeft && dataLeft ? a + " and " + b : indexLeft ? a : b;
  };
  switch (ReadJournal(NativePath(JournalName(index))).Step) {
    case jsComplete:
      throw Exception(Format("A freeze was interrupted after it had completed the new statics files %s and %s. The "
                             "previous statics left as %s are no longer needed: delete %s, then start again.",
                             index.c_str(), data.c_str(), both(indexTemp, dataTemp).c_str(),
                             both(indexTemp, dataTemp).c_str()));
    case jsMoving:
      throw Exception(Format("A freeze did not finish: the previous statics are kept as %s, and what it wrote under "
                             "the configured names is not complete. Put back %s, then start again.",
                             both(indexTemp, dataTemp).c_str(),
                             both(indexTemp + " as " + index, dataTemp + " as " + data).c_str()));
    case jsNone:
      break;
  }
  // Without a journal nothing tells whether the file is the only copy of the previous statics: it is
  // kept, and the operator decides which pair is whole.
  const std::string& left = indexLeft ? indexTemp : dataTemp;
  throw Exception(Format("The file %s is left from a freeze that did not finish and may hold the only copy of the "
                         "previous statics; nothing tells whether %s is whole. Keep it: put it back as %s if the "
                         "statics files are not whole, or else move it out of this folder, then start again.",
                         left.c_str(), (indexLeft ? index : data).c_str(), (indexLeft ? index : data).c_str()));
}
}  // namespace

std::string FreezeTempName(std::string_view path) { return ChangeFileExt(path, TempExt); }

std::string StaticsFile(const std::string& path) { return ResolveLinks(NativePath(path)); }

bool SameFolder(const std::string& a, const std::string& b) { return SameInode(FolderOf(a), FolderOf(b)); }

void CheckStaticsPaths(const std::string& indexPath, const std::string& dataPath) {
  // An empty path names no file; opening or creating it fails with the system's message.
  if (indexPath.empty() || dataPath.empty()) return;
  const std::string index = StaticsFile(indexPath);
  const std::string data = StaticsFile(dataPath);
  for (const std::string* path : {&indexPath, &dataPath, &index, &data}) {
    if (SameText(ExtractFileExt(*path), TempExt)) {
      throw Exception(Format("The statics file %s has the extension %s, which is kept for the previous files while "
                             "the statics are rewritten. Rename it.",
                             path->c_str(), std::string(TempExt).c_str()));
    }
  }
  if (SameFile(index, data)) {
    throw Exception(Format("The statics index file and the statics data file must be two different files (%s, %s).",
                           indexPath.c_str(), dataPath.c_str()));
  }
  const std::string indexTemp = NativePath(FreezeTempName(index));
  const std::string dataTemp = NativePath(FreezeTempName(data));
  if (SameFile(indexTemp, dataTemp)) {
    throw Exception(Format("The statics index file %s and the statics data file %s would both be kept as %s while "
                           "the statics are rewritten. Give them different names.",
                           indexPath.c_str(), dataPath.c_str(), indexTemp.c_str()));
  }
  // The journal, the lock and the backup live beside the statics under names of their own; a
  // statics file under one of them would be overwritten or deleted by the freeze.
  for (const std::string& working :
       {JournalName(index), LockName(index), BackupName(index), BackupName(data), BackupRecordName(index),
        FrozenRecordName(index), BackupName(FrozenRecordName(index))}) {
    for (const auto& [path, native] : {std::pair{&dataPath, &data}, std::pair{&indexPath, &index}}) {
      if (NamesWorkingFile(*native, working)) {
        throw Exception(Format("The statics file %s has the name %s, which a freeze uses for its own working file "
                               "beside the index. Give the statics file another name.",
                               path->c_str(), working.c_str()));
      }
    }
  }
  RefuseLeftovers(index, indexTemp, data, dataTemp);
}

std::optional<TFileOwnership> CheckReplaceable(const std::string& path, const std::string& native) {
  // Whether this process may write is the system's decision (its user, groups and capabilities).
  const auto refuse = [&](const std::string& reason) { throw CreateFailure(path, reason); };
  if (::access(FolderOf(native).c_str(), W_OK | X_OK) != 0) refuse(std::strerror(errno));
  std::error_code error;
  const fs::file_status status = fs::status(native, error);
  if (status.type() == fs::file_type::not_found) return std::nullopt;
  constexpr fs::perms AnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if (error) refuse(error.message());
  if (!fs::is_regular_file(status)) refuse("it is not a regular file");
  if ((status.permissions() & AnyWrite) == fs::perms::none) refuse("the file is read-only");
  if (::access(native.c_str(), W_OK) != 0) refuse(std::strerror(errno));
  return OwnershipOf(native);
}

}  // namespace mirnax
