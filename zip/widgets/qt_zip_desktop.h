// The zip component's desktop seam (zip/zip_desktop.h) on Qt's widgets: the wait cursor, the
// application object's title as caption, the format dialog. The default wherever a QApplication
// exists.
#pragma once

#include "zip/zip_desktop.h"

namespace mirnax {

class TQtZipDesktop : public TZipDesktop {
 public:
  bool BeginBusy() override;
  void EndBusy() override;
  // The title of the program's application object, else the application's name.
  std::string BoxCaption() override;
  int FormatDisk(const std::string& root, const std::string& label, bool confirmErase, std::string& error) override;
};

}  // namespace mirnax
