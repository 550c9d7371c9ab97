// The dialogs service: message boxes, the input box and the open-file dialog. Wherever a
// QApplication exists the Qt implementation (qt_dialogs.h) serves by default; tests install
// TScriptedDialogs, so nothing modal is shown. Texts are UTF-8.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "mirnax/mirnax_export.h"

namespace mirnax {

/// The icon of a message box: warning, error, information, question or none.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/// Buttons of a message box, combined as bits; Ask returns the one pressed, or mrNone when the box
/// was closed without an answer.
enum TMsgDlgBtn { mbOK = 1, mbCancel = 2, mbYes = 4, mbNo = 8, mbRetry = 16 };
constexpr int mrNone = 0;  ///< No answer: the box was closed.

/// What the open-file dialog shows.
struct TOpenDialogOptions {
  std::string Title;  ///< The dialog's caption.
  std::string InitialDir;  ///< The folder it opens in.
  std::string Filter;      ///< "Name|mask|Name|mask": pairs of a shown name and its masks (";" between masks)
  std::string DefaultExt;  ///< appended when the typed name has no extension
};

/// What the folder dialog shows.
struct TFolderDialogOptions {
  std::string Title;  ///< The dialog's caption.
  std::string InitialDir;  ///< The folder it opens in.
  std::vector<std::string> Offered;  ///< folders offered for a quick pick (the ones used last)
};

/// The dialogs service: message boxes, the input box and the file and folder dialogs, replaceable for tests
/// and unattended runs.
class MIRNAX_EXPORT TDialogs {
 public:
  virtual ~TDialogs() = default;
  /// A Yes/No box whose default button (the one Return presses) is defaultButton, mbYes or mbNo;
  /// true when the answer is Yes. Closing the box answers No.
  virtual bool YesNo(const std::string& text, const std::string& caption, int defaultButton = mbYes) = 0;
  /// YesNo with a picture (an image file's bytes, PNG) beside the text, in the icon's place; the
  /// service that cannot show pictures asks without it.
  virtual bool YesNoWithPicture(const std::string& text, const std::string& caption, int defaultButton,
                                const std::string& picture) {
    (void)picture;
    return YesNo(text, caption, defaultButton);
  }
  /// A box with an OK button; type chooses the icon (mtCustom: none).
  virtual void Message(const std::string& text, const std::string& caption, TMsgDlgType type) = 0;
  /// An input box; true with the edited value when confirmed, false (value unchanged) when cancelled.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  /// The open-file dialog; true with the chosen file's full path when confirmed.
  virtual bool OpenFile(const TOpenDialogOptions& options, std::string& fileName) = 0;
  /// A box with the given buttons (TMsgDlgBtn bits) and default button; the button pressed.
  virtual int Ask(const std::string& text, const std::string& caption, TMsgDlgType type, int buttons,
                  int defaultButton) = 0;
  /// The folder dialog; true with the chosen folder's full path when confirmed.
  virtual bool ChooseFolder(const TFolderDialogOptions& options, std::string& folder) = 0;
};

/// The service in use: the installed one, else Qt's boxes when a QApplication exists, else a
/// TScriptedDialogs with no answers. Both are defined with the Qt service (toolkit_gui).
MIRNAX_EXPORT TDialogs& Dialogs();
/// Installs the service (not owned); nullptr goes back to the default. Returns the previous one.
MIRNAX_EXPORT TDialogs* SetDialogs(TDialogs* dialogs);

/// Answers from a script and records every call, for tests and unattended runs. A call without a
/// scripted answer takes the safe one: No, cancel.
class MIRNAX_EXPORT TScriptedDialogs : public TDialogs {
 public:
  /// One recorded call of the service.
  struct Call {
    std::string Kind;  ///< "YesNo", "Message", "InputQuery", "OpenFile", "Ask", "ChooseFolder"
    std::string Text;  ///< The box's text, or the input box's prompt.
    std::string Caption;  ///< The box's caption.
    TMsgDlgType Type = mtCustom;  ///< The icon of a Message or Ask call.
    TOpenDialogOptions Options;  ///< of an OpenFile call
    int DefaultButton = mrNone;  ///< of a YesNo or Ask call
    TFolderDialogOptions Folder;  ///< of a ChooseFolder call
    std::string Picture;          ///< of a YesNoWithPicture call (recorded as a "YesNo")
  };

  void AnswerYesNo(bool yes) { yesNo_.push_back(yes); }  ///< Scripts the answer of the next YesNo.
  /// Scripts the answer of the next InputQuery: confirmed or not, and the value.
  void AnswerInput(bool ok, const std::string& value) { inputs_.push_back({ok, value}); }
  /// An empty name cancels the dialog.
  void AnswerOpenFile(const std::string& fileName) { files_.push_back(fileName); }
  /// The button an Ask box is answered with (mrNone: closed); unscripted, it takes Cancel when
  /// the box has one, else no answer.
  void AnswerAsk(int button) { asks_.push_back(button); }
  /// An empty name cancels the dialog.
  void AnswerFolder(const std::string& folder) { folders_.push_back(folder); }

  bool YesNo(const std::string& text, const std::string& caption, int defaultButton = mbYes) override;
  bool YesNoWithPicture(const std::string& text, const std::string& caption, int defaultButton,
                        const std::string& picture) override;
  void Message(const std::string& text, const std::string& caption, TMsgDlgType type) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool OpenFile(const TOpenDialogOptions& options, std::string& fileName) override;
  int Ask(const std::string& text, const std::string& caption, TMsgDlgType type, int buttons,
          int defaultButton) override;
  bool ChooseFolder(const TFolderDialogOptions& options, std::string& folder) override;

  std::vector<Call> Calls;  ///< Every call so far, in order.

 private:
  std::deque<bool> yesNo_;
  std::deque<std::pair<bool, std::string>> inputs_;
  std::deque<std::string> files_;
  std::deque<int> asks_;
  std::deque<std::string> folders_;
};

}  // namespace mirnax
