// The memo's way to the system clipboard.
#pragma once

#include <string>

namespace mirnax {

// Hands Windows-1251 text to the clipboard as plain text; false when there is no clipboard (a
// program without a GUI application object).
bool SetClipboardText(const std::string& text);

}  // namespace mirnax
