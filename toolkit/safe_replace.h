// Replacing a file whole, so that it holds either its old bytes or the new ones whatever happens.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/posix_files.h"

class TFileStream;

// The permission bits of a plain file, or nothing when there is none under that name.
std::optional<std::filesystem::perms> PermissionsOf(const std::string& native);
// Sets a file's permission bits; EInOutError "Cannot set the permissions of %s: ..." on failure.
void SetPermissions(const std::string& native, std::filesystem::perms perms);

// The new bytes go to a side file beside the file replaced: the path's links are followed (the
// target is replaced, the link stays), the side file gets a name no other file has and is created
// exclusively, it takes over the target's permission bits, its data and then the folder's entries
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
  // "Cannot rename %s to %s: <reason>" and leaves the target as it was when the rename fails.
  void Commit();

 private:
  std::string path_;
  std::string target_;
  TSideFile side_;
};
