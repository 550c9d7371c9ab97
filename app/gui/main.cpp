// mirnax: the window that freezes a saved world's items into the map statics files.
#include <QIcon>
#include <optional>

#include "app/core/run.h"
#include "app/gui/form1.h"
#include "mirnax/version.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/startup.h"

using mirnax::AnswerWithoutDisplay;
using mirnax::IgnoreFileSizeSignal;
using mirnax::TApplication;
using mirnax::TDisplayGuard;
using mirnax::TForm1;

namespace {
constexpr const char* Usage =
    "Usage: mirnax [--help | --version]\n"
    "\n"
    "Opens the window that freezes the items of the world files STATICS/*.SCP of the current\n"
    "folder into the statics files named in ./mirnax.ini. Without a display, use mirnax-freeze.\n"
    "\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "Exit status: 0 when the window was closed, 1 when no display could be opened or an error\n"
    "ended the program.\n";
}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> answered = AnswerWithoutDisplay(argc, argv, "mirnax", Usage)) return *answered;
  // A write past a file size limit must fail as an error the freeze can undo, not end the process.
  IgnoreFileSizeSignal();
  std::optional<TDisplayGuard> guard(std::in_place, "mirnax");
  TApplication app(argc, argv);
  guard.reset();
  QCoreApplication::setApplicationName("mirnax");
  QCoreApplication::setApplicationVersion(MIRNAX_VERSION);
  QGuiApplication::setDesktopFileName("org.example.mirnax");
  QGuiApplication::setWindowIcon(QIcon::fromTheme("mirnax"));
  app.SetTitle("KEVO - MIRNAX SPECIAL EDITION");
  int result = 1;
  app.Guard([&] {
    TForm1 form;
    form.show();
    result = app.exec();
  });
  return result;
}
