// The string list in use by the memo and the world file loader, and two line-buffer helpers.
#pragma once

#include <string>
#include <string_view>

#include "mirnax/mirnax_export.h"
#include "toolkit/core/classes.h"

namespace mirnax {

/// The string list the memo and the world-file loader use: the toolkit's list with one added operation.
class MIRNAX_EXPORT TS_StringList : public TStringList {
 public:
  /// Appends every line of strings with its attached object.
  void AddTStrings(const TStrings& strings) { AddStrings(strings); }
};

/// Copies s to dest followed by CR LF; returns the position after the LF. dest must have room for
/// s.size() + 2 bytes.
MIRNAX_EXPORT char* CopyLine(char* dest, std::string_view s);

/// s = the characters from src up to, not including, the first NUL, LF, CR or end-of-file mark (26);
/// then one CR is skipped if the stop is a CR, and one LF if the next character is a LF. Returns
/// that position; a NUL or 26 is not skipped, so the caller sees the end of the text. The text must
/// end with a NUL or 26.
MIRNAX_EXPORT const char* ExtractLine(const char* src, std::string& s);

}  // namespace mirnax
