#include "app/cli/look_commands.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "app/core/dry_run.h"
#include "app/core/map_size.h"
#include "app/core/statics_check.h"
#include "app/core/statics_pair.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"

namespace mirnax {

std::string FreezeText(const char* text) { return TrUtf8("mirnax-freeze", text); }

namespace {
constexpr std::string_view MapSizeOption = "--map-size";

void Say(std::FILE* out, const std::string& line, bool& written) {
  written = written && std::fputs(line.c_str(), out) != EOF && std::fputc('\n', out) != EOF;
}

// False, said on stderr, when a path of the pair is missing.
bool PathsGiven(const TRunRequest& request) {
  if (!request.IndexPath.empty() && !request.DataPath.empty()) return true;
  const std::string text = FreezeText(
      request.IndexPath.empty() ? QT_TRANSLATE_NOOP("mirnax-freeze",
                                                    "no statics index path: give --staidx FILE and --statics FILE, "
                                                    "or set Staidx0 and Statics0 in ./mirnax.ini")
                                : QT_TRANSLATE_NOOP("mirnax-freeze",
                                                    "no statics data path: give --staidx FILE and --statics FILE, "
                                                    "or set Staidx0 and Statics0 in ./mirnax.ini"));
  std::fprintf(stderr, "mirnax-freeze: %s\n", text.c_str());
  return false;
}

// The report of a check: the files, each fault and note, the counts and the verdict.
bool Report(const TStaticsPair& pair, const TMapSize& map, const TStaticsCheck& check, std::FILE* out) {
  bool written = true;
  Say(out,
      Format(FreezeText(
                 QT_TRANSLATE_NOOP("mirnax-freeze", "Statics index file %s: %lld entries (a map of %s tiles has %d)"))
                 .c_str(),
             pair.Index.Given.c_str(), static_cast<long long>(check.Entries), MapSizeText(map).c_str(),
             map.BlockCount()),
      written);
  Say(out,
      Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "Statics data file %s: %lld bytes")).c_str(),
             pair.Data.Given.c_str(), static_cast<long long>(check.DataBytes)),
      written);
  for (const std::string& fault : check.Faults)
    Say(out, Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "Fault: %s")).c_str(), fault.c_str()), written);
  for (const std::string& note : check.Notes)
    Say(out, Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "Note: %s")).c_str(), note.c_str()), written);
  Say(out,
      Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "%lld blocks with statics, %lld statics")).c_str(),
             static_cast<long long>(check.BlocksWithStatics), static_cast<long long>(check.Statics)),
      written);
  Say(out,
      check.FaultCount == 0
          ? FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "The statics files are consistent."))
          : Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "The statics files are not consistent: %lld faults."))
                       .c_str(),
                   static_cast<long long>(check.FaultCount)),
      written);
  return written && std::fflush(out) == 0;
}
}  // namespace

bool TakeLookOption(std::string_view arg, int& i, int argc, char** argv, TLookOptions& options) {
  if (arg == "--check") {
    options.Check = true;
    return true;
  }
  if (arg == "--dry-run") {
    options.DryRun = true;
    return true;
  }
  std::string_view value;
  if (arg == MapSizeOption) {
    if (i + 1 >= argc)
      throw std::invalid_argument(FreezeText(QT_TRANSLATE_NOOP(
          "mirnax-freeze", "option --map-size needs a size, WIDTHxHEIGHT")));
    value = argv[++i];
  } else if (arg.starts_with(MapSizeOption) && arg.size() > MapSizeOption.size() && arg[MapSizeOption.size()] == '=') {
    value = arg.substr(MapSizeOption.size() + 1);
  } else {
    return false;
  }
  try {
    options.MapSize = ParseMapSize(value);
  } catch (const EConvertError& e) {
    throw std::invalid_argument("--map-size: " + e.Message);
  }
  return true;
}

void CheckLookOptions(const TLookOptions& options, bool worldFiles, bool clearOrKeep, bool undo, bool noBackup) {
  if (options.Check && options.DryRun)
    throw std::invalid_argument(FreezeText(QT_TRANSLATE_NOOP(
        "mirnax-freeze", "--check and --dry-run exclude each other")));
  if (options.Check && (worldFiles || clearOrKeep || undo || noBackup))
    throw std::invalid_argument(FreezeText(QT_TRANSLATE_NOOP(
        "mirnax-freeze", "--check takes no world files and no other option than --staidx, --statics and --map-size")));
  if (options.DryRun && undo)
    throw std::invalid_argument(FreezeText(QT_TRANSLATE_NOOP(
        "mirnax-freeze", "--dry-run and --undo exclude each other")));
}

int CheckPairCommand(const TRunRequest& request, std::FILE* out) {
  if (!PathsGiven(request)) return ExitPairUnread;
  const TStaticsPair pair = TStaticsPair::Resolve(request.IndexPath, request.DataPath);
  TStaticsCheck check;
  try {
    check = CheckStaticsPair(pair, request.Map);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mirnax-freeze: %s\n", e.what());
    return ExitPairUnread;
  }
  if (!Report(pair, request.Map, check, out)) {
    const int error = errno;
    std::fprintf(
        stderr, "mirnax-freeze: %s\n",
        Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "cannot write the report to standard output: %s")).c_str(),
               std::strerror(error))
            .c_str());
    return ExitPairUnread;
  }
  return check.FaultCount == 0 ? ExitPairWhole : ExitPairInconsistent;
}

int DryRunCommand(const TRunRequest& request, bool clear, TTerminalHost& host, TProgressBar& bar) {
  int status = 0;
  try {
    DryRunFreeze(request, clear, host);
  } catch (const std::exception& e) {
    host.Finish();
    bar.Erase();
    std::fprintf(stderr, "mirnax-freeze: %s\n", e.what());
    status = 1;
  }
  host.Finish();
  bar.Erase();
  if (host.LogError() != 0) {
    std::fprintf(
        stderr, "mirnax-freeze: %s\n",
        Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "cannot write the log to standard output: %s")).c_str(),
               std::strerror(host.LogError()))
            .c_str());
    status = 1;
  }
  return status;
}

}  // namespace mirnax
