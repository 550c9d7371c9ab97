// What the zip component asks of the desktop beyond the dialogs service: the busy cursor it shows
// for the length of an operation, the caption of its boxes, and formatting a disk for a span (the
// format dialog). The component's core reaches widgets only through this seam. Like Dialogs(),
// ZipDesktop() is defined with the widget side (zip/widgets, the zip_widgets library): there, a
// program with a screen gets the cursor and (with widgets) the dialog, any other the
// TPlainZipDesktop.
#pragma once

#include <string>

namespace mirnax {

class TZipDesktop {
 public:
  virtual ~TZipDesktop() = default;
  // Shows the busy cursor; true when it is shown, and EndBusy is then to take it back.
  virtual bool BeginBusy() = 0;
  virtual void EndBusy() = 0;
  // The caption of a box that has none of its own.
  virtual std::string BoxCaption() = 0;
  // Formats the disk in the drive at root with the label: 0 done, -1 failed (error says why),
  // -2 cancelled by the user, -3 no format could be started.
  virtual int FormatDisk(const std::string& root, const std::string& label, bool confirmErase, std::string& error) = 0;
};

// Without widgets: no cursor, the application's name as caption, the format on its thread alone
// while events keep being processed.
class TPlainZipDesktop : public TZipDesktop {
 public:
  bool BeginBusy() override { return false; }
  void EndBusy() override {}
  std::string BoxCaption() override;
  int FormatDisk(const std::string& root, const std::string& label, bool confirmErase, std::string& error) override;
};

// The service in use: the installed one, else the widget one when a QGuiApplication exists, else
// a TPlainZipDesktop.
TZipDesktop& ZipDesktop();
// Installs the service (not owned); nullptr goes back to the default. Returns the previous one.
TZipDesktop* SetZipDesktop(TZipDesktop* desktop);

// The busy cursor for the life of the object.
class TZipBusyCursor {
 public:
  TZipBusyCursor() : desktop_(ZipDesktop()), shown_(desktop_.BeginBusy()) {}
  ~TZipBusyCursor() {
    if (shown_) desktop_.EndBusy();
  }
  TZipBusyCursor(const TZipBusyCursor&) = delete;
  TZipBusyCursor& operator=(const TZipBusyCursor&) = delete;

 private:
  TZipDesktop& desktop_;
  bool shown_;
};

}  // namespace mirnax
