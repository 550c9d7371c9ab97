#include "app/core/dry_run.h"

#include <filesystem>
#include <memory>
#include <optional>

#include "app/core/block_store.h"
#include "app/core/duplicates.h"
#include "app/core/freeze_checks.h"
#include "app/core/index_scan.h"
#include "app/core/map_size.h"
#include "app/core/run_texts.h"
#include "app/core/statics_io.h"
#include "app/core/statics_pair.h"
#include "app/core/world_files.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// The dry run's report is translated in the context "mirnax::DryRunFreeze"; the run's own log texts
// are those of the freeze.
std::string DryText(const char* text) { return TrUtf8("mirnax::DryRunFreeze", text); }

std::string Bytes(int64_t n) {
  return Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "%lld bytes")).c_str(), static_cast<long long>(n));
}

// What the freeze would write, from the old pair and the store.
struct TPlan {
  int64_t Touched = 0;      // blocks that get items
  int64_t HadStatics = 0;   // of those, blocks with statics now
  int64_t NewData = 0;      // bytes of the new data file
};

// Walks the old index (an empty one after a clear) as the freeze's checks do.
TPlan PlanFreeze(const TStaticsPair& pair, const TBlockStore& store, bool clear) {
  const TMapSize& map = store.Map();
  std::optional<TFileStream> indexFile, dataFile;
  std::unique_ptr<TStaticsInput> index, data;
  if (clear) {
    index = std::make_unique<TClearedIndexInput>(pair.Index.Given, map);
    data = std::make_unique<TMemoryStaticsInput>(std::string_view(), pair.Data.Given);
  } else {
    indexFile.emplace(pair.Index.Given, fmOpenRead);
    dataFile.emplace(pair.Data.Given, fmOpenRead);
    index = std::make_unique<TFileStaticsInput>(*indexFile);
    data = std::make_unique<TFileStaticsInput>(*dataFile);
  }
  CheckIndexSize(*index, map);
  TIndexReader reader(*index, map);
  TPlan plan;
  for (int32_t b = 0; b < map.BlockCount(); ++b) {
    const StaticIndexEntry e = reader.Entry(b);
    CheckEntry(e, b, *index, *data);
    const uint32_t items = store.Count(b);
    if (items > 0) {
      ++plan.Touched;
      if (HasStatics(e)) ++plan.HadStatics;
    }
    plan.NewData += NewBlockSize(e, items);
  }
  CheckTotal(plan.NewData);
  return plan;
}

// "12 bytes now, 40 after the freeze" for one file of the pair.
std::string Sizes(const TStaticsFile& file, int64_t after) {
  std::error_code error;
  const auto size = std::filesystem::file_size(file.Native, error);
  const std::string now =
      error ? DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "no file")) : Bytes(static_cast<int64_t>(size));
  return Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "%s: %s now, %s after the freeze")).c_str(),
                file.Given.c_str(), now.c_str(), Bytes(after).c_str());
}

void LogPlan(const TStaticsPair& pair, const TBlockStore& store, const TPlan& plan, const TRunRequest& request,
             bool clear, TRunHost& host) {
  const long long items = static_cast<long long>(store.TotalCount());
  if (clear)
    host.Log(Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze",
                                              "A freeze would clear the current statics and write %lld items into %lld "
                                              "blocks."))
                        .c_str(),
                    items, static_cast<long long>(plan.Touched)));
  else
    host.Log(Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze",
                                              "A freeze would keep the current statics and add %lld items to %lld "
                                              "blocks, %lld of which have statics now."))
                        .c_str(),
                    items, static_cast<long long>(plan.Touched), static_cast<long long>(plan.HadStatics)));
  const TMapSize& map = store.Map();
  host.Log(Format(
      DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "Statics index file %s (%d blocks of a map of %s tiles)."))
          .c_str(),
      Sizes(pair.Index, map.IndexFileSize()).c_str(), map.BlockCount(), MapSizeText(map).c_str()));
  host.Log(Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "Statics data file %s.")).c_str(),
                  Sizes(pair.Data, plan.NewData).c_str()));
  const auto space = [&](const std::string& beside, int64_t needed) {
    const int64_t free = FreeSpaceOf(beside);
    const std::string told =
        free < 0 ? DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "the free space cannot be told"))
                 : Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "%s free")).c_str(), Bytes(free).c_str());
    host.Log(Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "Free space needed: %s beside %s (%s).")).c_str(),
                    Bytes(needed).c_str(), beside.c_str(), told.c_str()));
  };
  if (pair.OneFolder) {
    space(pair.Index.Native, map.IndexFileSize() + plan.NewData);
  } else {
    space(pair.Index.Native, map.IndexFileSize());
    space(pair.Data.Native, plan.NewData);
  }
  host.Log(request.KeepBackup
               ? Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze",
                                                  "The replaced statics would be kept as %s and %s."))
                            .c_str(),
                        pair.Index.Backup.c_str(), pair.Data.Backup.c_str())
               : DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "The replaced statics would not be kept.")));
}
}  // namespace

void DryRunFreeze(const TRunRequest& request, bool clear, TRunHost& host) {
  host.ClearLog();
  host.TotalGauge().Begin(static_cast<int32_t>(request.WorldFiles.size()) + 1);
  const TStaticsPair pair = TStaticsPair::Resolve(request.IndexPath, request.DataPath);
  TBlockStore store(request.Map);
  // The record of frozen worlds is only read: a file frozen before is said in the log.
  TFrozenWorlds frozen(pair, false);
  // Duplicates are told from the files as they are, an interrupted freeze not settled.
  std::unique_ptr<TStaticDuplicates> duplicates;
  if (request.SkipDuplicates) duplicates = std::make_unique<TStaticDuplicates>(clear ? nullptr : &pair, request.Map);
  if (ReadWorldFiles(request, store, host, frozen, duplicates.get()) == 0) {
    host.Log(RunText(SNoItemsFound));
    return;
  }
  host.Log("");
  host.Log(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "Dry run: nothing is written, locked, settled or kept.")));
  // A freeze settles an interrupted one first; what it finds then is not known before.
  const bool interrupted = !pair.Journal.empty() && PathExists(pair.Journal);
  if (interrupted)
    host.Log(Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze",
                                              "A freeze of these statics did not finish: its journal %s is there. A "
                                              "freeze would settle it first; the figures below are for the "
                                              "files as they are now."))
                        .c_str(),
                    pair.Journal.c_str()));
  try {
    if (!interrupted) CheckStaticsPaths(pair);
    const TPlan plan = PlanFreeze(pair, store, clear);
    LogPlan(pair, store, plan, request, clear, host);
    CheckReplaceable(pair.Index);
    CheckReplaceable(pair.Data);
    CheckFreeSpace(pair, store.Map().IndexFileSize(), plan.NewData);
  } catch (Exception& e) {
    e.Message = Format(DryText(QT_TRANSLATE_NOOP("mirnax::DryRunFreeze", "A freeze would stop: %s")).c_str(),
                       e.Message.c_str());
    throw;
  }
  host.TotalGauge().Add(1);
}

}  // namespace mirnax
