#include "toolkit/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>

#include "toolkit/exceptions.h"
#include "toolkit/paths.h"
#include "toolkit/sysutils.h"

namespace {
// Names tried before a side file gives up; each collides only with a file of exactly that name.
constexpr int SideNameAttempts = 100;

std::string RandomSuffix() {
  static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof Letters - 2);
  std::string suffix(6, ' ');
  for (char& c : suffix) c = Letters[pick(random)];
  return suffix;
}

[[noreturn]] void MoveFailed(const std::string& from, const std::string& to, int error) {
  throw EInOutError(Format("Cannot rename %s to %s: %s", from.c_str(), to.c_str(), std::strerror(error)), error);
}

// The file system has no such operation (as opposed to refusing this one).
bool Unsupported(int error) { return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP; }
}  // namespace

void MoveNoReplace(const std::string& from, const std::string& to, TMoveMethod method) {
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
      if (::rename(from.c_str(), to.c_str()) != 0) MoveFailed(from, to, errno);
      return;
  }
}

std::string ResolveLinks(const std::string& native) {
  constexpr int MostLinks = 40;  // as many as the system follows itself
  std::string path = native;
  for (int i = 0; i < MostLinks; ++i) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || size_t(n) >= target.size()) return path;
    target.resize(size_t(n));
    const size_t slash = path.rfind('/');
    if (target[0] != '/' && slash != std::string::npos) target.insert(0, path, 0, slash + 1);
    path = std::move(target);
  }
  return path;  // a loop of links: using it fails with the system's reason
}

bool PathExists(const std::string& native) {
  struct stat st {};
  return ::lstat(native.c_str(), &st) == 0;
}

void SyncFolderOf(const std::string& native) {
  std::string dir = ExtractFileDir(native);
  if (dir.empty()) dir = ".";
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

TSideFile::TSideFile(const std::string& native, const std::string& reportedAs) {
  for (int attempt = 0; attempt < SideNameAttempts; ++attempt) {
    std::string name = native + "." + RandomSuffix();
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
  throw EFCreateError(Format(SFCreateError, reportedAs.c_str()));
}

TSideFile::~TSideFile() {
  if (!kept_) ::unlink(name_.c_str());
}
