// The dialogs service on Qt's standard dialogs, the default wherever a QApplication exists.
#pragma once

#include "toolkit/core/dialogs.h"

namespace mirnax {

class TQtDialogs : public TDialogs {
 public:
  bool YesNo(const std::string& text, const std::string& caption, int defaultButton = mbYes) override;
  bool YesNoWithPicture(const std::string& text, const std::string& caption, int defaultButton,
                        const std::string& picture) override;
  void Message(const std::string& text, const std::string& caption, TMsgDlgType type) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool OpenFile(const TOpenDialogOptions& options, std::string& fileName) override;
  int Ask(const std::string& text, const std::string& caption, TMsgDlgType type, int buttons,
          int defaultButton) override;
  // Ask with a picture (PNG bytes) in the icon's place; none when empty or not an image.
  int AskWithPicture(const std::string& text, const std::string& caption, TMsgDlgType type, int buttons,
                     int defaultButton, const std::string& picture);
  bool ChooseFolder(const TFolderDialogOptions& options, std::string& folder) override;
};

// "Name|mask|Name|mask" as a Qt name filter list ("Name (mask);;Name (mask)").
std::string QtFilterFromPlatform(const std::string& filter);

}  // namespace mirnax
