// The disk service: which drive holds a path, what kind of drive it is, its free space and size,
// the label of the medium in it, and labelling and formatting. A drive is the mount that holds a
// path; its mount point (ending in '/') is the drive root. Programs use the installed service
// (Disks()); tests and the gallery install a simulated removable drive.
#pragma once

#include <cstdint>
#include <string>

#include "mirnax/mirnax_export.h"

namespace mirnax {

/// What kind of drive a root is: unknown, no such root, removable, fixed or remote.
enum TDriveType { dtUnknown = 0, dtNoRootDir = 1, dtRemovable = 2, dtFixed = 3, dtRemote = 4 };

/// The disk service: drives, free space, labels and formatting, replaceable for tests.
class MIRNAX_EXPORT TDiskService {
 public:
  virtual ~TDiskService() = default;
  /// The root of the drive that holds path (it need not exist yet; its folder is looked at), or
  /// an empty text when there is none.
  virtual std::string DriveRoot(const std::string& path) = 0;
  virtual TDriveType DriveType(const std::string& root) = 0;  ///< The kind of the drive at root.
  /// Bytes free to the caller and total bytes of the medium; false when the drive cannot be
  /// measured (no medium, an unreadable file system).
  virtual bool FreeAndSize(const std::string& root, int64_t& freeBytes, int64_t& sizeBytes) = 0;
  /// The label of the medium in the drive (empty when it has none); false when no medium can be
  /// read.
  virtual bool VolumeLabel(const std::string& root, std::string& label) = 0;
  /// Labels the medium; false with a reason when it cannot.
  virtual bool SetVolumeLabel(const std::string& root, const std::string& label, std::string& error) = 0;
  /// Makes an empty file system with the label on the medium (quick: no erasing pass), found at
  /// the same root afterwards; false with a reason when it cannot.
  virtual bool Format(const std::string& root, const std::string& label, bool quick, std::string& error) = 0;
  /// The user answered a prompt to put a disk into the drive; wantedLabel names the disk asked
  /// for (empty: the last disk of a set). A drive with swappable media changes its medium here.
  virtual void DiskPromptAnswered(const std::string& root, const std::string& wantedLabel) {
    (void)root;
    (void)wantedLabel;
  }
};

/// The service in use: the installed one, else the platform's.
MIRNAX_EXPORT TDiskService& Disks();
/// Installs a service (not owned); nullptr goes back to the platform's. Returns the previous one.
MIRNAX_EXPORT TDiskService* SetDisks(TDiskService* service);

/// The platform's service: mounts from /proc/self/mountinfo; removable devices from /sys, else
/// from udisks2; space from statvfs; labels from udev's label links, else libblkid; labelling and
/// formatting through udisks2 on the system bus, which fail with a reason when udisks2 is not
/// reachable.
class MIRNAX_EXPORT TLinuxDisks : public TDiskService {
 public:
  std::string DriveRoot(const std::string& path) override;
  /// dtRemovable, dtFixed or dtRemote as the mount says.
  TDriveType DriveType(const std::string& root) override;
  bool FreeAndSize(const std::string& root, int64_t& freeBytes, int64_t& sizeBytes) override;
  bool VolumeLabel(const std::string& root, std::string& label) override;
  bool SetVolumeLabel(const std::string& root, const std::string& label, std::string& error) override;
  bool Format(const std::string& root, const std::string& label, bool quick, std::string& error) override;
};

}  // namespace mirnax
