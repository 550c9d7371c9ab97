#include "zip/zip_file_helpers.h"

#include "toolkit/core/paths.h"
#include "zip/zip_builder.h"
#include "zip/zip_desktop.h"
#include "zip/zip_message_ids.h"
#include "zip/zip_messages.h"
#include "zip/zip_side_output.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

namespace mirnax {

namespace zip_files {

int64_t ReadFully(int fd, void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd, static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool WriteFully(int fd, const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool CopyRange(int in, int out, int64_t count) {
  std::vector<char> buffer(kCopyBufferSize * 8);
  while (count > 0) {
    const size_t block = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(buffer.size())));
    if (ReadFully(in, buffer.data(), block) != static_cast<int64_t>(block) || !WriteFully(out, buffer.data(), block))
      return false;
    count -= static_cast<int64_t>(block);
  }
  return true;
}

TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

int TFileHandle::Close() {
  if (fd_ < 0) return 0;
  const int result = ::close(fd_);
  fd_ = -1;
  return result;
}

size_t TBufferedReader::Read(void* out, size_t count) {
  auto* dst = static_cast<unsigned char*>(out);
  size_t done = 0;
  while (done < count) {
    if (pos_ == len_) {
      if (count - done >= buffer_.size()) return done + static_cast<size_t>(ReadFully(fd_, dst + done, count - done));
      len_ = static_cast<size_t>(ReadFully(fd_, buffer_.data(), buffer_.size()));
      pos_ = 0;
      if (len_ == 0) break;
    }
    const size_t n = std::min(len_ - pos_, count - done);
    std::memcpy(dst + done, buffer_.data() + pos_, n);
    pos_ += n;
    done += n;
  }
  return done;
}

bool TBufferedReader::Skip(int64_t count) {
  const auto buffered = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(len_ - pos_)));
  pos_ += buffered;
  count -= static_cast<int64_t>(buffered);
  return count == 0 || ::lseek(fd_, count, SEEK_CUR) >= 0;
}

std::string ToPlatformPath(const std::string& path) { return ForwardSlashes(path); }

bool FileExistsNative(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(ToPlatformPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {
std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

bool HasExtension(const std::string& name, const std::string& ext) { return Upper(ExtractFileExt(name)) == Upper(ext); }

size_t ExtensionStart(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || (slash != std::string::npos && dot < slash) ? name.size() : dot;
}

std::string WithExtension(const std::string& name, const std::string& ext) {
  return name.substr(0, ExtensionStart(name)) + ext;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace zip_files

using namespace zip_files;

// ---- The component's file helpers ----

int TZipBuilder::CopyBuffer(int& inFile, int& outFile, int readLen) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBufferSize]);
  if (!buffer) return -2;
  int64_t remaining = readLen;
  for (;;) {
    const size_t want = readLen == -1 ? kCopyBufferSize : static_cast<size_t>(std::min<int64_t>(remaining, kCopyBufferSize));
    if (want == 0) break;
    const int64_t got = ReadFully(inFile, buffer.get(), want);
    if (got > 0 && !WriteFully(outFile, buffer.get(), static_cast<size_t>(got))) return -2;
    if (readLen != -1) remaining -= got;
    ProcessMessages();
    if (got != static_cast<int64_t>(want)) break;
  }
  return 0;
}

int TZipBuilder::CopyFile(const std::string& in, const std::string& out) {
  TZipBusyCursor busy;
  const std::string inName = ToPlatformPath(in), outName = ToPlatformPath(out);
  int inFile = ::open(inName.c_str(), O_RDONLY | O_CLOEXEC);
  if (inFile < 0) return -3;
  TFileHandle inHandle(inFile);
  struct stat st;
  if (::fstat(inFile, &st) != 0 || !S_ISREG(st.st_mode)) return -3;
  // The copy goes to a side file; whatever has the target's name is erased (as HowToDelete says)
  // only once the copy is whole.
  std::unique_ptr<TSideOutput> output;
  try {
    output = std::make_unique<TSideOutput>(outName, 0666);
  } catch (const Exception&) {
    return -1;
  }
  int outFile = output->Get();
  int result = CopyBuffer(inFile, outFile, -1);
  if (result == 0) {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(outFile, times) != 0) result = -4;
    const off_t inSize = ::lseek(inFile, 0, SEEK_END), outSize = ::lseek(outFile, 0, SEEK_END);
    if (result == 0 && (inSize < 0 || outSize < 0 || inSize != outSize)) result = -9;
  }
  inHandle.Close();
  if (!output->Seal() && result == 0) result = -2;
  if (result != 0 && result != -4) return result;
  return InstallOutput(*output, howToDelete_) ? result : -1;
}

bool TZipBuilder::InstallOutput(TSideOutput& output, std::optional<DeleteOpts> how) {
  std::function<int(const std::string&)> erase;
  if (how) erase = [this, how](const std::string& name) { return EraseFile(name, *how); };
  switch (output.Install(erase)) {
    case TSideOutput::TInstalled::Done:
      return true;
    case TSideOutput::TInstalled::OldNotErased:
      Report(FormatZipMessage(FormatZipMessage(ZipMessageOrNotice(zmOldFileNotErased), output.Target()),
                              output.SideName()), true);
      errCode_ = zmOldFileNotErased;
      return false;
    case TSideOutput::TInstalled::NotRenamed:
      Report(FormatZipMessage(FormatZipMessage(ZipMessageOrNotice(zmNewFileNotRenamed), output.Target()),
                              output.SideName()), true);
      errCode_ = zmNewFileNotRenamed;
      return false;
    case TSideOutput::TInstalled::NotReplaced:
      break;
  }
  return false;
}

int TZipBuilder::EraseFile(const std::string& fileName, DeleteOpts how) {
  const std::string name = ToPlatformPath(fileName);
  struct stat st;
  if (::lstat(name.c_str(), &st) != 0) return -1;
  if (how == htdAllowUndo) {
    QFile file(QString::fromStdString(name));
    return file.moveToTrash() ? 0 : 1;
  }
  return ::unlink(name.c_str()) == 0 ? 0 : errno;
}

}  // namespace mirnax
