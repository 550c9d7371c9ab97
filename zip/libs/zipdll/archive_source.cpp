#include "zip/libs/zipdll/archive_source.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace ziplib {

namespace {

constexpr const char* kTempMark = ".~zipping-";
constexpr size_t kTempSuffix = 6;  // the XXXXXX of mkstemp

struct TArchiveFile {
  std::string path;
  int in = -1;
  int out = -1;
  std::string temp;
  zip_error_t error;

  int Fail(int code, int system) {
    zip_error_set(&error, code, system);
    return -1;
  }
  void CloseOut() {
    if (out >= 0) ::close(out);
    out = -1;
  }
};

zip_int64_t Stat(TArchiveFile& f, void* data) {
  struct stat st {};
  if (::stat(f.path.c_str(), &st) != 0) return f.Fail(ZIP_ER_READ, errno);
  auto* zs = static_cast<zip_stat_t*>(data);
  zip_stat_init(zs);
  zs->size = static_cast<zip_uint64_t>(st.st_size);
  zs->mtime = st.st_mtime;
  zs->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
  return sizeof(*zs);
}

zip_int64_t Seek(TArchiveFile& f, int fd, void* data, zip_uint64_t len) {
  auto* args = ZIP_SOURCE_GET_ARGS(zip_source_args_seek_t, data, len, &f.error);
  if (args == nullptr) return -1;
  return ::lseek(fd, args->offset, args->whence) < 0 ? f.Fail(ZIP_ER_SEEK, errno) : 0;
}

zip_int64_t BeginWrite(TArchiveFile& f) {
  f.temp = f.path + kTempMark + "XXXXXX";
  f.out = ::mkostemp(f.temp.data(), O_CLOEXEC);
  if (f.out < 0) return f.Fail(ZIP_ER_TMPOPEN, errno);
  // Held until the temporary is renamed or removed: one nobody holds is a leftover.
  ::flock(f.out, LOCK_EX);
  struct stat st {};
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(f.out, ::stat(f.path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0666 & ~mask);
  return 0;
}

zip_int64_t Commit(TArchiveFile& f) {
  if (::fsync(f.out) != 0) return f.Fail(ZIP_ER_WRITE, errno);
  if (::rename(f.temp.c_str(), f.path.c_str()) != 0) return f.Fail(ZIP_ER_RENAME, errno);
  f.CloseOut();
  f.temp.clear();
  return 0;
}

void Rollback(TArchiveFile& f) {
  if (!f.temp.empty()) ::unlink(f.temp.c_str());
  f.CloseOut();
  f.temp.clear();
}

zip_int64_t Callback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto& f = *static_cast<TArchiveFile*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      f.in = ::open(f.path.c_str(), O_RDONLY | O_CLOEXEC);
      return f.in < 0 ? f.Fail(ZIP_ER_OPEN, errno) : 0;
    case ZIP_SOURCE_READ: {
      ssize_t n;
      do n = ::read(f.in, data, len);
      while (n < 0 && errno == EINTR);
      return n < 0 ? f.Fail(ZIP_ER_READ, errno) : n;
    }
    case ZIP_SOURCE_CLOSE:
      if (f.in >= 0) ::close(f.in);
      f.in = -1;
      return 0;
    case ZIP_SOURCE_STAT: return Stat(f, data);
    case ZIP_SOURCE_SEEK: return Seek(f, f.in, data, len);
    case ZIP_SOURCE_TELL: return ::lseek(f.in, 0, SEEK_CUR);
    case ZIP_SOURCE_BEGIN_WRITE: return BeginWrite(f);
    case ZIP_SOURCE_WRITE: {
      ssize_t n;
      do n = ::write(f.out, data, len);
      while (n < 0 && errno == EINTR);
      return n < 0 ? f.Fail(ZIP_ER_WRITE, errno) : n;
    }
    case ZIP_SOURCE_SEEK_WRITE: return Seek(f, f.out, data, len);
    case ZIP_SOURCE_TELL_WRITE: return ::lseek(f.out, 0, SEEK_CUR);
    case ZIP_SOURCE_COMMIT_WRITE: return Commit(f);
    case ZIP_SOURCE_ROLLBACK_WRITE: Rollback(f); return 0;
    case ZIP_SOURCE_REMOVE: return ::unlink(f.path.c_str()) != 0 && errno != ENOENT ? f.Fail(ZIP_ER_REMOVE, errno) : 0;
    case ZIP_SOURCE_ERROR: return zip_error_to_data(&f.error, data, len);
    case ZIP_SOURCE_FREE:
      if (f.in >= 0) ::close(f.in);
      Rollback(f);
      zip_error_fini(&f.error);
      delete &f;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(
          ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
          ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE,
          ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_REMOVE, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
          ZIP_SOURCE_SUPPORTS, -1);
    default:
      return f.Fail(ZIP_ER_OPNOTSUPP, 0);
  }
}

}  // namespace

zip_t* OpenArchiveFile(const std::string& name, int flags, int& code) {
  auto* state = new TArchiveFile{name, -1, -1, {}, {}};
  zip_error_init(&state->error);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_function_create(Callback, state, &error);
  if (source == nullptr) {
    zip_error_fini(&state->error);
    delete state;
    code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    return nullptr;
  }
  zip_t* za = zip_open_from_source(source, flags, &error);
  if (za == nullptr) {
    code = zip_error_code_zip(&error);
    zip_source_free(source);
  }
  zip_error_fini(&error);
  return za;
}

std::vector<std::string> StaleTemporariesOf(const std::string& name) {
  const size_t slash = name.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
  const std::string stem = (slash == std::string::npos ? name : name.substr(slash + 1)) + kTempMark;
  std::vector<std::string> stale;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return stale;
  while (const dirent* e = ::readdir(dir)) {
    const std::string entry = e->d_name;
    if (entry.size() != stem.size() + kTempSuffix || entry.rfind(stem, 0) != 0) continue;
    const std::string path = slash == std::string::npos ? entry : folder + entry;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) stale.push_back(path);
    ::close(fd);
  }
  ::closedir(dir);
  std::sort(stale.begin(), stale.end());
  return stale;
}

}  // namespace ziplib
