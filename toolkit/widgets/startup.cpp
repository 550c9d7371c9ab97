#include "toolkit/widgets/startup.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "mirnax/version.h"

namespace mirnax {

std::optional<int> AnswerWithoutDisplay(int argc, char** argv, const std::string& program, const char* usage) {
  for (int i = 1; i < argc; ++i) {
    const bool help = std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0;
    const bool version = std::strcmp(argv[i], "--version") == 0;
    if (!help && !version) continue;
    if (help)
      std::fputs(usage, stdout);
    else
      std::printf("%s %s\n", program.c_str(), MIRNAX_VERSION);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  return std::nullopt;
}

namespace {
// One guard at a time: the message handler is a plain function.
std::string guardedProgram;
std::string platformReason;
QtMessageHandler previousHandler = nullptr;

void StartupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const bool platform = context.category != nullptr && std::strncmp(context.category, "qt.qpa", 6) == 0;
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s: cannot open a display%s%s\n", guardedProgram.c_str(), platformReason.empty() ? "" : ": ",
                 platformReason.c_str());
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
  platformReason.clear();
  previousHandler = qInstallMessageHandler(StartupMessages);
}

TDisplayGuard::~TDisplayGuard() { qInstallMessageHandler(previousHandler); }

}  // namespace mirnax
