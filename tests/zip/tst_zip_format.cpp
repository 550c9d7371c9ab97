// The format dialog on the simulated removable drive: without a confirmation it starts by itself
// once and closes when done; with one, the user decides, and closing it formats nothing.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "toolkit/simulated_drive.h"
#include "zip/zip_format.h"

namespace {
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

class TestZipFormat : public QObject {
  Q_OBJECT

 private slots:
  void startsAndClosesByItself() {
    QTemporaryDir dir;
    TSimulatedDrive drive(dir.filePath("floppy").toStdString(), "", 1000);
    std::string error;
    QCOMPARE(RunZipFormat(drive.Root(), "PKBACK# 003", false, error), 0);
    QCOMPARE(drive.Formats(), 1);
    QCOMPARE(drive.Label(0), std::string("PKBACK# 003"));
  }

  void userStartsOrCloses() {
    QTemporaryDir dir;
    TSimulatedDrive drive(dir.filePath("floppy").toStdString(), "", 1000);
    std::string error;
    QString shown;
    PressWhenShown("Close", &shown);
    QCOMPARE(RunZipFormat(drive.Root(), "PKBACK# 001", true, error), -2);
    QCOMPARE(shown, QString("PKBACK# 001"));
    QCOMPARE(drive.Formats(), 0);

    PressWhenShown("Start", &shown);
    QString ignored;
    QTimer::singleShot(400, [&ignored] { PressWhenShown("Close", &ignored); });
    QCOMPARE(RunZipFormat(drive.Root(), "PKBACK# 001", true, error), 0);
    QCOMPARE(drive.Formats(), 1);
  }
};

QTEST_MAIN(TestZipFormat)
#include "tst_zip_format.moc"
