#include "app/core/freeze.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "app/core/area_statics.h"
#include "app/core/freeze_checks.h"
#include "app/core/freeze_journal.h"
#include "app/core/freeze_points.h"
#include "app/core/freeze_recovery.h"
#include "app/core/index_scan.h"
#include "app/core/run_texts.h"
#include "app/core/statics_io.h"
#include "app/core/statics_lock.h"
#include "app/core/statics_merge.h"
#include "app/core/stop_signals.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
constexpr const char* PutBackNote =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze", "The statics files were put back as they were before the freeze.");

// One of the two files a freeze rewrites.
struct TFrozenFile {
  const TStaticsFile& Names;
  std::optional<TFileOwnership> Ownership;  // of the old file; none when a clear found no file
  bool Moved = false;
  bool Created = false;
};

// Moves the ".xxx" files back over whatever the freeze wrote under the configured paths, and
// removes a new file where there was none before; returns the note for the error message.
std::string PutBack(TFrozenFile& index, TFrozenFile& data, const std::string& journal) {
  if (!index.Moved && !index.Created && !data.Moved && !data.Created) {
    std::remove(journal.c_str());
    return "";
  }
  // Both files are restored before any text is built.
  int errors[2] = {0, 0};
  TFrozenFile* files[2] = {&data, &index};
  for (int i = 0; i < 2; ++i) {
    TFrozenFile& f = *files[i];
    if (f.Moved) {
      if (std::rename(f.Names.Temp.c_str(), f.Names.Native.c_str()) != 0) errors[i] = errno;
    } else if (f.Created) {
      std::remove(f.Names.Native.c_str());
    }
  }
  if (errors[0] == 0 && errors[1] == 0) {
    std::remove(journal.c_str());  // nothing is left over for it to explain
    return "\n" + RunText(PutBackNote);
  }
  std::string note, left;
  for (int i = 0; i < 2; ++i)
    if (errors[i] != 0) note += "\n" + RenameError(files[i]->Names.Temp, files[i]->Names.Native, errors[i]);
  if (errors[1] != 0) left = index.Names.Temp;
  if (errors[0] != 0)
    left = left.empty()
               ? data.Names.Temp
               : RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "%s and %s"), left.c_str(), data.Names.Temp.c_str());
  return note + "\n" +
         RunFormat(
             QT_TRANSLATE_NOOP("mirnax::RunFreeze", "The previous statics are kept as %s; put them back by hand."),
             left.c_str());
}

// Passes every byte on and sums it.
class TSummingOutput : public TStaticsOutput {
 public:
  explicit TSummingOutput(TStaticsOutput& out) : out_(out) {}
  void Write(const void* buffer, size_t count) override {
    out_.Write(buffer, count);
    Summer.Add(buffer, count);
  }
  TFileSummer Summer;

 private:
  TStaticsOutput& out_;
};

TFileSum SumOfOldFile(const std::string& native) {
  if (const auto sum = SumOfFile(native)) return *sum;
  throw EInOutError(
      RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Read error on %s: the file could not be read whole"),
                native.c_str()),
      0);
}

// The points a freeze passes. Until the new files are complete a point is also where a stop
// signal ends the freeze (and the previous files are put back); past that the freeze finishes.
class TFreezeSteps {
 public:
  explicit TFreezeSteps(const TFreezeTestHook& hook) : hook_(hook) {}
  void Step(TFreezePoint point, int32_t block = -1) {
    Reached(point, block);
    stop_.Check();
  }
  void Reached(TFreezePoint point, int32_t block = -1) {
    if (hook_) hook_(point, block);
  }
  void Completed() { stop_.Completed(); }

 private:
  const TFreezeTestHook& hook_;
  TStopSignals stop_;
};

// The previous statics as the merge reads them. The old files stay open through the renames, so
// what was checked is what gets read. After a clear there is nothing to read: every entry is empty.
class TOldStatics {
 public:
  TOldStatics(const TStaticsPair& pair, bool cleared, const TMapSize& map) {
    if (cleared) {
      Index = std::make_unique<TClearedIndexInput>(pair.Index.Given, map);
      Data = std::make_unique<TMemoryStaticsInput>(std::string_view(), pair.Data.Given);
    } else {
      indexFile_.emplace(pair.Index.Given, fmOpenRead);
      dataFile_.emplace(pair.Data.Given, fmOpenRead);
      Index = std::make_unique<TFileStaticsInput>(*indexFile_);
      Data = std::make_unique<TFileStaticsInput>(*dataFile_);
    }
  }
  std::unique_ptr<TStaticsInput> Index, Data;

 private:
  std::optional<TFileStream> indexFile_, dataFile_;
};

// What the next run checks the files it finds against, should this one end early. The names are
// kept whole, so that a run from another folder finds the same files.
TJournal MovingJournal(const TFrozenFile& index, const TFrozenFile& data) {
  TJournal record;
  record.Step = jsMoving;
  record.Recorded = true;
  record.Index.Name = std::filesystem::absolute(index.Names.Native).string();
  record.Data.Name = std::filesystem::absolute(data.Names.Native).string();
  if (index.Ownership) record.Index.Old = SumOfOldFile(index.Names.Native);
  if (data.Ownership) record.Data.Old = SumOfOldFile(data.Names.Native);
  return record;
}

// Moves the old files to their ".xxx" names, writes the new pair under the configured names and
// forces it to disk; record gets the new files' sums. What it throws, the caller puts back.
void WriteNewPair(const TBlockStore& store, TOldStatics& old, TFrozenFile& index, TFrozenFile& data,
                  TProgressSink& gauge, TFreezeSteps& steps, TJournal& record, TAreaCut* cut) {
  for (TFrozenFile* file : {&index, &data}) {
    if (file->Ownership) {
      MoveNoReplace(file->Names.Native, file->Names.Temp);
      file->Moved = true;
    }
    steps.Step(file == &index ? fpIndexMoved : fpDataMoved);
  }
  TFileStream newIndexFile(index.Names.Native, fmCreate);
  index.Created = true;
  TFileStream newDataFile(data.Names.Native, fmCreate);
  data.Created = true;
  if (index.Ownership) SetOwnership(index.Names.Native, *index.Ownership);
  if (data.Ownership) SetOwnership(data.Names.Native, *data.Ownership);
  TFileStaticsOutput newIndex(newIndexFile);
  TFileStaticsOutput newData(newDataFile);
  TSummingOutput summedIndex(newIndex), summedData(newData);
  MergeStatics(store, *old.Index, *old.Data, summedIndex, summedData, gauge,
               [&steps](int32_t block) { steps.Step(fpBlockWritten, block); }, cut);
  newIndex.Commit();
  newData.Commit();
  record.Step = jsComplete;
  record.Index.New = summedIndex.Summer.Sum();
  record.Data.New = summedData.Summer.Sum();
}

// How a freeze is asked for. An unfreeze has Cut and Unfrozen.
struct TFreezeRequest {
  bool Cleared = false;
  bool Backup = true;
  const std::vector<TFrozenWorld>* Worlds = nullptr;
  TAreaCut* Cut = nullptr;
  const TUnfrozenWorld* Unfrozen = nullptr;
};

// The world file of an unfreeze under its side name: refused, before anything is written, when
// the name is taken and may not be replaced, or the side name is taken (a file nobody left for
// this run to remove). Open, it takes the cut's text as the merge goes; removed again should the
// unfreeze fail before the point of no return.
class TUnfrozenSide {
 public:
  explicit TUnfrozenSide(const TUnfrozenWorld& world) : side_(UnfrozenSideName(world.Name)) {
    CheckWorldOut(world.Name, world.Replace);
    if (PathExists(side_))
      throw EFCreateError(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                      "The file %s is in the way of the world file the unfreeze "
                                                      "writes; move it away, then start again."),
                                    side_.c_str()));
  }
  ~TUnfrozenSide() {
    if (!done_) Discard();
  }
  // Creates the file, for cut's text.
  TStaticsOutput& Open() {
    file_.emplace(side_, fmCreate);
    output_.emplace(*file_);
    summed_.emplace(*output_);
    return *summed_;
  }
  // The text sent on, forced to disk with its name: the file's sum.
  TFileSum Commit(TAreaCut& cut) {
    cut.Flush();
    output_->Commit();
    SyncFolderOf(side_);
    done_ = true;
    return summed_->Summer.Sum();
  }
  void Discard() {
    if (!file_) return;
    summed_.reset();
    output_.reset();
    file_.reset();
    std::remove(side_.c_str());
    done_ = true;
  }

 private:
  std::string side_;
  std::optional<TFileStream> file_;
  std::optional<TFileStaticsOutput> output_;
  std::optional<TSummingOutput> summed_;
  bool done_ = false;
};

std::string Freeze(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                   const TFreezeTestHook& testHook, const TFreezeRequest& request) {
  const bool cleared = request.Cleared;
  TFreezeSteps steps(testHook);
  // Held to the end: no other freeze of this pair checks, moves or writes meanwhile.
  std::optional<TStaticsLock> lock;
  if (!pair.Index.Given.empty()) lock.emplace(pair);
  if (cleared)
    CheckClearStatics(pair);
  else
    CheckStaticsPaths(pair);
  TOldStatics old(pair, cleared, store.Map());
  const int64_t newData = ScanStaticsIndex(*old.Index, *old.Data, store);
  // The previous files stay until the new ones are complete: the new pair needs room of its own.
  CheckFreeSpace(pair, store.Map().IndexFileSize(), newData);
  TFrozenFile index{pair.Index, CheckReplaceable(pair.Index)};
  TFrozenFile data{pair.Data, CheckReplaceable(pair.Data)};
  TJournal record = MovingJournal(index, data);
  if (request.Worlds) {
    record.RecordsWorlds = true;
    record.Cleared = cleared;
    record.Worlds = *request.Worlds;
  }
  std::optional<TUnfrozenSide> unfrozen;
  if (request.Unfrozen) {
    unfrozen.emplace(*request.Unfrozen);
    record.Unfrozen = *request.Unfrozen;
  }
  const auto putBack = [&] {
    if (unfrozen) unfrozen->Discard();
    return PutBack(index, data, pair.Journal);
  };

  steps.Step(fpChecked);
  WriteJournal(pair.Journal, record);
  try {
    if (unfrozen) request.Cut->SetText(&unfrozen->Open());
    WriteNewPair(store, old, index, data, gauge, steps, record, request.Cut);
    if (unfrozen) {
      record.Unfrozen->Sum = unfrozen->Commit(*request.Cut);
      steps.Step(fpWorldWritten);
    }
    // The new names reach the disk before the journal calls them complete; the journal's own
    // sync covers the index's folder.
    if (!pair.OneFolder) SyncFolderOf(pair.Data.Native);
    // The last point at which a stop puts the previous files back; past it the freeze finishes.
    steps.Step(fpNewFilesFlushed);
    WriteJournal(pair.Journal, record);
    steps.Completed();
  } catch (Exception& e) {
    e.Message += putBack();
    throw;
  } catch (const std::bad_alloc&) {
    EOutOfMemory e;
    e.Message += putBack();
    throw e;
  } catch (...) {
    putBack();
    throw;
  }
  // Past the point of no return: the rest is done under the lock, and what fails is only noted.
  steps.Reached(fpMarkedComplete);
  return FinishFreeze(pair, pair.Journal, record, request.Backup, [&steps] { steps.Reached(fpIndexTempDeleted); });
}
}  // namespace

std::string FreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                          const TFreezeTestHook& testHook, const std::vector<TFrozenWorld>* worlds) {
  return Freeze(store, pair, gauge, testHook, {false, true, worlds});
}

std::string FreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge, bool keepBackup,
                          const std::vector<TFrozenWorld>* worlds) {
  return Freeze(store, pair, gauge, {}, {false, keepBackup, worlds});
}

std::string ClearAndFreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                                  const TFreezeTestHook& testHook, const std::vector<TFrozenWorld>* worlds) {
  return Freeze(store, pair, gauge, testHook, {true, true, worlds});
}

std::string ClearAndFreezeStatics(const TBlockStore& store, const TStaticsPair& pair, TProgressSink& gauge,
                                  bool keepBackup, const std::vector<TFrozenWorld>* worlds) {
  return Freeze(store, pair, gauge, {}, {true, keepBackup, worlds});
}

std::string UnfreezeStatics(const TStaticsPair& pair, TAreaCut& cut, const TUnfrozenWorld& out, TProgressSink& gauge,
                            const TFreezeTestHook& testHook) {
  const TBlockStore none(cut.Map());
  return Freeze(none, pair, gauge, testHook, {false, true, nullptr, &cut, &out});
}

std::string UnfreezeStatics(const TStaticsPair& pair, TAreaCut& cut, const TUnfrozenWorld& out, TProgressSink& gauge,
                            bool keepBackup) {
  const TBlockStore none(cut.Map());
  return Freeze(none, pair, gauge, {}, {false, keepBackup, nullptr, &cut, &out});
}

}  // namespace mirnax
