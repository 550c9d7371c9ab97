// What the platform's disk service (TLinuxDisks, disks.h) asks the system, one question each, so
// that the tests can put each one to a system of their making.
#pragma once

#include <functional>
#include <string>

#include "toolkit/core/disks.h"

namespace mirnax {

// The drive type of a mount from its file system type and its device's removable flag in /sys
// (read from sysRoot, normally "/sys"); a block device /sys does not call removable is asked of
// askRemovable (given the device's name, "sdb1") when that is set.
TDriveType DriveTypeOfMount(const std::string& fsType, const std::string& device, const std::string& sysRoot,
                            const std::function<bool(const std::string&)>& askRemovable = {});

// udisks2 on the system bus, about a block device by its name in /dev ("sdb1"). Every question
// has a short timeout, and nothing waits when udisks2 is not running.
// Whether the device's drive says its medium can be taken out (Removable or MediaRemovable).
bool UdisksDriveRemovable(const std::string& device);
bool UdisksSetLabel(const std::string& device, const std::string& label, std::string& error);
// Unmounts the file system at mountPoint, makes a new one of the same type with the label (quick:
// no erasing pass) and mounts it again; false with a reason when a step fails or the new file
// system is mounted anywhere but at mountPoint.
bool UdisksFormat(const std::string& device, const std::string& mountPoint, const std::string& label, bool quick,
                  std::string& error);

// The label of the file system on a device (or an image file), read by libblkid, or taken from
// blkid's cache when the device cannot be read; false when neither knows it.
bool BlkidLabel(const std::string& devicePath, std::string& label);

}  // namespace mirnax
