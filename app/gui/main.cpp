// mirnax: the window that freezes a saved world's items into the map statics files.
#include <QIcon>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

#include "app/core/run.h"
#include "app/gui/form1.h"
#include "mirnax/version.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/startup.h"

using mirnax::AnswerWithoutDisplay;
using mirnax::IgnoreFileSizeSignal;
using mirnax::RefuseUnknownArguments;
using mirnax::TApplication;
using mirnax::TDisplayGuard;
using mirnax::TEarlyTranslations;
using mirnax::TForm1;
using mirnax::TrUtf8;

namespace {
// The program's own texts are translated in the context "mirnax".
constexpr const char* Usage =
    QT_TRANSLATE_NOOP("mirnax",
                      "Usage: mirnax [FOLDER] | --help | --version\n"
                      "\n"
                      "Opens the window that freezes the items of the world files STATICS/*.SCP of the server's\n"
                      "folder FOLDER (default: the current folder) into the statics files named in its mirnax.ini.\n"
                      "Started elsewhere, the window asks for the server's folder. Without a display, use\n"
                      "mirnax-freeze.\n"
                      "\n"
                      "  --help     show this text\n"
                      "  --version  show the version\n"
                      "\n"
                      "Exit status: 0 when the window was closed, 1 when no display could be opened or an error\n"
                      "ended the program, 2 for a wrong argument or a folder that cannot be opened.\n");
}  // namespace

int main(int argc, char** argv) {
  std::optional<TEarlyTranslations> early(std::in_place, argc, argv);
  if (const std::optional<int> answered =
          AnswerWithoutDisplay(argc, argv, "mirnax", [] { return TrUtf8("mirnax", Usage); }))
    return *answered;
  std::vector<std::string> folder;
  if (const std::optional<int> refused = RefuseUnknownArguments(argc, argv, "mirnax", {{}, 1}, folder))
    return *refused;
  // The window works in FOLDER as if started there.
  if (!folder.empty() && ::chdir(folder.front().c_str()) != 0) {
    const int error = errno;
    std::fprintf(stderr, "mirnax: %s\n",
                 mirnax::Format(TrUtf8("mirnax", QT_TRANSLATE_NOOP("mirnax", "cannot work in '%s': %s")).c_str(),
                                folder.front().c_str(), std::strerror(error))
                     .c_str());
    return 2;
  }
  // A write past a file size limit must fail as an error the freeze can undo, not end the process.
  IgnoreFileSizeSignal();
  std::optional<TDisplayGuard> guard(std::in_place, "mirnax");
  early.reset();
  TApplication app(argc, argv);
  guard.reset();
  mirnax::LoadTranslations();
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
