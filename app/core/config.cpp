#include "app/core/config.h"

#include "app/core/map_size.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/paths.h"

namespace mirnax {

namespace {
constexpr const char* WorldFolder = "STATICS";
}  // namespace

void TStaticsConfig::Store(const char* key, const std::string& path) {
  // "\n" can never be read back as a value: it stands for a missing key, which an empty path adds.
  if (ini_.ReadString(ConfigSection, key, "\n") == path) return;
  ini_.WriteString(ConfigSection, key, path);
}

TMapSize TStaticsConfig::MapSize() const {
  const std::string text = ini_.ReadString(ConfigSection, ConfigKeyMapSize, "");
  if (text.empty()) return DefaultMapSize;
  try {
    return ParseMapSize(text);
  } catch (EConvertError& e) {
    e.Message = ini_.FileName() + ", key " + ConfigKeyMapSize + ": " + e.Message;
    throw;
  }
}

std::string WorldFilePattern() { return std::string(WorldFolder) + "\\*.SCP"; }

// With this platform's separator, as the user sees the path in messages.
std::string WorldFilePath(const std::string& baseDir, const std::string& name) {
  return baseDir + WorldFolder + PathDelim + name;
}

}  // namespace mirnax
