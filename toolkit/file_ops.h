// File system steps of the clear and the freeze that the toolkit's streams do not cover: moves
// that never replace a file, side files with names of their own, making a folder's entries durable.
#pragma once

#include <string>

// True when something (a file, a folder, a link) has this name.
bool PathExists(const std::string& native);

// The file a path names: a symbolic link is followed to its target, link after link (the target
// need not exist); any other path is returned unchanged. Replacing the result replaces the
// target and keeps the link.
std::string ResolveLinks(const std::string& native);

// Makes the folder's entries (new names, renames, deletions) durable. Some file systems cannot sync
// a folder; the files' own data is on disk by then, so that is not an error.
void SyncFolderOf(const std::string& native);

// How MoveNoReplace moves a file. Each one falls back to the next where the file system lacks it.
enum TMoveMethod {
  mmRenameNoReplace,  // one rename that refuses an existing target (renameat2 with RENAME_NOREPLACE)
  mmLink,             // a second name for the file, then the first removed
  mmCheckedRename,    // a plain rename after a check that the target does not exist
};

// Moves from to to, but never over an existing file: a target that exists, or appears at the last
// moment, raises EInOutError "Cannot rename %s to %s: File exists" and both stay as they are. Other
// failures raise the same text with the system's reason. The tests choose where to start.
void MoveNoReplace(const std::string& from, const std::string& to, TMoveMethod method = mmRenameNoReplace);

// A new empty file beside native, under a name no other file has ("<native>.Ab3xYz"), created
// with the permissions a new file gets. Removed again when the object ends unless kept. A file that
// cannot be created raises EFCreateError "Cannot create file %s" with reportedAs in place of %s.
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
