#include "toolkit/widgets/application.h"

#include "toolkit/core/dialogs.h"
#include "toolkit/core/exceptions.h"

namespace mirnax {

TApplication* Application = nullptr;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) { Application = this; }

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

// Not Qt's application display name: X11 and Wayland append that to every window's caption, and
// the main window's caption is its own.
void TApplication::SetTitle(const std::string& title) { title_ = title; }

void TApplication::ShowException(const std::exception& e) {
  Dialogs().Message(e.what(), title_, mtError);
}

void TApplication::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::bad_alloc&) {
    ShowException(EOutOfMemory());
  } catch (const std::exception& e) {
    ShowException(e);
  }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  Guard([&] { result = QApplication::notify(receiver, event); });
  return result;
}

void TApplication::ShowHelp(int HelpContext) { emit HelpRequested(HelpContext); }

}  // namespace mirnax
