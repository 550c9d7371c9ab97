// One freeze at a time per statics pair: an exclusive lock on a file beside the index, held by
// the window and the terminal alike from a freeze's first check to its last delete.
#pragma once

#include <string>

#include "toolkit/core/posix_files.h"

namespace mirnax {

// "<index>.lock", beside the index file (its links followed).
std::string LockName(const std::string& nativeIndex);

class TStaticsPair;

// Takes the lock of the pair (none when its folder takes no new file: nothing can be written
// there, and the freeze's checks say so), or raises Exception "another freeze of these files is
// running (process N)" at once, having touched nothing. A lock file that cannot be taken (a folder
// or a link under its name, a file this process may not write, its process number not written for
// a full disk or a file size limit) raises EInOutError "Cannot lock file %s: <reason>" at once. The
// lock file holds the holder's process number; it is removed while the lock is still held, so a
// later run never locks a file nobody else can see.
class TStaticsLock {
 public:
  explicit TStaticsLock(const TStaticsPair& pair);

 private:
  std::string name_;  // the lock file as spelt on disk when it was taken
  TLockFile lock_;
};

}  // namespace mirnax
