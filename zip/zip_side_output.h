// A file the component makes in place of another (a conversion, a join, a copy, an archive put
// back behind its program): written whole under a side name beside its target
// ("<target>.~Ab3xYz") and only then put in the target's place. Until then the previous file is
// untouched, so a failure or a killed process leaves it as it was. A file that replaces another,
// or whose source is erased after it, is forced to disk before it takes the name; one that takes
// a free name while its source stays may be left to the system's own write-back, as a plain copy
// is, since forcing a large file to disk takes as long as the disk needs to write it.
#pragma once

#include "toolkit/core/posix_files.h"
#include "zip/zip_file_helpers.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace mirnax::zip_files {

class TSideOutput {
 public:
  static constexpr int64_t kWritebackStep = 16 << 20;

  // How Install ended.
  enum class TInstalled {
    Done,          // the new file has the target's name
    OldNotErased,  // the previous file could not be erased: both stay, the new one under its side name
    NotRenamed,    // the previous file is gone, the new one could not take its name and keeps its side name
    NotReplaced,   // without erase: the new file could not replace the previous one, and is removed
  };

  enum class TSync {
    Always,         // forced to disk before it takes its name
    WhenReplacing,  // only when a file has the target's name by the time it is sealed
  };

  // A side file beside target (a native path), opened for writing with the permission bits of
  // mode the user's mask allows. Raises EFCreateError when no side file can be created there.
  TSideOutput(const std::string& target, unsigned mode, TSync sync = TSync::Always);
  TSideOutput(const TSideOutput&) = delete;
  TSideOutput& operator=(const TSideOutput&) = delete;

  int Get() const { return out_.Get(); }
  const std::string& Target() const { return target_; }
  const std::string& SideName() const { return side_->Name(); }

  // Tells how far the file is written. When it is to be forced to disk, every kWritebackStep
  // bytes the disk is asked to start writing what lies before, so that the disk writes beside
  // the writer and Seal waits for the last piece only.
  void WrittenUpTo(int64_t end);
  // Closes the new file, first forcing its data to disk as the TSync says; false when either fails.
  bool Seal();
  // Erases a previous file through erase (0: erased; any other value: it stays) and gives the new
  // file the target's name, the folder's entries then forced to disk. Without erase the new file
  // replaces the previous one in one step. A side file that is not installed is removed when the
  // object goes, unless Install kept it.
  TInstalled Install(const std::function<int(const std::string&)>& erase);

 private:
  std::string target_;
  std::unique_ptr<TSideFile> side_;
  TFileHandle out_;
  bool mustSync_ = true;        // forced to disk whatever Seal finds
  bool synced_ = false;         // Seal forced the new file to disk
  int64_t writebackStart_ = 0;  // what lies before has been handed to the disk
};

}  // namespace mirnax::zip_files
