// Path helpers for the system's paths, which may be written with '\' (as a user types them or
// mirnax.ini stores them) or '/'. Both count as separators; ':' ends a drive part.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mirnax {

// The separator this (POSIX) platform writes.
inline constexpr char PathDelim = '/';

bool IsPathDelimiter(char c);

// The folder part: the text up to the last separator or colon, without a trailing separator
// unless the folder is a root ("C:\", "/").
std::string ExtractFileDir(std::string_view path);
// The folder that holds path, as a file function takes it: ExtractFileDir, or "." when path names
// no folder.
std::string FolderOf(std::string_view path);
// The name part after the last separator or colon.
std::string ExtractFileName(std::string_view path);
// The extension, from the last dot after the last separator or colon ("" when none).
std::string ExtractFileExt(std::string_view path);
// Replaces the extension (as ExtractFileExt finds it) by ext, or appends ext when there is none.
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// The path with every '\\' turned into '/', nothing else looked up.
std::string ForwardSlashes(std::string_view path);

// Appends the platform's separator unless the text already ends in a separator.
std::string IncludeTrailingPathDelimiter(std::string_view path);

// The path as this platform's file functions take it. On POSIX a path that exists as given is
// returned unchanged; otherwise '\' becomes '/' and each missing part is looked up in its folder
// with letter case ignored, so "STATICS\a.scp" finds "statics/A.SCP".
class TFolderNames;
std::string NativePath(std::string_view path, TFolderNames* listed = nullptr);

// The names in folders, each folder listed once for the lookups of one moment (several names
// looked up beside each other with NativePath): a folder changes, so keep it no longer.
class TFolderNames {
 public:
  // The names in folder ("" is the current one); none when it cannot be listed.
  const std::vector<std::string>& In(const std::string& folder);

 private:
  std::map<std::string, std::vector<std::string>> listed_;
};

// The process's current directory.
std::string GetCurrentDir();

// True when something (a file, a folder, a link, even a broken one) has this name.
bool PathExists(const std::string& native);

// The file a path names: a symbolic link is followed to its target, link after link (the target
// need not exist); any other path is returned unchanged. Replacing the result replaces the
// target and keeps the link.
std::string ResolveLinks(const std::string& native);

}  // namespace mirnax
