#include "zip/zip_desktop.h"

#include "zip/disk_format.h"

#include <QCoreApplication>

namespace mirnax {

std::string TPlainZipDesktop::BoxCaption() { return QCoreApplication::applicationName().toStdString(); }

int TPlainZipDesktop::FormatDisk(const std::string& root, const std::string& label, bool, std::string& error) {
  return FormatDiskOnThread(root, label, error);
}

}  // namespace mirnax
