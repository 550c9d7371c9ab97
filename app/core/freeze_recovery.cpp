#include "app/core/freeze_recovery.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/core/freeze_journal.h"
#include "app/core/frozen_worlds.h"
#include "app/core/statics_lock.h"
#include "app/core/statics_paths.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/safe_replace.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// One file of the pair as the journal names it, and its ".xxx" file as it is spelt on disk.
struct TLeft {
  const TJournalFile& Record;
  std::string Temp;
  bool TempThere;
};

std::string Described(const std::optional<TFileSum>& sum) {
  return sum ? Format("%lld bytes, checksum %08x", static_cast<long long>(sum->Size), unsigned(sum->Crc))
             : std::string("no file");
}

// Adds to differences when the file native is not what sum records (no file where sum is none).
void Expect(const std::string& native, const std::optional<TFileSum>& sum, std::vector<std::string>& differences) {
  const std::optional<TFileSum> now = PathExists(native) ? SumOfFile(native) : std::nullopt;
  if (now == sum && (sum || !PathExists(native))) return;
  differences.push_back(Format("%s holds %s where the journal recorded %s", native.c_str(),
                               PathExists(native) ? Described(now).c_str() : "no file", Described(sum).c_str()));
}

std::string Listed(const std::vector<std::string>& lines) {
  std::string list;
  for (const std::string& line : lines) list += "\n" + line;
  return list;
}

// Side files of the journal that a run killed while writing it left behind; the lock is held, so
// no other run is writing one.
void RemoveStaleSideFiles(const std::string& journal) {
  for (const std::string& side : SideFilesOf(journal)) {
    const TJournal j = ReadJournal(side);
    std::error_code error;
    if (j.Step != jsNone || std::filesystem::file_size(side, error) == 0) std::remove(side.c_str());
  }
}

// Settles what a freeze of the pair whose index is index left (see RecoverInterruptedFreeze); the
// caller holds the lock.
std::string Settle(const std::string& index) {
  const std::string journalName = NativePath(JournalName(index));
  RemoveStaleSideFiles(journalName);
  const TJournal journal = ReadJournal(journalName);
  if (journal.Step == jsNone || !journal.Recorded) return "";

  std::vector<TLeft> files;
  for (const TJournalFile* f : {&journal.Data, &journal.Index}) {
    const std::string temp = NativePath(FreezeTempName(f->Name));
    files.push_back({*f, temp, PathExists(temp)});
  }
  std::vector<std::string> differences;
  for (const TLeft& f : files) {
    if (journal.Step == jsComplete) {
      Expect(f.Record.Name, f.Record.New, differences);
      if (f.TempThere) Expect(f.Temp, f.Record.Old, differences);
    } else if (f.TempThere) {
      Expect(f.Temp, f.Record.Old, differences);
    } else if (f.Record.Old) {
      Expect(f.Record.Name, f.Record.Old, differences);  // not moved yet
    }
  }
  if (!differences.empty()) {
    throw Exception(Format("A freeze of %s and %s did not finish, and the files it left are not the ones its journal "
                           "%s recorded:%s\nWhich statics are whole cannot be told, so nothing was changed. Keep "
                           "every copy: put the whole pair under the configured names, move the other files out of "
                           "this folder and the journal with them, then start again.",
                           journal.Index.Name.c_str(), journal.Data.Name.c_str(), journalName.c_str(),
                           Listed(differences).c_str()));
  }

  bool settled = false;
  if (journal.Step == jsMoving) {
    // Back to the previous pair: each ".xxx" file over what the freeze wrote, and a file the freeze
    // created where there was none removed. Should this stop halfway, the journal still holds and
    // the next run finds the rest as recorded.
    for (const TLeft& f : files) {
      if (f.TempThere) {
        RenameOver(f.Temp, f.Record.Name);
        settled = true;
      } else if (!f.Record.Old && PathExists(f.Record.Name)) {
        settled = std::remove(f.Record.Name.c_str()) == 0 || settled;
      }
    }
    for (const TLeft& f : files) SyncFolderOf(f.Record.Name);
    std::remove(journalName.c_str());
    SyncFolderOf(journalName);
    if (!settled) return "";
    return "A freeze that did not finish was undone: the previous statics are back as " + journal.Index.Name +
           " and " + journal.Data.Name + ".";
  }
  // The new pair stands; what the freeze had left to do is done, the previous files kept as backup.
  for (const TLeft& f : files) settled = settled || f.TempThere;
  RetireFile(journal.Index, true);
  RetireFile(journal.Data, true);
  RetireJournal(journalName, journal, true);
  if (!settled) return "";
  return "A freeze that was stopped after completing the new statics " + journal.Index.Name + " and " +
         journal.Data.Name + " was finished; the previous files are kept as its backup.";
}

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
void SwapFrozenRecords(const std::string& index) {
  const std::string record = FrozenRecordName(index), kept = BackupName(record);
  if (!PathExists(kept)) return;
  const std::vector<TFrozenWorld> now = ReadFrozenWorlds(record), before = ReadFrozenWorlds(kept);
  WriteFrozenWorlds(kept, now);
  WriteFrozenWorlds(record, before);
}

bool NamesSameFile(const std::string& recorded, const std::string& native) {
  return SameText(ExtractFileName(recorded), ExtractFileName(native)) && SameFolder(recorded, native);
}
}  // namespace

std::string RecoverInterruptedFreeze(const std::string& indexPath, const std::string& dataPath) {
  if (indexPath.empty() || dataPath.empty()) return "";
  const std::string index = StaticsFile(indexPath);
  const TStaticsLock lock(index);
  return Settle(index);
}

void RetireFile(const TJournalFile& file, bool backup) {
  const std::string temp = NativePath(FreezeTempName(file.Name));
  const std::string bak = BackupName(file.Name);
  if (PathExists(temp)) {
    if (backup) {
      RenameOver(temp, bak);
    } else if (std::remove(temp.c_str()) != 0) {
      const int error = errno;
      throw EInOutError(Format("The statics were frozen, but %s could not be deleted: %s", temp.c_str(),
                               std::strerror(error)),
                        error);
    }
  } else if (backup && !file.Old) {
    std::remove(bak.c_str());  // a backup of a generation before: it does not belong to this pair
  }
}

void RetireJournal(const std::string& journalName, const TJournal& journal, bool backup) {
  if (backup) {
    RenameOver(journalName, BackupRecordName(journal.Index.Name));
    SyncFolderOf(journalName);
  } else {
    // Not synced: should the deletions be lost, the journal still says the ".xxx" files may go.
    std::remove(journalName.c_str());
  }
}

std::string UndoLastFreeze(const std::string& indexPath, const std::string& dataPath) {
  if (indexPath.empty() || dataPath.empty()) throw Exception("No statics files are given.");
  const std::string index = StaticsFile(indexPath), data = StaticsFile(dataPath);
  const TStaticsLock lock(index);
  Settle(index);
  const std::string recordName = NativePath(BackupRecordName(index));
  const TJournal record = ReadJournal(recordName);
  if (record.Step != jsComplete || !record.Recorded || !record.Index.Old || !record.Data.Old) {
    throw Exception(Format("There is no backup of %s and %s to put back: no freeze kept one (%s is missing).",
                           index.c_str(), data.c_str(), recordName.c_str()));
  }
  if (!NamesSameFile(record.Index.Name, index) || !NamesSameFile(record.Data.Name, data)) {
    throw Exception(Format("The backup beside %s is of the statics files %s and %s, not of %s; nothing was put back.",
                           index.c_str(), record.Index.Name.c_str(), record.Data.Name.c_str(), data.c_str()));
  }
  std::vector<std::string> differences;
  for (const TJournalFile* f : {&record.Index, &record.Data}) {
    Expect(f->Name, f->New, differences);
    Expect(BackupName(f->Name), f->Old, differences);
  }
  if (!differences.empty()) {
    throw Exception(Format("The statics files are not the ones the last freeze wrote, or its backup has changed since:"
                           "%s\nNothing was put back.",
                           Listed(differences).c_str()));
  }

  // Done as a freeze whose new files are copies of the backup, under the same journal: should it
  // stop, the next run puts the current files back, or finishes it.
  TJournal undo;
  undo.Step = jsMoving;
  undo.Recorded = true;
  undo.Index = {record.Index.Name, record.Index.New, {}};
  undo.Data = {record.Data.Name, record.Data.New, {}};
  const std::string journalName = JournalName(record.Index.Name);
  WriteJournal(journalName, undo);
  std::vector<const TJournalFile*> moved;
  try {
    for (const TJournalFile* f : {&undo.Index, &undo.Data}) {
      MoveNoReplace(f->Name, FreezeTempName(f->Name));
      moved.push_back(f);
    }
    for (const TJournalFile* f : {&undo.Index, &undo.Data}) CopyFile(BackupName(f->Name), f->Name);
    SyncFolderOf(undo.Index.Name);
    SyncFolderOf(undo.Data.Name);
  } catch (Exception& e) {
    for (const TJournalFile* f : moved) std::rename(FreezeTempName(f->Name).c_str(), f->Name.c_str());
    std::remove(journalName.c_str());
    e.Message += "\nNothing was put back.";
    throw;
  }
  undo.Step = jsComplete;
  undo.Index.New = record.Index.Old;
  undo.Data.New = record.Data.Old;
  WriteJournal(journalName, undo);
  // The files undone become the backup in turn: a second undo brings them back.
  RetireFile(undo.Index, true);
  RetireFile(undo.Data, true);
  RetireJournal(journalName, undo, true);
  SwapFrozenRecords(record.Index.Name);
  return "The statics from before the last freeze were put back as " + index + " and " + data + ".";
}

}  // namespace mirnax
