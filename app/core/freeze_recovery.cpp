#include "app/core/freeze_recovery.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/core/freeze_journal.h"
#include "app/core/statics_lock.h"
#include "app/core/statics_paths.h"
#include "toolkit/exceptions.h"
#include "toolkit/fileio.h"
#include "toolkit/paths.h"
#include "toolkit/posix_files.h"
#include "toolkit/sysutils.h"

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

// Side files of the journal that a run killed while writing it left behind; the lock is held, so
// no other run is writing one.
void RemoveStaleSideFiles(const std::string& journal) {
  for (const std::string& side : SideFilesOf(journal)) {
    const TJournal j = ReadJournal(side);
    std::error_code error;
    if (j.Step != jsNone || std::filesystem::file_size(side, error) == 0) std::remove(side.c_str());
  }
}
}  // namespace

std::string RecoverInterruptedFreeze(const std::string& indexPath, const std::string& dataPath) {
  if (indexPath.empty() || dataPath.empty()) return "";
  const std::string index = StaticsFile(indexPath);
  const TStaticsLock lock(index);
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
    std::string list;
    for (const std::string& d : differences) list += "\n" + d;
    throw Exception(Format("A freeze of %s and %s did not finish, and the files it left are not the ones its journal "
                           "%s recorded:%s\nWhich statics are whole cannot be told, so nothing was changed. Keep "
                           "every copy: put the whole pair under the configured names, move the other files out of "
                           "this folder and the journal with them, then start again.",
                           journal.Index.Name.c_str(), journal.Data.Name.c_str(), journalName.c_str(), list.c_str()));
  }

  std::string note;
  std::vector<std::string> settled;
  if (journal.Step == jsMoving) {
    // Back to the previous pair: each ".xxx" file over what the freeze wrote, and a file the freeze
    // created where there was none removed. Should this stop halfway, the journal still holds and
    // the next run finds the rest as recorded.
    for (const TLeft& f : files) {
      if (f.TempThere) {
        RenameOver(f.Temp, f.Record.Name);
        settled.push_back(f.Record.Name);
      } else if (!f.Record.Old && PathExists(f.Record.Name)) {
        if (std::remove(f.Record.Name.c_str()) == 0) settled.push_back(f.Record.Name);
      }
    }
    for (const TLeft& f : files) SyncFolderOf(f.Record.Name);
    if (!settled.empty())
      note = "A freeze that did not finish was undone: the previous statics are back as " + journal.Index.Name +
             " and " + journal.Data.Name + ".";
  } else {
    for (const TLeft& f : files) {
      if (!f.TempThere) continue;
      if (std::remove(f.Temp.c_str()) != 0) {
        const int error = errno;
        throw EInOutError(Format("Cannot delete %s: %s", f.Temp.c_str(), std::strerror(error)), error);
      }
      settled.push_back(f.Temp);
    }
    if (!settled.empty())
      note = "A freeze that was stopped after completing the new statics " + journal.Index.Name + " and " +
           journal.Data.Name + " was finished.";
  }
  std::remove(journalName.c_str());
  SyncFolderOf(journalName);
  return note;
}
