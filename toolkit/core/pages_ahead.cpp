#include "toolkit/core/pages_ahead.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <system_error>
#include <thread>

#include <sys/mman.h>

#include "toolkit/core/large_blocks.h"

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14 on; older systems refuse it
#endif

namespace mirnax {

struct TPagesAhead::TShared {
  // The part's whole large pages, from next (the next to back) up to back; the owner backs a
  // page the part's ends cut.
  uintptr_t next = 0, back = 0;
  std::atomic<uintptr_t> filled{0};
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> moves{0};  // counts the owner's reports, for the helper to wait on
  std::thread helper;

  void Run() {
    while (next < back && !stop.load(std::memory_order_relaxed)) {
      const uint32_t seen = moves.load(std::memory_order_acquire);
      const uintptr_t at = filled.load(std::memory_order_relaxed);
      // A page clear of the one the owner fills: two threads faulting one page in wait for
      // each other.
      next = std::max(next, RoundUpToLargePage(at) + LargePage);
      if (next >= back) return;
      if (next + LargePage > at + Window) {
        moves.wait(seen, std::memory_order_acquire);
        continue;
      }
      if (::madvise(reinterpret_cast<void*>(next), LargePage, MADV_POPULATE_WRITE) != 0) return;
      next += LargePage;
    }
  }
};

TPagesAhead::TPagesAhead(char* first, char* last) {
  if (last <= first || size_t(last - first) < LargeBlock || std::thread::hardware_concurrency() < 2) return;
  auto shared = std::make_unique<TShared>();
  shared->next = RoundUpToLargePage(reinterpret_cast<uintptr_t>(first));
  shared->back = reinterpret_cast<uintptr_t>(last) & ~uintptr_t{LargePage - 1};
  shared->filled.store(reinterpret_cast<uintptr_t>(first));
  if (shared->back <= shared->next) return;
  try {
    shared->helper = std::thread([s = shared.get()] { s->Run(); });
  } catch (const std::system_error&) {
    return;  // no thread to be had: the owner backs every page itself
  }
  shared_ = shared.release();
}

TPagesAhead::~TPagesAhead() {
  if (shared_ == nullptr) return;
  shared_->stop.store(true);
  shared_->moves.fetch_add(1, std::memory_order_release);
  shared_->moves.notify_one();
  shared_->helper.join();
  delete shared_;
}

void TPagesAhead::FilledTo(const char* at) noexcept {
  if (shared_ == nullptr) return;
  shared_->filled.store(reinterpret_cast<uintptr_t>(at), std::memory_order_relaxed);
  shared_->moves.fetch_add(1, std::memory_order_release);
  shared_->moves.notify_one();
}

}  // namespace mirnax
