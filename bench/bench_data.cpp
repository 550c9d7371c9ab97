#include "app/core/world_writer.h"
#include "bench/bench_data.h"

#include <functional>
#include <vector>

#include "app/core/map.h"
#include "support/little_endian.h"
#include "support/statics_builder.h"
#include "toolkit/core/fileio.h"

namespace mirnax::bench {

namespace {
// splitmix64: fast, and the same sequence on every machine.
class TRandom {
 public:
  explicit TRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Next() % bound); }

 private:
  uint64_t state_;
};

struct TBenchItem {
  int32_t X = 0, Y = 0, Z = 0;  // tile position on the map, altitude
  uint32_t Tile = 0;            // tile number as the world file writes it (without 0x4000)
  uint32_t Hue = 0;
  uint32_t Serial = 0;          // the item's serial number, unique in the world
};

// Items' serial numbers start here, as a game server numbers its items.
constexpr uint32_t FirstItemSerial = 0x40000000;
constexpr uint64_t WorldSeed = 20240601;
constexpr uint64_t StaticsSeed = 19970925;
constexpr size_t WriteChunk = size_t{1} << 20;

// Appends to a file through a large buffer.
class TBufferedFile {
 public:
  explicit TBufferedFile(const std::string& path) : file_(path, fmCreate) { buffer_.reserve(WriteChunk + 256); }
  void Append(const char* p, size_t n) {
    buffer_.append(p, n);
    if (buffer_.size() >= WriteChunk) Drain();
  }
  void Append(std::string_view s) { Append(s.data(), s.size()); }
  int64_t Close() {
    Drain();
    file_.Close();
    return written_;
  }

 private:
  void Drain() {
    file_.WriteBuffer(buffer_.data(), buffer_.size());
    written_ += static_cast<int64_t>(buffer_.size());
    buffer_.clear();
  }

  TFileStream file_;
  std::string buffer_;
  int64_t written_ = 0;
};

void ForEachBenchItem(int64_t count, const std::function<void(const TBenchItem&)>& visit) {
  TRandom random(WorldSeed);
  for (int64_t i = 0; i < count; ++i) {
    TBenchItem item;
    item.X = static_cast<int32_t>(random.Below(MapWidth));
    item.Y = static_cast<int32_t>(random.Below(MapHeight));
    item.Z = static_cast<int32_t>(random.Below(128)) - 20;
    item.Tile = 1 + random.Below(0x3FFF);
    // Most items keep the tile's own colour.
    item.Hue = random.Below(4) == 0 ? random.Below(0x500) : 0;
    item.Serial = FirstItemSerial + static_cast<uint32_t>(i);
    visit(item);
  }
}
}  // namespace

int64_t WriteBenchWorld(const std::string& path, int64_t count) {
  TBufferedFile out(path);
  std::string record;
  ForEachBenchItem(count, [&](const TBenchItem& item) {
    record.clear();
    mirnax::AppendWorldItem(record, {.Tile = item.Tile, .X = item.X, .Y = item.Y, .Z = item.Z, .Hue = item.Hue,
                                      .Serial = true, .SerialNumber = item.Serial, .Id = true, .AnyColor = true,
                                      .Cont = true});
    out.Append(record);
  });
  return out.Close();
}

void WriteBenchStatics(const std::string& indexPath, const std::string& dataPath, int64_t records) {
  TRandom random(StaticsSeed);
  // Three blocks in four hold statics, at least one record each; the rest are scattered at random.
  std::vector<uint32_t> counts(BlockCount, 0);
  std::vector<int32_t> filled;
  for (int32_t b = 0; b < BlockCount; ++b) {
    if (random.Below(4) != 0) filled.push_back(b);
  }
  int64_t left = records;
  for (size_t i = 0; i < filled.size() && left > 0; ++i, --left) counts[static_cast<size_t>(filled[i])] = 1;
  for (; left > 0; --left) ++counts[static_cast<size_t>(filled[random.Below(static_cast<uint32_t>(filled.size()))])];

  TBufferedFile index(indexPath);
  TBufferedFile data(dataPath);
  int64_t offset = 0;
  for (int32_t b = 0; b < BlockCount; ++b) {
    const uint32_t n = counts[static_cast<size_t>(b)];
    const uint32_t extra = static_cast<uint32_t>(random.Next());
    int32_t offsetField = -1, lengthField = -1;
    if (n > 0) {
      offsetField = static_cast<int32_t>(offset);
      lengthField = static_cast<int32_t>(n * support::RecordSize);
      for (uint32_t k = 0; k < n; ++k) {
        const auto tile = static_cast<uint16_t>(1 + random.Below(0x3FFF));
        const auto x = static_cast<uint8_t>(random.Below(BlockSide));
        const auto y = static_cast<uint8_t>(random.Below(BlockSide));
        const auto z = static_cast<int8_t>(random.Below(256));
        const auto hue = static_cast<uint16_t>(random.Below(8) == 0 ? random.Below(0x500) : 0);
        data.Append(support::StaticRecord(tile, x, y, z, hue));
      }
      offset += lengthField;
    } else if (b % 2 == 0) {
      lengthField = 0;
    }
    uint8_t extraBytes[4];
    support::PutLE32(extraBytes, extra);
    index.Append(support::IndexEntry(offsetField, lengthField,
                                     std::string_view(reinterpret_cast<const char*>(extraBytes), 4)));
  }
  index.Close();
  data.Close();
}

}  // namespace mirnax::bench
