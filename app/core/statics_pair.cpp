#include "app/core/statics_pair.h"

#include <filesystem>
#include <system_error>

#include "app/core/freeze_journal.h"
#include "app/core/statics_lock.h"
#include "toolkit/core/paths.h"

namespace mirnax {

namespace {
bool SameInode(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

// The working files are looked up together: a folder listed to find one spelled in another letter
// case is listed once.
TStaticsFile FileNamed(const std::string& given, const std::string& native, TFolderNames& listed) {
  if (given.empty() && native.empty()) return {};
  return {given, native, NativePath(FreezeTempName(native), &listed), BackupName(native), FolderOf(native)};
}

// Names the working files of the pair whose files are index and data.
TStaticsPair Named(TStaticsFile index, TStaticsFile data, TFolderNames& listed) {
  TStaticsPair pair;
  pair.Index = std::move(index);
  pair.Data = std::move(data);
  if (!pair.Index.Native.empty() && !pair.Data.Native.empty())
    pair.OneFolder = SameInode(pair.Index.Folder, pair.Data.Folder);
  const std::string& native = pair.Index.Native;
  if (native.empty()) return pair;
  pair.Journal = NativePath(JournalName(native), &listed);
  pair.Lock = LockName(native);
  pair.BackupRecord = NativePath(BackupRecordName(native), &listed);
  pair.FrozenRecord = NativePath(FrozenRecordName(native), &listed);
  pair.FrozenRecordBackup = BackupName(pair.FrozenRecord);
  return pair;
}

// The file a configured path names: letter case as on disk, links followed.
std::string Followed(const std::string& path) { return path.empty() ? path : ResolveLinks(NativePath(path)); }
}  // namespace

TStaticsPair TStaticsPair::Resolve(const std::string& indexPath, const std::string& dataPath) {
  TFolderNames listed;
  TStaticsFile index = FileNamed(indexPath, Followed(indexPath), listed);
  return Named(std::move(index), FileNamed(dataPath, Followed(dataPath), listed), listed);
}

TStaticsPair TStaticsPair::Recorded(const TJournal& journal) {
  TFolderNames listed;
  TStaticsFile index = FileNamed(journal.Index.Name, journal.Index.Name, listed);
  return Named(std::move(index), FileNamed(journal.Data.Name, journal.Data.Name, listed), listed);
}

std::vector<std::string> TStaticsPair::WorkingNames() const {
  if (Index.Native.empty()) return {};
  return {Journal, Lock, Index.Backup, Data.Backup, BackupRecord, FrozenRecord, FrozenRecordBackup};
}

std::string FreezeTempName(std::string_view path) { return ChangeFileExt(path, FreezeTempExt); }

bool SameFolder(const std::string& a, const std::string& b) { return SameInode(FolderOf(a), FolderOf(b)); }

}  // namespace mirnax
