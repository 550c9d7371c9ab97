#include "controls/jumpmemo/jumpmemo_document.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "controls/jumpmemo/text_primitives.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {

bool IsPictChar(unsigned char c) { return IsWordChar(c) || c == '.' || c == '_'; }

// Finds the markers of one kind in a line as the bounded word search accepts them and calls found
// with each marked name and the width of the line up to and including its marker. The widths are
// summed as the scan moves right, so a line costs one pass however many markers it holds.
template <typename Emit>
void ScanMarkers(std::string_view line, char marker, bool (*isNameChar)(unsigned char),
                 const TTextMetrics& metrics, Emit&& found) {
  const std::string_view needle(&marker, 1);
  int start = 0;
  size_t measured = 0;
  int64_t measured64 = 0;
  for (;;) {
    const int p = FindWordFrom(needle, line, start, false);
    if (p <= start) break;
    start = p + 1;
    const size_t wordStart = static_cast<size_t>(p);  // p is 1-based: the word follows the marker
    measured64 += metrics.Width64(line.substr(measured, wordStart - measured));
    measured = wordStart;
    size_t end = wordStart;
    while (end < line.size() && isNameChar(static_cast<unsigned char>(line[end]))) ++end;
    found(line.substr(wordStart, end - wordStart), TTextMetrics::Round(measured64));
  }
}

template <typename T>
const T& EmptyOf() {
  static const T empty;
  return empty;
}

}  // namespace

// ---- lists ----

TJumpDocument::TListKind TJumpDocument::CreateLists() {
  // Each list is made on its own so that a failure can say which one could not be had.
  const auto create = [](auto& list) {
    try {
      list = std::make_unique<typename std::decay_t<decltype(list)>::element_type>();
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  };
  if (!create(lines_)) return lkLines;
  if (!create(selWords_)) return lkSelWords;
  if (!create(jumpWords_)) return lkJumpWords;
  if (!create(jumps_)) return lkJumps;
  if (!create(picts_)) return lkPicts;
  jumpWords_->SetSorted(true);
  jumpWords_->SetDuplicates(dupIgnore);
  return lkNone;
}

TS_StringList& TJumpDocument::Lines() {
  if (!lines_) throw EOutOfMemory();
  return *lines_;
}

const TS_StringList& TJumpDocument::Lines() const {
  if (!lines_) throw EOutOfMemory();
  return *lines_;
}

const std::vector<TJump>& TJumpDocument::Jumps() const { return jumps_ ? *jumps_ : EmptyOf<std::vector<TJump>>(); }
const std::vector<TPict>& TJumpDocument::Picts() const { return picts_ ? *picts_ : EmptyOf<std::vector<TPict>>(); }
const TStringList& TJumpDocument::JumpWords() const { return jumpWords_ ? *jumpWords_ : EmptyOf<TStringList>(); }
const TStringList& TJumpDocument::SelWords() const { return selWords_ ? *selWords_ : EmptyOf<TStringList>(); }

int32_t TJumpDocument::LineLength(int i) const {
  if (!lines_ || i < 0 || i >= lines_->Count()) return 0;
  return ClampToInt(static_cast<int64_t>(lines_->View(i).size()));
}

int32_t TJumpDocument::MaxLineLength() {
  if (!maxLenValid_ && lines_) {
    size_t longest = 0;
    const int count = lines_->Count();
    for (int i = 0; i < count; ++i) longest = std::max(longest, lines_->View(i).size());
    maxLineLength_ = ClampToInt(static_cast<int64_t>(std::min<size_t>(longest, INT32_MAX)));
    maxLenValid_ = true;
  }
  return maxLineLength_;
}

void TJumpDocument::Clear() {
  if (!Ready()) return;
  jumps_->clear();
  picts_->clear();
  lines_->Clear();
  selWords_->Clear();
  maxLenValid_ = false;
}

// ---- markup ----

void TJumpDocument::ReadJumps(const TTextMetrics& metrics, int32_t lineHeight) {
  if (!Ready()) return;
  jumps_->clear();
  picts_->clear();
  jumpWords_->Clear();
  // The distinct words are collected first and put into the sorted list in order, so that each
  // one lands at the list's end instead of being inserted into its middle.
  std::vector<std::string_view> words;
  const int count = lines_->Count();
  // Lines are taken from the list in batches, which is cheaper than one at a time.
  constexpr int Batch = 256;
  std::string_view batch[Batch];
  for (int i = 0; i < count; ++i) {
    if (i % Batch == 0) lines_->Views(i, batch, Batch);
    const std::string_view line = batch[i % Batch];
    if (!std::memchr(line.data(), '~', line.size()) && !std::memchr(line.data(), '^', line.size())) continue;
    const int32_t top = ClampToInt(int64_t{i} * lineHeight);
    ScanMarkers(line, '~', IsWordChar, metrics, [&](std::string_view word, int32_t left) {
      jumps_->emplace_back(std::string(word), i, left, top, metrics.Width(word), lineHeight);
      words.push_back(word);
    });
    ScanMarkers(line, '^', IsPictChar, metrics, [&](std::string_view name, int32_t left) {
      picts_->emplace_back(std::string(name), i, left, top, metrics.Width(name), lineHeight);
    });
  }
  const auto less = [](std::string_view a, std::string_view b) { return AnsiCompareText(a, b) < 0; };
  std::stable_sort(words.begin(), words.end(), less);
  const auto same = [](std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; };
  words.erase(std::unique(words.begin(), words.end(), same), words.end());
  for (const std::string_view word : words) jumpWords_->Add(word);
}

// ---- page markers ----

std::string TJumpDocument::MarkerLine(const std::string& marker, int page) {
  return "- " + marker + " " + IntToStr(page) + " -";
}

bool TJumpDocument::IsMarkerLine(std::string_view line, const std::string& marker) {
  // "- " + marker + " " + the page number as MarkerLine writes it (no sign, no leading zero) + " -".
  const std::string_view head = "- ";
  const std::string_view tail = " -";
  if (line.size() < head.size() + marker.size() + 1 + 1 + tail.size()) return false;
  if (!line.starts_with(head) || !line.ends_with(tail)) return false;
  line.remove_prefix(head.size());
  line.remove_suffix(tail.size());
  if (!line.starts_with(marker)) return false;
  line.remove_prefix(marker.size());
  if (line.size() < 2 || line[0] != ' ' || line[1] == '0') return false;
  line.remove_prefix(1);
  return std::all_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The text is rebuilt in one pass instead of inserting line by line, which would move the whole
// list once per marker; swapped in at the end, so it never holds only some of the markers.
void TJumpDocument::InsertPages(const std::string& marker) {
  if (!Ready()) return;
  maxLenValid_ = false;
  TS_StringList paged;
  const int count = lines_->Count();
  const int pages = count / PageTextLines + 1;
  int next = 0;
  std::string_view page[PageTextLines];
  for (int k = 0; k < pages; ++k) {
    paged.Add(MarkerLine(marker, k + 1));
    const int n = next < count ? lines_->Views(next, page, PageTextLines) : 0;
    for (int j = 0; j < n; ++j, ++next) paged.AddObject(page[j], lines_->GetObject(next));
  }
  lines_->Swap(paged);
}

void TJumpDocument::RemovePages(const std::string& marker) {
  if (!Ready()) return;
  maxLenValid_ = false;
  const auto isMarker = [&](std::string_view line) { return IsMarkerLine(line, marker); };
  const int count = lines_->Count();
  int first = 0;
  while (first < count && !isMarker(lines_->View(first))) ++first;
  if (first == count) return;
  TS_StringList kept;
  constexpr int Batch = 256;
  std::string_view batch[Batch];
  for (int i = 0; i < count; ++i) {
    if (i % Batch == 0) lines_->Views(i, batch, Batch);
    const std::string_view line = batch[i % Batch];
    if (!isMarker(line)) kept.AddObject(line, lines_->GetObject(i));
  }
  lines_->Swap(kept);
}

// ---- look-ups ----

int TJumpDocument::GetPos(const std::string& word, int from) const {
  // An empty word occurs nowhere.
  if (!lines_ || word.empty()) return from;
  const std::string needle = FoldText(word);
  std::string folded;
  const int count = lines_->Count();
  for (int i = std::max(from, 0); i < count; ++i) {
    const std::string_view line = lines_->View(i);
    if (line.size() < needle.size()) continue;
    FoldTextInto(line, folded);
    if (folded.find(needle) != std::string::npos) return i;
  }
  return from;
}

std::optional<TTextMatch> TJumpDocument::Search(const std::string& text, int line, int col, bool forward) const {
  // An empty text would "match" at the caret for ever.
  if (!lines_ || text.empty()) return std::nullopt;
  const int count = lines_->Count();
  if (line < 0 || line >= count) return std::nullopt;
  const std::string needle = FoldText(text);
  std::string folded;
  int start = std::max(col, 0);
  for (int i = line; forward ? i < count : i >= 0; i += forward ? 1 : -1) {
    const std::string_view haystack = lines_->View(i);
    // A line shorter than the needle cannot hold it; skipping it saves folding it.
    if (haystack.size() >= needle.size() + static_cast<size_t>(start)) {
      FoldTextInto(haystack, folded);
      const int p = FindWordFrom(needle, folded, start, false);
      if (p > start) return TTextMatch{i, p};
    }
    start = 0;
  }
  return std::nullopt;
}

std::optional<TTextMatch> TJumpDocument::FindWord(const std::string& word, int from, bool forward) const {
  if (!lines_) return std::nullopt;
  const bool prefix = !word.empty() && word.back() == '*';
  const std::string needle = FoldText(prefix ? std::string_view(word).substr(0, word.size() - 1) : word);
  if (needle.empty()) return std::nullopt;
  const int count = lines_->Count();
  std::string folded;
  const int first = forward ? std::max(from, 0) : std::min(from, count - 1);
  for (int i = first; forward ? i < count : i >= 1; i += forward ? 1 : -1) {
    const std::string_view line = lines_->View(i);
    if (line.size() < needle.size()) continue;
    FoldTextInto(line, folded);
    const size_t at = folded.find(needle);
    if (at == std::string::npos) continue;
    if (at > 0 && IsWordChar(static_cast<unsigned char>(line[at - 1]))) continue;
    const size_t after = at + needle.size();
    if (!prefix && after < line.size() && IsWordChar(static_cast<unsigned char>(line[after]))) continue;
    return TTextMatch{i, static_cast<int>(at) + 1};
  }
  return std::nullopt;
}

// ---- selections ----

std::string SelectionPiece(std::string_view line, int64_t first, int64_t last) {
  const int64_t size = static_cast<int64_t>(line.size());
  first = std::clamp<int64_t>(first, 0, size);
  last = std::clamp<int64_t>(last, first, size);
  std::string piece(line.substr(static_cast<size_t>(first), static_cast<size_t>(last - first)));
  std::replace(piece.begin(), piece.end(), '~', ' ');
  std::replace(piece.begin(), piece.end(), '^', ' ');
  return piece;
}

std::string TJumpDocument::Excerpt(const TPositionInfo& first, const TPositionInfo& last, const std::string& marker,
                                   int32_t& count) const {
  std::string text;
  int64_t bytes = 0;
  const auto take = [&](int line, int64_t from, int64_t to) { return SelectionPiece(LineOrEmpty(line), from, to); };
  if (first.Line == last.Line) {
    if (!IsMarkerLine(LineOrEmpty(first.Line), marker)) text = take(first.Line, first.Col, last.Col);
    bytes = int64_t{last.Col} - first.Col;
  } else {
    for (int line = first.Line; line <= last.Line; ++line) {
      const int64_t from = line == first.Line ? first.Col : 0;
      const int64_t to = line == last.Line ? last.Col : INT64_MAX;
      const std::string piece = take(line, from, to);
      bytes += static_cast<int64_t>(piece.size()) + 2;
      if (IsMarkerLine(LineOrEmpty(line), marker)) continue;
      text += "\r\n";
      text += piece;
    }
  }
  count = ClampToInt(bytes + 1);
  return text;
}

}  // namespace mirnax
