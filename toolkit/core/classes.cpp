#include "toolkit/core/classes.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <optional>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/pages_ahead.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

// ---- TStrings ----

void TStrings::IndexError(int index) { throw EStringListError(Format(ExceptionText(SListIndexError).c_str(), index)); }

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
  if (sorted_) throw EStringListError(ExceptionText(SSortedListError));
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
    if (duplicates_ == dupError) throw EStringListError(ExceptionText(SDuplicateString));
  }
  InsertItem(index, s, nullptr);
  return index;
}

void TStringList::Insert(int index, std::string_view s) {
  if (sorted_) throw EStringListError(ExceptionText(SSortedListError));
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
