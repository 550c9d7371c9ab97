#include "toolkit/core/large_blocks.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include <sys/mman.h>

namespace mirnax {

namespace {

std::atomic<size_t> largeBlocksInUse{0};

// The last freed block up to KeptBlock bytes is kept and handed out again for the next that fits:
// a list loaded over and over then finds its pages in place instead of faulting fresh ones in.
// Larger blocks go back to the system at once.
constexpr size_t KeptBlock = size_t{32} << 20;
struct TKeptBlock {
  std::mutex lock;
  void* p = nullptr;
  size_t size = 0;
};
TKeptBlock& Kept() {
  // Never destroyed: a list that lives until the program's exit may free its blocks after every
  // other static is gone.
  static TKeptBlock* const kept = new TKeptBlock;
  return *kept;
}

// A block takes whole 4 KB pages, not whole large pages: it starts on a large page, so every large
// page it covers whole may be one, and its last piece takes only the small pages it touches.
constexpr size_t SmallPage = 4096;
size_t RoundUpToSmallPage(size_t n) { return (n + SmallPage - 1) & ~(SmallPage - 1); }

void* MapLarge(size_t size) {
  // Mapped one page longer, then trimmed to start on a page boundary.
  void* raw = ::mmap(nullptr, size + LargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto base = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t start = RoundUpToLargePage(base);
  if (start > base) ::munmap(raw, start - base);
  if (const size_t tail = base + size + LargePage - (start + size); tail > 0)
    ::munmap(reinterpret_cast<void*>(start + size), tail);
  // Advice only: where large pages are not to be had the block works the same.
  ::madvise(reinterpret_cast<void*>(start), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(start);
}
}  // namespace

void* AllocatePages(size_t bytes, bool fill) {
  if (LargeBlock == SIZE_MAX) {
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (p == nullptr) throw std::bad_alloc();
    return p;
  }
  void* p = ::mmap(nullptr, bytes == 0 ? 1 : bytes, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | (fill ? MAP_POPULATE : 0), -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  return p;
}

void FillPages(void* p, size_t bytes) noexcept {
  if (LargeBlock == SIZE_MAX || bytes == 0) return;
  // The block starts on a page and ends on one: the pages around the range lie inside it.
  const uintptr_t from = reinterpret_cast<uintptr_t>(p) & ~uintptr_t{SmallPage - 1};
  const uintptr_t to = RoundUpToSmallPage(reinterpret_cast<uintptr_t>(p) + bytes);
  ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
}

void FreePages(void* p, size_t bytes) noexcept {
  if (p == nullptr) return;
  if (LargeBlock == SIZE_MAX)
    std::free(p);
  else
    ::munmap(p, bytes == 0 ? 1 : bytes);
}

size_t LargeBlocksInUse() noexcept { return largeBlocksInUse.load(std::memory_order_relaxed); }

void* AllocateLarge(size_t bytes) {
  if (bytes < LargeBlock) {
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (p == nullptr) throw std::bad_alloc();
    return p;
  }
  if (bytes > SIZE_MAX - 2 * LargePage) throw std::bad_alloc();
  const size_t size = RoundUpToSmallPage(bytes);
  void* p = nullptr;
  {
    TKeptBlock& kept = Kept();
    const std::lock_guard<std::mutex> hold(kept.lock);
    if (kept.p != nullptr && kept.size >= size) {
      p = kept.p;
      if (kept.size > size) ::munmap(static_cast<char*>(p) + size, kept.size - size);
      kept.p = nullptr;
      kept.size = 0;
    }
  }
  if (p == nullptr) p = MapLarge(size);
  largeBlocksInUse.fetch_add(size, std::memory_order_relaxed);
  return p;
}

void FreeLarge(void* p, size_t bytes) noexcept {
  if (bytes < LargeBlock) {
    std::free(p);
    return;
  }
  const size_t size = RoundUpToSmallPage(bytes);
  largeBlocksInUse.fetch_sub(size, std::memory_order_relaxed);
  if (size <= KeptBlock) {
    TKeptBlock& kept = Kept();
    const std::lock_guard<std::mutex> hold(kept.lock);
    void* const older = kept.p;
    const size_t olderSize = kept.size;
    kept.p = p;
    kept.size = size;
    if (older != nullptr) ::munmap(older, olderSize);
    return;
  }
  ::munmap(p, size);
}

}  // namespace mirnax
