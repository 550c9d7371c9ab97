#include "app/core/frozen_worlds.h"

#include <charconv>
#include <ctime>
#include <fstream>

#include "toolkit/core/safe_replace.h"

namespace mirnax {

namespace {
constexpr size_t RecordLimit = size_t{16} << 20;
constexpr size_t DateLength = 16;  // "YYYY-MM-DD HH:MM"

bool ParseLine(std::string_view line, TFrozenWorld& world) {
  const size_t colon = line.find(':'), blank = line.find(' ');
  if (colon == std::string_view::npos || blank == std::string_view::npos || colon > blank) return false;
  if (std::from_chars(line.data(), line.data() + colon, world.Sum.Size).ptr != line.data() + colon) return false;
  if (std::from_chars(line.data() + colon + 1, line.data() + blank, world.Sum.Crc, 16).ptr != line.data() + blank)
    return false;
  line.remove_prefix(blank + 1);
  if (line.size() < DateLength + 2 || line[DateLength] != ' ') return false;
  world.Date = std::string(line.substr(0, DateLength));
  world.Name = std::string(line.substr(DateLength + 1));
  return true;
}
}  // namespace

std::vector<TFrozenWorld> ReadFrozenWorlds(const std::string& recordName) {
  std::vector<TFrozenWorld> worlds;
  std::ifstream file(recordName, std::ios::binary);
  std::string line;
  size_t read = 0;
  while (read < RecordLimit && std::getline(file, line)) {
    read += line.size() + 1;
    TFrozenWorld world;
    if (ParseLine(line, world)) worlds.push_back(std::move(world));
  }
  return worlds;
}

void WriteFrozenWorlds(const std::string& recordName, const std::vector<TFrozenWorld>& worlds) {
  std::string text;
  for (const TFrozenWorld& w : worlds) {
    char sum[40];
    std::snprintf(sum, sizeof sum, "%lld:%08x ", static_cast<long long>(w.Sum.Size), unsigned(w.Sum.Crc));
    std::string name = w.Name;
    for (char& c : name)
      if (c == '\n' || c == '\r') c = ' ';
    text += sum + w.Date + " " + name + "\n";
  }
  TSafeReplace file(recordName);
  file.Write(text);
  file.Commit();
}

std::string FrozenDateNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[DateLength + 1];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace mirnax
