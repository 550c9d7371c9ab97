#include "app/core/statics_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "toolkit/exceptions.h"
#include "toolkit/paths.h"
#include "toolkit/sysutils.h"

std::string LockName(const std::string& nativeIndex) { return nativeIndex + ".lock"; }

namespace {
// The process number the holder wrote, or "?" when it cannot be read (it is being written).
std::string HolderOf(int fd) {
  char text[32] = {};
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  std::string pid = n > 0 ? std::string(text, size_t(n)) : "";
  while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
  return pid.empty() ? "?" : pid;
}
}  // namespace

// Looked up as spelt on disk: while a freeze has moved the index away, a run that names it in
// another letter case still meets the lock of the one that moved it.
TStaticsLock::TStaticsLock(const std::string& nativeIndex) : name_(NativePath(LockName(nativeIndex))) {
  for (;;) {
    const int fd = ::open(name_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    // A folder that takes no new file takes no new statics either: the checks refuse the freeze
    // with their own message before anything is written.
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      const std::string holder = error == EWOULDBLOCK ? HolderOf(fd) : "";
      ::close(fd);
      if (error == EWOULDBLOCK)
        throw Exception(Format("another freeze of these files is running (process %s)", holder.c_str()));
      throw EInOutError(Format("Cannot lock file %s: %s", name_.c_str(), std::strerror(error)), error);
    }
    // The holder before may have removed the file between our open and our lock: then the lock
    // is on a file nobody else finds, and a fresh one is taken.
    struct stat opened {}, named {};
    if (::fstat(fd, &opened) == 0 && ::stat(name_.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
        opened.st_ino == named.st_ino) {
      const std::string pid = std::to_string(::getpid()) + "\n";
      if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.data(), pid.size(), 0) == ssize_t(pid.size())) {
        fd_ = fd;
        return;
      }
    }
    ::close(fd);
  }
}

TStaticsLock::~TStaticsLock() {
  if (fd_ < 0) return;
  // Removed while still held: whoever opened it meanwhile finds it gone once it has the lock.
  ::unlink(name_.c_str());
  ::close(fd_);
}
