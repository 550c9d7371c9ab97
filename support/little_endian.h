// Little-endian integers in byte buffers, as the statics files hold them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mirnax::support {
inline void PutLE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

inline void PutLE32(uint8_t* p, uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t GetLE32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// The same at a byte offset of a string of bytes.
inline void PutLE32(std::string& s, size_t at, uint32_t v) { PutLE32(reinterpret_cast<uint8_t*>(s.data() + at), v); }
inline uint32_t GetLE32(const std::string& s, size_t at) {
  return GetLE32(reinterpret_cast<const uint8_t*>(s.data() + at));
}
}  // namespace mirnax::support
