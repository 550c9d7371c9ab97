// Writes the demo workspace: three small world files under STATICS/, a cleared statics pair and a
// mirnax.ini that points at it. Usage: mirnax-demo FOLDER
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/config.h"
#include "app/core/statics.h"
#include "toolkit/exceptions.h"
#include "toolkit/paths.h"
#include "toolkit/sysutils.h"

namespace {
struct Item {
  int tile;
  int x, y, z;
  int hue;
};

std::string Hex(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04x", v);  // world files write lower-case hex digits
  return buf;
}

std::string WorldFile(const std::vector<Item>& items, unsigned serial) {
  std::ostringstream out;
  out << "// saved world, demo shard\r\n\r\n";
  for (const Item& it : items) {
    out << "[WORLDITEM " << Hex(it.tile) << "]\r\n";
    out << "SERIAL=04" << Hex(static_cast<int>(serial++)) << "\r\n";
    out << "ID=" << Hex(it.tile) << "\r\n";
    if (it.hue != 0) out << "COLOR=" << Hex(it.hue) << "\r\n";
    out << "P=" << it.x << "," << it.y << "," << it.z << "\r\n";
    out << "CONT=-1\r\n\r\n";
  }
  return out.str();
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
  const int hues[] = {0x0021, 0x0035, 0x0059};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) items.push_back({0x0c83, 1460 + 2 * c, 1700 + 2 * r, 5, hues[r]});
  return items;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: mirnax-demo FOLDER\n";
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
    unsigned serial = 0x1000;
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
    ClearStatics(index, data);
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
