#include "app/core/statics_lock.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "app/core/statics_pair.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"

namespace mirnax {

namespace {
// The lock's messages are translated in the context "mirnax::TStaticsLock".
std::string LockText(const char* text) { return TrUtf8("mirnax::TStaticsLock", text); }

// Why the lock file name cannot be locked, error being what the system said.
std::string Reason(const std::string& name, int error) {
  struct stat st {};
  if (::lstat(name.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return LockText(QT_TRANSLATE_NOOP("mirnax::TStaticsLock", "it is a folder"));
    if (S_ISLNK(st.st_mode)) return LockText(QT_TRANSLATE_NOOP("mirnax::TStaticsLock", "it is a symbolic link"));
    if (!S_ISREG(st.st_mode)) return ExceptionText(SNotRegularFile);
  }
  return std::strerror(error);
}

// No lock file is there and none can be made: the folder takes no new file.
bool FolderTakesNoFile(const std::string& name, int error) {
  if (PathExists(name)) return false;
  return error == EACCES || error == EPERM || error == EROFS || error == ENOENT || error == ENOTDIR;
}
}  // namespace

std::string LockName(const std::string& nativeIndex) { return nativeIndex + ".lock"; }

// Looked up as spelt on disk: while a freeze has moved the index away, a run that names it in
// another letter case still meets the lock of the one that moved it.
TStaticsLock::TStaticsLock(const TStaticsPair& pair) : name_(NativePath(pair.Lock)), lock_(name_, false) {
  if (lock_.Held()) return;
  const int error = lock_.Error();
  if (error == EWOULDBLOCK)
    throw Exception(Format(
        LockText(QT_TRANSLATE_NOOP("mirnax::TStaticsLock", "another freeze of these files is running (process %s)"))
            .c_str(),
        lock_.Holder().c_str()));
  // A folder that takes no new file takes no new statics either: nothing can be written there, and
  // the checks refuse the freeze with their own message before anything is.
  if (!lock_.Opened() && FolderTakesNoFile(name_, error)) return;
  throw EInOutError(Format(LockText(QT_TRANSLATE_NOOP("mirnax::TStaticsLock", "Cannot lock file %s: %s")).c_str(),
                           name_.c_str(), Reason(name_, error).c_str()),
                    error);
}

}  // namespace mirnax
