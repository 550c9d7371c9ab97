// Splits text that arrives in pieces into lines, finding the line ends of 64 bytes at a time: world
// files are mostly lines of ten to twenty bytes, where looking for each end on its own costs more
// than the rest of the reading.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mirnax {

// Lines as LoadFromFile gives them: CR, LF or CR LF ends a line, a last line without an end
// counts; lines and CR LF pairs that a piece boundary cuts are joined.
class TLineSplitter {
 public:
  // Calls line(std::string_view) for every line the piece completes.
  template <class F>
  void Feed(const char* p, size_t n, F&& line) {
    const char* const end = p + n;
    if (skipLf_ && p < end) {
      if (*p == '\n') ++p;  // the LF of a CR LF the previous piece ended in the middle of
      skipLf_ = false;
    }
    const char* start = p;  // where the current line begins
    for (const char* block = p; block < end; block += 64) {
      for (uint64_t marks = EndMarks(block, end); marks != 0; marks &= marks - 1) {
        const char* const stop = block + std::countr_zero(marks);
        if (stop < start) continue;  // the LF of a CR LF, taken with its CR
        if (carry_.empty()) {
          line(std::string_view(start, size_t(stop - start)));
        } else {
          carry_.append(start, stop);
          line(std::string_view(carry_));
          carry_.clear();
        }
        start = stop + 1;
        if (*stop == '\r') {
          if (start == end)
            skipLf_ = true;
          else if (*start == '\n')
            ++start;
        }
      }
    }
    carry_.append(start, end);  // the line goes on in the next piece
  }
  // After the last piece: the last line, when it has no end.
  template <class F>
  void Finish(F&& line) {
    if (!carry_.empty()) line(std::string_view(carry_));
    carry_.clear();
    skipLf_ = false;
  }

 private:
  // A bit per byte of the 64 from p on (fewer before end), set where the byte is a CR or LF.
  static uint64_t EndMarks(const char* p, const char* end) {
    char tail[64];
    if (end - p < 64) {
      std::memset(tail, 0, sizeof tail);
      std::memcpy(tail, p, size_t(end - p));
      p = tail;
    }
    uint64_t marks = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
      const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
      marks |= uint64_t(uint16_t(m)) << (16 * k);
    }
#else
    for (int i = 0; i < 64; ++i) marks |= uint64_t(p[i] == '\r' || p[i] == '\n') << i;
#endif
    return marks;
  }

  std::string carry_;
  bool skipLf_ = false;
};

}  // namespace mirnax
