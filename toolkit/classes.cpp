#include "toolkit/classes.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <numeric>

#include "toolkit/exceptions.h"
#include "toolkit/fileio.h"
#include "toolkit/sysutils.h"

// ---- TStrings ----

void TStrings::IndexError(int index) { throw EStringListError(Format(SListIndexError, index)); }

int TStrings::Add(std::string_view s) {
  const int index = Count();
  Insert(index, s);
  return index;
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

void TStrings::LoadFromFile(const std::string& fileName) { SetTextOwned(ReadWholeFile(fileName)); }

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

// ---- TStringList ----

std::string_view TStringList::View(int index) const {
  CheckIndex(index);
  const Span& s = spans_[static_cast<size_t>(index)];
  return std::string_view(store_.data() + s.offset, s.length);
}

TStringList::Span TStringList::Store(std::string_view s) {
  const bool inStore = s.data() >= store_.data() && s.data() < store_.data() + store_.size();
  if (inStore && dead_ > 65536 && dead_ * 2 > store_.size()) {
    // The compaction below frees the old store, and s with it: store a copy instead.
    const std::string copy(s);
    return Store(copy);
  }
  // Compact once more than half of a sizeable store is dead.
  if (dead_ > 65536 && dead_ * 2 > store_.size()) {
    std::string packed;
    packed.reserve(store_.size() - dead_ + s.size());
    for (Span& span : spans_) {
      const uint64_t at = packed.size();
      packed.append(store_, span.offset, span.length);
      span.offset = at;
    }
    store_.swap(packed);
    dead_ = 0;
  }
  // Guard the view of s: it may point into store_ itself.
  const size_t pos = store_.size();
  if (s.data() >= store_.data() && s.data() < store_.data() + store_.size()) {
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
  Span& old = spans_[static_cast<size_t>(index)];
  if (s.size() <= old.length && !(s.data() >= store_.data() && s.data() < store_.data() + store_.size())) {
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
    objects_.assign(spans_.size(), nullptr);
  }
  objects_[static_cast<size_t>(index)] = object;
}

void TStringList::InsertItem(int index, std::string_view s, TObject* object) {
  const Span span = Store(s);
  spans_.insert(spans_.begin() + index, span);
  if (!objects_.empty() || object != nullptr) {
    if (objects_.empty()) objects_.assign(spans_.size() - 1, nullptr);
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
  Forget(spans_[static_cast<size_t>(index)]);
  spans_.erase(spans_.begin() + index);
  if (!objects_.empty()) objects_.erase(objects_.begin() + index);
}

void TStringList::Clear() {
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
  std::vector<size_t> order(spans_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  auto view = [&](size_t i) { return std::string_view(store_.data() + spans_[i].offset, spans_[i].length); };
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return CompareStrings(view(a), view(b)) < 0; });
  std::vector<Span> spans(spans_.size());
  for (size_t i = 0; i < order.size(); ++i) spans[i] = spans_[order[i]];
  spans_.swap(spans);
  if (!objects_.empty()) {
    std::vector<TObject*> objects(objects_.size());
    for (size_t i = 0; i < order.size(); ++i) objects[i] = objects_[order[i]];
    objects_.swap(objects);
  }
}

void TStringList::Swap(TStringList& other) noexcept {
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

// Past the line end at p: CR LF, CR or LF.
namespace {
const char* SkipLineEnd(const char* p, const char* end) {
  if (p < end && *p == '\r') ++p;
  if (p < end && *p == '\n') ++p;
  return p;
}
}  // namespace

void TStringList::LoadFromFile(const std::string& fileName) {
  if (sorted_) {  // each line goes to its place, with the duplicates rule
    TStrings::LoadFromFile(fileName);
    return;
  }
  constexpr size_t PieceSize = size_t{1} << 20;
  std::string store;
  std::vector<Span> spans;
  try {
    TFileStream file(fileName, fmOpenRead);
    const int64_t size = file.Size();
    // Reserved, not filled: only what the lines take is ever touched.
    store.reserve(static_cast<size_t>(size));
    TLinePieces pieces;
    const auto add = [&](std::string_view line) {
      spans.push_back(Span{store.size(), static_cast<uint32_t>(line.size())});
      store.append(line);
    };
    std::vector<char> piece(PieceSize);
    bool first = true;
    // Never more than the size seen at the start: a file that keeps growing does not hold the load.
    int64_t left = size;
    while (left > 0) {
      const size_t n = file.Read(piece.data(), size_t(std::min<int64_t>(left, int64_t(piece.size()))));
      if (n == 0) break;
      left -= int64_t(n);
      pieces.Feed(piece.data(), n, add);
      if (first && size > int64_t(n)) {
        // Room for the lines of the whole file, judged from the first piece's, with a margin; the
        // table grows beyond it when the rest of the file has shorter lines.
        spans.reserve(static_cast<size_t>(int64_t(spans.size() + 1) * (size / int64_t(n) + 1) * 5 / 4));
      }
      first = false;
    }
    pieces.Finish(add);
  } catch (const EInOutError& e) {
    throw ReadFailure(fileName, e.ErrorCode);
  }
  Clear();
  store_ = std::move(store);
  spans_ = std::move(spans);
}

void TStringList::SetTextOwned(std::string&& text) {
  if (sorted_) {  // each line goes to its place, with the duplicates rule
    TStrings::SetTextOwned(std::move(text));
    return;
  }
  Clear();
  char* const base = text.data();
  const char* const end = base + text.size();
  // Count the lines first so the span table is allocated once.
  size_t lines = 0;
  for (const char* p = base; p < end; ++lines) p = SkipLineEnd(NextLineEnd(p, end), end);
  spans_.reserve(lines);
  // Take the text over as the store, squeezing the line ends out in place.
  size_t write = 0;
  for (const char* p = base; p < end;) {
    const char* stop = NextLineEnd(p, end);
    const auto length = static_cast<size_t>(stop - p);
    const auto read = static_cast<size_t>(p - base);
    if (write != read) std::memmove(base + write, p, length);
    spans_.push_back(Span{write, static_cast<uint32_t>(length)});
    write += length;
    p = SkipLineEnd(stop, end);
  }
  text.resize(write);
  store_ = std::move(text);
}
