// TJumpMemo's text model and markup: construction, the operations that change the text, the
// markup scan, page markers and the word and line look-ups.
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "toolkit/cursor_table.h"
#include "controls/jumpmemo/jumpmemo.h"
#include "controls/jumpmemo/text_primitives.h"
#include "toolkit/dialogs.h"
#include "toolkit/exceptions.h"
#include "toolkit/sysutils.h"

namespace {

const char* const kErrorCaption = "Error";
const char* const kFailureCaption = "Ошибка";
const char* const kLoadFailed = "Не могу загрузить документ из файла !";
const char* const kAddFailed = "Не могу добавить строку в документ !";
const char* const kInsertPageFailed = "Не могу вставить указатель страницы !";
const char* const kRemovePageFailed = "Не могу убрать указатель страницы !";

int32_t Saturate(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

bool IsPictChar(unsigned char c) { return IsWordChar(c) || c == '.' || c == '_'; }

bool IsSeparator(char c) {
  switch (c) {
    case '.': case ',': case ':': case ';': case '-': case '(': case ')': case '_':
    case '#': case '[': case ']': case '{': case '}': case ' ':
      return true;
    default:
      return false;
  }
}

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

// ---- TMarkedWord ----

TMarkedWord::TMarkedWord(std::string text, int32_t line, int32_t left, int32_t top, int32_t width, int32_t height)
    : Line(line),
      Text(std::move(text)),
      Left(left),
      Top(top),
      Right(Saturate(int64_t{left} + width)),
      Bottom(Saturate(int64_t{top} + height)) {}

bool TMarkedWord::OnMe(int X, int Y, const TLongPoint& ScrollPos, const QPoint& CharSize) const {
  const int64_t dx = TJumpMemo::LeftMargin - int64_t{ScrollPos.X} * CharSize.x();
  const int64_t dy = int64_t{ScrollPos.Y} * CharSize.y();
  return Left + dx <= X && X <= Right + dx && Top - dy <= Y && Y <= Bottom - dy;
}

// ---- construction ----

TJumpMemo::TJumpMemo(QWidget* parent) : QWidget(parent), buffer_(1, 1, QImage::Format_RGB32) {
  // Each list is created on its own so that the box can say which one could not be had; the
  // control then stays with the lists it has and its operations do nothing.
  const auto create = [](auto& list, const char* failure) {
    try {
      list = std::make_unique<typename std::decay_t<decltype(list)>::element_type>();
      return true;
    } catch (const std::bad_alloc&) {
      Dialogs().Message(failure, kErrorCaption, mtCustom);
      return false;
    }
  };
  if (!create(lines_, "Can`t create List for text lines")) return;
  if (!create(selWords_, "Can`t create List for Selected words")) return;
  if (!create(jumpWords_, "Can`t create List for Jump words")) return;
  if (!create(jumps_, "Can`t create List for Jump coordinates")) return;
  if (!create(picts_, "Can`t create List for Pictures coordinates")) return;
  jumpWords_->SetSorted(true);
  jumpWords_->SetDuplicates(dupIgnore);

  resize(200, 200);
  setFocusPolicy(Qt::ClickFocus);  // TabStop is off
  setFont(OnPixelGrid(QFont("Courier New", 10)));
  constructed_ = true;
  FontChanged();
  defaultCursor_ = crIBeam;
  setCursor(Cursors().Cursor(defaultCursor_));
  try {
    jumpCursor_ = RegisterCursorResource(1, "HANDCURSOR2");
    pictCursor_ = RegisterCursorResource(2, "PICTCURSOR2");
  } catch (const std::exception&) {
    jumpCursor_ = crUpArrow;
    pictCursor_ = crUpArrow;
  }
  update();
}

TJumpMemo::~TJumpMemo() = default;

// ---- accessors ----

TS_StringList& TJumpMemo::Lines() {
  if (!lines_) throw EOutOfMemory();
  return *lines_;
}

const TS_StringList& TJumpMemo::Lines() const {
  if (!lines_) throw EOutOfMemory();
  return *lines_;
}

const std::vector<TJump>& TJumpMemo::Jumps() const { return jumps_ ? *jumps_ : EmptyOf<std::vector<TJump>>(); }
const std::vector<TPict>& TJumpMemo::Picts() const { return picts_ ? *picts_ : EmptyOf<std::vector<TPict>>(); }
const TStringList& TJumpMemo::JumpWords() const { return jumpWords_ ? *jumpWords_ : EmptyOf<TStringList>(); }
const TStringList& TJumpMemo::SelWords() const { return selWords_ ? *selWords_ : EmptyOf<TStringList>(); }

int32_t TJumpMemo::LineLength(int line) const {
  if (!lines_ || line < 0 || line >= lines_->Count()) return 0;
  return Saturate(static_cast<int64_t>(lines_->View(line).size()));
}

void TJumpMemo::ResetPositions() {
  caret_ = TPositionInfo{0, 0, 0, LineLength(0)};
  selStart_ = caret_;
  selEnd_ = caret_;
  selecting_ = false;
  selected_ = false;
}

void TJumpMemo::ResetCursor() { setCursor(Cursors().Cursor(defaultCursor_)); }

// ---- changing the text ----

void TJumpMemo::LoadFromFile(const std::string& fileName) {
  if (!ListsReady()) return;
  lines_->Clear();
  try {
    lines_->LoadFromFile(fileName);
  } catch (const std::exception&) {
    Dialogs().Message(kLoadFailed, kFailureCaption, mtError);
  }
  if (showPages_) {
    RemovePagesCore(false);
    InsertPagesCore(false);
  }
  ResetPositions();
  maxLenValid_ = false;
  RecalcRange();
  ReadJumps();
  update();
}

void TJumpMemo::Add(const std::string& s) {
  if (!ListsReady()) return;
  try {
    lines_->Add(s);
    if (showPages_) {
      RemovePagesCore(false);
      InsertPagesCore(false);
    }
    maxLenValid_ = false;
    RecalcRange();
    ReadJumps();
    update();
  } catch (const std::exception&) {
    Dialogs().Message(kAddFailed, kFailureCaption, mtCustom);
  }
}

void TJumpMemo::Clear() {
  if (!ListsReady()) return;
  jumps_->clear();
  picts_->clear();
  lines_->Clear();
  selWords_->Clear();
  if (showPages_) InsertPages();
  ResetPositions();
  maxLenValid_ = false;
  RecalcRange();
  ReadJumps();
  update();
  UpdateCaret(false);
}

// ---- markup ----

void TJumpMemo::ReadJumps() {
  if (!ListsReady()) return;
  jumps_->clear();
  picts_->clear();
  jumpWords_->Clear();
  // The distinct words are collected first and put into the sorted list in order, so that each
  // one lands at the list's end instead of being inserted into its middle.
  std::vector<std::string_view> words;
  const int32_t height = charSize_.y();
  const int count = lines_->Count();
  for (int i = 0; i < count; ++i) {
    const std::string_view line = lines_->View(i);
    if (!std::memchr(line.data(), '~', line.size()) && !std::memchr(line.data(), '^', line.size())) continue;
    const int32_t top = Saturate(int64_t{i} * height);
    ScanMarkers(line, '~', IsWordChar, metrics_, [&](std::string_view word, int32_t left) {
      jumps_->emplace_back(std::string(word), i, left, top, metrics_.Width(word), height);
      words.push_back(word);
    });
    ScanMarkers(line, '^', IsPictChar, metrics_, [&](std::string_view name, int32_t left) {
      picts_->emplace_back(std::string(name), i, left, top, metrics_.Width(name), height);
    });
  }
  const auto less = [](std::string_view a, std::string_view b) { return AnsiCompareText(a, b) < 0; };
  std::stable_sort(words.begin(), words.end(), less);
  const auto same = [](std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; };
  words.erase(std::unique(words.begin(), words.end(), same), words.end());
  for (const std::string_view word : words) jumpWords_->Add(word);
}

// ---- page markers ----

void TJumpMemo::InsertPages() { InsertPagesCore(true); }
void TJumpMemo::RemovePages() { RemovePagesCore(true); }

// The text is rebuilt in one pass instead of inserting line by line, which would move the whole
// list once per marker.
void TJumpMemo::InsertPagesCore(bool scan) {
  if (!ListsReady()) return;
  maxLenValid_ = false;
  try {
    TS_StringList paged;
    const int count = lines_->Count();
    const int pages = count / PageTextLines + 1;
    int next = 0;
    for (int k = 0; k < pages; ++k) {
      paged.Add("- " + pagemarker_ + " " + IntToStr(k + 1) + " -");
      for (int j = 0; j < PageTextLines && next < count; ++j, ++next)
        paged.AddObject(lines_->View(next), lines_->GetObject(next));
    }
    lines_->Swap(paged);  // all or nothing: the text never holds only some of the markers
  } catch (const std::exception&) {
    Dialogs().Message(kInsertPageFailed, kFailureCaption, mtCustom);
  }
  if (scan) ReadJumps();
  RecalcRange();
}

void TJumpMemo::RemovePagesCore(bool scan) {
  if (!ListsReady()) return;
  maxLenValid_ = false;
  try {
    const std::string pattern = MarkerPattern();
    const int count = lines_->Count();
    int first = 0;
    while (first < count && lines_->View(first).find(pattern) == std::string_view::npos) ++first;
    if (first < count) {
      TS_StringList kept;
      for (int i = 0; i < count; ++i) {
        const std::string_view line = lines_->View(i);
        if (line.find(pattern) == std::string_view::npos) kept.AddObject(line, lines_->GetObject(i));
      }
      lines_->Swap(kept);
    }
  } catch (const std::exception&) {
    Dialogs().Message(kRemovePageFailed, kFailureCaption, mtCustom);
  }
  if (scan) ReadJumps();
  RecalcRange();
}

void TJumpMemo::SetPageMarker(const std::string& value) {
  if (value == pagemarker_) return;
  if (showPages_ && ListsReady()) {
    RemovePagesCore(false);  // the marker lines written with the old word
    pagemarker_ = value;
    InsertPagesCore(true);
  } else {
    pagemarker_ = value;
  }
  update();
}

void TJumpMemo::SetShowPages(bool value) {
  if (value != showPages_) {
    showPages_ = value;
    if (value)
      InsertPages();
    else
      RemovePages();
  }
  update();
}

void TJumpMemo::SetJumpPointLength(int32_t value) {
  if (value == jumpPointLength_) return;
  jumpPointLength_ = value;
  ReadJumps();
  update();
}

void TJumpMemo::SetUseJumpPointLength(bool value) {
  if (value == useJumpPointLength_) return;
  useJumpPointLength_ = value;
  ReadJumps();
  update();
}

void TJumpMemo::SetSelWords(const TStrings& words) {
  if (selWords_) selWords_->Assign(words);
  update();
}

// ---- look-ups ----

std::string TJumpMemo::GetWord(int X, int Y) {
  const auto nothing = [this] {
    if (overJump_) {
      overJump_ = false;
      ResetCursor();
    }
    return std::string(" ");
  };
  if (!lines_) return " ";
  const int height = std::max(1, charSize_.y());
  const int64_t line = int64_t{scrollPos_.Y} + Y / height;
  if (line < 0 || line >= lines_->Count()) return nothing();
  const std::string_view text = lines_->View(static_cast<int>(line));
  if (text.empty()) return " ";
  if (metrics_.Width(text) < X) return nothing();

  // The character under X: the first k whose cell, widened by its own width on both sides of
  // the line's width up to it, holds X.
  size_t k = 0;  // 1-based; 0 while none is found
  int64_t before64 = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const int64_t w = int64_t{TTextMetrics::Round(before64)} + pixelOffset_;
    const int64_t c = TTextMetrics::Round(metrics_.Advance64(static_cast<unsigned char>(text[i])));
    if (w - c < X && X < w + c) {
      k = i + 1;
      break;
    }
    before64 += metrics_.Advance64(static_cast<unsigned char>(text[i]));
  }
  // No character qualifies, or the one under X is a separator: there is no word there.
  if (k == 0 || IsSeparator(text[k - 1])) return " ";

  const size_t leftmost = static_cast<size_t>(std::max(0, scrollPos_.X)) + 1;
  size_t left = k;
  while (left > leftmost && !IsSeparator(text[left - 2])) --left;
  size_t right = k;
  while (right < text.size() && !IsSeparator(text[right])) ++right;
  return std::string(text.substr(left - 1, right - left + 1));
}

int TJumpMemo::GetPos(const std::string& word, int from) const {
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
