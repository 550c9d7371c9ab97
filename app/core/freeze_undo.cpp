#include "app/core/freeze_undo.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "app/core/freeze_journal.h"
#include "app/core/freeze_recovery.h"
#include "app/core/frozen_worlds.h"
#include "app/core/statics_lock.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// A copy of from under to, a new file, with from's owner, group and mode, forced to disk.
void CopyFile(const std::string& from, const std::string& to) {
  TFileStream in(from, fmOpenRead);
  TFileStream out(to, fmCreate);
  if (const auto ownership = OwnershipOf(from)) SetOwnership(to, *ownership);
  std::vector<char> buffer(size_t{1} << 20);
  for (int64_t left = in.Size(); left > 0;) {
    const size_t n = in.Read(buffer.data(), size_t(std::min<int64_t>(left, int64_t(buffer.size()))));
    if (n == 0) throw EInOutError(Format("Read error on %s: the file ends early", from.c_str()), 0);
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

// The journal the last freeze of pair kept with its backup, once it is sure the backup and the
// files that freeze wrote are still what it recorded.
TJournal UndoableFreeze(const TStaticsPair& pair) {
  const std::string &index = pair.Index.Native, &data = pair.Data.Native;
  const TJournal record = ReadJournal(pair.BackupRecord);
  if (record.Step != jsComplete || !record.Recorded || !record.Index.Old || !record.Data.Old) {
    throw Exception(Format("There is no backup of %s and %s to put back: no freeze kept one (%s is missing).",
                           index.c_str(), data.c_str(), pair.BackupRecord.c_str()));
  }
  if (!NamesSameFile(record.Index.Name, index) || !NamesSameFile(record.Data.Name, data)) {
    throw Exception(Format("The backup beside %s is of the statics files %s and %s, not of %s; nothing was put back.",
                           index.c_str(), record.Index.Name.c_str(), record.Data.Name.c_str(), data.c_str()));
  }
  std::vector<std::string> differences;
  for (const TJournalFile* f : {&record.Index, &record.Data}) {
    ExpectRecorded(f->Name, f->New, differences);
    ExpectRecorded(BackupName(f->Name), f->Old, differences);
  }
  if (!differences.empty()) {
    throw Exception(Format("The statics files are not the ones the last freeze wrote, or its backup has changed since:"
                           "%s\nNothing was put back.",
                           Listed(differences).c_str()));
  }
  return record;
}

// Done as a freeze whose new files are copies of the backup, under the same journal: should it
// stop, the next run puts the current files back, or finishes it.
void PutBackBackup(const TJournal& record) {
  const TStaticsPair names = TStaticsPair::Recorded(record);
  TJournal undo;
  undo.Step = jsMoving;
  undo.Recorded = true;
  undo.Index = {record.Index.Name, record.Index.New, {}};
  undo.Data = {record.Data.Name, record.Data.New, {}};
  WriteJournal(names.Journal, undo);
  std::vector<const TStaticsFile*> moved;
  try {
    for (const TStaticsFile* f : {&names.Index, &names.Data}) {
      MoveNoReplace(f->Native, f->Temp);
      moved.push_back(f);
    }
    for (const TStaticsFile* f : {&names.Index, &names.Data}) CopyFile(f->Backup, f->Native);
    SyncFolderOf(names.Index.Native);
    SyncFolderOf(names.Data.Native);
  } catch (Exception& e) {
    for (const TStaticsFile* f : moved) std::rename(f->Temp.c_str(), f->Native.c_str());
    std::remove(names.Journal.c_str());
    e.Message += "\nNothing was put back.";
    throw;
  }
  undo.Step = jsComplete;
  undo.Index.New = record.Index.Old;
  undo.Data.New = record.Data.Old;
  WriteJournal(names.Journal, undo);
  // The files undone become the backup in turn: a second undo brings them back.
  RetireFile(names.Index, undo.Index.Old.has_value(), true);
  RetireFile(names.Data, undo.Data.Old.has_value(), true);
  RetireJournal(names.Journal, names.BackupRecord, true);
  SwapFrozenRecords(names);
}
}  // namespace

std::string UndoLastFreeze(const TStaticsPair& given) {
  if (!given.Given()) throw Exception("No statics files are given.");
  const TStaticsLock lock(given);
  // A freeze left unfinished is settled first; what it moved, the pair is resolved anew for.
  const TStaticsPair pair = SettleInterruptedFreeze(given).empty() ? given : given.Again();
  PutBackBackup(UndoableFreeze(pair));
  return "The statics from before the last freeze were put back as " + pair.Index.Native + " and " +
         pair.Data.Native + ".";
}

}  // namespace mirnax
