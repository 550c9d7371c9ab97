// Windows-1251, the memo's 8-bit character set, to Unicode: the text stays in bytes and is
// converted only where Qt draws or measures it.
#pragma once

#include <QString>
#include <string_view>

#include "mirnax/mirnax_export.h"

namespace mirnax {

/// The Unicode character of each byte; 0x98, unassigned in the set, is kept as U+0098.
extern const char16_t kCp1251ToUnicode[256];

/// The exact text.
MIRNAX_EXPORT QString Cp1251ToQString(std::string_view s);
/// The text as the memo draws and measures it: control bytes (below 0x20, 0x7F and the unassigned
/// 0x98) become spaces, so that a tab or a NUL occupies one ordinary cell instead of a tab stop
/// or nothing; the soft hyphen 0xAD becomes a hyphen, which Qt would otherwise draw with no width.
MIRNAX_EXPORT QString Cp1251ToDisplay(std::string_view s);
MIRNAX_EXPORT QChar Cp1251DisplayChar(unsigned char c);  ///< The character Cp1251ToDisplay makes of one byte.

}  // namespace mirnax
