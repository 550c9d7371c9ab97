// A look at a statics pair without changing anything: whether the index and the data file agree,
// and what is legal but unusual in them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/map.h"
#include "app/core/statics_pair.h"

namespace mirnax {

struct TStaticsCheck {
  int64_t Entries = 0;            // whole entries in the index
  int64_t DataBytes = 0;          // of the data file
  int64_t BlocksWithStatics = 0;  // entries with statics inside the data file
  int64_t Statics = 0;            // whole records of those blocks
  // What makes the pair inconsistent: the index's size, entries outside the data file, lengths
  // that are no whole number of records, blocks whose data overlap, statics placed outside their
  // block. The first few of each kind are described; FaultCount counts them all.
  std::vector<std::string> Faults;
  int64_t FaultCount = 0;
  // Legal but unusual: data out of block order, bytes no block refers to, an interrupted freeze.
  std::vector<std::string> Notes;
};

// Reads the pair's two files, writes nothing, takes no lock and settles nothing. Raises
// EFOpenError or EInOutError (naming the file) when either cannot be read.
TStaticsCheck CheckStaticsPair(const TStaticsPair& pair, const TMapSize& map);

}  // namespace mirnax
