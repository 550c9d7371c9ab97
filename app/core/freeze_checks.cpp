#include "app/core/freeze_checks.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "app/core/freeze_journal.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"

namespace mirnax {

namespace fs = std::filesystem;

std::string CheckText(const char* text) { return TrUtf8("mirnax::FreezeChecks", text); }

namespace {
std::string Megabytes(int64_t bytes) {
  return Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks", "%.1f MB")).c_str(), double(bytes) / 1e6);
}

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
void RefuseLeftovers(const TStaticsPair& pair) {
  const std::string &index = pair.Index.Native, &indexTemp = pair.Index.Temp;
  const std::string &data = pair.Data.Native, &dataTemp = pair.Data.Temp;
  const bool indexLeft = PathExists(indexTemp), dataLeft = PathExists(dataTemp);
  if (!indexLeft && !dataLeft) return;
  const auto both = [&](const std::string& a, const std::string& b) {
    return indexLeft && dataLeft
               ? Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks", "%s and %s")).c_str(), a.c_str(), b.c_str())
           : indexLeft ? a
                       : b;
  };
  // "x.xxx as x": a file to put back under its name.
  const auto putBack = [](const std::string& left, const std::string& name) {
    return Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks", "%s as %s")).c_str(), left.c_str(), name.c_str());
  };
  switch (ReadJournal(pair.Journal).Step) {
    case jsComplete:
      throw Exception(
          Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                             "A freeze was interrupted after it had completed the new statics files %s "
                                             "and %s. The previous statics left as %s are no longer needed: "
                                             "delete %s, then start again."))
                     .c_str(),
                 index.c_str(), data.c_str(), both(indexTemp, dataTemp).c_str(), both(indexTemp, dataTemp).c_str()));
    case jsMoving:
      throw Exception(
          Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                             "A freeze did not finish: the previous statics are kept as %s, "
                                             "and what it wrote under the configured names is not complete. "
                                             "Put back %s, then start again."))
                     .c_str(),
                 both(indexTemp, dataTemp).c_str(), both(putBack(indexTemp, index), putBack(dataTemp, data)).c_str()));
    case jsNone:
      break;
  }
  // Without a journal nothing tells whether the file is the only copy of the previous statics: it is
  // kept, and the operator decides which pair is whole.
  const std::string& left = indexLeft ? indexTemp : dataTemp;
  throw Exception(
      Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                         "The file %s is left from a freeze that did not finish and may hold the "
                                         "only copy of the previous statics; nothing tells whether %s is "
                                         "whole. Keep it: put it back as %s if the statics files are not "
                                         "whole, or else move it out of this folder, then start again."))
                 .c_str(),
             left.c_str(), (indexLeft ? index : data).c_str(), (indexLeft ? index : data).c_str()));
}
}  // namespace

void CheckStaticsPaths(const TStaticsPair& pair) {
  if (!pair.Given()) return;
  const TStaticsFile &index = pair.Index, &data = pair.Data;
  for (const std::string* path : {&index.Given, &data.Given, &index.Native, &data.Native}) {
    if (SameText(ExtractFileExt(*path), FreezeTempExt)) {
      throw Exception(
          Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                             "The statics file %s has the extension %s, which is kept for the "
                                             "previous files while the statics are rewritten. Rename it."))
                     .c_str(),
                 path->c_str(), std::string(FreezeTempExt).c_str()));
    }
  }
  if (SameFile(index.Native, data.Native)) {
    throw Exception(Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                                       "The statics index file and the statics data file must be two "
                                                       "different files (%s, %s)."))
                               .c_str(),
                           index.Given.c_str(), data.Given.c_str()));
  }
  if (SameFile(index.Temp, data.Temp)) {
    throw Exception(
        Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                           "The statics index file %s and the statics data file %s would both "
                                           "be kept as %s while the statics are rewritten. Give them "
                                           "different names."))
                   .c_str(),
               index.Given.c_str(), data.Given.c_str(), index.Temp.c_str()));
  }
  // The journal, the lock and the backup live beside the statics under names of their own; a
  // statics file under one of them would be overwritten or deleted by the freeze.
  for (const std::string& working : pair.WorkingNames()) {
    for (const TStaticsFile* file : {&data, &index}) {
      if (NamesWorkingFile(file->Native, working)) {
        throw Exception(
            Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                               "The statics file %s has the name %s, which a freeze uses for its "
                                               "own working file beside the index. Give the statics file "
                                               "another name."))
                       .c_str(),
                   file->Given.c_str(), working.c_str()));
      }
    }
  }
  RefuseLeftovers(pair);
}

std::optional<TFileOwnership> CheckReplaceable(const TStaticsFile& file) {
  const std::string &path = file.Given, &native = file.Native;
  // Whether this process may write is the system's decision (its user, groups and capabilities).
  const auto refuse = [&](const std::string& reason) { throw CreateFailure(path, reason); };
  if (::access(file.Folder.c_str(), W_OK | X_OK) != 0) refuse(std::strerror(errno));
  std::error_code error;
  const fs::file_status status = fs::status(native, error);
  if (status.type() == fs::file_type::not_found) return std::nullopt;
  constexpr fs::perms AnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if (error) refuse(error.message());
  if (!fs::is_regular_file(status)) refuse(ExceptionText(SNotRegularFile));
  if ((status.permissions() & AnyWrite) == fs::perms::none) refuse(ExceptionText(SReadOnlyFile));
  if (::access(native.c_str(), W_OK) != 0) refuse(std::strerror(errno));
  return OwnershipOf(native);
}

void CheckClearStatics(const TStaticsPair& pair) {
  for (const std::string* path : {&pair.Index.Given, &pair.Data.Given})
    if (path->empty()) throw EFCreateError(Format(ExceptionText(SFCreateError).c_str(), ""));
  CheckStaticsPaths(pair);
  CheckReplaceable(pair.Index);
  CheckReplaceable(pair.Data);
}

void CheckFreeSpace(const TStaticsPair& pair, int64_t indexBytes, int64_t dataBytes) {
  const auto check = [](const std::string& file, int64_t needed) {
    const int64_t free = FreeSpaceOf(file);
    if (free < 0 || free >= needed) return;
    throw EInOutError(
        Format(CheckText(QT_TRANSLATE_NOOP("mirnax::FreezeChecks",
                                           "Not enough free space for the new statics: %s is needed beside "
                                           "%s, %s is free."))
                   .c_str(),
               Megabytes(needed).c_str(), file.c_str(), Megabytes(free).c_str()),
        ENOSPC);
  };
  if (pair.OneFolder) {
    check(pair.Index.Native, indexBytes + dataBytes);
  } else {
    check(pair.Index.Native, indexBytes);
    check(pair.Data.Native, dataBytes);
  }
}

}  // namespace mirnax
