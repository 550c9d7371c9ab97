#include "zip/zip_format.h"

#include "toolkit/core/disks.h"

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

std::atomic<TSHFormatThread*> TSHFormatThread::current_{nullptr};

TSHFormatThread::TSHFormatThread(const std::string& root, const std::string& label) : root_(root), label_(label) {
  TSHFormatThread* none = nullptr;
  admitted_ = current_.compare_exchange_strong(none, this);
}

TSHFormatThread::~TSHFormatThread() {
  wait();
  TSHFormatThread* self = this;
  current_.compare_exchange_strong(self, nullptr);
}

void TSHFormatThread::run() {
  if (!admitted_) {
    error_ = "Another disk is being formatted";
    return;
  }
  succeeded_ = Disks().Format(root_, label_, true, error_);
}

namespace {

// Runs the thread to its end while the caller's window stays live.
void WaitLive(TSHFormatThread& thread) {
  while (!thread.wait(10)) QCoreApplication::processEvents();
}

int FormatDialog(const std::string& root, const std::string& label, bool confirmErase, std::string& error) {
  QDialog dialog(QApplication::activeWindow());
  dialog.setWindowTitle("Format disk");
  auto* drive = new QLineEdit(QString::fromStdString(root), &dialog);
  drive->setReadOnly(true);
  // The label is the one the span needs: it cannot be changed here.
  auto* labelEdit = new QLineEdit(QString::fromStdString(label), &dialog);
  labelEdit->setObjectName("FormatLabel");
  labelEdit->setReadOnly(true);
  auto* quick = new QCheckBox("Quick format", &dialog);
  quick->setChecked(true);
  quick->setEnabled(false);
  auto* status = new QLabel("Everything on the disk will be erased.", &dialog);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* start = buttons->addButton("Start", QDialogButtonBox::AcceptRole);
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  auto* form = new QFormLayout(&dialog);
  form->addRow("Drive:", drive);
  form->addRow("Volume label:", labelEdit);
  form->addRow(quick);
  form->addRow(status);
  form->addRow(buttons);

  int result = -2;  // closed before a format ran
  bool running = false;
  QObject::connect(close, &QPushButton::clicked, &dialog, [&] {
    if (!running) dialog.reject();
  });
  QObject::connect(start, &QPushButton::clicked, &dialog, [&] {
    TSHFormatThread thread(root, label);
    if (!thread.Admitted()) {
      result = -3;
      error = "Another disk is being formatted";
      dialog.reject();
      return;
    }
    running = true;
    start->setEnabled(false);
    close->setEnabled(false);
    status->setText("Formatting...");
    thread.start();
    WaitLive(thread);
    running = false;
    result = thread.Succeeded() ? 0 : -1;
    error = thread.Error();
    status->setText(result == 0 ? "Format complete." : QString::fromStdString("Format failed: " + error));
    close->setEnabled(true);
    if (!confirmErase) dialog.accept();
  });
  // Without a confirmation the dialog starts once by itself.
  if (!confirmErase) QTimer::singleShot(0, start, &QPushButton::click);
  dialog.exec();
  return result;
}

}  // namespace

int RunZipFormat(const std::string& root, const std::string& label, bool confirmErase, std::string& error) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    return FormatDialog(root, label, confirmErase, error);
  TSHFormatThread thread(root, label);
  if (!thread.Admitted()) {
    error = "Another disk is being formatted";
    return -3;
  }
  thread.start();
  WaitLive(thread);
  error = thread.Error();
  return thread.Succeeded() ? 0 : -1;
}

}  // namespace mirnax
