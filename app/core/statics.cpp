#include "app/core/statics.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>

#include "app/core/freeze_journal.h"
#include "app/core/freeze_points.h"
#include "app/core/freeze_recovery.h"
#include "app/core/index_scan.h"
#include "app/core/statics_io.h"
#include "app/core/statics_merge.h"
#include "app/core/statics_lock.h"
#include "app/core/statics_paths.h"
#include "app/core/stop_signals.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace fs = std::filesystem;

namespace {
constexpr const char* PutBackNote = "\nThe statics files were put back as they were before the freeze.";

// One of the two files a freeze rewrites.
struct TFrozenFile {
  std::string native;  // where the file is
  std::string temp;    // its ".xxx" name
  std::optional<TFileOwnership> ownership;  // of the old file; none when a clear found no file
  bool moved = false;
  bool created = false;
};

// Moves the ".xxx" files back over whatever the freeze wrote under the configured paths, and
// removes a new file where there was none before; returns the note for the error message.
std::string PutBack(TFrozenFile& index, TFrozenFile& data) {
  if (!index.moved && !index.created && !data.moved && !data.created) {
    std::remove(JournalName(index.native).c_str());
    return "";
  }
  // Both files are restored before any text is built.
  int errors[2] = {0, 0};
  TFrozenFile* files[2] = {&data, &index};
  for (int i = 0; i < 2; ++i) {
    TFrozenFile& f = *files[i];
    if (f.moved) {
      if (std::rename(f.temp.c_str(), f.native.c_str()) != 0) errors[i] = errno;
    } else if (f.created) {
      std::remove(f.native.c_str());
    }
  }
  if (errors[0] == 0 && errors[1] == 0) {
    std::remove(JournalName(index.native).c_str());  // nothing is left over for it to explain
    return PutBackNote;
  }
  std::string note, left;
  for (int i = 0; i < 2; ++i)
    if (errors[i] != 0) note += "\n" + RenameError(files[i]->temp, files[i]->native, errors[i]);
  if (errors[1] != 0) left = index.temp;
  if (errors[0] != 0) left += (left.empty() ? "" : " and ") + data.temp;
  return note + Format("\nThe previous statics are kept as %s; put them back by hand.", left.c_str());
}

std::string Megabytes(int64_t bytes) { return Format("%.1f MB", double(bytes) / 1e6); }

// Refuses, before anything is moved, a freeze whose new files would not fit beside the old ones.
void CheckFreeSpace(const std::string& index, int64_t indexBytes, const std::string& data, int64_t dataBytes) {
  const bool shared = SameFolder(index, data);
  const auto check = [](const std::string& file, int64_t needed) {
    const int64_t free = FreeSpaceOf(file);
    if (free < 0 || free >= needed) return;
    throw EInOutError(Format("Not enough free space for the new statics: %s is needed beside %s, %s is free.",
                             Megabytes(needed).c_str(), file.c_str(), Megabytes(free).c_str()),
                      ENOSPC);
  };
  if (shared) {
    check(index, indexBytes + dataBytes);
  } else {
    check(index, indexBytes);
    check(data, dataBytes);
  }
}

// Passes every byte on and sums it.
class TSummingOutput : public TStaticsOutput {
 public:
  explicit TSummingOutput(TStaticsOutput& out) : out_(out) {}
  void Write(const void* buffer, size_t count) override {
    out_.Write(buffer, count);
    Sum.Add(buffer, count);
  }
  TFileSum Sum;

 private:
  TStaticsOutput& out_;
};

TFileSum SumOfOldFile(const std::string& native) {
  if (const auto sum = SumOfFile(native)) return *sum;
  throw EInOutError(Format("Read error on %s: the file could not be read whole", native.c_str()), 0);
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

void Freeze(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath, TProgressSink& gauge,
            const TFreezeTestHook& testHook, bool cleared, bool backup) {
  TFreezeSteps steps(testHook);
  // Held to the end: no other freeze of this pair checks, moves or writes meanwhile.
  std::optional<TStaticsLock> lock;
  if (!indexPath.empty()) lock.emplace(StaticsFile(indexPath));
  if (cleared)
    CheckClearStatics(indexPath, dataPath);
  else
    CheckStaticsPaths(indexPath, dataPath);
  TFrozenFile index, data;
  index.native = StaticsFile(indexPath);
  data.native = StaticsFile(dataPath);
  index.temp = FreezeTempName(index.native);
  data.temp = FreezeTempName(data.native);
  // The old files stay open through the renames, so what was checked is what gets read. After a
  // clear there is nothing to read: every entry is empty.
  std::optional<TFileStream> oldIndexFile, oldDataFile;
  std::unique_ptr<TStaticsInput> oldIndex, oldData;
  if (cleared) {
    oldIndex = std::make_unique<TClearedIndexInput>(indexPath);
    oldData = std::make_unique<TMemoryStaticsInput>(std::string_view(), dataPath);
  } else {
    oldIndexFile.emplace(indexPath, fmOpenRead);
    oldDataFile.emplace(dataPath, fmOpenRead);
    oldIndex = std::make_unique<TFileStaticsInput>(*oldIndexFile);
    oldData = std::make_unique<TFileStaticsInput>(*oldDataFile);
  }
  const int64_t newData = ScanStaticsIndex(*oldIndex, *oldData, store);
  // The previous files stay until the new ones are complete: the new pair needs room of its own.
  CheckFreeSpace(index.native, IndexFileSize, data.native, newData);
  index.ownership = CheckReplaceable(indexPath, index.native);
  data.ownership = CheckReplaceable(dataPath, data.native);

  // What the next run checks the files it finds against, should this one end early.
  TJournal record;
  record.Step = jsMoving;
  record.Recorded = true;
  record.Index.Name = index.native;
  record.Data.Name = data.native;
  if (index.ownership) record.Index.Old = SumOfOldFile(index.native);
  if (data.ownership) record.Data.Old = SumOfOldFile(data.native);

  steps.Step(fpChecked);
  const std::string journal = JournalName(index.native);
  WriteJournal(journal, record);
  try {
    for (TFrozenFile* file : {&index, &data}) {
      if (file->ownership) {
        MoveNoReplace(file->native, file->temp);
        file->moved = true;
      }
      steps.Step(file == &index ? fpIndexMoved : fpDataMoved);
    }
    TFileStream newIndexFile(index.native, fmCreate);
    index.created = true;
    TFileStream newDataFile(data.native, fmCreate);
    data.created = true;
    if (index.ownership) SetOwnership(index.native, *index.ownership);
    if (data.ownership) SetOwnership(data.native, *data.ownership);
    TFileStaticsOutput newIndex(newIndexFile);
    TFileStaticsOutput newData(newDataFile);
    TSummingOutput summedIndex(newIndex), summedData(newData);
    MergeStatics(store, *oldIndex, *oldData, summedIndex, summedData, gauge,
                 [&steps](int32_t block) { steps.Step(fpBlockWritten, block); });
    newIndex.Commit();
    newData.Commit();
    record.Step = jsComplete;
    record.Index.New = summedIndex.Sum;
    record.Data.New = summedData.Sum;
    // The new names reach the disk before the journal calls them complete; the journal's own
    // sync covers the index's folder.
    if (!SameFolder(index.native, data.native)) SyncFolderOf(data.native);
    // The last point at which a stop puts the previous files back; past it the freeze finishes.
    steps.Step(fpNewFilesFlushed);
    WriteJournal(journal, record);
    steps.Completed();
  } catch (Exception& e) {
    e.Message += PutBack(index, data);
    throw;
  } catch (const std::bad_alloc&) {
    EOutOfMemory e;
    e.Message += PutBack(index, data);
    throw e;
  } catch (...) {
    PutBack(index, data);
    throw;
  }
  steps.Reached(fpMarkedComplete);
  RetireFile(record.Index, backup);
  steps.Reached(fpIndexTempDeleted);
  RetireFile(record.Data, backup);
  RetireJournal(journal, record, backup);
}
}  // namespace

void CheckClearStatics(const std::string& indexPath, const std::string& dataPath) {
  for (const std::string* path : {&indexPath, &dataPath})
    if (path->empty()) throw EFCreateError(Format(SFCreateError, ""));
  CheckStaticsPaths(indexPath, dataPath);
  CheckReplaceable(indexPath, StaticsFile(indexPath));
  CheckReplaceable(dataPath, StaticsFile(dataPath));
}

void ClearStatics(const std::string& indexPath, const std::string& dataPath) {
  for (const std::string* path : {&indexPath, &dataPath})
    if (path->empty()) throw EFCreateError(Format(SFCreateError, ""));
  const TStaticsLock lock(StaticsFile(indexPath));
  CheckClearStatics(indexPath, dataPath);
  bool indexCleared = false;
  try {
    TSafeReplace newIndex(indexPath);
    TSafeReplace newData(dataPath);
    std::string empty(size_t{IndexFileSize}, '\0');
    TClearedIndexInput(indexPath).ReadAt(0, empty.data(), empty.size());
    newIndex.Write(empty);
    newData.Write(std::string_view());
    // An empty index with the old data is a valid pair on its own, so the index goes first.
    newIndex.Commit();
    indexCleared = true;
    newData.Commit();
    std::remove(FrozenRecordName(newIndex.Target()).c_str());  // nothing is frozen into empty statics
  } catch (const EFCreateError&) {
    throw;  // raised before anything was moved
  } catch (Exception& e) {
    e.Message += indexCleared ? "\nThe statics index file was cleared; the statics data file was left as it was."
                              : "\nThe statics files were left as they were.";
    throw;
  }
}

void FreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                   TProgressSink& gauge, const TFreezeTestHook& testHook) {
  Freeze(store, indexPath, dataPath, gauge, testHook, false, true);
}

void FreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                   TProgressSink& gauge, bool keepBackup) {
  Freeze(store, indexPath, dataPath, gauge, {}, false, keepBackup);
}

void ClearAndFreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                           TProgressSink& gauge, const TFreezeTestHook& testHook) {
  Freeze(store, indexPath, dataPath, gauge, testHook, true, true);
}

void ClearAndFreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                           TProgressSink& gauge, bool keepBackup) {
  Freeze(store, indexPath, dataPath, gauge, {}, true, keepBackup);
}

}  // namespace mirnax
