// A run's world files read into its item store, told in the run's log as they go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/block_store.h"
#include "app/core/file_sum.h"
#include "app/core/frozen_worlds.h"
#include "app/core/run.h"
#include "app/core/statics_pair.h"
#include "app/core/world_reader.h"

namespace mirnax {

// The world files frozen into the pair before this run (as the record said when the run began),
// and those this run reads.
class TFrozenWorlds {
 public:
  // warnAgain: a file frozen before is also told to the host's FrozenAgain (a run that will freeze
  // it again), not only logged (a dry run).
  explicit TFrozenWorlds(const TStaticsPair& pair, bool warnAgain = true);

  // The record holds sums of an earlier version (CRC-32): world files are summed that way too.
  bool WantsCrc32() const;
  // Says, after the file's count line, when the file (the bytes read, summed) was frozen into the
  // pair before.
  void Read(const TRunRequest::TWorldFile& file, const TFileSum& sum, TRunHost& host);
  // The world files this run reads, for the freeze to record (frozen_worlds.h).
  const std::vector<TFrozenWorld>& Now() const { return now_; }

 private:
  const TFrozenWorld* Find(const TFileSum& sum) const;

  std::vector<TFrozenWorld> before_, now_;
  bool warnAgain_;
};

// Reads every world file of request into store, each parsed as it is read and never held whole,
// and logs per file: an empty line, "Loading ... NAME", "Parsing ... NAME", "The Worldfile contains
// ... N Items", then what is worth a word (UTF-16 text, frozen before, items outside the map or
// outside the request's area, duplicates: none of these is taken). With duplicates, an item whose
// record its block has already is a duplicate. The
// step gauge counts each file's pieces from none; the total gauge steps once per file. Returns the
// items taken; outsideMap, when given, gets the count of items outside the map. A bad position is
// logged as "Error in NAME, line N" and raised.
int64_t ReadWorldFiles(const TRunRequest& request, TBlockStore& store, TRunHost& host, TFrozenWorlds& frozen,
                       TDuplicateCheck* duplicates = nullptr, int64_t* outsideMap = nullptr);

}  // namespace mirnax
