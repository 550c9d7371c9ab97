// Replacing a file whole, so that it holds either its old bytes or the new ones whatever happens.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "toolkit/core/posix_files.h"

namespace mirnax {

class TFileStream;

// What a replaced file keeps of the one it replaces: its owner, its group and its permission bits.
// Extended attributes (and the access lists kept in them) are not carried over, and a file with
// other hard links is replaced under this name only: its other names keep the previous bytes.
struct TFileOwnership {
  uid_t Owner;
  gid_t Group;
  std::filesystem::perms Perms;
};

// The ownership of a plain file, or nothing when there is none under that name.
std::optional<TFileOwnership> OwnershipOf(const std::string& native);
// Gives a file the owner, the group and then the permission bits (a change of owner clears the
// set-id bits). Root gives any owner; another user keeps the owner it has and gives the group
// where it belongs to it. EInOutError "Cannot set the owner of %s: ..." or "Cannot set the
// permissions of %s: ..." on failure.
void SetOwnership(const std::string& native, const TFileOwnership& ownership);

// The new bytes go to a side file beside the file replaced: the path's links are followed (the
// target is replaced, the link stays), the side file gets a name no other file has and is created
// exclusively, it takes over the target's owner, group and permission bits, its data and then the folder's entries
// are forced to disk, and it is renamed over the target. Until Commit the target is untouched;
// a replace that does not reach Commit removes its side file.
class TSafeReplace {
 public:
  // path as the user gave it; errors name it. Raises EFCreateError "Cannot create file %s" when
  // no side file can be created beside the target.
  explicit TSafeReplace(const std::string& path);
  TSafeReplace(const TSafeReplace&) = delete;
  TSafeReplace& operator=(const TSafeReplace&) = delete;

  // The file that Commit replaces: the path with its links followed.
  const std::string& Target() const { return target_; }

  // Fills the side file through fill, forces it to disk and closes it. A failure raises
  // EFCreateError "Cannot create file %s" or EInOutError "Write error on %s: <reason>" for path.
  void Write(const std::function<void(TFileStream&)>& fill);
  void Write(std::string_view bytes);

  // Renames the side file over the target and makes the rename durable. Raises EInOutError
  // "Cannot rename %s to %s: <reason>" and leaves the target as it was when the rename fails. With
  // replace false a target that exists by then is not replaced: the rename fails (EEXIST).
  void Commit(bool replace = true);

 private:
  std::string path_;
  std::string target_;
  TSideFile side_;
};

}  // namespace mirnax
