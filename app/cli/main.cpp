// mirnax-freeze: the freeze run from a terminal, for headless servers and scripts.
#include <QCoreApplication>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/look_commands.h"
#include "app/cli/terminal_host.h"
#include "app/core/config.h"
#include "app/core/freeze_undo.h"
#include "app/core/map_size.h"
#include "app/core/run.h"
#include "app/core/unfreeze.h"
#include "mirnax/version.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/filesearch.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/core/translations.h"

using mirnax::FindFiles;
using mirnax::Format;
using mirnax::ForwardSlashes;
using mirnax::GetCurrentDir;
using mirnax::IgnoreFileSizeSignal;
using mirnax::IncludeTrailingPathDelimiter;
using mirnax::NativePath;
using mirnax::RollBackFreezeOnSignals;
using mirnax::RunFreeze;
using mirnax::SignalAfterCompletedFreeze;
using mirnax::TProgressBar;
using mirnax::TRunRequest;
using mirnax::TStaticsConfig;
using mirnax::TStaticsPair;
using mirnax::FreezeText;
using mirnax::TTerminalHost;
using mirnax::UndoLastFreeze;
using mirnax::WorldFilePath;
using mirnax::WorldFilePattern;

namespace {
// Translated in the context "mirnax-freeze", as the program's other texts of its own.
constexpr const char* Usage = QT_TRANSLATE_NOOP(
    "mirnax-freeze",
    "Usage: mirnax-freeze [--clear | --keep] [--area X1,Y1,X2,Y2] [--skip-duplicates] [--staidx FILE]\n"
    "                     [--statics FILE] [WORLDFILE ...]\n"
    "       mirnax-freeze --dry-run [--clear | --keep] [--staidx FILE] [--statics FILE] [WORLDFILE ...]\n"
    "       mirnax-freeze --check [--staidx FILE] [--statics FILE]\n"
    "       mirnax-freeze --unfreeze [--copy] --area X1,Y1,X2,Y2 --out FILE [--force] [--no-backup]\n"
    "                     [--staidx FILE] [--statics FILE]\n"
    "\n"
    "Freezes the items of the world files into the statics files.\n"
    "\n"
    "  WORLDFILE       a world file, relative to the current folder; without any, every file\n"
    "                  that matches STATICS/*.SCP here\n"
    "  --staidx FILE   the statics index file (default: Staidx0 of ./mirnax.ini)\n"
    "  --statics FILE  the statics data file (default: Statics0 of ./mirnax.ini)\n"
    "  --clear         clear the current statics first\n"
    "  --keep          keep the current statics and add to them (the default)\n"
    "  --no-backup     do not keep the replaced statics as FILE.bak\n"
    "  --undo          put back the statics the last freeze replaced, from FILE.bak\n"
    "  --map-size WxH  the map's size in tiles, each side a multiple of 8 (default: MapSize of\n"
    "                  ./mirnax.ini, else 6144x4096); the index has one entry per 8x8 block\n"
    "  --area X1,Y1,X2,Y2\n"
    "                  take only the world items inside this rectangle of tiles (corners\n"
    "                  included); the log counts those left out per world file\n"
    "  --skip-duplicates\n"
    "                  leave out an item whose 7-byte static record its block has already\n"
    "                  (among the statics kept, or added before in this run); the log counts\n"
    "                  them per world file. Freezing a world file again then adds nothing\n"
    "  --unfreeze      with --area and --out FILE: take the statics that stand in the area out of\n"
    "                  the statics files and write them to FILE as a world file (SERIAL=040001\n"
    "                  upward, the freeze's format), with a freeze's journal and backup: --undo\n"
    "                  puts them back, a freeze of FILE with --keep puts them back too\n"
    "  --copy          with --unfreeze: only write FILE, leaving the statics files as they are\n"
    "  --force         with --unfreeze: replace FILE when it exists (never replaced otherwise)\n"
    "  --dry-run       read everything a freeze reads and say what it would do, touching nothing\n"
    "                  (no lock, no settling of an interrupted freeze, no backup, no record)\n"
    "  --check         check the statics pair and report, writing nothing and taking no lock\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "--check exits 0 when the pair is consistent, 4 when it is not, 1 when it cannot be read.\n"
    "--dry-run exits 0 when a freeze would go ahead, 1 when it would stop or a file cannot be read.\n"
    "\n"
    "Files:\n"
    "  ./mirnax.ini          section [KEVOMIRNAX], keys Staidx0 and Statics0: the statics paths\n"
    "                        (and MapSize, optional: the map's size; never written)\n"
    "  STATICS/*.SCP         the world files taken when none is given\n"
    "  <statics>.xxx         the previous statics while the new ones are written; left behind\n"
    "                        only by a killed run, which the next run settles or explains\n"
    "  <index>.freeze        the run's journal beside the index file\n"
    "  <index>.lock          held while a run works on the pair\n"
    "  <statics>.bak         the pair the last freeze replaced, put back by --undo\n"
    "  <index>.frozen        the world files frozen into the pair, by checksum and date\n"
    "  FILE.new              an unfreeze's world file until the statics are rewritten\n"
    "\n"
    "Exit status: 0 done, 1 the run stopped on an error or found no world files or no statics\n"
    "paths, 2 bad arguments, 3 the statics were frozen but the log could not be written.\n");
constexpr const char* CannotWriteLog =
    QT_TRANSLATE_NOOP("mirnax-freeze", "cannot write the log to standard output: %s");
constexpr const char* SeeHelp = QT_TRANSLATE_NOOP("mirnax-freeze", " (see mirnax-freeze --help)");

enum { ExitDone = 0, ExitFailed = 1, ExitBadArguments = 2, ExitFrozenUnlogged = 3 };

struct TOptions {
  bool help = false;
  bool version = false;
  std::optional<bool> clear;
  std::optional<std::string> staidx;
  std::optional<std::string> statics;
  std::vector<std::string> worldFiles;
  bool undo = false;
  bool noBackup = false;
  std::optional<std::string> area;
  bool skipDuplicates = false;
  // --unfreeze --area A --out FILE --copy [--force]
  bool unfreeze = false;
  std::optional<std::string> out;
  bool copy = false;
  bool force = false;
  mirnax::TLookOptions look;
};

// The options about the backup of the replaced statics: --undo and --no-backup.
bool TakeBackupOption(std::string_view arg, TOptions& o) {
  if (arg == "--undo") {
    o.undo = true;
    return true;
  }
  if (arg == "--no-backup") {
    o.noBackup = true;
    return true;
  }
  return false;
}

struct EBadArguments {
  std::string message;
};

// "--name VALUE" or "--name=VALUE"; what says what the value is when it is missing.
bool TakeValue(std::string_view arg, std::string_view name, int& i, int argc, char** argv,
               std::optional<std::string>& value,
               std::string_view what = QT_TRANSLATE_NOOP("mirnax-freeze", "a file name")) {
  if (arg == name) {
    if (i + 1 >= argc)
      throw EBadArguments{Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "option %s needs %s")).c_str(),
                                 std::string(name).c_str(), FreezeText(std::string(what).c_str()).c_str())};
    value = argv[++i];
    return true;
  }
  if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
    value = std::string(arg.substr(name.size() + 1));
    return true;
  }
  return false;
}

// --unfreeze and what goes with it.
void CheckUnfreezeOptions(const TOptions& o) {
  if (!o.unfreeze) {
    if (o.out || o.copy || o.force)
      throw EBadArguments{FreezeText(QT_TRANSLATE_NOOP(
          "mirnax-freeze", "--out, --copy and --force go with --unfreeze only"))};
    return;
  }
  if (!o.area || !o.out)
    throw EBadArguments{FreezeText(QT_TRANSLATE_NOOP(
        "mirnax-freeze", "--unfreeze needs --area X1,Y1,X2,Y2 and --out FILE"))};
  if (o.clear == true || o.skipDuplicates || o.undo || o.look.Check || o.look.DryRun || !o.worldFiles.empty())
    throw EBadArguments{FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze",
                                             "--unfreeze takes no world files and does not go with --clear, "
                                             "--skip-duplicates, --undo, --check or --dry-run"))};
}

TOptions ParseArguments(int argc, char** argv) {
  TOptions o;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!options || arg.empty() || arg[0] != '-') {
      o.worldFiles.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options = false;
    } else if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--clear" || arg == "--keep") {
      const bool clear = arg == "--clear";
      if (o.clear && *o.clear != clear)
        throw EBadArguments{FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "--clear and --keep exclude each other"))};
      o.clear = clear;
    } else if (TakeBackupOption(arg, o)) {
    } else if (arg == "--skip-duplicates") {
      o.skipDuplicates = true;
    } else if (arg == "--unfreeze") {
      o.unfreeze = true;
    } else if (arg == "--copy") {
      o.copy = true;
    } else if (arg == "--force") {
      o.force = true;
    } else if (TakeValue(arg, "--staidx", i, argc, argv, o.staidx) ||
               TakeValue(arg, "--statics", i, argc, argv, o.statics) ||
               TakeValue(arg, "--area", i, argc, argv, o.area,
                         QT_TRANSLATE_NOOP("mirnax-freeze", "an area, X1,Y1,X2,Y2")) ||
               TakeValue(arg, "--out", i, argc, argv, o.out)) {
    } else if (mirnax::TakeLookOption(arg, i, argc, argv, o.look)) {
    } else {
      throw EBadArguments{
          Format(FreezeText(QT_TRANSLATE_NOOP(
              "mirnax-freeze", "unknown option %s")).c_str(), std::string(arg).c_str())};
    }
  }
  CheckUnfreezeOptions(o);
  if (o.undo && (o.clear || o.noBackup || o.area || o.skipDuplicates || !o.worldFiles.empty()))
    throw EBadArguments{FreezeText(QT_TRANSLATE_NOOP(
        "mirnax-freeze", "--undo takes no world files and no other option than --staidx and --statics"))};
  if ((o.area || o.skipDuplicates) && o.look.Check)
    throw EBadArguments{FreezeText(QT_TRANSLATE_NOOP(
        "mirnax-freeze", "--check takes no --area and no --skip-duplicates: it looks at the pair as it is"))};
  mirnax::CheckLookOptions(o.look, !o.worldFiles.empty(), o.clear.has_value(), o.undo, o.noBackup);
  return o;
}

// Prints text on standard output; a failure to do so is the program's error.
int PrintOut(const std::string& text) {
  if (std::fputs(text.c_str(), stdout) != EOF && std::fflush(stdout) == 0) return ExitDone;
  const int error = errno;
  std::fprintf(stderr, "mirnax-freeze: %s\n",
               Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "cannot write to standard output: %s")).c_str(),
                      std::strerror(error))
                   .c_str());
  return ExitFailed;
}

// Errors read "mirnax-freeze: FILE: reason" where one file is at fault, "mirnax-freeze: message"
// otherwise.
void PrintError(const std::string& message) { std::fprintf(stderr, "mirnax-freeze: %s\n", message.c_str()); }
void PrintError(const std::string& file, const std::string& reason) { PrintError(file + ": " + reason); }

// What makes a run pointless is said before anything is read: no world files, no statics paths,
// or a world file the system will not let us read (with its reason).
bool CheckRequest(const TRunRequest& request, bool filesGiven) {
  if (request.WorldFiles.empty()) {
    PrintError(filesGiven ? FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze", "no world files given"))
                          : Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze",
                                                                "no world files: none given and none matches %s in %s"))
                                       .c_str(),
                                   ForwardSlashes(WorldFilePattern()).c_str(), GetCurrentDir().c_str()));
    return false;
  }
  if (request.IndexPath.empty() || request.DataPath.empty()) {
    PrintError(FreezeText(request.IndexPath.empty()
                              ? QT_TRANSLATE_NOOP("mirnax-freeze",
                                                  "no statics index path: give --staidx FILE and --statics FILE, or "
                                                  "set Staidx0 and Statics0 in ./mirnax.ini")
                              : QT_TRANSLATE_NOOP("mirnax-freeze",
                                                  "no statics data path: give --staidx FILE and --statics FILE, or "
                                                  "set Staidx0 and Statics0 in ./mirnax.ini")));
    return false;
  }
  for (const TRunRequest::TWorldFile& file : request.WorldFiles) {
    if (::access(NativePath(file.Path).c_str(), R_OK) != 0) {
      PrintError(file.Path, std::strerror(errno));
      return false;
    }
  }
  return true;
}

// --unfreeze: the area's statics written to a world file, and taken out of the statics files
// unless --copy.
int Unfreeze(const mirnax::TUnfreezeRequest& request, bool copy, TProgressBar& bar) {
  TTerminalHost host(stdout, bar, false);
  int status = ExitDone;
  try {
    if (copy)
      mirnax::CopyAreaStatics(request, host);
    else
      mirnax::UnfreezeArea(request, host);
  } catch (const std::exception& e) {
    host.Finish();
    PrintError(e.what());
    status = ExitFailed;
  }
  host.Finish();
  if (host.LogError() != 0) {
    PrintError(Format(FreezeText(CannotWriteLog).c_str(), std::strerror(host.LogError())));
    status = ExitFailed;
  }
  return status;
}

// --undo: the statics the last freeze replaced put back from their backup.
int Undo(const TRunRequest& request) {
  try {
    const std::string done = UndoLastFreeze(TStaticsPair::Resolve(request.IndexPath, request.DataPath));
    // The pair is back even when standard output cannot say so: stderr does then. What the undo
    // could not finish after that follows on stderr, and the undo still succeeded.
    const size_t end = done.find('\n');
    const std::string line = done.substr(0, end);
    if (PrintOut(line + "\n") != ExitDone) std::fprintf(stderr, "%s\n", line.c_str());
    if (end != std::string::npos) PrintError(done.substr(end + 1));
    return ExitDone;
  } catch (const std::exception& e) {
    PrintError(e.what());
    return ExitFailed;
  }
}
}  // namespace

int main(int argc, char** argv) {
  // Qt Core only: the translators of the user's language (LANG), for the run's texts and ours. In
  // English no translator is needed, and then no application object: the run keeps its memory.
  std::optional<QCoreApplication> app;
  if (mirnax::TranslationWanted()) {
    app.emplace(argc, argv);
    mirnax::LoadTranslations();
  }
  IgnoreFileSizeSignal();
  RollBackFreezeOnSignals();
  // A log that nobody reads any more (a closed pipe) is a write error, reported after the run.
  std::signal(SIGPIPE, SIG_IGN);
  TOptions options;
  try {
    options = ParseArguments(argc, argv);
  } catch (const EBadArguments& e) {
    PrintError(e.message + FreezeText(SeeHelp));
    return ExitBadArguments;
  } catch (const std::invalid_argument& e) {
    PrintError(std::string(e.what()) + FreezeText(SeeHelp));
    return ExitBadArguments;
  }
  if (options.help) return PrintOut(FreezeText(Usage));
  if (options.version) return PrintOut(std::string("mirnax-freeze ") + MIRNAX_VERSION + "\n");

  TProgressBar bar(::isatty(STDERR_FILENO) == 1);
  try {
    const std::string baseDir = IncludeTrailingPathDelimiter(GetCurrentDir());
    const TStaticsConfig config(baseDir);
    TRunRequest request;
    request.IndexPath = options.staidx ? *options.staidx : config.IndexPath();
    request.DataPath = options.statics ? *options.statics : config.DataPath();
    if (options.undo) return Undo(request);
    request.Map = options.look.MapSize ? *options.look.MapSize : config.MapSize();
    if (options.area) {
      try {
        request.Area = mirnax::ParseMapArea(*options.area, request.Map);
      } catch (const mirnax::EConvertError& e) {
        PrintError("--area: " + e.Message + FreezeText(SeeHelp));
        return ExitBadArguments;
      }
    }
    if (options.look.Check) return mirnax::CheckPairCommand(request, stdout);
    if (options.unfreeze) {
      mirnax::TUnfreezeRequest unfreeze{request.IndexPath, request.DataPath, request.Map, *request.Area, *options.out,
                                        options.force, !options.noBackup};
      return Unfreeze(unfreeze, options.copy, bar);
    }
    request.KeepBackup = !options.noBackup;
    request.SkipDuplicates = options.skipDuplicates;
    if (options.worldFiles.empty()) {
      for (const std::string& name : FindFiles(WorldFilePattern()))
        request.WorldFiles.push_back({name, WorldFilePath(baseDir, name)});
    } else {
      for (const std::string& path : options.worldFiles) request.WorldFiles.push_back({path, path});
    }
    if (!CheckRequest(request, !options.worldFiles.empty())) return ExitFailed;
    TTerminalHost host(stdout, bar, options.clear.value_or(false));
    if (options.look.DryRun) return mirnax::DryRunCommand(request, options.clear.value_or(false), host, bar);
    int status = ExitDone;
    try {
      RunFreeze(request, host);
    } catch (const std::exception& e) {
      host.Finish();
      bar.Erase();
      PrintError(e.what());
      status = ExitFailed;
    }
    host.Finish();
    bar.Erase();
    if (const char* signal = SignalAfterCompletedFreeze()) {
      // The new statics stood by then: the freeze was finished, not undone.
      PrintError(Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze",
                                                     "%s came after the new statics were complete; the freeze "
                                                     "was finished."))
                            .c_str(),
                        signal));
    }
    if (host.LogError() != 0 && host.FreezeCompleted()) {
      // Not 1: a script that runs the freeze again on 1 would freeze the items twice.
      PrintError(Format(FreezeText(QT_TRANSLATE_NOOP("mirnax-freeze",
                                                     "the statics were frozen, but the log could not be written "
                                                     "to standard output: %s"))
                            .c_str(),
                        std::strerror(host.LogError())));
      status = ExitFrozenUnlogged;
    } else if (host.LogError() != 0) {
      PrintError(Format(FreezeText(CannotWriteLog).c_str(), std::strerror(host.LogError())));
      status = ExitFailed;
    }
    return status;
  } catch (const std::exception& e) {
    bar.Erase();
    PrintError(e.what());
    return ExitFailed;
  }
}
