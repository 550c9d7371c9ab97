// Printing of the memo's text in pages of 51 lines, to the toolkit's printer or to a text file.
#pragma once

#include <string>

#include "controls/jumpmemo/jumpmemo_document.h"

class QFont;

namespace mirnax {

// Prints pages FromPage .. ToPage (or all) of the document in font, or writes those lines to the
// text file Name with CR LF ends. A reversed range and printer failures are reported in a box;
// file errors reach the caller.
void PrintDocument(const TJumpDocument& doc, const QFont& font, const std::string& Name, int FromPage, int ToPage,
                   bool ToFile, bool AllPages);

}  // namespace mirnax
