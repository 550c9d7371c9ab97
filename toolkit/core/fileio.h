// Checked file access. Every failure raises a toolkit exception that names the file and the
// system's reason; nothing is silently short.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/core/exceptions.h"

namespace mirnax {

// The whole file as bytes. Raises EFOpenError "Cannot open file %s" when it cannot be opened or read.
std::string ReadWholeFile(const std::string& fileName);
// Creates (or truncates) the file and writes data. Raises EFCreateError "Cannot create file %s"
// when it cannot be created, EInOutError when a write fails.
void WriteWholeFile(const std::string& fileName, std::string_view data);

bool FileExists(const std::string& fileName);

// "Cannot open file NAME: REASON" and "Cannot create file NAME: REASON", the reason as the system
// or a check gives it (an empty reason gives the first part alone).
EFOpenError OpenFailure(const std::string& fileName, const std::string& reason);
EFCreateError CreateFailure(const std::string& fileName, const std::string& reason);
// OpenFailure for a file whose reading failed with error (errno; 0 gives no reason).
EFOpenError ReadFailure(const std::string& fileName, int error);

enum TFileMode { fmOpenRead, fmOpenReadWrite, fmCreate };

// A raw file handle with checked reads, writes and seeks.
class TFileStream {
 public:
  // fmOpenRead / fmOpenReadWrite raise EFOpenError, fmCreate (create or truncate) EFCreateError.
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream();
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  const std::string& FileName() const { return fileName_; }
  int64_t Size() const;
  int64_t Position() const { return position_; }
  void Seek(int64_t position);
  // Reads exactly count bytes; a short read raises EInOutError ("Read error on %s: ...").
  void ReadBuffer(void* buffer, size_t count);
  // Reads up to count bytes; returns how many were read (0 at the end).
  size_t Read(void* buffer, size_t count);
  // Writes exactly count bytes or raises EInOutError ("Write error on %s: ...").
  void WriteBuffer(const void* buffer, size_t count);
  // Forces the written data to the disk.
  void Flush();
  // Closes the handle, reporting a failure to finish writing; the destructor closes silently.
  void Close();

 private:
  [[noreturn]] void Fail(const char* what, int error) const;

  std::string fileName_;
  int fd_ = -1;
  int64_t position_ = 0;
};

}  // namespace mirnax
