// The component's desktop on widgets (zip/widgets): the format dialog on the simulated removable
// drive, which without a confirmation starts by itself once and closes when done, and with one
// lets the user decide, closing it formatting nothing; the component's boxes, which in a program
// with an application object carry its title; and a desktop a program installs, which the
// component then uses for all three.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "toolkit/core/simulated_drive.h"
#include "toolkit/widgets/application.h"
#include "zip/widgets/disk_format_dialog.h"
#include "zip/zip_desktop.h"
#include "zip_fixture.h"
#include "zip_test_support.h"

using mirnax::AddDiskSpanErase;
using mirnax::RunDiskFormat;
using mirnax::TApplication;
using mirnax::TSimulatedDrive;
using mirnax::TZipBuilder;
using mirnax::TZipDesktop;
using mirnax::mbCancel;
using mirnax::mbOK;

namespace {
const std::string kTitle = "Zip test program";

// A desktop that records what the component asks of it, and whose format fails.
struct TRecordingDesktop : TZipDesktop {
  int busy = 0;
  int ended = 0;
  std::vector<std::string> formats;
  bool BeginBusy() override {
    ++busy;
    return true;
  }
  void EndBusy() override { ++ended; }
  std::string BoxCaption() override { return "Recorded"; }
  int FormatDisk(const std::string&, const std::string& label, bool, std::string& error) override {
    formats.push_back(label);
    error = "no disk here";
    return -1;
  }
};

// Presses the button of the open format dialog once it shows; the label it shows is kept.
void PressWhenShown(const QString& button, QString* shownLabel) {
  QTimer::singleShot(50, [button, shownLabel] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QDialog*>(w);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      if (auto* label = dialog->findChild<QLineEdit*>("FormatLabel")) *shownLabel = label->text();
      for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == button) b->click();
    }
  });
}
}  // namespace

class TestZipDesktop : public QObject {
  Q_OBJECT

 private slots:
  void startsAndClosesByItself() {
    QTemporaryDir dir;
    TSimulatedDrive drive(dir.filePath("floppy").toStdString(), "", 1000);
    std::string error;
    QCOMPARE(RunDiskFormat(drive.Root(), "PKBACK# 003", false, error), 0);
    QCOMPARE(drive.Formats(), 1);
    QCOMPARE(drive.Label(0), std::string("PKBACK# 003"));
  }

  void userStartsOrCloses() {
    QTemporaryDir dir;
    TSimulatedDrive drive(dir.filePath("floppy").toStdString(), "", 1000);
    std::string error;
    QString shown;
    PressWhenShown("Close", &shown);
    QCOMPARE(RunDiskFormat(drive.Root(), "PKBACK# 001", true, error), -2);
    QCOMPARE(shown, QString("PKBACK# 001"));
    QCOMPARE(drive.Formats(), 0);

    PressWhenShown("Start", &shown);
    QString ignored;
    QTimer::singleShot(400, [&ignored] { PressWhenShown("Close", &ignored); });
    QCOMPARE(RunDiskFormat(drive.Root(), "PKBACK# 001", true, error), 0);
    QCOMPARE(drive.Formats(), 1);
  }

  // A message, the disk prompt and the free-space box have no caption of their own: they carry
  // the application's title.
  void boxCaptions() {
    TDialogsScope scope;
    QTemporaryDir dir;
    TSimulatedDrive drive(dir.filePath("floppy").toStdString(), "", 100000);
    PutFile(QString::fromStdString(drive.Root()) + "junk.bin", QByteArray(90000, 'j'));
    drive.QueueInsert(0);
    PutFile(dir.filePath("empty.zip"), B(zipfixture::EndRecord(0, 0, 0, "")));
    TZipBuilder zip;
    zip.ShowZipMessage(10301, "");
    scope.dialogs.AnswerAsk(mbOK);
    scope.dialogs.AnswerAsk(mbCancel);
    QCOMPARE(zip.WriteSpan(S(dir.filePath("empty.zip")), drive.Root() + "a.zip"), -7);
    const auto& calls = scope.dialogs.Calls;
    QCOMPARE(calls.size(), size_t{3});
    QVERIFY(calls[1].Text.starts_with("Please insert disk volume 1"));
    QCOMPARE(calls[2].Text, std::string("This disk has not enough free space available"));
    for (const auto& call : calls) QCOMPARE(call.Caption, kTitle);
  }

  void installedDesktop() {
    TRecordingDesktop desktop;
    TZipDesktop* previous = mirnax::SetZipDesktop(&desktop);
    TDialogsScope scope;
    QTemporaryDir dir;
    TSimulatedDrive drive(dir.filePath("floppy").toStdString(), "OLD", 120000);
    drive.QueueInsert(0);
    scope.dialogs.AnswerAsk(mbOK);
    PutFile(dir.filePath("a.zip"), B(zipfixture::MakeArchive({{"a.txt", "alpha", "", 0, 3, 20, 0100644}})));
    TZipBuilder zip;
    zip.SetZipFileName(S(dir.filePath("a.zip")));
    QCOMPARE(zip.Count(), 1);
    QCOMPARE(desktop.busy, 1);
    QCOMPARE(desktop.ended, 1);

    zip.SetAddOptions({AddDiskSpanErase});
    QCOMPARE(zip.WriteSpan(S(dir.filePath("a.zip")), drive.Root() + "E.zip"), -7);
    QCOMPARE(desktop.formats, std::vector<std::string>{"PKBACK# 001"});
    QCOMPARE(drive.Formats(), 0);
    QCOMPARE(desktop.busy, 2);
    QCOMPARE(desktop.ended, 2);
    QCOMPARE(scope.dialogs.Calls.back().Text, std::string("Cancelled by the user\nno disk here"));
    QCOMPARE(scope.dialogs.Calls.back().Caption, std::string("Recorded"));
    mirnax::SetZipDesktop(previous);
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  app.SetTitle(kTitle);
  TestZipDesktop test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_zip_desktop.moc"
