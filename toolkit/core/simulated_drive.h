// A removable drive simulated by a folder: the folder is the drive and shows the files of the
// medium in it. Each medium has a label and a capacity; answering a disk prompt takes the
// medium out (its files are kept aside) and puts another in: the one asked for by label when
// there is one, else the next of a scripted order, else a new blank one. Paths outside the
// folder go to the service that was installed before.
#pragma once

#include "mirnax/mirnax_export.h"
#include "toolkit/core/disks.h"

#include <deque>
#include <string>
#include <vector>

namespace mirnax {

/// A removable drive simulated by a folder, with media that a disk prompt swaps, for tests of spanned
/// archives.
class MIRNAX_EXPORT TSimulatedDrive : public TDiskService {
 public:
  /// folder: the drive (made when missing, emptied); a first medium with the label and capacity
  /// is in it.
  TSimulatedDrive(const std::string& folder, const std::string& label, int64_t capacity);
  ~TSimulatedDrive() override;
  TSimulatedDrive(const TSimulatedDrive&) = delete;
  TSimulatedDrive& operator=(const TSimulatedDrive&) = delete;

  const std::string& Root() const { return root_; }  ///< The drive folder.
  /// Adds a blank medium to the box; its index.
  int AddMedium(const std::string& label, int64_t capacity);
  /// The mediums inserted at the next prompts, in order, before any choice by label.
  void QueueInsert(int medium) { order_.push_back(medium); }
  /// Takes the current medium out and puts the given one in.
  void Insert(int medium);
  /// The next prompts find the drive empty until a medium is inserted.
  void Eject();
  /// Sets the capacity of the blank mediums made at prompts.
  void SetBlankCapacity(int64_t capacity) { blankCapacity_ = capacity; }

  int MediumCount() const { return static_cast<int>(media_.size()); }  ///< The number of media in the box.
  int Current() const { return current_; }  ///< The medium in the drive, -1 when it is empty.
  /// The label of a medium.
  const std::string& Label(int medium) const { return media_[static_cast<size_t>(medium)].label; }
  /// Where a medium's files are: the drive folder for the medium in the drive.
  std::string FilesOf(int medium) const;
  int Prompts() const { return prompts_; }  ///< How many disk prompts were answered.
  int Formats() const { return formats_; }  ///< How many times a medium was formatted.

  std::string DriveRoot(const std::string& path) override;
  /// dtRemovable for the drive folder; other paths as the service before says.
  TDriveType DriveType(const std::string& root) override;
  bool FreeAndSize(const std::string& root, int64_t& freeBytes, int64_t& sizeBytes) override;
  bool VolumeLabel(const std::string& root, std::string& label) override;
  bool SetVolumeLabel(const std::string& root, const std::string& label, std::string& error) override;
  bool Format(const std::string& root, const std::string& label, bool quick, std::string& error) override;
  void DiskPromptAnswered(const std::string& root, const std::string& wantedLabel) override;

 private:
  struct TMedium {
    std::string label;
    int64_t capacity;
  };
  MIRNAX_NO_EXPORT bool Mine(const std::string& path) const;
  MIRNAX_NO_EXPORT int64_t Used() const;

  std::string root_;   ///< the drive folder, ending in '/'
  std::string shelf_;  ///< where mediums out of the drive keep their files
  std::vector<TMedium> media_;
  std::deque<int> order_;
  int current_ = 0;  ///< -1: empty
  int64_t blankCapacity_;
  int prompts_ = 0;
  int formats_ = 0;
  TDiskService* fallback_;  ///< serves every path outside the folder
  TDiskService* previous_;  ///< the installed service, put back at the end
};

}  // namespace mirnax
