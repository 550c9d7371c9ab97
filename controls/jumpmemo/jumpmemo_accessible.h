// What assistive tools learn of a TJumpMemo: read-only text of several lines, the memo's lines
// (Windows-1251) as Unicode, through Qt's accessibility text interface. The factory that makes it
// is installed by the first memo made.
#pragma once

namespace mirnax {

// Installs the factory once; later calls do nothing.
void InstallJumpMemoAccessibility();

}  // namespace mirnax
