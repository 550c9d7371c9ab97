#include "zip/zip_side_output.h"

#include "toolkit/core/exceptions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace mirnax::zip_files {

namespace {
// The process's file mode mask, read without changing it (other threads may be creating files).
mode_t CurrentMask() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  return 022;
}
}  // namespace

TSideOutput::TSideOutput(const std::string& target, unsigned mode)
    : target_(target), side_(std::make_unique<TSideFile>(target, target)) {
  out_ = TFileHandle(::open(side_->Name().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW));
  if (!out_.IsOpen() || ::fchmod(out_.Get(), static_cast<mode_t>(mode) & ~CurrentMask() & 07777) != 0)
    throw EFCreateError("Cannot create file " + target);
}

bool TSideOutput::Seal() {
  const bool synced = out_.IsOpen() && ::fsync(out_.Get()) == 0;
  return out_.Close() == 0 && synced;
}

TSideOutput::TInstalled TSideOutput::Install(const std::function<int(const std::string&)>& erase) {
  struct stat st {};
  try {
    if (!erase) {
      RenameOver(side_->Name(), target_);
    } else {
      if (::lstat(target_.c_str(), &st) == 0 && erase(target_) != 0) {
        side_->Keep();
        return TInstalled::OldNotErased;
      }
      MoveNoReplace(side_->Name(), target_);
    }
  } catch (const Exception&) {
    if (!erase) return TInstalled::NotReplaced;
    // The new file is whole and on disk: it stays under its side name for the user to take.
    side_->Keep();
    return TInstalled::NotRenamed;
  }
  side_->Keep();
  try {
    SyncFolderOf(target_);
  } catch (const Exception&) {
    // The rename is done; a folder that cannot be forced to disk changes nothing the caller can mend.
  }
  return TInstalled::Done;
}

}  // namespace mirnax::zip_files
