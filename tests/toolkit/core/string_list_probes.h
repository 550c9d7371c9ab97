// What the string list tests look at beside the lists' own answers: their lines as copies, and
// the memory the process holds.
#pragma once

#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/classes.h"
#include "toolkit/core/large_blocks.h"

#ifdef __SANITIZE_ADDRESS__
// The sanitizer's own allocator serves the heap then (from its runtime's interface).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

// Bytes of the heap in use now, from the allocator that serves this build.
inline size_t HeapInUse() {
#ifdef __SANITIZE_ADDRESS__
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 heap = mallinfo2();
  // Large blocks are mapped apart from the heap, by the allocator or by the lists themselves.
  return heap.uordblks + heap.hblkhd + mirnax::LargeBlocksInUse();
#endif
}

inline std::vector<std::string> Lines(const mirnax::TStrings& l) {
  std::vector<std::string> out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l.Get(i));
  return out;
}

// The lines as Views hands them out, in batches of an odd size that straddles the groups.
inline std::vector<std::string> Batched(const mirnax::TStrings& l) {
  std::vector<std::string> out;
  std::string_view batch[7];
  for (int first = 0; first < l.Count();) {
    const int n = l.Views(first, batch, 7);
    if (n <= 0) break;
    for (int k = 0; k < n; ++k) out.emplace_back(batch[k]);
    first += n;
  }
  return out;
}

// Bytes resident in memory now.
inline size_t Resident() {
  size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages >> pages;
  return pages * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}
