#include "controls/jumpmemo/jumpmemo_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "toolkit/widgets/cp1251.h"

namespace mirnax {

bool SetClipboardText(const std::string& text) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  QClipboard* const clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setText(Cp1251ToQString(text));
  return true;
}

}  // namespace mirnax
