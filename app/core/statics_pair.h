// The two statics files a run works on, resolved once where the run begins, and every name a
// freeze gives its working files beside them. The checks, the freeze, its recovery and its undo
// ask this value; none of them derives a name from the configured strings again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirnax {

struct TJournal;

// A statics file is kept under this extension while it is rewritten.
inline constexpr std::string_view FreezeTempExt = ".xxx";

// One file of the pair. Every name is empty when the file's path is.
struct TStaticsFile {
  std::string Given;   // as configured; messages quote it
  std::string Native;  // the file itself: letter case as on disk, links followed (a freeze
                       // replaces a link's target and keeps the link)
  std::string Temp;    // its extension replaced by ".xxx" (appended when it has none), as spelt on
                       // disk where such a file exists: "C:\game\staidx0.mul" gives "...\staidx0.xxx"
  std::string Backup;  // "<file>.bak": the previous generation, kept by a freeze
  std::string Folder;  // the folder that holds Native, where the new file is created
};

class TStaticsPair {
 public:
  TStaticsPair() = default;

  // Follows each path to its file (letter case looked up, links followed) and names the working
  // files. Looks at the disk, never fails: a path that leads nowhere keeps its spelling.
  static TStaticsPair Resolve(const std::string& indexPath, const std::string& dataPath);
  // The pair a journal records: its names are resolved already; only the working names are
  // derived (and the ".xxx" names looked up on disk).
  static TStaticsPair Recorded(const TJournal& journal);
  // The same configured paths resolved anew, after a recovery has moved files.
  TStaticsPair Again() const { return Resolve(Index.Given, Data.Given); }

  // Both paths are given (an empty path names no file).
  bool Given() const { return !Index.Given.empty() && !Data.Given.empty(); }

  TStaticsFile Index, Data;
  // Both files lie in one folder, however it is reached: the new pair then needs its room there.
  bool OneFolder = false;

  // The working files beside the index (empty when its path is). As spelt on disk where they
  // exist when the pair is resolved; JournalName etc. (freeze_journal.h) give their form.
  std::string Journal;             // "<index>.freeze": the freeze's journal (and its side files)
  std::string Lock;                // "<index>.lock": held while a run works on the pair
  std::string BackupRecord;        // "<index>.bak.freeze": the journal kept with the backup
  std::string FrozenRecord;        // "<index>.frozen": the world files frozen into the pair
  std::string FrozenRecordBackup;  // "<index>.frozen.bak": the record kept with the backup

  // Every working name a statics file must not have: a freeze would overwrite or delete it.
  std::vector<std::string> WorkingNames() const;
};

// The name a statics file is kept under while it is rewritten (see TStaticsFile::Temp), as a
// string; nothing is looked up.
std::string FreezeTempName(std::string_view path);

// True when both names lie in one folder, however it is reached.
bool SameFolder(const std::string& a, const std::string& b);

}  // namespace mirnax
