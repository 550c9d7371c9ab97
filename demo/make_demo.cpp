// Writes the demo workspace: three small world files under STATICS/, a cleared statics pair and a
// mirnax.ini that points at it. Usage: mirnax-demo FOLDER
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/config.h"
#include "app/core/statics_clear.h"
#include "app/core/world_writer.h"
#include "mirnax/version.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/paths.h"
#include "toolkit/core/sysutils.h"

using mirnax::ClearStatics;
using mirnax::TStaticsPair;
using mirnax::Exception;
using mirnax::Format;
using mirnax::IncludeTrailingPathDelimiter;
using mirnax::SFCreateError;
using mirnax::TStaticsConfig;

namespace {
struct Item {
  uint16_t tile;
  int x, y, z;
  uint16_t hue;
};

// Items on the ground as a shard saves them: serials counting up from serial, each with its ID.
std::string WorldFile(const std::vector<Item>& items, uint32_t serial) {
  std::string out = "// saved world, demo shard\r\n\r\n";
  for (const Item& it : items)
    mirnax::AppendWorldItem(out, {.Tile = it.tile, .X = it.x, .Y = it.y, .Z = it.z, .Hue = it.hue,
                                   .SerialNumber = serial++, .Id = true, .Cont = true});
  return out;
}

// A ring of 24 stone pillars around the market square.
std::vector<Item> Ring() {
  std::vector<Item> items;
  const double pi = std::acos(-1.0);
  for (int k = 0; k < 24; ++k) {
    const double a = 2 * pi * k / 24;
    items.push_back({0x0196, 1440 + static_cast<int>(std::lround(9 * std::cos(a))),
                     1690 + static_cast<int>(std::lround(9 * std::sin(a))), 0, 0});
  }
  return items;
}

// The letters "MX" laid in hued floor tiles.
std::vector<Item> Letters() {
  const char* rows[] = {
      "X...X.X...X",
      "XX.XX..X.X.",
      "X.X.X...X..",
      "X...X..X.X.",
      "X...X.X...X",
  };
  std::vector<Item> items;
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 11; ++c)
      if (rows[r][c] == 'X') items.push_back({0x0519, 1434 + c, 1720 + r, 0, 0x0481});
  return items;
}

// A small garden of flowers in three colours, on a raised bed.
std::vector<Item> Garden() {
  std::vector<Item> items;
  const uint16_t hues[] = {0x0021, 0x0035, 0x0059};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) items.push_back({0x0c83, 1460 + 2 * c, 1700 + 2 * r, 5, hues[r]});
  return items;
}

constexpr const char* Usage =
    "Usage: mirnax-demo FOLDER\n"
    "\n"
    "Writes a demo workspace into FOLDER (made if needed): three world files under STATICS/, a\n"
    "cleared statics pair staidx0.mul and statics0.mul, and a mirnax.ini that names them. Start\n"
    "mirnax or mirnax-freeze in FOLDER to freeze them.\n"
    "\n"
    "Exit status: 0 written, 1 an error, 2 bad arguments.\n";
}  // namespace

int main(int argc, char** argv) {
  const std::string_view arg = argc == 2 ? argv[1] : "";
  if (arg == "--help" || arg == "-h") {
    std::cout << Usage;
    return std::cout.flush() ? 0 : 1;
  }
  if (arg == "--version") {
    std::cout << "mirnax-demo " MIRNAX_VERSION "\n";
    return std::cout.flush() ? 0 : 1;
  }
  // Anything else that looks like an option is a mistake, never a folder name.
  if (argc != 2 || (arg.size() > 1 && arg[0] == '-')) {
    std::cerr << "mirnax-demo: expects one FOLDER (see mirnax-demo --help)\n";
    return 2;
  }
  try {
    namespace fs = std::filesystem;
    const fs::path root = fs::absolute(argv[1]);
    fs::create_directories(root / "STATICS");
    const struct {
      const char* name;
      std::vector<Item> items;
    } files[] = {{"RING.SCP", Ring()}, {"LETTERS.SCP", Letters()}, {"GARDEN.SCP", Garden()}};
    uint32_t serial = 0x1000;
    size_t count = 0;
    for (const auto& f : files) {
      std::ofstream out(root / "STATICS" / f.name, std::ios::binary | std::ios::trunc);
      out << WorldFile(f.items, serial);
      serial += 0x100;
      count += f.items.size();
      if (!out) throw Exception(Format(SFCreateError, (root / "STATICS" / f.name).c_str()));
    }
    const std::string index = (root / "staidx0.mul").string();
    const std::string data = (root / "statics0.mul").string();
    ClearStatics(TStaticsPair::Resolve(index, data));
    TStaticsConfig config(IncludeTrailingPathDelimiter(root.string()));
    config.StoreIndexPath(index);
    config.StoreDataPath(data);
    std::cout << "Demo workspace in " << root.string() << ": " << std::size(files) << " world files, " << count
              << " items, cleared statics pair\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "mirnax-demo: " << e.what() << "\n";
    return 1;
  }
}
