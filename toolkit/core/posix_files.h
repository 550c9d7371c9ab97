// The file steps that need POSIX itself, because neither Qt nor std::filesystem offers them: a
// move that never replaces a file, a file created only when its name is free, making a folder's
// entries durable. Everything else about files goes through std::filesystem or the toolkit's
// streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mirnax {

// The one text of a failed rename: "Cannot rename %s to %s: <the system's reason>".
std::string RenameError(const std::string& from, const std::string& to, int error);

// Moves from to to, but never over an existing file: a target that exists, or appears at the last
// moment, raises EInOutError "Cannot rename %s to %s: File exists" and both stay as they are. Other
// failures raise the same text with the system's reason. File systems without a no-replace rename
// get the next best way (a link then an unlink, or a checked rename).
void MoveNoReplace(const std::string& from, const std::string& to);

// Renames from over to, replacing it in one step; EInOutError "Cannot rename %s to %s: ..." when
// the system refuses.
void RenameOver(const std::string& from, const std::string& to);

// Makes the entries (new names, renames, deletions) of the folder that holds native durable. Some
// file systems cannot sync a folder (EINVAL, ENOTSUP) and a read-only one needs none: the files'
// own data is on disk by then, so that is not an error. Any other failure (EIO) means the entries
// may not have reached the disk, and raises EInOutError "Cannot write the folder %s to disk: ...".
void SyncFolderOf(const std::string& native);

// The bytes this process may still write in the folder that holds native, or -1 when the system
// cannot tell.
int64_t FreeSpaceOf(const std::string& native);

// The side files (TSideFile) of native that are in its folder now: those a process left when it
// ended before removing them, or those being written at this moment.
std::vector<std::string> SideFilesOf(const std::string& native);

// An exclusive lock (flock) on the file name, created when missing. The file holds the holder's
// process number and is removed by the holder while it still holds it, so it never outlives its
// use and a later taker never locks a file nobody else can see. With wait the constructor blocks
// until the lock is free; without, it returns at once, not holding it.
class TLockFile {
 public:
  TLockFile(const std::string& name, bool wait);
  ~TLockFile();
  TLockFile(const TLockFile&) = delete;
  TLockFile& operator=(const TLockFile&) = delete;

  bool Held() const { return fd_ >= 0; }
  // Why the lock is not held: EWOULDBLOCK when another holds it, EINVAL when the name is no plain
  // file, else the system's error (also the one that kept this process's number from being written:
  // such a lock is given up at once and its file removed).
  int Error() const { return error_; }
  // The holder's process number as it wrote it ("?" when unreadable), when another holds it.
  const std::string& Holder() const { return holder_; }
  // False when the file could not even be opened (a folder that takes no new file).
  bool Opened() const { return opened_; }

 private:
  std::string name_;
  int fd_ = -1;
  int error_ = 0;
  bool opened_ = true;
  std::string holder_;
};

// A new empty file beside native, under a name no other file has ("<native>.~Ab3xYz"), created
// exclusively with the permissions a new file gets. Removed again when the object ends unless kept.
// A file that cannot be created raises EFCreateError "Cannot create file %s" with reportedAs in
// place of %s.
class TSideFile {
 public:
  TSideFile(const std::string& native, const std::string& reportedAs);
  ~TSideFile();
  TSideFile(const TSideFile&) = delete;
  TSideFile& operator=(const TSideFile&) = delete;

  const std::string& Name() const { return name_; }
  // The file has been moved to its final name, or is to stay.
  void Keep() { kept_ = true; }

 private:
  std::string name_;
  bool kept_ = false;
};

}  // namespace mirnax
