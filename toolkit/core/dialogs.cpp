#include "toolkit/core/dialogs.h"

namespace mirnax {

bool TScriptedDialogs::YesNo(const std::string& text, const std::string& caption, int defaultButton) {
  Calls.push_back({"YesNo", text, caption, mtConfirmation, {}, defaultButton});
  if (yesNo_.empty()) return false;
  const bool answer = yesNo_.front();
  yesNo_.pop_front();
  return answer;
}

bool TScriptedDialogs::YesNoWithPicture(const std::string& text, const std::string& caption, int defaultButton,
                                        const std::string& picture) {
  const bool answer = YesNo(text, caption, defaultButton);
  Calls.back().Picture = picture;
  return answer;
}

void TScriptedDialogs::Message(const std::string& text, const std::string& caption, TMsgDlgType type) {
  Calls.push_back({"Message", text, caption, type, {}});
}

bool TScriptedDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  Calls.push_back({"InputQuery", prompt, caption, mtCustom, {}});
  if (inputs_.empty()) return false;
  const auto [ok, answer] = inputs_.front();
  inputs_.pop_front();
  if (ok) value = answer;
  return ok;
}

bool TScriptedDialogs::OpenFile(const TOpenDialogOptions& options, std::string& fileName) {
  Calls.push_back({"OpenFile", options.Title, options.Title, mtCustom, options});
  if (files_.empty()) return false;
  const std::string answer = files_.front();
  files_.pop_front();
  if (answer.empty()) return false;
  fileName = answer;
  return true;
}

bool TScriptedDialogs::ChooseFolder(const TFolderDialogOptions& options, std::string& folder) {
  Call call{"ChooseFolder", options.Title, options.Title, mtCustom, {}};
  call.Folder = options;
  Calls.push_back(call);
  if (folders_.empty()) return false;
  const std::string answer = folders_.front();
  folders_.pop_front();
  if (answer.empty()) return false;
  folder = answer;
  return true;
}

int TScriptedDialogs::Ask(const std::string& text, const std::string& caption, TMsgDlgType type, int buttons,
                          int defaultButton) {
  Calls.push_back({"Ask", text, caption, type, {}, defaultButton});
  if (asks_.empty()) return (buttons & mbCancel) != 0 ? mbCancel : mrNone;
  const int answer = asks_.front();
  asks_.pop_front();
  return answer;
}

}  // namespace mirnax
