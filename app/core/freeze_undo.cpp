#include "app/core/freeze_undo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

#include "app/core/freeze_journal.h"
#include "app/core/freeze_points.h"
#include "app/core/freeze_recovery.h"
#include "app/core/frozen_worlds.h"
#include "app/core/run_texts.h"
#include "app/core/statics_lock.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
constexpr const char* NothingPutBack =
    QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Nothing was put back: the statics files are as they were before the undo.");

// A copy of from under to, a new file, with from's owner, group and mode, forced to disk.
void CopyFile(const std::string& from, const std::string& to) {
  TFileStream in(from, fmOpenRead);
  TFileStream out(to, fmCreate);
  if (const auto ownership = OwnershipOf(from)) SetOwnership(to, *ownership);
  std::vector<char> buffer(size_t{1} << 20);
  for (int64_t left = in.Size(); left > 0;) {
    const size_t n = in.Read(buffer.data(), size_t(std::min<int64_t>(left, int64_t(buffer.size()))));
    if (n == 0)
      throw EInOutError(
          RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "Read error on %s: the file ends early"), from.c_str()), 0);
    out.WriteBuffer(buffer.data(), n);
    left -= int64_t(n);
  }
  out.Flush();
  out.Close();
}

// The record of the world files frozen into the pair follows the statics back: it trades places
// with the one kept beside it by the freeze undone.
void SwapFrozenRecords(const TStaticsPair& pair) {
  if (!PathExists(pair.FrozenRecordBackup)) return;
  const std::vector<TFrozenWorld> now = ReadFrozenWorlds(pair.FrozenRecord),
                                  before = ReadFrozenWorlds(pair.FrozenRecordBackup);
  WriteFrozenWorlds(pair.FrozenRecordBackup, now);
  WriteFrozenWorlds(pair.FrozenRecord, before);
}

bool NamesSameFile(const std::string& recorded, const std::string& native) {
  return SameText(ExtractFileName(recorded), ExtractFileName(native)) && SameFolder(recorded, native);
}

// Why the file native cannot be read, empty when it can or is not there.
std::string ReadFailure(const std::string& native) {
  std::string failure;
  if (PathExists(native)) SumOfFile(native, &failure);
  return failure;
}

// The journal the last freeze of pair kept with its backup, once it is sure the backup and the
// files that freeze wrote are still what it recorded.
TJournal UndoableFreeze(const TStaticsPair& pair) {
  const std::string &index = pair.Index.Native, &data = pair.Data.Native;
  if (const std::string failure = ReadFailure(pair.BackupRecord); !failure.empty()) {
    throw Exception(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                "The backup of %s and %s cannot be put back: its record %s "
                                                "cannot be read: %s\nNothing was put back."),
                              index.c_str(), data.c_str(), pair.BackupRecord.c_str(), failure.c_str()));
  }
  const TJournal record = ReadJournal(pair.BackupRecord);
  if (record.Step != jsComplete || !record.Recorded || !record.Index.Old || !record.Data.Old) {
    throw Exception(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                "There is no backup of %s and %s to put back: no freeze kept one "
                                                "(%s is missing)."),
                              index.c_str(), data.c_str(), pair.BackupRecord.c_str()));
  }
  if (!NamesSameFile(record.Index.Name, index) || !NamesSameFile(record.Data.Name, data)) {
    throw Exception(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                "The backup beside %s is of the statics files %s and %s, not of "
                                                "%s; nothing was put back."),
                              index.c_str(), record.Index.Name.c_str(), record.Data.Name.c_str(), data.c_str()));
  }
  std::vector<std::string> unreadable, differences;
  for (const TJournalFile* f : {&record.Index, &record.Data}) {
    for (const std::string& name : {f->Name, BackupName(f->Name)})
      if (const std::string failure = ReadFailure(name); !failure.empty())
        unreadable.push_back(
            RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "%s cannot be read: %s"), name.c_str(), failure.c_str()));
    ExpectRecorded(f->Name, f->New, differences);
    ExpectRecorded(BackupName(f->Name), f->Old, differences);
  }
  if (!unreadable.empty())
    throw Exception(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                "The statics files or their backup cannot be read:%s\nNothing "
                                                "was put back."),
                              Listed(unreadable).c_str()));
  if (!differences.empty()) {
    throw Exception(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                "The statics files are not the ones the last freeze wrote, or "
                                                "its backup has changed since:%s\nNothing was put back."),
                              Listed(differences).c_str()));
  }
  return record;
}

// Before the point of no return: the files moved so far go back. The journal goes with them, unless
// a file cannot go back: then it stays, for the next run to put that file back.
std::string MoveBack(const std::vector<const TStaticsFile*>& moved, const std::string& journal) {
  std::string failed;
  for (const TStaticsFile* f : moved)
    if (std::rename(f->Temp.c_str(), f->Native.c_str()) != 0) failed += "\n" + RenameError(f->Temp, f->Native, errno);
  if (failed.empty()) {
    std::remove(journal.c_str());
    return "\n" + RunText(NothingPutBack);
  }
  return "\n" + RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                            "Nothing was put back, but the statics files the undo moved aside "
                                            "could not all be moved back:%s\nThe journal %s is kept: the "
                                            "next run puts them back."),
                          failed.c_str(), journal.c_str());
}

// Moves the current files aside and copies the backup under their names; the journal says complete
// once that is on disk. What it throws, the caller has put back.
void CopyBackup(const TStaticsPair& names, TJournal& undo, const TJournal& record) {
  std::vector<const TStaticsFile*> moved;
  try {
    for (const TStaticsFile* f : {&names.Index, &names.Data}) {
      MoveNoReplace(f->Native, f->Temp);
      moved.push_back(f);
    }
    for (const TStaticsFile* f : {&names.Index, &names.Data}) CopyFile(f->Backup, f->Native);
    SyncFolderOf(names.Index.Native);
    SyncFolderOf(names.Data.Native);
    undo.Step = jsComplete;
    undo.Index.New = record.Index.Old;
    undo.Data.New = record.Data.Old;
    WriteJournal(names.Journal, undo);
  } catch (Exception& e) {
    e.Message += MoveBack(moved, names.Journal);
    throw;
  }
}

// Done as a freeze whose new files are copies of the backup, under the same journal: should it
// stop, the next run puts the current files back, or finishes it. Once the journal says complete
// nothing fails any more: returns the notes of what could not be done then.
std::string PutBackBackup(const TJournal& record, const TFreezeTestHook& hook) {
  const TStaticsPair names = TStaticsPair::Recorded(record);
  TJournal undo;
  undo.Step = jsMoving;
  undo.Recorded = true;
  undo.Index = {record.Index.Name, record.Index.New, {}};
  undo.Data = {record.Data.Name, record.Data.New, {}};
  try {
    WriteJournal(names.Journal, undo);
  } catch (Exception& e) {
    std::remove(names.Journal.c_str());
    e.Message += "\n" + RunText(NothingPutBack);
    throw;
  }
  CopyBackup(names, undo, record);
  if (hook) hook(fpMarkedComplete, -1);
  // The files undone become the backup in turn: a second undo brings them back.
  std::string notes = FinishFreeze(names, names.Journal, undo, true);
  TLateSteps late;
  late.Run([&] { SwapFrozenRecords(names); },
           RunText(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                     "The record of the world files frozen into these statics could not be "
                                     "put back with them: ")));
  return notes + late.Notes();
}
}  // namespace

std::string UndoLastFreeze(const TStaticsPair& given, const TFreezeTestHook& testHook) {
  if (!given.Given()) throw Exception(RunText(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "No statics files are given.")));
  const TStaticsLock lock(given);
  // A freeze left unfinished is settled first; what it moved, the pair is resolved anew for.
  const TStaticsPair pair = SettleInterruptedFreeze(given).empty() ? given : given.Again();
  const TJournal undone = UndoableFreeze(pair);
  const std::string notes = PutBackBackup(undone, testHook);
  // An unfreeze undone: its statics are back in the pair, and the world file it wrote stays.
  if (!undone.Unfrozen)
    return RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                       "The statics from before the last freeze were put back as %s and %s."),
                     pair.Index.Native.c_str(), pair.Data.Native.c_str()) +
           notes;
  return RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                     "The statics from before the last unfreeze were put back as %s and %s. "
                                     "The world file %s that the unfreeze wrote is left where it is."),
                   pair.Index.Native.c_str(), pair.Data.Native.c_str(), undone.Unfrozen->Name.c_str()) +
         notes;
}

std::string UndoLastFreeze(const TStaticsPair& pair) { return UndoLastFreeze(pair, {}); }

}  // namespace mirnax
