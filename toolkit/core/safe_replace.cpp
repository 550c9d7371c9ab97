#include "toolkit/core/safe_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace fs = std::filesystem;

namespace {
constexpr const char* SOwnerError = QT_TRANSLATE_NOOP("mirnax::Exception", "Cannot set the owner of %s: %s");
}  // namespace

std::optional<TFileOwnership> OwnershipOf(const std::string& native) {
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return TFileOwnership{st.st_uid, st.st_gid, fs::perms(st.st_mode) & fs::perms::mask};
}

void SetOwnership(const std::string& native, const TFileOwnership& ownership) {
  const int fd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    throw EInOutError(Format(ExceptionText(SOwnerError).c_str(), native.c_str(), std::strerror(error)), error);
  }
  struct stat st {};
  int failed = 0;
  const char* text = SOwnerError;
  if (::fstat(fd, &st) != 0) {
    failed = errno;
  } else if (st.st_uid != ownership.Owner || st.st_gid != ownership.Group) {
    if (::fchown(fd, ownership.Owner, ownership.Group) != 0) {
      // Only root gives a file away; another user keeps it and gives the group where it may.
      failed = errno == EPERM && ::geteuid() != 0 ? 0 : errno;
      if (failed == 0 && st.st_gid != ownership.Group) ::fchown(fd, uid_t(-1), ownership.Group);
    }
  }
  if (failed == 0 && ::fchmod(fd, mode_t(ownership.Perms)) != 0) {
    failed = errno;
    text = QT_TRANSLATE_NOOP("mirnax::Exception", "Cannot set the permissions of %s: %s");
  }
  ::close(fd);
  if (failed != 0)
    throw EInOutError(Format(ExceptionText(text).c_str(), native.c_str(), std::strerror(failed)), failed);
}

TSafeReplace::TSafeReplace(const std::string& path)
    : path_(path), target_(ResolveLinks(NativePath(path))), side_(target_, path) {}

void TSafeReplace::Write(const std::function<void(TFileStream&)>& fill) {
  try {
    TFileStream file(side_.Name(), fmOpenReadWrite);
    if (const auto ownership = OwnershipOf(target_)) SetOwnership(side_.Name(), *ownership);
    fill(file);
    file.Flush();
    file.Close();
  } catch (const EStreamError&) {
    throw EFCreateError(Format(ExceptionText(SFCreateError).c_str(), path_.c_str()));
  } catch (const EInOutError& e) {
    if (e.ErrorCode == 0) throw;
    throw EInOutError(Format(ExceptionText(SWriteError).c_str(), path_.c_str(), std::strerror(e.ErrorCode)),
                      e.ErrorCode);
  }
}

void TSafeReplace::Write(std::string_view bytes) {
  Write([bytes](TFileStream& file) { file.WriteBuffer(bytes.data(), bytes.size()); });
}

void TSafeReplace::Commit(bool replace) {
  if (replace)
    RenameOver(side_.Name(), target_);
  else
    MoveNoReplace(side_.Name(), target_);
  side_.Keep();  // it is the file now
  SyncFolderOf(target_);
}

}  // namespace mirnax
