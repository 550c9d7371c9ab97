#include "app/core/freeze_recovery.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/core/freeze_journal.h"
#include "app/core/frozen_worlds.h"
#include "app/core/run_texts.h"
#include "app/core/statics_lock.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/posix_files.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
constexpr const char* NoFile = QT_TRANSLATE_NOOP("mirnax::RunFreeze", "no file");

// One file of the pair as the journal names it, and whether its ".xxx" file is there.
struct TLeft {
  const TJournalFile& Record;
  const TStaticsFile& Names;
  bool TempThere;
};

std::string Described(const std::optional<TFileSum>& sum) {
  if (!sum) return RunText(NoFile);
  const std::string text = SumText(*sum);
  return RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "%lld bytes, checksum %s"), static_cast<long long>(sum->Size),
                   text.substr(text.find(':') + 1).c_str());
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

// Refuses to settle when a file left is not what the journal recorded.
void CheckAsRecorded(const TJournal& journal, const std::string& journalName, const std::vector<TLeft>& files) {
  std::vector<std::string> differences;
  for (const TLeft& f : files) {
    if (journal.Step == jsComplete) {
      ExpectRecorded(f.Record.Name, f.Record.New, differences);
      if (f.TempThere) ExpectRecorded(f.Names.Temp, f.Record.Old, differences);
    } else if (f.TempThere) {
      ExpectRecorded(f.Names.Temp, f.Record.Old, differences);
    } else if (f.Record.Old) {
      ExpectRecorded(f.Record.Name, f.Record.Old, differences);  // not moved yet
    }
  }
  if (journal.Step == jsComplete && journal.Unfrozen) {
    const std::string side = UnfrozenSideName(journal.Unfrozen->Name);
    if (PathExists(side)) ExpectRecorded(side, journal.Unfrozen->Sum, differences);
  }
  if (differences.empty()) return;
  throw Exception(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                              "A freeze of %s and %s did not finish, and the files it left are "
                                              "not the ones its journal %s recorded:%s\nWhich statics are whole "
                                              "cannot be told, so nothing was changed. Keep every copy: put the "
                                              "whole pair under the configured names, move the other files out "
                                              "of this folder and the journal with them, then start again."),
                            journal.Index.Name.c_str(), journal.Data.Name.c_str(), journalName.c_str(),
                            Listed(differences).c_str()));
}

// Back to the previous pair: each ".xxx" file over what the freeze wrote, and a file the freeze
// created where there was none removed. Should this stop halfway, the journal still holds and the
// next run finds the rest as recorded. True when a file was moved or removed.
bool PutBackPrevious(const std::string& journalName, const TJournal& journal, const std::vector<TLeft>& files) {
  bool settled = false;
  // An unfreeze's world file, written or half written, goes before the statics come back.
  if (journal.Unfrozen) {
    const std::string side = UnfrozenSideName(journal.Unfrozen->Name);
    if (PathExists(side)) settled = std::remove(side.c_str()) == 0 || settled;
  }
  for (const TLeft& f : files) {
    if (f.TempThere) {
      RenameOver(f.Names.Temp, f.Record.Name);
      settled = true;
    } else if (!f.Record.Old && PathExists(f.Record.Name)) {
      settled = std::remove(f.Record.Name.c_str()) == 0 || settled;
    }
  }
  for (const TLeft& f : files) SyncFolderOf(f.Record.Name);
  std::remove(journalName.c_str());
  SyncFolderOf(journalName);
  return settled;
}
}  // namespace

std::string SettleInterruptedFreeze(const TStaticsPair& pair) {
  const std::string& journalName = pair.Journal;
  RemoveStaleSideFiles(journalName);
  const TJournal journal = ReadJournal(journalName);
  if (journal.Step == jsNone || !journal.Recorded) return "";

  const TStaticsPair recorded = TStaticsPair::Recorded(journal);
  std::vector<TLeft> files;
  files.push_back({journal.Data, recorded.Data, PathExists(recorded.Data.Temp)});
  files.push_back({journal.Index, recorded.Index, PathExists(recorded.Index.Temp)});
  CheckAsRecorded(journal, journalName, files);

  if (journal.Step == jsMoving) {
    if (!PutBackPrevious(journalName, journal, files)) return "";
    const char* undone = journal.Unfrozen ? QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                              "An unfreeze that did not finish was undone: the "
                                                              "previous statics are back as %s and %s.")
                                          : QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                              "A freeze that did not finish was undone: the previous "
                                                              "statics are back as %s and %s.");
    return RunFormat(undone, journal.Index.Name.c_str(), journal.Data.Name.c_str());
  }
  // The new pair stands; what the freeze had left to do is done, the previous files kept as backup.
  const bool settled = files[0].TempThere || files[1].TempThere;
  const std::string notes = FinishFreeze(recorded, journalName, journal, true);
  if (!settled && notes.empty()) return "";
  const char* finished = journal.Unfrozen ? QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                              "An unfreeze that was stopped after completing the new "
                                                              "statics %s and %s was finished; the previous files "
                                                              "are kept as its backup.")
                                          : QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                              "A freeze that was stopped after completing the new "
                                                              "statics %s and %s was finished; the previous files "
                                                              "are kept as its backup.");
  return RunFormat(finished, journal.Index.Name.c_str(), journal.Data.Name.c_str()) + notes;
}

std::string RecoverInterruptedFreeze(const TStaticsPair& pair) {
  if (!pair.Given()) return "";
  const TStaticsLock lock(pair);
  return SettleInterruptedFreeze(pair);
}

void RetireFile(const TStaticsFile& file, bool hadPrevious, bool backup) {
  if (PathExists(file.Temp)) {
    if (backup) {
      RenameOver(file.Temp, file.Backup);
    } else if (std::remove(file.Temp.c_str()) != 0) {
      const int error = errno;
      throw EInOutError(
          RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "The statics were frozen, but %s could not be deleted: %s"),
                    file.Temp.c_str(), std::strerror(error)),
          error);
    }
  } else if (backup && !hadPrevious) {
    std::remove(file.Backup.c_str());  // a backup of a generation before: it does not belong to this pair
  }
}

void RetireJournal(const std::string& journal, const std::string& backupRecord, bool backup) {
  if (backup) {
    RenameOver(journal, backupRecord);
    SyncFolderOf(journal);
  } else {
    // Not synced: should the deletions be lost, the journal still says the ".xxx" files may go.
    std::remove(journal.c_str());
  }
}

bool TLateSteps::Run(const std::function<void()>& step, const std::string& what) {
  try {
    step();
    return true;
  } catch (const Exception& e) {
    Note(what + e.Message);
    return false;
  }
}

void PlaceUnfrozenWorld(const TUnfrozenWorld& world) {
  const std::string side = UnfrozenSideName(world.Name);
  if (!PathExists(side)) return;  // placed already, by the run this one finishes
  try {
    if (world.Replace)
      RenameOver(side, world.Name);
    else
      MoveNoReplace(side, world.Name);
  } catch (Exception& e) {
    e.Message += "\n" + RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                                    "The statics taken out of the statics files are kept in %s."),
                                  side.c_str());
    throw;
  }
  SyncFolderOf(world.Name);
}

std::string FinishFreeze(const TStaticsPair& pair, const std::string& journalName, const TJournal& journal,
                         bool backup, const std::function<void()>& afterIndex) {
  TLateSteps late;
  if (journal.Unfrozen) late.Run([&] { PlaceUnfrozenWorld(*journal.Unfrozen); });
  late.Run([&] { RecordFrozenWorlds(pair, journal, backup); },
           RunText(QT_TRANSLATE_NOOP("mirnax::RunFreeze",
                                     "The record of the world files frozen into these statics could not be "
                                     "written: ")));
  bool retired = late.Run([&] { RetireFile(pair.Index, journal.Index.Old.has_value(), backup); });
  if (afterIndex) afterIndex();
  retired = late.Run([&] { RetireFile(pair.Data, journal.Data.Old.has_value(), backup); }) && retired;
  if (retired)
    late.Run([&] { RetireJournal(journalName, pair.BackupRecord, backup); });
  else
    late.Note(
        RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "The journal %s is kept: the next run finishes what is left."),
                  journalName.c_str()));
  return late.Notes();
}

void ExpectRecorded(const std::string& native, const std::optional<TFileSum>& sum,
                    std::vector<std::string>& differences) {
  std::string failure;
  const std::optional<TFileSum> now = PathExists(native) ? SumOfFileLike(native, sum, &failure) : std::nullopt;
  if (SameFile(sum, now) && (sum || !PathExists(native))) return;
  if (!now && PathExists(native) && !failure.empty()) {
    differences.push_back(
        RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "%s cannot be read: %s"), native.c_str(), failure.c_str()));
    return;
  }
  differences.push_back(RunFormat(QT_TRANSLATE_NOOP("mirnax::RunFreeze", "%s holds %s where the journal recorded %s"),
                                  native.c_str(), PathExists(native) ? Described(now).c_str() : RunText(NoFile).c_str(),
                                  Described(sum).c_str()));
}

std::string Listed(const std::vector<std::string>& lines) {
  std::string list;
  for (const std::string& line : lines) list += "\n" + line;
  return list;
}

}  // namespace mirnax
