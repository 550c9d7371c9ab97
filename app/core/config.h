// The start folder's configuration file and the world file folder beside it.
#pragma once

#include <string>

#include "app/core/map.h"
#include "toolkit/core/inifile.h"

namespace mirnax {

inline constexpr const char* ConfigFileName = "mirnax.ini";
inline constexpr const char* ConfigSection = "KEVOMIRNAX";
inline constexpr const char* ConfigKeyStaidx = "Staidx0";
inline constexpr const char* ConfigKeyStatics = "Statics0";

// The two statics paths kept in baseDir + "mirnax.ini". Every read looks at the file as it is now;
// a missing file, section or key reads as an empty path.
class TStaticsConfig {
 public:
  // baseDir ends with a path delimiter.
  explicit TStaticsConfig(const std::string& baseDir) : ini_(baseDir + ConfigFileName) {}

  std::string IndexPath() const { return ini_.ReadString(ConfigSection, ConfigKeyStaidx, ""); }
  std::string DataPath() const { return ini_.ReadString(ConfigSection, ConfigKeyStatics, ""); }
  // Each writes the file only when it does not hold exactly that path already.
  void StoreIndexPath(const std::string& path) { Store(ConfigKeyStaidx, path); }
  void StoreDataPath(const std::string& path) { Store(ConfigKeyStatics, path); }
  // The map of MapSize= ("WIDTHxHEIGHT"), the default map when the key is missing or empty. A value
  // that is no map size raises EConvertError naming the file. Never written.
  TMapSize MapSize() const;

 private:
  void Store(const char* key, const std::string& path);

  TIniFile ini_;
};

// The world files a Search lists, relative to the current folder.
std::string WorldFilePattern();
// Where a run loads the world file of that name (as a Search lists it) from.
std::string WorldFilePath(const std::string& baseDir, const std::string& name);

}  // namespace mirnax
