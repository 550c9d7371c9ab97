#include "toolkit/core/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/move_methods.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// Names tried before a side file gives up; each collides only with a file of exactly that name.
constexpr int SideNameAttempts = 100;

constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t SuffixLength = 6;
// Between the name and the random letters: marks a side file, so that one left behind is never
// taken for a user's file such as "mirnax.ini.backup".
constexpr const char* SideMark = ".~";

std::string RandomSuffix() {
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof Letters - 2);
  std::string suffix(SuffixLength, ' ');
  for (char& c : suffix) c = Letters[pick(random)];
  return suffix;
}

[[noreturn]] void MoveFailed(const std::string& from, const std::string& to, int error) {
  throw EInOutError(RenameError(from, to, error), error);
}

// The file system has no such operation (as opposed to refusing this one).
bool Unsupported(int error) { return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP; }
}  // namespace

std::string RenameError(const std::string& from, const std::string& to, int error) {
  return Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception", "Cannot rename %s to %s: %s")).c_str(),
                from.c_str(), to.c_str(), std::strerror(error));
}

void MoveNoReplaceBy(TMoveMethod method, const std::string& from, const std::string& to) {
  switch (method) {
    case mmRenameNoReplace:
      if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
      if (!Unsupported(errno)) MoveFailed(from, to, errno);
      [[fallthrough]];
    case mmLink:
      if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0) return;
        const int error = errno;
        ::unlink(to.c_str());
        MoveFailed(from, to, error);
      }
      // Hard links are refused as EPERM on file systems that have none.
      if (errno != EPERM && errno != EMLINK && !Unsupported(errno)) MoveFailed(from, to, errno);
      [[fallthrough]];
    case mmCheckedRename:
      if (PathExists(to)) MoveFailed(from, to, EEXIST);
      RenameOver(from, to);
      return;
  }
}

void MoveNoReplace(const std::string& from, const std::string& to) { MoveNoReplaceBy(mmRenameNoReplace, from, to); }

void RenameOver(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) MoveFailed(from, to, errno);
}

namespace {
TFolderSync folderSync = ::fsync;
}  // namespace

TFolderSync SetFolderSync(TFolderSync sync) { return std::exchange(folderSync, sync); }

namespace {
int64_t StatFreeSpace(const std::string& folder) {
  struct statvfs st {};
  if (::statvfs(folder.c_str(), &st) != 0) return -1;
  return int64_t(st.f_bavail) * int64_t(st.f_frsize);
}
TFreeSpaceQuery freeSpace = StatFreeSpace;
}  // namespace

TFreeSpaceQuery SetFreeSpaceQuery(TFreeSpaceQuery query) { return std::exchange(freeSpace, query); }

int64_t FreeSpaceOf(const std::string& native) { return freeSpace(FolderOf(native)); }

void SyncFolderOf(const std::string& native) {
  const std::string folder = FolderOf(native);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  const int result = folderSync(fd);
  const int error = errno;
  ::close(fd);
  if (result == 0 || error == EINVAL || error == ENOTSUP || error == EROFS) return;
  throw EInOutError(
      Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception", "Cannot write the folder %s to disk: %s")).c_str(),
             folder.c_str(), std::strerror(error)),
      error);
}

std::vector<std::string> SideFilesOf(const std::string& native) {
  const std::string stem = ExtractFileName(native) + SideMark;
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(FolderOf(native), error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() == stem.size() + SuffixLength && name.starts_with(stem) &&
        name.find_first_not_of(Letters, stem.size()) == std::string::npos && entry.is_regular_file(error))
      found.push_back(entry.path().string());
  }
  return found;
}

namespace {
// The process number the holder wrote, or "?" when it cannot be read (it is being written).
std::string HolderOf(int fd) {
  char text[32] = {};
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  std::string pid = n > 0 ? std::string(text, size_t(n)) : "";
  while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
  return pid.empty() ? "?" : pid;
}

// Writes this process's number into the lock file; 0, or the reason it could not.
int WriteHolder(int fd) {
  if (::ftruncate(fd, 0) != 0) return errno;
  const std::string pid = std::to_string(::getpid()) + "\n";
  for (size_t done = 0; done < pid.size();) {
    const ssize_t n = ::pwrite(fd, pid.data() + done, pid.size() - done, off_t(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    done += size_t(n);
  }
  return 0;
}
}  // namespace

TLockFile::TLockFile(const std::string& name, bool wait) : name_(name) {
  for (;;) {
    const int fd = ::open(name_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) {
      error_ = errno;
      opened_ = false;
      return;
    }
    struct stat opened {}, named {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      // A pipe or a device under the lock's name holds no process number.
      error_ = EINVAL;
      ::close(fd);
      return;
    }
    int locked;
    do {
      locked = ::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR && wait);
    if (locked != 0) {
      error_ = errno;
      if (error_ == EWOULDBLOCK) holder_ = HolderOf(fd);
      ::close(fd);
      return;
    }
    // The holder before may have removed the file between our open and our lock: then the lock
    // is on a file nobody else finds, and a fresh one is taken.
    if (::stat(name_.c_str(), &named) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
      error_ = WriteHolder(fd);
      if (error_ == 0) {
        fd_ = fd;
        return;
      }
      // A lock whose holder cannot be named (a full disk, a file size limit) is given up at once;
      // the file, ours while locked, goes, so no empty lock file is left for the next run to puzzle over.
      ::unlink(name_.c_str());
      ::close(fd);
      return;
    }
    ::close(fd);
  }
}

TLockFile::~TLockFile() {
  if (fd_ < 0) return;
  // Removed while still held: whoever opened it meanwhile finds it gone once it has the lock.
  ::unlink(name_.c_str());
  ::close(fd_);
}

TSideFile::TSideFile(const std::string& native, const std::string& reportedAs) {
  for (int attempt = 0; attempt < SideNameAttempts; ++attempt) {
    std::string name = native + SideMark + RandomSuffix();
    int fd;
    do {
      fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
      ::close(fd);
      name_ = std::move(name);
      return;
    }
    if (errno != EEXIST) break;
  }
  throw CreateFailure(reportedAs, std::strerror(errno));
}

TSideFile::~TSideFile() {
  if (!kept_) ::unlink(name_.c_str());
}

}  // namespace mirnax
