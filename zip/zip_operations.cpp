// Add, Delete and Extract: each a call of one of the two archive libraries, with what the
// component does around it (a self-extractor's archive taken out and put back, an archive spanned
// after it is made or joined before it is extracted, the directory read again).
#include "zip/zip_builder.h"

#include "zip/zip_codec.h"
#include "zip/zip_file_helpers.h"
#include "zip/zip_libraries.h"
#include "zip/zip_message_ids.h"
#include "zip/zip_messages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace mirnax {

using namespace zip_files;
namespace codec = zip_codec;

std::string TZipBuilder::TempZipName() {
  std::string folder = tempDir_.empty() ? "" : ToPlatformPath(AppendSlash(tempDir_));
  if (folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/";
  }
  std::string name = folder + "zipXXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) throw EZipBuilder(zmNoTempName, true);
  ::close(fd);
  // The library is to start a new archive under this name.
  ::unlink(name.c_str());
  return name;
}

bool TZipBuilder::ArchiveEncrypted() const {
  return std::any_of(zipContents_.begin(), zipContents_.end(),
                     [](const ZipDirEntry& e) { return (e.Flag & codec::kEncryptedFlag) != 0; });
}

void TZipBuilder::ResetOutcome() {
  errCode_ = 0;
  successCnt_ = 0;
  message_.clear();
}

void TZipBuilder::Add() {
  ResetOutcome();
  if (fSpecArgs_.Count() == 0) return ShowZipMessage(zmNothingToAdd, "");
  if (zipFileName_.empty()) return ShowZipMessage(zmArchiveNotFound, "");
  if (unattended_ && addOptions_.Contains(AddEncrypt) && password_.empty()) return ShowZipMessage(zmNoEncryptionPassword, "");
  if (zipBusy_) return;
  cancel_ = false;
  if (HasExtension(zipFileName_, ".exe") && zipSOC_ == 0 && !FileExistsNative(zipFileName_) &&
      ConvertSFX(true) != 0)
    return;
  // Encryption without a password asks for one; no answer adds nothing.
  if (addOptions_.Contains(AddEncrypt) && password_.empty() && GetAddPassword().empty()) return;
  const bool unload = !zipDll_->library.Loaded();
  if (unload && !LoadDll(*zipDll_)) return;
  const bool spanning = addOptions_.Contains(AddDiskSpan) || addOptions_.Contains(AddDiskSpanErase);
  std::string target = ToPlatformPath(zipFileName_);
  std::string sfxPrefix;
  try {
    if (!spanning && HasExtension(zipFileName_, ".exe") && FileExistsNative(zipFileName_))
      sfxPrefix = TakeOutSfxArchive(target);
    if (spanning) {
      if (addOptions_.Contains(AddFreshen) || addOptions_.Contains(AddUpdate)) throw EZipBuilder(zmSpanWithFreshenOrUpdate, true);
      if (HasExtension(zipFileName_, ".exe")) throw EZipBuilder(zmSfxNotSpannable, true);
      target = TempZipName();
      if (verbose_ && OnMessage) OnMessage(this, 0, "Temporary zipfile: " + target);
    }
    if (zipDll_->exec != nullptr) {
      zipBusy_ = true;
      try {
        successCnt_ = RunZipDll(target, false);
        if (successCnt_ > 0 && spanning && WriteSpan(target, zipFileName_) != 0) successCnt_ = 0;
        if (successCnt_ > 0 && !sfxPrefix.empty() && !PutBehindPrefix(sfxPrefix, target, zipFileName_)) {
          successCnt_ = 0;
          ShowZipMessage(zmZipLibraryFailed, "");
        }
      } catch (...) {
        ShowZipMessage(zmZipLibraryFailed, "");
      }
      if (spanning || !sfxPrefix.empty()) ::unlink(target.c_str());
    }
  } catch (const EZipBuilder& e) {
    ShowExceptionError(e);
  }
  cancel_ = false;
  EndZipCall(unload);
}

void TZipBuilder::Delete() {
  ResetOutcome();
  if (fSpecArgs_.Count() == 0) return ShowZipMessage(zmNothingToDelete, "");
  if (!FileExistsNative(zipFileName_)) return ShowZipMessage(zmArchiveNotFound, "");
  if (zipBusy_) return;
  cancel_ = false;
  const bool unload = !zipDll_->library.Loaded();
  if (unload && !LoadDll(*zipDll_)) return;
  if (zipDll_->exec != nullptr) {
    zipBusy_ = true;
    try {
      successCnt_ = RunZipDll(ToPlatformPath(zipFileName_), true);
    } catch (...) {
      ShowZipMessage(zmZipLibraryFailed, "");
    }
  }
  EndZipCall(unload, true);
}

void TZipBuilder::EndZipCall(bool unload, bool deleting) {
  fSpecArgs_.Clear();
  zipRecord_ = nullptr;
  recordTexts_.clear();
  if (unload) UnloadDll(*zipDll_);
  zipBusy_ = false;
  if (successCnt_ <= 0) return;
  const std::string archive = zipFileName_;
  List();
  // A directory that cannot be read again does not undo a delete that was done: say both.
  if (deleting && zipFileName_.empty() && !archive.empty()) {
    const std::string why = message_;
    const std::string text = FormatZipMessage(FormatZipMessage(ZipMessageOrNotice(zmDeletedDirectoryUnread),
                                                               std::to_string(successCnt_)),
                                              ToPlatformPath(archive));
    errCode_ = zmDeletedDirectoryUnread;
    Report(text + (why.empty() ? "" : ": " + why), true);
  }
}

void TZipBuilder::Extract() {
  ResetOutcome();
  if (!FileExistsNative(zipFileName_)) return ShowZipMessage(zmArchiveNotFound, "");
  cancel_ = false;
  if (unzBusy_) return;
  if (unattended_ && addOptions_.Contains(AddEncrypt) && password_.empty()) {
    // A password no one would choose, so that the library never waits for one.
    password_ = std::string(79, static_cast<char>('A' + 6));
    ShowZipMessage(zmNoUnattendedPassword, "");
  } else if (!unattended_ && password_.empty() && ArchiveEncrypted()) {
    GetExtrPassword();
  }
  const bool unload = !unzDll_->library.Loaded();
  if (unload && !LoadDll(*unzDll_)) return;
  // The archive is named from the current folder, which the extraction may change.
  std::error_code error;
  std::string source = std::filesystem::absolute(ToPlatformPath(zipFileName_), error).string();
  if (error) source = ToPlatformPath(zipFileName_);
  std::string joined;
  bool ready = unzDll_->exec != nullptr;
  if (ready && totalDisks_ != 0) {
    joined = tempDir_.empty() ? std::string("/tmp/") : ToPlatformPath(AppendSlash(tempDir_));
    if (ReadSpan(zipFileName_, joined) != 0) ready = false;
    source = joined;
  }
  if (ready) ExtractInBaseFolder(source, joined);
  fSpecArgs_.Clear();
  unzRecord_ = nullptr;
  recordTexts_.clear();
  if (unload) UnloadDll(*unzDll_);
  cancel_ = false;
  unzBusy_ = false;
}

void TZipBuilder::ExtractInBaseFolder(const std::string& source, const std::string& joined) {
  unzBusy_ = true;
  // The library extracts into the current folder; the caller's is given back afterwards, so
  // relative names (the archive's among them) keep meaning what they meant.
  const int callerFolder = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const std::string base = ToPlatformPath(extrBaseDir_);
  struct stat st;
  if (!base.empty() && ::stat(base.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::chdir(base.c_str()) != 0)
    ShowZipMessage(zmUnzipLibraryFailed, "\n" + base + ": " + std::strerror(errno));
  try {
    successCnt_ = RunUnzipDll(source);
  } catch (...) {
    ShowZipMessage(zmUnzipLibraryFailed, "");
  }
  if (!joined.empty()) ::unlink(joined.c_str());
  if (callerFolder >= 0) {
    if (::fchdir(callerFolder) != 0) ShowZipMessage(zmUnzipLibraryFailed, std::string("\n") + std::strerror(errno));
    ::close(callerFolder);
  }
}

}  // namespace mirnax
