#include "app/core/unfreeze.h"

#include <optional>

#include "app/core/area_statics.h"
#include "app/core/freeze_recovery.h"
#include "app/core/map_size.h"
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
// Refuses a world file that exists unless it may be replaced: nothing is read before.
void CheckOut(const TUnfreezeRequest& request) {
  if (request.OutPath.empty()) throw EFCreateError(Format(SFCreateError, ""));
  if (!request.Force && PathExists(NativePath(request.OutPath)))
    throw EFCreateError(Format("The file %s exists; give --force to replace it.", request.OutPath.c_str()));
}
}  // namespace

void CopyAreaStatics(const TUnfreezeRequest& request, TRunHost& host) {
  host.ClearLog();
  CheckOut(request);
  if (request.IndexPath.empty() || request.DataPath.empty())
    throw EFOpenError("No statics files are given: the paths of Staidx0 and Statics0 are needed.");
  TStaticsPair pair = TStaticsPair::Resolve(request.IndexPath, request.DataPath);
  if (const std::string settled = RecoverInterruptedFreeze(pair); !settled.empty()) {
    LogLines(host, settled);
    host.Log("");
    pair = pair.Again();
  }
  host.Log("Reading the statics of the area " + MapAreaText(request.Area) + " ...");
  TAreaStatics taken;
  {
    // No freeze moves the files while they are read.
    const TStaticsLock lock(pair);
    TFileStream indexFile(pair.Index.Given, fmOpenRead), dataFile(pair.Data.Given, fmOpenRead);
    TFileStaticsInput index(indexFile), data(dataFile);
    taken = ReadAreaStatics(index, data, request.Map, request.Area);
  }
  if (taken.Unplaceable > 0)
    host.Log(Format("%lld statics of the area's blocks cannot be placed again (their place in the block is outside 0 "
                    "to 7, or their block is no whole number of 7-byte records): they are not written.",
                    static_cast<long long>(taken.Unplaceable)));
  if (taken.Items.empty()) {
    host.Log("No statics stand in the area: " + request.OutPath + " is not written.");
    return;
  }
  TSafeReplace out(request.OutPath);
  out.Write(WorldText(taken.Items));
  out.Commit(request.Force);
  host.Log(Format("%lld statics of %lld blocks written to %s; the statics files are left as they are.",
                  static_cast<long long>(taken.Items.size()), static_cast<long long>(taken.Blocks),
                  request.OutPath.c_str()));
}

}  // namespace mirnax
