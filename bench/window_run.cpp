// The window's whole run for the freeze benchmark: starts the window in the current folder with the
// statics paths given, chooses every world file of its list, presses Start and answers the
// question with No (keep the current statics), as `mirnax-freeze --keep` runs.
// Usage: window_run STAIDX STATICS  (QT_QPA_PLATFORM=offscreen for no display)
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>

#include "app/gui/form1.h"
#include "toolkit/core/dialogs.h"

using mirnax::SetDialogs;
using mirnax::TForm1;
using mirnax::TScriptedDialogs;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: window_run STAIDX STATICS\n");
    return 2;
  }
  QApplication app(argc, argv);
  TScriptedDialogs dialogs;
  dialogs.AnswerYesNo(false);
  SetDialogs(&dialogs);
  TForm1 form;
  form.show();
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
