// Memory for large tables, mapped on its own beside the heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace mirnax {

// Blocks from LargeBlock bytes on are mapped on their own, starting on a page of LargePage bytes.
// Smaller blocks come from the heap, which hands a freed block out again without faulting it in
// anew (a list loaded over and over). Under the address sanitizer every block does, so that it
// sees every access.
inline constexpr size_t LargePage = size_t{2} << 20;
#if defined(__SANITIZE_ADDRESS__)
inline constexpr size_t LargeBlock = SIZE_MAX;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr size_t LargeBlock = SIZE_MAX;
#else
inline constexpr size_t LargeBlock = size_t{4} << 20;
#endif
#else
inline constexpr size_t LargeBlock = size_t{4} << 20;
#endif

inline size_t RoundUpToLargePage(size_t n) { return (n + LargePage - 1) & ~(LargePage - 1); }

// Memory for large tables. A block of a few megabytes or more is mapped on its own and backed by
// 2 MB pages where the system allows: filling it then faults once per 2 MB instead of once per
// 4 KB page, which for a large file's lines cost more than copying them. Parts of a block never
// touched take no memory.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* p, size_t bytes) noexcept;
// Pages of their own for a table that grows in steps of up to some hundred kilobytes: mapped and
// faulted in at once when asked for (one call instead of a fault per 4 KB page) and given back to
// the system when freed, never kept for reuse, so memory freed while a larger table fills is memory
// the process no longer holds. From the heap under the address sanitizer, as above.
// With fill false the pages are faulted in as they are touched, or by FillPages.
void* AllocatePages(size_t bytes, bool fill = true);
void FreePages(void* p, size_t bytes) noexcept;
// Faults in at once the pages of bytes from p on, inside a block of AllocatePages (one call for all
// of them where the system can; otherwise they come as they are touched).
void FillPages(void* p, size_t bytes) noexcept;
// Bytes of the blocks mapped on their own and handed out now (touched or not; not the one kept for
// reuse); the heap's statistics miss them.
size_t LargeBlocksInUse() noexcept;

template <class T>
struct TLargeAllocator {
  using value_type = T;
  TLargeAllocator() noexcept = default;
  template <class U>
  TLargeAllocator(const TLargeAllocator<U>&) noexcept {}
  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* p, size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const TLargeAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace mirnax
