// The zip component's message texts by ID, in the user's language (Qt's translations, context
// "TZipBuilder").
#pragma once

#include <optional>
#include <string>

namespace mirnax {

// Text given to an ID that the table lacks, followed by the ID in decimal.
inline constexpr const char* ZipMsgMissingPrefix =
    "ZipMsgXX.res is probably not bound to the executable\nMissing String ID is: ";

std::optional<std::string> ZipMessageText(int ident);
// The text of the ID, or ZipMsgMissingPrefix and the ID when the table lacks it.
std::string ZipMessageOrNotice(int ident);

// The text with its first placeholder (%d, %.1d, %s, ...) replaced by value; a text without one
// is returned as it is. Never reads an argument the text does not have.
std::string FormatZipMessage(const std::string& text, const std::string& value);

}  // namespace mirnax
