// The application object: title, and the standard error box for an error that escapes a handler.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>
#include <string>

#include "mirnax/mirnax_export.h"

namespace mirnax {

/// The application object: a title, errors that escape an event handler shown instead of ending the program,
/// and help requests.
class MIRNAX_EXPORT TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);  ///< The application of argc and argv, as QApplication takes them.
  ~TApplication() override;

  /// The program's title, the caption of its error boxes.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);  ///< Sets Title.

  /// Shows the error in the standard error box (caption: the title) through the dialogs service.
  void ShowException(const std::exception& e);
  /// Runs a handler; an error that escapes it ends the handler and is shown, the program goes on.
  void Guard(const std::function<void()>& handler);

  /// Delivers events; an error that escapes an event handler is shown instead of ending the program.
  bool notify(QObject* receiver, QEvent* event) override;

  /// Asks the program to show help on a topic (F1 in a control); a program connects HelpRequested.
  void ShowHelp(int HelpContext);

 signals:
  void HelpRequested(int HelpContext);  ///< Emitted by ShowHelp with the topic.

 private:
  std::string title_;
};

/// The application object of the process (null before one is created).
extern MIRNAX_EXPORT TApplication* Application;

/// Wraps a handler for a signal connection so that an error it raises goes to the error box.
template <typename Object>
auto Handler(Object* object, void (Object::*method)()) {
  return [object, method] {
    if (Application)
      Application->Guard([&] { (object->*method)(); });
    else
      (object->*method)();
  };
}

}  // namespace mirnax
