#include "toolkit/core/fileio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

std::string ReadWholeFile(const std::string& fileName) {
  try {
    TFileStream file(fileName, fmOpenRead);
    std::string data;
    const int64_t size = file.Size();
    data.resize(static_cast<size_t>(size));
    size_t got = 0;
    while (got < data.size()) {
      const size_t n = file.Read(data.data() + got, data.size() - got);
      if (n == 0) break;
      got += n;
    }
    data.resize(got);
    // A file that grows while read (or reports no size) is read to its end.
    char chunk[65536];
    while (const size_t n = file.Read(chunk, sizeof chunk)) data.append(chunk, n);
    return data;
  } catch (const EInOutError& e) {
    throw ReadFailure(fileName, e.ErrorCode);
  }
}

namespace {
std::string WithReason(const char* text, const std::string& fileName, const std::string& reason) {
  std::string message = Format(ExceptionText(text).c_str(), fileName.c_str());
  if (!reason.empty()) message += ": " + reason;
  return message;
}
}  // namespace

EFOpenError OpenFailure(const std::string& fileName, const std::string& reason) {
  return EFOpenError(WithReason(SFOpenError, fileName, reason));
}

EFCreateError CreateFailure(const std::string& fileName, const std::string& reason) {
  return EFCreateError(WithReason(SFCreateError, fileName, reason));
}

EFOpenError ReadFailure(const std::string& fileName, int error) {
  return OpenFailure(fileName, error != 0 ? std::strerror(error) : "");
}

void WriteWholeFile(const std::string& fileName, std::string_view data) {
  TFileStream file(fileName, fmCreate);
  file.WriteBuffer(data.data(), data.size());
  file.Close();
}

bool FileExists(const std::string& fileName) {
  struct stat st {};
  return ::stat(NativePath(fileName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : fileName_(fileName) {
  const std::string native = NativePath(fileName);
  int flags = O_CLOEXEC;
  switch (mode) {
    case fmOpenRead: flags |= O_RDONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
    case fmCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  // A file opened for reading must be a plain file: a pipe would wait for a writer forever and a
  // device (/dev/zero) never ends. It is opened without waiting and checked before any read.
  if (mode == fmOpenRead) flags |= O_NONBLOCK;
  do {
    fd_ = ::open(native.c_str(), flags, 0666);
  } while (fd_ < 0 && errno == EINTR);
  // The message names the file and gives the system's reason, for the user to act on.
  const auto refuse = [&](int error) {
    if (mode == fmCreate) throw CreateFailure(fileName, std::strerror(error));
    throw OpenFailure(fileName, std::strerror(error));
  };
  if (fd_ < 0) refuse(errno);
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    refuse(EISDIR);
  }
  if (mode == fmOpenRead) {
    if (!S_ISREG(st.st_mode)) {
      ::close(fd_);
      fd_ = -1;
      throw OpenFailure(fileName, ExceptionText(SNotRegularFile));
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

void TFileStream::Fail(const char* text, int error) const {
  throw EInOutError(Format(ExceptionText(text).c_str(), fileName_.c_str(), std::strerror(error)), error);
}

int64_t TFileStream::Size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) Fail(SReadError, errno);
  return st.st_size;
}

void TFileStream::Seek(int64_t position) {
  if (position < 0 || ::lseek(fd_, position, SEEK_SET) < 0)
    Fail(QT_TRANSLATE_NOOP("mirnax::Exception", "Seek error on %s: %s"), position < 0 ? EINVAL : errno);
  position_ = position;
}

size_t TFileStream::Read(void* buffer, size_t count) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, count);
    if (n >= 0) {
      position_ += n;
      return static_cast<size_t>(n);
    }
    if (errno != EINTR) Fail(SReadError, errno);
  }
}

void TFileStream::ReadBuffer(void* buffer, size_t count) {
  auto* p = static_cast<char*>(buffer);
  size_t got = 0;
  while (got < count) {
    const size_t n = Read(p + got, count - got);
    if (n == 0) {
      throw EInOutError(Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception",
                                                               "Read error on %s: the file ends %zu bytes short at "
                                                               "offset %lld"))
                                   .c_str(),
                               fileName_.c_str(), count - got, static_cast<long long>(position_)),
                        0);
    }
    got += n;
  }
}

void TFileStream::WriteBuffer(const void* buffer, size_t count) {
  const auto* p = static_cast<const char*>(buffer);
  while (count > 0) {
    const ssize_t n = ::write(fd_, p, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(SWriteError, errno);
    }
    if (n == 0) Fail(SWriteError, EIO);
    p += n;
    count -= static_cast<size_t>(n);
    position_ += n;
  }
}

void TFileStream::Flush() {
  if (::fsync(fd_) != 0) Fail(SWriteError, errno);
}

void TFileStream::Close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) Fail(SWriteError, errno);
}

}  // namespace mirnax
