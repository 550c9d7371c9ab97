#include "app/core/world_reader.h"

#include "toolkit/sysutils.h"

namespace {
constexpr std::string_view HeaderPrefix = "[WORLDITEM";
constexpr size_t HeaderMinLength = 12;
constexpr std::string_view IdKey = "ID=";
constexpr std::string_view ColorKey = "COLOR=";
constexpr std::string_view PositionKey = "P=";

uint32_t HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  return 0;
}

struct TPosition {
  int32_t x = 0, y = 0, z = 0;
};

// "x,y,z": split at the first comma and at the last comma after it; the value's last character
// is never taken as a separator. With fewer than two commas y is empty, with more than two it holds
// a comma; either way its conversion fails.
TPosition ParsePosition(std::string_view v) {
  size_t first = std::string_view::npos, second = std::string_view::npos;
  for (size_t i = 0; i + 1 < v.size(); ++i) {
    if (v[i] != ',') continue;
    if (first == std::string_view::npos)
      first = i;
    else
      second = i;
  }
  const std::string_view x = first == std::string_view::npos ? v : v.substr(0, first);
  const std::string_view y = second == std::string_view::npos ? std::string_view() : v.substr(first + 1, second - first - 1);
  const std::string_view z = second == std::string_view::npos ? std::string_view() : v.substr(second + 1);
  TPosition p;
  p.x = StrToInt(x);
  p.y = StrToInt(y);
  p.z = StrToInt(z);
  return p;
}
}  // namespace

uint32_t ParseHex(std::string_view text) {
  uint32_t value = 0;
  for (const char c : text) value = value * 16 + HexDigit(c);
  return value;
}

TWorldFileResult ReadWorldFile(const TStrings& lines, TBlockStore& store, TProgressSink& gauge) {
  const int count = lines.Count();
  gauge.Begin(count);
  TWorldFileResult result;
  // Items go to the store in groups, which lets it fetch their scattered chain ends together.
  constexpr size_t GroupSize = 32;
  TBlockStore::TBlockItem group[GroupSize];
  size_t grouped = 0;
  const auto fileGroup = [&] {
    store.AppendMany(group, grouped);
    grouped = 0;
  };
  constexpr int None = -1;
  int start = None;
  for (int l = 0; l < count; ++l) {
    gauge.Step();
    const std::string_view line = lines.View(l);
    if (line.size() >= HeaderMinLength && line.starts_with(HeaderPrefix)) start = l;
    // A record ends at its first empty line; a line of blanks is not empty.
    if (start == None || !line.empty()) continue;

    // Every record starts from the same defaults: position 0, 0, 0, hue 0, the header's tile.
    const std::string_view header = lines.View(start);
    const std::string_view headerDigits = header.substr(HeaderPrefix.size(), header.size() - HeaderPrefix.size() - 1);
    uint32_t tileId = ParseHex(headerDigits) + TileIdBase;
    uint32_t hue = 0;
    TPosition pos;
    for (int k = start + 1; k < l; ++k) {
      const std::string_view key = lines.View(k);
      if (key.starts_with(ColorKey))
        hue = ParseHex(key.substr(ColorKey.size()));
      else if (key.starts_with(IdKey))
        tileId = ParseHex(key.substr(IdKey.size())) + TileIdBase;
      else if (key.starts_with(PositionKey))
        pos = ParsePosition(key.substr(PositionKey.size()));
    }
    start = None;
    if (!InsideMap(pos.x, pos.y)) {
      ++result.Skipped;
      continue;
    }
    StaticItem item;
    item.TileId = static_cast<uint16_t>(tileId);
    item.Hue = static_cast<uint16_t>(hue);
    item.CellX = static_cast<uint8_t>(pos.x % BlockSide);
    item.CellY = static_cast<uint8_t>(pos.y % BlockSide);
    item.Z = static_cast<int8_t>(static_cast<uint8_t>(pos.z));
    group[grouped++] = {BlockOf(pos.x, pos.y), item};
    if (grouped == GroupSize) fileGroup();
    ++result.Taken;
  }
  fileGroup();
  return result;
}
