#include "toolkit/core/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>

#include "toolkit/core/exceptions.h"

namespace mirnax {

QStringList TranslationFolders() {
  const QString bin = QCoreApplication::applicationDirPath();
  return {bin + "/translations", QDir::cleanPath(bin + "/../share/mirnax/translations")};
}

bool LoadTranslations(const QLocale& locale) {
  auto* qt = new QTranslator(QCoreApplication::instance());
  if (qt->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qt);
  else
    delete qt;
  for (const QString& folder : TranslationFolders()) {
    auto* ours = new QTranslator(QCoreApplication::instance());
    if (ours->load(locale, "mirnax", "_", folder)) {
      QCoreApplication::installTranslator(ours);
      return true;
    }
    delete ours;
  }
  return false;
}

bool LoadTranslations() { return LoadTranslations(QLocale::system()); }

bool TranslationWanted() {
  const auto wanted = [](const char* value) {
    const std::string name = value ? value : "";
    return !(name.empty() || name == "C" || name.starts_with("C.") || name == "POSIX" || name.starts_with("en"));
  };
  if (const char* language = std::getenv("LANGUAGE"); language && *language && wanted(language)) return true;
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* value = std::getenv(variable); value && *value) return wanted(value);
  return false;
}

std::string TrUtf8(const char* context, const char* text) {
  return QCoreApplication::translate(context, text).toStdString();
}


}  // namespace mirnax
