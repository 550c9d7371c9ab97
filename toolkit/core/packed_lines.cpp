#include "toolkit/core/packed_lines.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mirnax {

uint64_t TPackedLines::LongLength(size_t index) const {
  const auto it = std::lower_bound(longs_.begin(), longs_.end(), index,
                                   [](const TLong& l, size_t i) { return l.index < i; });
  return it->length;
}

std::string_view TPackedLines::View(size_t index) const {
  const size_t group = index / GroupLines;
  const size_t before = index % GroupLines;
  const uint8_t* lengths = lengths_.data() + group * GroupLines;
  // The lengths before the line in its group, summed all at once.
  uint64_t sum = 0;
  bool longs = false;
#if defined(__SSE2__) && defined(__x86_64__)
  static_assert(GroupLines == 32);
  const __m128i limit = _mm_set1_epi8(static_cast<char>(before));
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lengths));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lengths + 16));
  // Bytes from the line on are masked off.
  const __m128i lowKept =
      _mm_and_si128(low, _mm_cmplt_epi8(_mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15), limit));
  const __m128i highKept = _mm_and_si128(
      high, _mm_cmplt_epi8(_mm_setr_epi8(16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31), limit));
  const __m128i sums = _mm_add_epi64(_mm_sad_epu8(lowKept, _mm_setzero_si128()), _mm_sad_epu8(highKept, _mm_setzero_si128()));
  sum = static_cast<uint64_t>(_mm_cvtsi128_si64(sums)) + static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
  const __m128i all = _mm_set1_epi8(static_cast<char>(LongLine));
  longs = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(lowKept, all), _mm_cmpeq_epi8(highKept, all))) != 0;
#else
  // Eight at a time: the group's 32 bytes as four words, the bytes from the line on masked off,
  // the words' bytes added pairwise into 16-bit lanes (at most 4 x 2 x 255 each) and the lanes
  // summed by one multiplication.
  constexpr uint64_t Ones = 0x0101010101010101u, Highs = 0x8080808080808080u, EvenBytes = 0x00FF00FF00FF00FFu;
  uint64_t words[GroupLines / 8];
  std::memcpy(words, lengths, sizeof words);
  uint64_t lanes = 0, marks = 0;
  for (size_t w = 0; w < GroupLines / 8; ++w) {
    const size_t bytes = before > 8 * w ? std::min<size_t>(8, before - 8 * w) : 0;
    const uint64_t x = words[w] & (bytes == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * bytes)) - 1);
    lanes += (x & EvenBytes) + ((x >> 8) & EvenBytes);
    marks |= (~x - Ones) & x & Highs;  // some byte is LongLine
  }
  sum = (lanes * 0x0001000100010001u) >> 48;
  longs = marks != 0;
#endif
  uint64_t at = starts_[group];
  if (!longs) {
    at += sum;
  } else {
    for (size_t k = 0; k < before; ++k) at += Length(group * GroupLines + k);
  }
  return std::string_view(store_.data() + at, static_cast<size_t>(Length(index)));
}

size_t TPackedLines::Views(size_t first, std::string_view* out, size_t max) const {
  const size_t n = first < count_ ? std::min(max, count_ - first) : 0;
  if (n == 0) return 0;
  const char* at = View(first).data();
  for (size_t k = 0; k < n; ++k) {
    const auto length = static_cast<size_t>(Length(first + k));
    out[k] = std::string_view(at, length);
    at += length;
  }
  return n;
}

void TPackedLines::Append(std::string_view s) {
  const size_t index = count_;
  if (s.size() < LongLine && index % GroupLines != 0) {
    // The common case: a short line inside a group, whose length byte is already there.
    store_.append(s.data(), s.size());
    lengths_[index] = static_cast<uint8_t>(s.size());
    count_ = index + 1;
    return;
  }
  const bool isLong = s.size() >= LongLine;
  const bool newGroup = index % GroupLines == 0;
  // Make room everywhere first: past the store's append nothing can fail.
  if (newGroup && lengths_.capacity() - lengths_.size() < GroupLines)
    lengths_.reserve(std::max<size_t>(2 * GroupLines, 2 * lengths_.size()));
  if (newGroup && starts_.size() == starts_.capacity()) starts_.reserve(std::max<size_t>(4, 2 * starts_.size()));
  if (isLong && longs_.size() == longs_.capacity()) longs_.reserve(std::max<size_t>(4, 2 * longs_.size()));
  const uint64_t at = store_.size();
  store_.append(s.data(), s.size());
  if (newGroup) {
    starts_.push_back(at);
    lengths_.resize(lengths_.size() + GroupLines, 0);
  }
  if (isLong) longs_.push_back(TLong{index, s.size()});
  lengths_[index] = isLong ? LongLine : static_cast<uint8_t>(s.size());
  ++count_;
}

void TPackedLines::RemoveLast() {
  const size_t index = count_ - 1;
  store_.resize(static_cast<size_t>(store_.size() - Length(index)));
  if (lengths_[index] == LongLine) longs_.pop_back();
  lengths_[index] = 0;
  if (index % GroupLines == 0) {
    starts_.pop_back();
    lengths_.resize(lengths_.size() - GroupLines);
  }
  count_ = index;
}

void TPackedLines::Clear() {
  count_ = 0;
  TTextStore().swap(store_);
  decltype(lengths_)().swap(lengths_);
  decltype(starts_)().swap(starts_);
  decltype(longs_)().swap(longs_);
}

void TPackedLines::Reserve(size_t bytes, size_t lines) {
  store_.reserve(bytes);
  const size_t groups = lines / GroupLines + 1;
  lengths_.reserve(groups * GroupLines);
  starts_.reserve(groups);
}

TTextStore TPackedLines::TakeStore() {
  TTextStore store;
  store.swap(store_);
  Clear();
  return store;
}

uint64_t TLinePieces::EndMarks(const char* p, const char* end) {
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

}  // namespace mirnax
