#include "zip/widgets/qt_zip_desktop.h"

#include "toolkit/widgets/application.h"
#include "zip/widgets/disk_format_dialog.h"

#include <QApplication>
#include <QCursor>

namespace mirnax {

namespace {
TZipDesktop* installed = nullptr;
}  // namespace

TZipDesktop& ZipDesktop() {
  if (installed != nullptr) return *installed;
  // A screen is enough for the cursor; the format dialog asks for widgets itself.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    static TQtZipDesktop widgets;
    return widgets;
  }
  static TPlainZipDesktop plain;
  return plain;
}

TZipDesktop* SetZipDesktop(TZipDesktop* desktop) {
  TZipDesktop* previous = installed;
  installed = desktop;
  return previous;
}

bool TQtZipDesktop::BeginBusy() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  return true;
}

void TQtZipDesktop::EndBusy() { QGuiApplication::restoreOverrideCursor(); }

std::string TQtZipDesktop::BoxCaption() {
  if (Application != nullptr && !Application->Title().empty()) return Application->Title();
  return QCoreApplication::applicationName().toStdString();
}

int TQtZipDesktop::FormatDisk(const std::string& root, const std::string& label, bool confirmErase, std::string& error) {
  return RunDiskFormat(root, label, confirmErase, error);
}

}  // namespace mirnax
