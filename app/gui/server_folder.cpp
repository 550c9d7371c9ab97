#include "app/gui/server_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "app/core/config.h"

namespace mirnax {

namespace {
constexpr const char* RecentKey = "RecentFolders";

QSettings UserSettings() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "mirnax", "mirnax"); }
}  // namespace

bool IsServerFolder(const std::string& folder) {
  const QDir dir(QString::fromStdString(folder));
  if (QFileInfo(dir.filePath(ConfigFileName)).isFile()) return true;
  const QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  return std::any_of(folders.begin(), folders.end(),
                     [](const QString& name) { return name.compare("STATICS", Qt::CaseInsensitive) == 0; });
}

std::vector<std::string> TRecentFolders::List() const {
  std::vector<std::string> out;
  for (const QString& folder : UserSettings().value(RecentKey).toStringList())
    if (QFileInfo(folder).isDir()) out.push_back(folder.toStdString());
  return out;
}

void TRecentFolders::Add(const std::string& folder) {
  QSettings settings = UserSettings();
  QStringList list = settings.value(RecentKey).toStringList();
  const QString added = QString::fromStdString(folder);
  list.removeAll(added);
  list.prepend(added);
  while (list.size() > Kept) list.removeLast();
  settings.setValue(RecentKey, list);
}

}  // namespace mirnax
