// The records a freeze already has, for --skip-duplicates: an item whose 7-byte record is already
// in its block is left out.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/map.h"
#include "app/core/statics_pair.h"
#include "app/core/world_reader.h"

namespace mirnax {

class TStaticDuplicates : public TDuplicateCheck {
 public:
  // pair: the statics that are kept, whose records count (read whole here; an entry that points
  // outside the data file holds none, the freeze refuses it later); null when they are cleared.
  TStaticDuplicates(const TStaticsPair* pair, const TMapSize& map);

  // True when item's record is in block already: in the kept statics or added before in this run.
  // Otherwise it is added now.
  bool Seen(int32_t block, const StaticItem& item) override;

 private:
  struct TKey {
    int32_t Block;
    uint64_t Record;
    bool operator==(const TKey&) const = default;
  };
  struct THash {
    size_t operator()(const TKey& k) const noexcept;
  };

  int32_t blocks_;
  std::vector<uint8_t> index_, data_;  // the kept statics, or nothing
  std::unordered_set<TKey, THash> added_;
};

}  // namespace mirnax
