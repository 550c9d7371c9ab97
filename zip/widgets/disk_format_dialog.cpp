#include "zip/widgets/disk_format_dialog.h"

#include "toolkit/core/exceptions.h"
#include "zip/disk_format.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace mirnax {

namespace {

// The dialog's texts are translated in the context "mirnax::FormatDialog".
QString Tr(const char* text) { return QCoreApplication::translate("mirnax::FormatDialog", text); }

// The dialog's parts that its buttons change.
struct TFormatDialog {
  QDialog dialog{QApplication::activeWindow()};
  QLabel* status = nullptr;
  QPushButton* start = nullptr;
  QPushButton* close = nullptr;

  TFormatDialog(const std::string& root, const std::string& label) {
    dialog.setWindowTitle(Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Format disk")));
    auto* drive = new QLineEdit(QString::fromStdString(root), &dialog);
    drive->setReadOnly(true);
    // The label is the one the span needs: it cannot be changed here.
    auto* labelEdit = new QLineEdit(QString::fromStdString(label), &dialog);
    labelEdit->setObjectName("FormatLabel");
    labelEdit->setReadOnly(true);
    auto* quick = new QCheckBox(Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Quick format")), &dialog);
    quick->setChecked(true);
    quick->setEnabled(false);
    status =
        new QLabel(Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Everything on the disk will be erased.")), &dialog);
    auto* buttons = new QDialogButtonBox(&dialog);
    start = buttons->addButton(Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Start")), QDialogButtonBox::AcceptRole);
    close = buttons->addButton(QDialogButtonBox::Close);
    auto* form = new QFormLayout(&dialog);
    form->addRow(Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Drive:")), drive);
    form->addRow(Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Volume label:")), labelEdit);
    form->addRow(quick);
    form->addRow(status);
    form->addRow(buttons);
  }
};

int FormatDialog(const std::string& root, const std::string& label, bool confirmErase, std::string& error) {
  TFormatDialog ui(root, label);
  int result = -2;  // closed before a format ran
  bool running = false;
  QObject::connect(ui.close, &QPushButton::clicked, &ui.dialog, [&] {
    if (!running) ui.dialog.reject();
  });
  QObject::connect(ui.start, &QPushButton::clicked, &ui.dialog, [&] {
    TSHFormatThread thread(root, label);
    if (!thread.Admitted()) {
      result = -3;
      error = ExceptionText(kAnotherFormatRuns);
      ui.dialog.reject();
      return;
    }
    running = true;
    ui.start->setEnabled(false);
    ui.close->setEnabled(false);
    ui.status->setText(Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Formatting...")));
    thread.start();
    thread.WaitLive();
    running = false;
    result = thread.Succeeded() ? 0 : -1;
    error = thread.Error();
    ui.status->setText(
        result == 0
            ? Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Format complete."))
            : Tr(QT_TRANSLATE_NOOP("mirnax::FormatDialog", "Format failed: %1")).arg(QString::fromStdString(error)));
    ui.close->setEnabled(true);
    if (!confirmErase) ui.dialog.accept();
  });
  // Without a confirmation the dialog starts once by itself.
  if (!confirmErase) QTimer::singleShot(0, ui.start, &QPushButton::click);
  ui.dialog.exec();
  return result;
}

}  // namespace

int RunDiskFormat(const std::string& root, const std::string& label, bool confirmErase, std::string& error) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    return FormatDialog(root, label, confirmErase, error);
  return FormatDiskOnThread(root, label, error);
}

}  // namespace mirnax
