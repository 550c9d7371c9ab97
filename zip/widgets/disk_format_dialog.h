// The format dialog of a span that formats its disks: it shows the drive and the fixed label and
// runs the format thread (zip/disk_format.h) while it stays live.
#pragma once

#include <string>

namespace mirnax {

// Formats the disk in the drive: with widgets, through the format dialog (which starts by itself
// and closes when done unless confirmErase asks the user to start and close it); without, on the
// thread alone while events keep being processed. 0 done, -1 failed, -2 cancelled by the user,
// -3 no format could be started.
int RunDiskFormat(const std::string& root, const std::string& label, bool confirmErase, std::string& error);

}  // namespace mirnax
