#include "toolkit/core/classes.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <optional>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/packed_lines.h"
#include "toolkit/core/pages_ahead.h"
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

// ---- TStringList ----

#pragma pack(push, 4)
struct TStringList::Span {
  uint64_t offset;
  uint32_t length;
};
#pragma pack(pop)

struct TStringList::TLines {
  bool packed = true;
  TPackedLines lines;
  // The spans form: a span per line into store, which also holds bytes of lines changed since.
  TTextStore store;
  std::vector<Span, TLargeAllocator<Span>> spans;
  std::vector<TObject*> objects;  // empty until an object is attached, then one per line
  uint64_t dead = 0;              // bytes of store no span refers to any more
};

TStringList::TStringList() : d_(std::make_unique<TLines>()) {}
TStringList::TStringList(const TStringList& other) : TStrings(), d_(std::make_unique<TLines>()) { Assign(other); }
TStringList::~TStringList() = default;

int TStringList::Count() const { return static_cast<int>(d_->packed ? d_->lines.Count() : d_->spans.size()); }

std::string_view TStringList::View(int index) const {
  CheckIndex(index);
  if (d_->packed) return d_->lines.View(static_cast<size_t>(index));
  const Span& s = d_->spans[static_cast<size_t>(index)];
  return std::string_view(d_->store.data() + s.offset, s.length);
}

int TStringList::Views(int first, std::string_view* out, int max) const {
  if (first < 0 || first > Count()) IndexError(first);
  if (max <= 0) return 0;
  if (d_->packed) return static_cast<int>(d_->lines.Views(static_cast<size_t>(first), out, static_cast<size_t>(max)));
  return TStrings::Views(first, out, max);
}

void TStringList::Unpack() {
  if (!d_->packed) return;
  std::vector<Span, TLargeAllocator<Span>> spans;
  spans.reserve(d_->lines.Count());
  uint64_t at = 0;
  for (size_t i = 0; i < d_->lines.Count(); ++i) {
    const uint64_t length = d_->lines.Length(i);
    spans.push_back(Span{at, static_cast<uint32_t>(length)});
    at += length;
  }
  d_->store = d_->lines.TakeStore();
  d_->spans.swap(spans);
  d_->dead = 0;
  d_->packed = false;
}

TStringList::Span TStringList::Store(std::string_view s) {
  const bool inStore = PointsInto(d_->store, s);
  if (inStore && d_->dead > 65536 && d_->dead * 2 > d_->store.size()) {
    // The compaction below frees the old store, and s with it: store a copy instead.
    const std::string copy(s);
    return Store(copy);
  }
  // Compact once more than half of a sizeable store is dead.
  if (d_->dead > 65536 && d_->dead * 2 > d_->store.size()) {
    TTextStore packed;
    packed.reserve(d_->store.size() - d_->dead + s.size());
    for (Span& span : d_->spans) {
      const uint64_t at = packed.size();
      packed.append(d_->store, span.offset, span.length);
      span.offset = at;
    }
    d_->store.swap(packed);
    d_->dead = 0;
  }
  // Guard the view of s: it may point into d_->store itself (never after a compaction, see above).
  const size_t pos = d_->store.size();
  if (inStore) {
    const size_t from = static_cast<size_t>(s.data() - d_->store.data());
    const size_t n = s.size();
    d_->store.reserve(d_->store.size() + n);
    d_->store.append(d_->store, from, n);
  } else {
    d_->store.append(s);
  }
  return Span{pos, static_cast<uint32_t>(s.size())};
}

void TStringList::Forget(const Span& span) { d_->dead += span.length; }

void TStringList::Put(int index, std::string_view s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Unpack();
  Span& old = d_->spans[static_cast<size_t>(index)];
  if (s.size() <= old.length && !PointsInto(d_->store, s)) {
    if (!s.empty()) std::memcpy(d_->store.data() + old.offset, s.data(), s.size());  // an empty view may be null
    d_->dead += old.length - s.size();
    old.length = static_cast<uint32_t>(s.size());
    return;
  }
  const Span fresh = Store(s);
  Forget(d_->spans[static_cast<size_t>(index)]);
  d_->spans[static_cast<size_t>(index)] = fresh;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return d_->objects.empty() ? nullptr : d_->objects[static_cast<size_t>(index)];
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  if (d_->objects.empty()) {
    if (object == nullptr) return;
    d_->objects.assign(static_cast<size_t>(Count()), nullptr);
  }
  d_->objects[static_cast<size_t>(index)] = object;
}

void TStringList::InsertItem(int index, std::string_view s, TObject* object) {
  // The object's room first: when it cannot be had, the line is not added either.
  const bool withObjects = !d_->objects.empty() || object != nullptr;
  const size_t needed = static_cast<size_t>(Count()) + 1;
  if (withObjects && d_->objects.capacity() < needed) d_->objects.reserve(std::max(needed, 2 * d_->objects.capacity()));
  if (d_->packed && index == Count()) {
    if (d_->lines.Holds(s))
      d_->lines.Append(std::string(s));
    else
      d_->lines.Append(s);
  } else {
    Unpack();
    const Span span = Store(s);
    d_->spans.insert(d_->spans.begin() + index, span);
  }
  if (withObjects) {
    if (d_->objects.empty()) d_->objects.assign(static_cast<size_t>(Count()) - 1, nullptr);
    d_->objects.insert(d_->objects.begin() + index, object);
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
  if (d_->packed && index == Count() - 1) {
    d_->lines.RemoveLast();
  } else {
    Unpack();
    Forget(d_->spans[static_cast<size_t>(index)]);
    d_->spans.erase(d_->spans.begin() + index);
  }
  if (!d_->objects.empty()) d_->objects.erase(d_->objects.begin() + index);
}

void TStringList::Clear() {
  d_->packed = true;
  d_->lines.Clear();
  d_->store.clear();
  d_->store.shrink_to_fit();
  d_->spans.clear();
  d_->spans.shrink_to_fit();
  d_->objects.clear();
  d_->objects.shrink_to_fit();
  d_->dead = 0;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Unpack();
  std::swap(d_->spans[static_cast<size_t>(index1)], d_->spans[static_cast<size_t>(index2)]);
  if (!d_->objects.empty()) std::swap(d_->objects[static_cast<size_t>(index1)], d_->objects[static_cast<size_t>(index2)]);
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
  std::vector<size_t> order(d_->spans.size());
  std::iota(order.begin(), order.end(), size_t{0});
  auto view = [&](size_t i) { return std::string_view(d_->store.data() + d_->spans[i].offset, d_->spans[i].length); };
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return CompareStrings(view(a), view(b)) < 0; });
  std::vector<Span, TLargeAllocator<Span>> spans(d_->spans.size());
  for (size_t i = 0; i < order.size(); ++i) spans[i] = d_->spans[order[i]];
  d_->spans.swap(spans);
  if (!d_->objects.empty()) {
    std::vector<TObject*> objects(d_->objects.size());
    for (size_t i = 0; i < order.size(); ++i) objects[i] = d_->objects[order[i]];
    d_->objects.swap(objects);
  }
}

void TStringList::Swap(TStringList& other) noexcept {
  d_.swap(other.d_);
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
  std::swap(d_->lines, lines);
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
  std::swap(d_->lines, lines);
}

}  // namespace mirnax
