#include "toolkit/widgets/qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QUrl>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPixmap>

#include "toolkit/core/paths.h"

namespace mirnax {

namespace {
QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

TDialogs* installed = nullptr;
}  // namespace

TDialogs& Dialogs() {
  if (installed) return *installed;
  // A program with widgets shows real boxes without asking; one without (a tool, a test on
  // QCoreApplication) cannot, and gets the silent answers.
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    static TQtDialogs boxes;
    return boxes;
  }
  static TScriptedDialogs silent;
  return silent;
}

TDialogs* SetDialogs(TDialogs* dialogs) {
  TDialogs* previous = installed;
  installed = dialogs;
  return previous;
}

bool TQtDialogs::YesNo(const std::string& text, const std::string& caption, int defaultButton) {
  return Ask(text, caption, mtConfirmation, mbYes | mbNo, defaultButton) == mbYes;
}

namespace {
QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: break;
  }
  return QMessageBox::NoIcon;
}

constexpr std::pair<int, QMessageBox::StandardButton> kButtons[] = {
    {mbOK, QMessageBox::Ok}, {mbCancel, QMessageBox::Cancel}, {mbYes, QMessageBox::Yes},
    {mbNo, QMessageBox::No}, {mbRetry, QMessageBox::Retry}};
}  // namespace

void TQtDialogs::Message(const std::string& text, const std::string& caption, TMsgDlgType type) {
  QMessageBox box(IconOf(type), Q(caption), Q(text), QMessageBox::Ok);
  box.exec();
}

int TQtDialogs::Ask(const std::string& text, const std::string& caption, TMsgDlgType type, int buttons,
                    int defaultButton) {
  return AskWithPicture(text, caption, type, buttons, defaultButton, {});
}

bool TQtDialogs::YesNoWithPicture(const std::string& text, const std::string& caption, int defaultButton,
                                  const std::string& picture) {
  return AskWithPicture(text, caption, mtConfirmation, mbYes | mbNo, defaultButton, picture) == mbYes;
}

int TQtDialogs::AskWithPicture(const std::string& text, const std::string& caption, TMsgDlgType type, int buttons,
                               int defaultButton, const std::string& picture) {
  QMessageBox::StandardButtons standard;
  for (const auto& [bit, button] : kButtons)
    if ((buttons & bit) != 0) standard |= button;
  // The window system puts the program's name into an empty caption; a blank one stays empty.
  QMessageBox box(IconOf(type), caption.empty() ? QStringLiteral(" ") : Q(caption), Q(text), standard,
                  QApplication::activeWindow());
  for (const auto& [bit, button] : kButtons)
    if (bit == defaultButton) box.setDefaultButton(button);
  QPixmap pixmap;
  if (!picture.empty() && pixmap.loadFromData(reinterpret_cast<const uchar*>(picture.data()),
                                              static_cast<uint>(picture.size()), "PNG"))
    box.setIconPixmap(pixmap);
  // Closing a box with No (and no Cancel) answers No.
  if ((buttons & mbCancel) == 0 && (buttons & mbNo) != 0) box.setEscapeButton(QMessageBox::No);
  const int pressed = box.exec();
  for (const auto& [bit, button] : kButtons)
    if (pressed == button) return bit;
  return mrNone;
}

bool TQtDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  bool ok = false;
  const QString answer = QInputDialog::getText(nullptr, Q(caption), Q(prompt), QLineEdit::Normal, Q(value), &ok);
  if (ok) value = answer.toStdString();
  return ok;
}

std::string QtFilterFromPlatform(const std::string& filter) {
  std::string out;
  size_t pos = 0;
  while (pos <= filter.size()) {
    const size_t bar1 = filter.find('|', pos);
    if (bar1 == std::string::npos) break;
    size_t bar2 = filter.find('|', bar1 + 1);
    if (bar2 == std::string::npos) bar2 = filter.size();
    // "*.*" means every file, dot or not; Qt would want a dot in the name, so it becomes "*".
    std::string masks;
    const std::string given = filter.substr(bar1 + 1, bar2 - bar1 - 1);
    for (size_t from = 0; from <= given.size();) {
      size_t semi = given.find(';', from);
      if (semi == std::string::npos) semi = given.size();
      const std::string mask = given.substr(from, semi - from);
      if (!masks.empty()) masks += ' ';
      masks += mask == "*.*" ? "*" : mask;
      from = semi + 1;
    }
    if (!out.empty()) out += ";;";
    out += filter.substr(pos, bar1 - pos) + " (" + masks + ")";
    pos = bar2 + 1;
  }
  return out;
}

bool TQtDialogs::OpenFile(const TOpenDialogOptions& options, std::string& fileName) {
  QFileDialog dialog(nullptr, Q(options.Title), Q(NativePath(options.InitialDir)));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(Q(QtFilterFromPlatform(options.Filter)).split(QStringLiteral(";;")));
  std::string ext = options.DefaultExt;
  while (!ext.empty() && (ext.front() == '*' || ext.front() == '.')) ext.erase(0, 1);
  dialog.setDefaultSuffix(Q(ext));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  fileName = dialog.selectedFiles().front().toStdString();
  return true;
}

bool TQtDialogs::ChooseFolder(const TFolderDialogOptions& options, std::string& folder) {
  QFileDialog dialog(QApplication::activeWindow(), Q(options.Title), Q(options.InitialDir));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  // Qt's own dialog: the offered folders are its side bar and its history, which a platform's
  // dialog would not show.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QList<QUrl> side{QUrl::fromLocalFile(QDir::homePath())};
  QStringList history;
  for (const std::string& offered : options.Offered) {
    side.push_back(QUrl::fromLocalFile(Q(offered)));
    history.push_back(Q(offered));
  }
  dialog.setSidebarUrls(side);
  dialog.setHistory(history);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  folder = dialog.selectedFiles().front().toStdString();
  return true;
}

}  // namespace mirnax
