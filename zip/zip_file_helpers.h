// The zip component's own file helpers, shared by its parts: whole reads and writes, a handle that
// closes itself, a buffered front-to-back reader, copies between handles, and names (the
// platform's separators, extensions). The component's public helpers (CopyBuffer, CopyFile,
// EraseFile) are defined beside them in zip_file_helpers.cpp.
#pragma once

#include "zip/zip_builder.h"
#include "zip/zip_codec.h"

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirnax::zip_files {

inline constexpr int kCopyBufferSize = 8192;

// Reads up to count bytes at the current position; the number read.
int64_t ReadFully(int fd, void* buffer, size_t count);
// Writes all count bytes; false when a write fails.
bool WriteFully(int fd, const void* buffer, size_t count);
// Copies count bytes between the handles' positions; false on a short read or write.
bool CopyRange(int in, int out, int64_t count);

// The fixed part of a record read from the file's position: a short read raises shortId, bytes
// that are not that record badId.
template <class Record>
Record ReadFileRecord(int fd, int shortId, int badId) {
  char bytes[Record::kFixedSize];
  if (ReadFully(fd, bytes, sizeof bytes) != static_cast<int64_t>(sizeof bytes)) throw EZipBuilder(shortId, true);
  Record record;
  if (zip_codec::Decode(std::string_view(bytes, sizeof bytes), record) != zip_codec::TReadResult::Ok)
    throw EZipBuilder(badId, true);
  return record;
}

// An open file's handle, closed when it goes.
class TFileHandle {
 public:
  TFileHandle() = default;
  explicit TFileHandle(int fd) : fd_(fd) {}
  ~TFileHandle() { Close(); }
  TFileHandle(TFileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  TFileHandle& operator=(TFileHandle&& other) noexcept;
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;

  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // 0, or -1 when the close reported a failure (a write that did not reach the disk).
  int Close();

 private:
  int fd_ = -1;
};

// Reads a file front to back through a buffer of its own, so a directory of many entries costs a
// few large reads rather than three small ones per entry.
class TBufferedReader {
 public:
  explicit TBufferedReader(int fd) : fd_(fd), buffer_(1 << 16) {}
  // Reads up to count bytes; the number read.
  size_t Read(void* out, size_t count);
  // Moves past count bytes; false when the file cannot seek there.
  bool Skip(int64_t count);

 private:
  int fd_;
  std::vector<unsigned char> buffer_;
  size_t pos_ = 0;
  size_t len_ = 0;
};

// The name as this platform writes it ('\' as '/').
std::string ToPlatformPath(const std::string& path);
// Whether the name is that of a regular file.
bool FileExistsNative(const std::string& path);
// Whether the name's extension is ext (with its dot), letter case aside.
bool HasExtension(const std::string& name, const std::string& ext);
// Where the extension begins (the name's length when it has none).
size_t ExtensionStart(const std::string& name);
std::string WithExtension(const std::string& name, const std::string& ext);
std::string Lower(std::string s);

}  // namespace mirnax::zip_files
