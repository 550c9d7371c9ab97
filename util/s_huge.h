// Byte-address arithmetic for buffers addressed through untyped pointers.
#pragma once

#include <cstddef>

namespace mirnax {

// p = p + n bytes.
void HugeInc(void*& p, std::ptrdiff_t n);
// p = p - n bytes.
void HugeDec(void*& p, std::ptrdiff_t n);
// p + n bytes.
void* HugeOffset(void* p, std::ptrdiff_t n);
const void* HugeOffset(const void* p, std::ptrdiff_t n);
// Copies n bytes from src to dest; the two ranges may overlap.
void HMemCpy(void* dest, const void* src, std::size_t n);

}  // namespace mirnax
