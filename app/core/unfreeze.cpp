#include "app/core/unfreeze.h"

#include <filesystem>
#include <optional>

#include "app/core/area_statics.h"
#include "app/core/freeze.h"
#include "app/core/freeze_recovery.h"
#include "app/core/map_size.h"
#include "app/core/run_texts.h"
#include "app/core/statics_io.h"
#include "app/core/statics_lock.h"
#include "app/core/statics_pair.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// The start of both runs: a fresh log, the world file refused when it may not be written (before
// anything is read), and the pair of request, with a freeze of it that did not finish settled
// first (and logged).
TStaticsPair BeginAreaRun(const TUnfreezeRequest& request, TRunHost& host) {
  host.ClearLog();
  CheckWorldOut(request.OutPath, request.Force);
  if (request.IndexPath.empty() || request.DataPath.empty())
    throw EFOpenError(RunText(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                "No statics files are given: the paths of Staidx0 and "
                                                "Statics0 are needed.")));
  TStaticsPair pair = TStaticsPair::Resolve(request.IndexPath, request.DataPath);
  if (const std::string settled = RecoverInterruptedFreeze(pair); !settled.empty()) {
    LogLines(host, settled);
    host.Log("");
    pair = pair.Again();
  }
  return pair;
}

// The statics of the area passed through cut, read under the pair's lock: no freeze moves the
// files meanwhile.
const TAreaStatics& ReadArea(const TStaticsPair& pair, TAreaCut& cut) {
  const TStaticsLock lock(pair);
  TFileStream indexFile(pair.Index.Given, fmOpenRead), dataFile(pair.Data.Given, fmOpenRead);
  TFileStaticsInput index(indexFile), data(dataFile);
  return ReadAreaStatics(index, data, cut);
}

void LogUnplaceable(TRunHost& host, int64_t unplaceable) {
  if (unplaceable > 0) host.Log(RunFormat(SUnplaceable, static_cast<long long>(unplaceable)));
}
}  // namespace

void CopyAreaStatics(const TUnfreezeRequest& request, TRunHost& host) {
  const TStaticsPair pair = BeginAreaRun(request, host);
  host.Log(RunFormat(SReadingArea, MapAreaText(request.Area).c_str()));
  TAreaCut cut(request.Map, request.Area);
  const TAreaStatics& taken = ReadArea(pair, cut);
  LogUnplaceable(host, taken.Unplaceable);
  if (taken.Count == 0) {
    host.Log(RunFormat(SNoneCopied, request.OutPath.c_str()));
    return;
  }
  TSafeReplace out(request.OutPath);
  out.Write(taken.Text);
  out.Commit(request.Force);
  host.Log(RunFormat(SCopied, static_cast<long long>(taken.Count), static_cast<long long>(taken.Blocks),
                     request.OutPath.c_str()));
}

void UnfreezeArea(const TUnfreezeRequest& request, TRunHost& host) {
  const TStaticsPair pair = BeginAreaRun(request, host);
  host.Log(RunFormat(STakingArea, MapAreaText(request.Area).c_str()));
  // A look first: an area where nothing stands leaves the statics files as they are.
  TAreaCut look(request.Map, request.Area);
  look.CountOnly();
  if (const TAreaStatics& found = ReadArea(pair, look); found.Count == 0) {
    LogUnplaceable(host, found.Unplaceable);
    host.Log(RunFormat(SNoneTaken, request.OutPath.c_str()));
    return;
  }
  TAreaCut cut(request.Map, request.Area);
  const TUnfrozenWorld out{std::filesystem::absolute(NativePath(request.OutPath)).string(), request.Force, {}};
  const std::string notes = UnfreezeStatics(pair, cut, out, host.StepGauge(), request.KeepBackup);
  LogUnplaceable(host, cut.Taken().Unplaceable);
  host.Log(RunFormat(STaken, static_cast<long long>(cut.Taken().Count), static_cast<long long>(cut.Taken().Blocks),
                     request.OutPath.c_str()));
  if (!notes.empty()) LogLines(host, notes.substr(1));
}

}  // namespace mirnax
