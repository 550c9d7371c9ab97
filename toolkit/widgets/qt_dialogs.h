// The dialogs service on Qt's standard dialogs, the default wherever a QApplication exists.
#pragma once

#include "toolkit/core/dialogs.h"

namespace mirnax {

class TQtDialogs : public TDialogs {
 public:
  bool YesNo(const std::string& text, const std::string& caption, int defaultButton = mbYes) override;
  void Message(const std::string& text, const std::string& caption, TMsgDlgType type) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool OpenFile(const TOpenDialogOptions& options, std::string& fileName) override;
  int Ask(const std::string& text, const std::string& caption, TMsgDlgType type, int buttons,
          int defaultButton) override;
  bool ChooseFolder(const TFolderDialogOptions& options, std::string& folder) override;
};

// "Name|mask|Name|mask" as a Qt name filter list ("Name (mask);;Name (mask)").
std::string QtFilterFromPlatform(const std::string& filter);

}  // namespace mirnax
