// The folder the window works in: whether it is a game server's, and the folders chosen last.
#pragma once

#include <string>
#include <vector>

namespace mirnax {

// A server's folder holds the world file folder STATICS (any letter case) or mirnax.ini.
bool IsServerFolder(const std::string& folder);

// The folders chosen in the window, newest first, kept per user with QSettings (a file of its own,
// apart from any mirnax.ini) and offered again at the next choice.
class TRecentFolders {
 public:
  static constexpr int Kept = 5;
  // Those that still exist.
  std::vector<std::string> List() const;
  // Puts folder first; the oldest beyond Kept is forgotten.
  void Add(const std::string& folder);
};

}  // namespace mirnax
