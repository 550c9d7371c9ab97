// mirnax-gallery: one page per control of the library, to see and try each one live.
//   mirnax-gallery [--page NAME] [--grab FILE.png]
// --page opens on that page; --grab renders the window to a PNG and quits (for screenshots).
#include <QCommandLineParser>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "demo/gallery/gallery_pages.h"
#include "mirnax/version.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/startup.h"

using mirnax::AnswerWithoutDisplay;
using mirnax::RefuseUnknownArguments;
using mirnax::TApplication;
using mirnax::TDisplayGuard;
using mirnax::TEarlyTranslations;
using mirnax::TrUtf8;

namespace {
// "gauge, memo, ..." in the order of the tabs.
std::string PageNames() {
  std::string names;
  for (const TGalleryPage& page : GalleryPages()) names += (names.empty() ? "" : ", ") + page.name.toStdString();
  return names;
}

// The program's own texts are translated in the context "mirnax-gallery".
std::string Usage() {
  return mirnax::Format(
      TrUtf8("mirnax-gallery", QT_TRANSLATE_NOOP("mirnax-gallery",
                                                 "Usage: mirnax-gallery [--page NAME] [--grab FILE.png]\n"
                                                 "\n"
                                                 "Shows each control of the component library live, one page per "
                                                 "control.\n"
                                                 "\n"
                                                 "  --page NAME  open on that page\n"
                                                 "  --grab FILE  render the window to FILE (PNG) and quit\n"
                                                 "  --help       show this text\n"
                                                 "  --version    show the version\n"
                                                 "\n"
                                                 "Pages: %s\n"))
          .c_str(),
      PageNames().c_str());
}
}  // namespace

int main(int argc, char** argv) {
  std::optional<TEarlyTranslations> early(std::in_place, argc, argv);
  if (const std::optional<int> answered = AnswerWithoutDisplay(argc, argv, "mirnax-gallery", Usage)) return *answered;
  std::vector<std::string> positional;
  if (const std::optional<int> refused =
          RefuseUnknownArguments(argc, argv, "mirnax-gallery", {{"--page", "--grab"}, 0}, positional))
    return *refused;
  std::optional<TDisplayGuard> guard(std::in_place, "mirnax-gallery");
  early.reset();
  TApplication app(argc, argv);
  guard.reset();
  mirnax::LoadTranslations();
  app.SetTitle(TrUtf8("Gallery", "Mirnax component gallery"));
  QCoreApplication::setApplicationName("mirnax-gallery");
  QCoreApplication::setApplicationVersion(MIRNAX_VERSION);

  QCommandLineParser options;
  const QCommandLineOption pageOption("page", QCoreApplication::translate("mirnax-gallery", "Open on page NAME."),
                                      "NAME");
  const QCommandLineOption grabOption(
      "grab", QCoreApplication::translate("mirnax-gallery", "Render the window to FILE and quit."), "FILE");
  options.addOption(pageOption);
  options.addOption(grabOption);
  options.process(app);

  QTabWidget window;
  window.setWindowTitle(QCoreApplication::translate("Gallery", "Mirnax component gallery"));
  window.resize(900, 600);
  for (const TGalleryPage& page : GalleryPages()) {
    QWidget* widget = page.make(&window);
    widget->setObjectName(page.name + "Page");
    window.addTab(widget, QCoreApplication::translate("Gallery", page.caption.toUtf8().constData()));
    if (options.value(pageOption) == page.name) window.setCurrentWidget(widget);
  }
  if (options.isSet(pageOption) && window.currentWidget()->objectName() != options.value(pageOption) + "Page") {
    std::fprintf(
        stderr, "mirnax-gallery: %s\n",
        mirnax::Format(
            TrUtf8("mirnax-gallery", QT_TRANSLATE_NOOP("mirnax-gallery", "no page named '%s' (pages: %s)")).c_str(),
            options.value(pageOption).toUtf8().constData(), PageNames().c_str())
            .c_str());
    return 2;
  }
  window.show();

  if (options.isSet(grabOption)) {
    QTimer::singleShot(300, &window, [&] {
      const bool saved = window.grab().save(options.value(grabOption));
      if (!saved)
        std::fprintf(
            stderr, "mirnax-gallery: %s\n",
            mirnax::Format(TrUtf8("mirnax-gallery", QT_TRANSLATE_NOOP("mirnax-gallery", "cannot write %s")).c_str(),
                           options.value(grabOption).toUtf8().constData())
                .c_str());
      app.exit(saved ? 0 : 1);
    });
  }
  return app.exec();
}
