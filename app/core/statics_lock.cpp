#include "app/core/statics_lock.h"

#include <cerrno>
#include <cstring>

#include "app/core/statics_pair.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

std::string LockName(const std::string& nativeIndex) { return nativeIndex + ".lock"; }

// Looked up as spelt on disk: while a freeze has moved the index away, a run that names it in
// another letter case still meets the lock of the one that moved it.
TStaticsLock::TStaticsLock(const TStaticsPair& pair) : name_(NativePath(pair.Lock)), lock_(name_, false) {
  // A folder that takes no new file takes no new statics either: the checks refuse the freeze
  // with their own message before anything is written.
  if (lock_.Held() || !lock_.Opened()) return;
  if (lock_.Error() == EWOULDBLOCK)
    throw Exception(Format("another freeze of these files is running (process %s)", lock_.Holder().c_str()));
  throw EInOutError(Format("Cannot lock file %s: %s", name_.c_str(), std::strerror(lock_.Error())), lock_.Error());
}

}  // namespace mirnax
