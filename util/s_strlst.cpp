#include "util/s_strlst.h"

#include <cstring>

namespace mirnax {

char* CopyLine(char* dest, std::string_view s) {
  if (!s.empty()) std::memcpy(dest, s.data(), s.size());
  dest += s.size();
  *dest++ = '\r';
  *dest++ = '\n';
  return dest;
}

const char* ExtractLine(const char* src, std::string& s) {
  const char* p = src;
  while (*p != '\0' && *p != '\n' && *p != '\r' && *p != 26) ++p;
  s.assign(src, static_cast<size_t>(p - src));
  if (*p == '\r') ++p;
  if (*p == '\n') ++p;
  return p;
}

}  // namespace mirnax
