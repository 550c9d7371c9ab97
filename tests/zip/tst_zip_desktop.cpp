// The component's desktop on widgets (zip/widgets): the format dialog on the simulated removable
// drive, which without a confirmation starts by itself once and closes when done, and with one
// lets the user decide, closing it formatting nothing; and the component's boxes, which in a
// program with an application object carry its title.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "toolkit/widgets/application.h"
#include "toolkit/core/simulated_drive.h"
#include "zip/widgets/disk_format_dialog.h"
#include "zip_fixture.h"
#include "zip_test_support.h"

using mirnax::RunDiskFormat;
using mirnax::TApplication;
using mirnax::TSimulatedDrive;
using mirnax::TZipBuilder;
using mirnax::mbCancel;
using mirnax::mbOK;

namespace {
const std::string kTitle = "Zip test program";

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
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  app.SetTitle(kTitle);
  TestZipDesktop test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_zip_desktop.moc"
