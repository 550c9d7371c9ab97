#include "toolkit/widgets/startup.h"

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "mirnax/version.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"

namespace mirnax {

std::optional<int> AnswerWithoutDisplay(int argc, char** argv, const std::string& program,
                                        const std::function<std::string()>& usage) {
  for (int i = 1; i < argc; ++i) {
    const bool help = std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0;
    const bool version = std::strcmp(argv[i], "--version") == 0;
    if (!help && !version) continue;
    if (help)
      std::fputs(usage().c_str(), stdout);
    else
      std::printf("%s %s\n", program.c_str(), MIRNAX_VERSION);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  return std::nullopt;
}

namespace {
// The options every Qt GUI program takes (QGuiApplication and QApplication), with one dash or two.
constexpr const char* QtValueOptions[] = {"platform",      "platformpluginpath", "platformtheme", "plugin",
                                          "qwindowgeometry", "qwindowicon",      "qwindowtitle",  "session",
                                          "display",       "geometry",           "style",         "stylesheet",
                                          "qmljsdebugger", "name",               "title"};
constexpr const char* QtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// The refusals of wrong arguments, in the user's language; arg is the argument as given.
std::string ArgumentText(const char* text, const std::string& arg) {
  return Format(TrUtf8("mirnax::ArgumentError", text).c_str(), arg.c_str());
}
}  // namespace

std::optional<std::string> ArgumentError(int argc, char** argv, const TProgramArguments& ours,
                                         std::vector<std::string>& positional) {
  positional.clear();
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options && arg == "--") {
      options = false;
      continue;
    }
    if (!options || arg.size() < 2 || arg[0] != '-') {
      if (positional.size() == ours.MaxPositional)
        return ArgumentText(QT_TRANSLATE_NOOP("mirnax::ArgumentError", "unexpected argument '%s'"), arg);
      positional.push_back(arg);
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const bool inlineValue = equals != std::string::npos;
    const bool ourValue = std::find(ours.ValueOptions.begin(), ours.ValueOptions.end(), name) != ours.ValueOptions.end();
    const std::string bare = name.substr(name.compare(0, 2, "--") == 0 ? 2 : 1);
    const auto is = [&bare](const char* o) { return bare == o; };
    const bool qtValue = std::any_of(std::begin(QtValueOptions), std::end(QtValueOptions), is);
    const bool qtFlag = !inlineValue && std::any_of(std::begin(QtFlagOptions), std::end(QtFlagOptions), is);
    if (qtFlag) continue;
    if (!ourValue && !qtValue)
      return ArgumentText(QT_TRANSLATE_NOOP("mirnax::ArgumentError", "unknown option '%s'"), arg);
    if (inlineValue) continue;
    if (i + 1 >= argc)
      return ArgumentText(QT_TRANSLATE_NOOP("mirnax::ArgumentError", "option '%s' needs a value"), arg);
    ++i;
  }
  return std::nullopt;
}

std::optional<int> RefuseUnknownArguments(int argc, char** argv, const std::string& program,
                                          const TProgramArguments& ours, std::vector<std::string>& positional) {
  const std::optional<std::string> error = ArgumentError(argc, argv, ours, positional);
  if (!error) return std::nullopt;
  std::fprintf(stderr, "%s: %s%s\n", program.c_str(), error->c_str(),
               ArgumentText(QT_TRANSLATE_NOOP("mirnax::ArgumentError", " (see '%s --help')"), program).c_str());
  return 2;
}

namespace {
// One guard at a time: the message handler is a plain function.
std::string guardedProgram;
std::string cannotOpenDisplay;  // "cannot open a display", in the user's language
std::string platformReason;
QtMessageHandler previousHandler = nullptr;

void StartupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const bool platform = context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0;
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s: %s%s%s\n", guardedProgram.c_str(), cannotOpenDisplay.c_str(),
                 platformReason.empty() ? "" : ": ", platformReason.c_str());
    std::_Exit(1);
  }
  // The platform's first complaint is the reason given if start-up fails; later ones add nothing.
  if (platform) {
    if (platformReason.empty()) platformReason = message.toStdString();
    return;
  }
  if (previousHandler != nullptr)
    previousHandler(type, context, message);
  else
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}
}  // namespace

TDisplayGuard::TDisplayGuard(std::string program) {
  guardedProgram = std::move(program);
  cannotOpenDisplay =
      TrUtf8("mirnax::TDisplayGuard", QT_TRANSLATE_NOOP("mirnax::TDisplayGuard", "cannot open a display"));
  platformReason.clear();
  previousHandler = qInstallMessageHandler(StartupMessages);
}

TDisplayGuard::~TDisplayGuard() { qInstallMessageHandler(previousHandler); }

TEarlyTranslations::TEarlyTranslations(int& argc, char** argv) {
  if (!TranslationWanted()) return;
  app_ = std::make_unique<QCoreApplication>(argc, argv);
  LoadTranslations();
}

TEarlyTranslations::~TEarlyTranslations() = default;

}  // namespace mirnax
