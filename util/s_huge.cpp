#include "util/s_huge.h"

#include <cstring>

namespace mirnax {

void HugeInc(void*& p, std::ptrdiff_t n) { p = static_cast<char*>(p) + n; }

void HugeDec(void*& p, std::ptrdiff_t n) { p = static_cast<char*>(p) - n; }

void* HugeOffset(void* p, std::ptrdiff_t n) { return static_cast<char*>(p) + n; }

const void* HugeOffset(const void* p, std::ptrdiff_t n) { return static_cast<const char*>(p) + n; }

void HMemCpy(void* dest, const void* src, std::size_t n) {
  // memmove with a count of 0 still wants valid pointers; callers may pass null then.
  if (n != 0) std::memmove(dest, src, n);
}

}  // namespace mirnax
