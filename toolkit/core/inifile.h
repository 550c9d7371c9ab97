// INI file access without a cache: every read looks at the file as it is now, every write changes
// the file at once. Values are kept literally (backslashes included).
#pragma once

#include <string>

namespace mirnax {

class TIniFile {
 public:
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& FileName() const { return fileName_; }

  // The value of key in section (both matched without regard to letter case), or def when the
  // file, the section or the key is missing or the file cannot be read.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;

  // Sets key in section to value. Only that key's line changes (or one line, and the section
  // header when needed, is added); every other byte of the file stays as it was, whatever the file
  // holds. The file is replaced through a temporary file, so a failed write leaves it intact; its
  // owner, group and mode stay. Writers (in any process) take turns on a lock beside the file.
  // Raises EFCreateError / EInOutError when the file cannot be written, EFCreateError "Cannot
  // create file %s: the file is read-only" for a file nobody may write. Line breaks in value are
  // written as blanks: a value is one line.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  std::string fileName_;
};

}  // namespace mirnax
