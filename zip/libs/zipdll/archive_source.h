// The archive file as the archive library reads and rewrites it: the new archive is written to
// "<archive>.~zipping-XXXXXX" beside it, locked while it is written, and renamed over the archive
// when done, so a process that dies leaves a file that says whose it is and that nobody holds.
#pragma once

#include <zip.h>

#include <string>
#include <vector>

namespace ziplib {

// Opens the archive (flags as for zip_open) through that source; nullptr with the library's
// error code in code.
zip_t* OpenArchiveFile(const std::string& name, int flags, int& code);

// The temporaries of the archive that no running process holds: left by one that ended first.
std::vector<std::string> StaleTemporariesOf(const std::string& name);

}  // namespace ziplib
