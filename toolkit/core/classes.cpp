#include "toolkit/core/classes.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <memory>
#include <numeric>
#include <optional>
#include <system_error>
#include <thread>

#include <sys/mman.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14 on; older systems refuse it
#endif

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

// ---- TStrings ----

void TStrings::IndexError(int index) { throw EStringListError(Format(SListIndexError, index)); }

int TStrings::Add(std::string_view s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::Views(int first, std::string_view* out, int max) const {
  if (first < 0 || first > Count()) IndexError(first);
  const int n = std::min(max, Count() - first);
  for (int k = 0; k < n; ++k) out[k] = View(first + k);
  return std::max(n, 0);
}

int TStrings::AddObject(std::string_view s, TObject* object) {
  // A sorted list that ignores a duplicate returns the line already there; its object stays.
  const int before = Count();
  const int index = Add(s);
  if (Count() > before) PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, std::string_view s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& other) {
  if (&other == this) {
    const TStringList copy = [&] {
      TStringList c;
      c.AddStrings(other);
      return c;
    }();
    AddStrings(copy);
    return;
  }
  for (int i = 0; i < other.Count(); ++i) AddObject(other.View(i), other.GetObject(i));
}

void TStrings::Assign(const TStrings& other) {
  if (&other == this) return;
  Clear();
  AddStrings(other);
}

void TStrings::Exchange(int index1, int index2) {
  const std::string s1 = Get(index1), s2 = Get(index2);
  TObject* o1 = GetObject(index1);
  TObject* o2 = GetObject(index2);
  Put(index1, s2);
  PutObject(index1, o2);
  Put(index2, s1);
  PutObject(index2, o1);
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const { return AnsiCompareText(a, b); }

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(View(i), s) == 0) return i;
  return -1;
}

void TStrings::LoadFromFile(const std::string& fileName, const TPieceWatch& watch) {
  std::string text = ReadWholeFile(fileName);
  if (watch) watch(text);
  SetTextOwned(std::move(text));
}

void TStrings::SaveToFile(const std::string& fileName) const { WriteWholeFile(fileName, Text()); }

std::string TStrings::Text() const {
  size_t size = 0;
  for (int i = 0; i < Count(); ++i) size += View(i).size() + 2;
  std::string out;
  out.reserve(size);
  for (int i = 0; i < Count(); ++i) {
    out.append(View(i));
    out.append("\r\n");
  }
  return out;
}

void TStrings::SetTextOwned(std::string&& text) {
  Clear();
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* start = p;
    while (p < end && *p != '\r' && *p != '\n') ++p;
    Add(std::string_view(start, static_cast<size_t>(p - start)));
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
  }
}

// ---- Large blocks ----

namespace {
constexpr size_t LargePage = size_t{2} << 20;
// Smaller blocks come from the heap, which hands a freed block out again without faulting it in
// anew (a list loaded over and over). Under the address sanitizer every block does, so that it
// sees every access.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t LargeBlock = SIZE_MAX;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr size_t LargeBlock = SIZE_MAX;
#else
constexpr size_t LargeBlock = size_t{4} << 20;
#endif
#else
constexpr size_t LargeBlock = size_t{4} << 20;
#endif

size_t RoundUpToPage(size_t n) { return (n + LargePage - 1) & ~(LargePage - 1); }

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

void* MapLarge(size_t size) {
  // Mapped one page longer, then trimmed to start on a page boundary.
  void* raw = ::mmap(nullptr, size + LargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto base = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t start = RoundUpToPage(base);
  if (start > base) ::munmap(raw, start - base);
  if (const size_t tail = base + size + LargePage - (start + size); tail > 0)
    ::munmap(reinterpret_cast<void*>(start + size), tail);
  // Advice only: where large pages are not to be had the block works the same.
  ::madvise(reinterpret_cast<void*>(start), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(start);
}
}  // namespace

size_t LargeBlocksInUse() noexcept { return largeBlocksInUse.load(std::memory_order_relaxed); }

void* AllocateLarge(size_t bytes) {
  if (bytes < LargeBlock) {
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (p == nullptr) throw std::bad_alloc();
    return p;
  }
  if (bytes > SIZE_MAX - 2 * LargePage) throw std::bad_alloc();
  const size_t size = RoundUpToPage(bytes);
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
  const size_t size = RoundUpToPage(bytes);
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

// ---- TPagesAhead ----

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
      next = std::max(next, RoundUpToPage(at) + LargePage);
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
  shared->next = RoundUpToPage(reinterpret_cast<uintptr_t>(first));
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

// ---- TPackedLines ----

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

// ---- TStringList ----

std::string_view TStringList::View(int index) const {
  CheckIndex(index);
  if (packed_) return lines_.View(static_cast<size_t>(index));
  const Span& s = spans_[static_cast<size_t>(index)];
  return std::string_view(store_.data() + s.offset, s.length);
}

int TStringList::Views(int first, std::string_view* out, int max) const {
  if (first < 0 || first > Count()) IndexError(first);
  if (max <= 0) return 0;
  if (packed_) return static_cast<int>(lines_.Views(static_cast<size_t>(first), out, static_cast<size_t>(max)));
  return TStrings::Views(first, out, max);
}

void TStringList::Unpack() {
  if (!packed_) return;
  std::vector<Span, TLargeAllocator<Span>> spans;
  spans.reserve(lines_.Count());
  uint64_t at = 0;
  for (size_t i = 0; i < lines_.Count(); ++i) {
    const uint64_t length = lines_.Length(i);
    spans.push_back(Span{at, static_cast<uint32_t>(length)});
    at += length;
  }
  store_ = lines_.TakeStore();
  spans_.swap(spans);
  dead_ = 0;
  packed_ = false;
}

TStringList::Span TStringList::Store(std::string_view s) {
  const bool inStore = PointsInto(store_, s);
  if (inStore && dead_ > 65536 && dead_ * 2 > store_.size()) {
    // The compaction below frees the old store, and s with it: store a copy instead.
    const std::string copy(s);
    return Store(copy);
  }
  // Compact once more than half of a sizeable store is dead.
  if (dead_ > 65536 && dead_ * 2 > store_.size()) {
    TTextStore packed;
    packed.reserve(store_.size() - dead_ + s.size());
    for (Span& span : spans_) {
      const uint64_t at = packed.size();
      packed.append(store_, span.offset, span.length);
      span.offset = at;
    }
    store_.swap(packed);
    dead_ = 0;
  }
  // Guard the view of s: it may point into store_ itself (never after a compaction, see above).
  const size_t pos = store_.size();
  if (inStore) {
    const size_t from = static_cast<size_t>(s.data() - store_.data());
    const size_t n = s.size();
    store_.reserve(store_.size() + n);
    store_.append(store_, from, n);
  } else {
    store_.append(s);
  }
  return Span{pos, static_cast<uint32_t>(s.size())};
}

void TStringList::Forget(const Span& span) { dead_ += span.length; }

void TStringList::Put(int index, std::string_view s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Unpack();
  Span& old = spans_[static_cast<size_t>(index)];
  if (s.size() <= old.length && !PointsInto(store_, s)) {
    if (!s.empty()) std::memcpy(store_.data() + old.offset, s.data(), s.size());  // an empty view may be null
    dead_ += old.length - s.size();
    old.length = static_cast<uint32_t>(s.size());
    return;
  }
  const Span fresh = Store(s);
  Forget(spans_[static_cast<size_t>(index)]);
  spans_[static_cast<size_t>(index)] = fresh;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return objects_.empty() ? nullptr : objects_[static_cast<size_t>(index)];
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  if (objects_.empty()) {
    if (object == nullptr) return;
    objects_.assign(static_cast<size_t>(Count()), nullptr);
  }
  objects_[static_cast<size_t>(index)] = object;
}

void TStringList::InsertItem(int index, std::string_view s, TObject* object) {
  // The object's room first: when it cannot be had, the line is not added either.
  const bool withObjects = !objects_.empty() || object != nullptr;
  const size_t needed = static_cast<size_t>(Count()) + 1;
  if (withObjects && objects_.capacity() < needed) objects_.reserve(std::max(needed, 2 * objects_.capacity()));
  if (packed_ && index == Count()) {
    if (lines_.Holds(s))
      lines_.Append(std::string(s));
    else
      lines_.Append(s);
  } else {
    Unpack();
    const Span span = Store(s);
    spans_.insert(spans_.begin() + index, span);
  }
  if (withObjects) {
    if (objects_.empty()) objects_.assign(static_cast<size_t>(Count()) - 1, nullptr);
    objects_.insert(objects_.begin() + index, object);
  }
}

int TStringList::Add(std::string_view s) {
  if (!sorted_) {
    InsertItem(Count(), s, nullptr);
    return Count() - 1;
  }
  int index = 0;
  if (Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError(SDuplicateString);
  }
  InsertItem(index, s, nullptr);
  return index;
}

void TStringList::Insert(int index, std::string_view s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) IndexError(index);
  InsertItem(index, s, nullptr);
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  if (packed_ && index == Count() - 1) {
    lines_.RemoveLast();
  } else {
    Unpack();
    Forget(spans_[static_cast<size_t>(index)]);
    spans_.erase(spans_.begin() + index);
  }
  if (!objects_.empty()) objects_.erase(objects_.begin() + index);
}

void TStringList::Clear() {
  packed_ = true;
  lines_.Clear();
  store_.clear();
  store_.shrink_to_fit();
  spans_.clear();
  spans_.shrink_to_fit();
  objects_.clear();
  objects_.shrink_to_fit();
  dead_ = 0;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Unpack();
  std::swap(spans_[static_cast<size_t>(index1)], spans_[static_cast<size_t>(index2)]);
  if (!objects_.empty()) std::swap(objects_[static_cast<size_t>(index1)], objects_[static_cast<size_t>(index2)]);
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return caseSensitive_ ? a.compare(b) : AnsiCompareText(a, b);
}

int TStringList::IndexOf(std::string_view s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(View(mid), s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::Sort() {
  Unpack();
  std::vector<size_t> order(spans_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  auto view = [&](size_t i) { return std::string_view(store_.data() + spans_[i].offset, spans_[i].length); };
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return CompareStrings(view(a), view(b)) < 0; });
  std::vector<Span, TLargeAllocator<Span>> spans(spans_.size());
  for (size_t i = 0; i < order.size(); ++i) spans[i] = spans_[order[i]];
  spans_.swap(spans);
  if (!objects_.empty()) {
    std::vector<TObject*> objects(objects_.size());
    for (size_t i = 0; i < order.size(); ++i) objects[i] = objects_[order[i]];
    objects_.swap(objects);
  }
}

void TStringList::Swap(TStringList& other) noexcept {
  std::swap(packed_, other.packed_);
  std::swap(lines_, other.lines_);
  store_.swap(other.store_);
  spans_.swap(other.spans_);
  objects_.swap(other.objects_);
  std::swap(dead_, other.dead_);
  std::swap(sorted_, other.sorted_);
  std::swap(caseSensitive_, other.caseSensitive_);
  std::swap(duplicates_, other.duplicates_);
}

void TStringList::SetSorted(bool value) {
  if (value == sorted_) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

// The first CR or LF at or after p, or end. Looks at eight bytes at a time: a byte-by-byte scan
// made up most of the time of loading a large world file.
const char* NextLineEnd(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t Ones = 0x0101010101010101u, Highs = 0x8080808080808080u;
    while (end - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, sizeof word);
      const uint64_t cr = word ^ (Ones * '\r'), lf = word ^ (Ones * '\n');
      // A byte of marks has its high bit set where the word holds a CR or LF. Above the first
      // such byte a mark may be false, but only the first one is used.
      const uint64_t marks = (((cr - Ones) & ~cr) | ((lf - Ones) & ~lf)) & Highs;
      if (marks != 0) return p + std::countr_zero(marks) / 8;
      p += 8;
    }
  }
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

void TStringList::LoadFromFile(const std::string& fileName, const TPieceWatch& watch) {
  if (sorted_) {  // each line goes to its place, with the duplicates rule
    TStrings::LoadFromFile(fileName, watch);
    return;
  }
  constexpr size_t PieceSize = size_t{1} << 20;
  TPackedLines lines;
  try {
    TFileStream file(fileName, fmOpenRead);
    const int64_t size = file.Size();
    TLinePieces pieces;
    const auto add = [&lines](std::string_view line) { lines.Append(line); };
    std::vector<char> piece(PieceSize);
    std::optional<TPagesAhead> ahead;
    // Never more than the size seen at the start: a file that keeps growing does not hold the load.
    int64_t left = size;
    while (left > 0) {
      const size_t n = file.Read(piece.data(), size_t(std::min<int64_t>(left, int64_t(piece.size()))));
      if (n == 0) break;
      if (left == size) {
        // Room for the whole text, and for its lines as judged from the first piece's with a margin
        // (the table grows beyond it when the rest has shorter lines); reserved, not touched.
        const size_t ends = static_cast<size_t>(std::count(piece.data(), piece.data() + n, '\n'));
        lines.Reserve(static_cast<size_t>(size), static_cast<size_t>(size / int64_t(n) + 1) * (ends + 1) * 5 / 4);
        // The text the whole file will hold, judged the same way without the margin: its pages are
        // backed ahead of the load, never more of them than the file is likely to fill.
        const size_t text = n - ends - size_t(std::count(piece.data(), piece.data() + n, '\r'));
        const auto [room, roomEnd] = lines.TextRoom();
        ahead.emplace(room, room + std::min<size_t>(size_t(roomEnd - room), size_t(double(size) / double(n) * double(text))));
      }
      left -= int64_t(n);
      if (watch) watch(std::string_view(piece.data(), n));
      pieces.Feed(piece.data(), n, add);
      ahead->FilledTo(lines.TextRoom().first);
    }
    pieces.Finish(add);
  } catch (const EInOutError& e) {
    throw ReadFailure(fileName, e.ErrorCode);
  }
  Clear();
  std::swap(lines_, lines);
}

void TStringList::SetTextOwned(std::string&& text) {
  if (sorted_) {  // each line goes to its place, with the duplicates rule
    TStrings::SetTextOwned(std::move(text));
    return;
  }
  TPackedLines lines;
  lines.Reserve(text.size(), static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  TLinePieces pieces;
  const auto add = [&lines](std::string_view line) { lines.Append(line); };
  pieces.Feed(text.data(), text.size(), add);
  pieces.Finish(add);
  Clear();
  std::swap(lines_, lines);
}

}  // namespace mirnax
