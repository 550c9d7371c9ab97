#include "zip/zip_side_output.h"

#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"

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

TSideOutput::TSideOutput(const std::string& target, unsigned mode, TSync sync)
    : target_(target), side_(std::make_unique<TSideFile>(target, target)) {
  struct stat st {};
  mustSync_ = sync == TSync::Always || ::lstat(target.c_str(), &st) == 0;
  // The side file is new and empty. No O_TRUNC: ext4 takes a truncated file for one being
  // rewritten in place and pushes all of it to disk when it is closed.
  out_ = TFileHandle(::open(side_->Name().c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!out_.IsOpen() || ::fchmod(out_.Get(), static_cast<mode_t>(mode) & ~CurrentMask() & 07777) != 0)
    throw EFCreateError(Format(ExceptionText(SFCreateError).c_str(), target.c_str()));
}

void TSideOutput::WrittenUpTo(int64_t end) {
  if (!mustSync_ || end - writebackStart_ < kWritebackStep || !out_.IsOpen()) return;
  // Only a hint: what the disk does not start now, Seal forces all the same.
  ::sync_file_range(out_.Get(), writebackStart_, end - writebackStart_, SYNC_FILE_RANGE_WRITE);
  writebackStart_ = end;
}

bool TSideOutput::Seal() {
  if (!out_.IsOpen()) return false;
  struct stat st {};
  // A previous file that turned up while this was written is replaced as safely as one found first.
  if (mustSync_ || ::lstat(target_.c_str(), &st) == 0) {
    if (::fsync(out_.Get()) != 0) {
      out_.Close();
      return false;
    }
    synced_ = true;
  }
  return out_.Close() == 0;
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
  // A new name in the folder replaced nothing: like the file's data, it is left to the system.
  if (!synced_) return TInstalled::Done;
  try {
    SyncFolderOf(target_);
  } catch (const Exception&) {
    // The rename is done; a folder that cannot be forced to disk changes nothing the caller can mend.
  }
  return TInstalled::Done;
}

}  // namespace mirnax::zip_files
