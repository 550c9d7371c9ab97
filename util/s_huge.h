// Byte-address arithmetic for buffers addressed through untyped pointers.
#pragma once

#include <cstddef>

#include "mirnax/mirnax_export.h"

namespace mirnax {

/// p = p + n bytes.
MIRNAX_EXPORT void HugeInc(void*& p, std::ptrdiff_t n);
/// p = p - n bytes.
MIRNAX_EXPORT void HugeDec(void*& p, std::ptrdiff_t n);
/// p + n bytes.
MIRNAX_EXPORT void* HugeOffset(void* p, std::ptrdiff_t n);
/// p + n bytes, for a constant block.
MIRNAX_EXPORT const void* HugeOffset(const void* p, std::ptrdiff_t n);
/// Copies n bytes from src to dest; the two ranges may overlap.
MIRNAX_EXPORT void HMemCpy(void* dest, const void* src, std::size_t n);

}  // namespace mirnax
