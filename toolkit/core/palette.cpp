#include "toolkit/core/palette.h"

#include <algorithm>

namespace mirnax {

namespace {
std::vector<TPaletteEntry>& Entries() {
  static std::vector<TPaletteEntry> entries;
  return entries;
}
}  // namespace

void RegisterComponents(const std::string& page, std::vector<TPaletteEntry> entries) {
  for (TPaletteEntry& entry : entries) {
    entry.Page = page;
    auto& all = Entries();
    const auto same = std::find_if(all.begin(), all.end(),
                                   [&](const TPaletteEntry& e) { return e.ClassName == entry.ClassName; });
    if (same != all.end())
      *same = std::move(entry);
    else
      all.push_back(std::move(entry));
  }
}

const std::vector<TPaletteEntry>& PaletteEntries() { return Entries(); }

}  // namespace mirnax
