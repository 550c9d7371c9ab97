// The window's whole run for the freeze benchmark: starts the window in the current folder with the
// statics paths given, chooses every world file of its list, presses Start and answers the
// question with No (keep the current statics), as `mirnax-freeze --keep` runs. With --start-only it
// starts and shows the window and ends: the part of the run that is the window's start.
// Usage: window_run STAIDX STATICS | window_run --start-only  (QT_QPA_PLATFORM=offscreen for no display)
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <cstring>

#include "app/gui/form1.h"
#include "toolkit/core/dialogs.h"

using mirnax::SetDialogs;
using mirnax::TForm1;
using mirnax::TScriptedDialogs;

int main(int argc, char** argv) {
  const bool startOnly = argc == 2 && std::strcmp(argv[1], "--start-only") == 0;
  if (argc != 3 && !startOnly) {
    std::fprintf(stderr, "Usage: window_run STAIDX STATICS | window_run --start-only\n");
    return 2;
  }
  QApplication app(argc, argv);
  TScriptedDialogs dialogs;
  dialogs.AnswerYesNo(false);
  SetDialogs(&dialogs);
  TForm1 form;
  form.show();
  if (startOnly) {
    QApplication::processEvents();
    return 0;
  }
  form.findChild<QLineEdit*>("Edit1")->setText(argv[1]);
  form.findChild<QLineEdit*>("Edit2")->setText(argv[2]);
  form.findChild<QPushButton*>("Button6")->click();
  form.findChild<QListWidget*>("ListBox1")->selectAll();
  form.findChild<QPushButton*>("Button4")->click();
  const QString log = form.findChild<QPlainTextEdit*>("Memo1")->toPlainText();
  std::fputs(log.toUtf8().constData(), stdout);
  std::fputc('\n', stdout);
  return log.contains("Process finished") ? 0 : 1;
}
