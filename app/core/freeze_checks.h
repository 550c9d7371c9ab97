// The refusals a clear or a freeze makes before touching any file.
#pragma once

#include <cstdint>
#include <optional>

#include "app/core/statics_pair.h"
#include "toolkit/core/safe_replace.h"

namespace mirnax {

// A refusal of the checks before a freeze (these, the index's and the paths') in the user's
// language, as UTF-8: translated in the context "mirnax::FreezeChecks".
std::string CheckText(const char* text);

// Refuses, before anything is touched, a pair that a clear or a freeze cannot handle safely: one
// file given twice, two files with the same ".xxx" name, a path that has the extension ".xxx"
// itself, a statics file under one of the pair's working names, or a ".xxx" file left beside
// either (it may hold the only copy of the statics left by an interrupted freeze; the refusal
// says, from that freeze's journal, whether the ".xxx" files are to be put back or may simply be
// deleted). A pair with a path missing passes: opening or creating it fails with the system's message.
void CheckStaticsPaths(const TStaticsPair& pair);

// Refuses, as EFCreateError "Cannot create file %s" with the given path, a statics file that must
// not or cannot be replaced: a read-only one (no write permission for anyone, or none for this
// process), one that is no plain file, or one whose folder takes no new files. Returns the file's
// owner, group and permission bits, or nothing when there is no file yet.
std::optional<TFileOwnership> CheckReplaceable(const TStaticsFile& file);

// The checks a clear makes before it writes anything: both paths given, the files (or, where one
// does not exist yet, their folders) writable, and the refusals of CheckStaticsPaths. A file that
// cannot be written raises EFCreateError "Cannot create file %s".
void CheckClearStatics(const TStaticsPair& pair);

// Refuses, before anything is moved, a freeze whose new files (of these sizes) would not fit
// beside the old ones: EInOutError with ENOSPC.
void CheckFreeSpace(const TStaticsPair& pair, int64_t indexBytes, int64_t dataBytes);

}  // namespace mirnax
