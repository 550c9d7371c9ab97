#include "controls/jumpmemo/jumpmemo_control.h"

#include <algorithm>
#include <exception>

#include "toolkit/core/dialogs.h"
#include "toolkit/core/translations.h"

namespace mirnax {

namespace {

const char* const kHoverFailed = QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Не могу распознать слово под курсором!");

bool ExactlyShift(Qt::KeyboardModifiers m) { return (m & ~Qt::KeypadModifier) == Qt::ShiftModifier; }

bool IsSeparator(char c) {
  switch (c) {
    case '.': case ',': case ':': case ';': case '-': case '(': case ')': case '_':
    case '#': case '[': case ']': case '{': case '}': case ' ':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string MemoText(const char* text) { return TrUtf8("mirnax::TJumpMemo", text); }

TMemoControl::TMemoControl(const TJumpDocument& doc, const TTextMetrics& metrics, TMemoHost& host)
    : doc_(doc), metrics_(metrics), host_(host) {}

TMemoLayout TMemoControl::Layout() const {
  return TMemoLayout(metrics_, view_.CharSize, view_.ScrollPos, view_.PixelOffset);
}

// ---- cursors ----

void TMemoControl::SetCursors(int jumpCursor, int pictCursor, int defaultCursor) {
  jumpCursor_ = jumpCursor;
  pictCursor_ = pictCursor;
  defaultCursor_ = defaultCursor;
  SetCursorIndex(defaultCursor);
}

void TMemoControl::SetCursorIndex(int index) {
  cursorIndex_ = index;
  host_.ShowCursor(index);
}

void TMemoControl::ResetCursor() {
  if (cursorIndex_ != defaultCursor_) SetCursorIndex(defaultCursor_);
}

// ---- the view ----

void TMemoControl::RecalcRange(QSize client, int32_t longest) {
  const int count = doc_.Count();
  view_.SetGrid(client, longest, count);
  const int lpp = view_.LinesPerPage;
  if (count > 0 && caret_.Row > lpp - 1) {
    // Keep the caret on its line: scroll down by as many rows as it moves up.
    const int up = caret_.Row - (lpp - 1);
    caret_.Row = lpp - 1;
    selEnd_ = caret_;
    ScrollTo(std::min(view_.ScrollPos.X, view_.Range.X), ClampToInt(int64_t{view_.ScrollPos.Y} + up));
  } else {
    // An emptied or shortened text must not stay scrolled past its end.
    ScrollTo(std::min(view_.ScrollPos.X, view_.Range.X), std::min(view_.ScrollPos.Y, view_.Range.Y));
  }
  host_.ScrollBarsChanged();
  UpdateCaret(true);
}

void TMemoControl::ScrollTo(int X, int Y) {
  if (!view_.Scroll(X, Y)) return;
  host_.ScrollBarsChanged();
  host_.Repaint();
  UpdateCaret(true);
}

void TMemoControl::DoScroll(int Bar, int Code, int Pos) {
  const TLongPoint target = view_.Target(Bar, Code, Pos);
  ScrollTo(target.X, target.Y);
}

// ---- caret and selection ----

void TMemoControl::UpdateCaret(bool Full) {
  // Full chose which lines a growing selection redrew; every change repaints from the state here.
  (void)Full;
  const TMemoLayout layout = Layout();
  if (!HasText()) {
    caretPos_ = QPoint(ClampToInt(layout.OriginX()), TMemoLayout::CaretDrop);
    host_.Repaint();
    return;
  }
  // The caret may point past a text that was changed through Lines directly.
  const bool lineExists = caret_.Line >= 0 && caret_.Line < doc_.Count();
  const std::string_view line = lineExists ? doc_.Line(caret_.Line) : std::string_view();
  const QPoint old = caretPos_;
  caretPos_ = layout.CaretAt(line, caret_.Line, std::min(caret_.Col, caret_.Len));
  caret_.Row = ClampToInt(int64_t{caret_.Line} - view_.ScrollPos.Y);
  if (caretPos_ != old) host_.CaretMoved();
  if (selecting_) {
    // The anchor stays while the selection grows, also when a scroll already moved SelEnd along.
    if (Differ(caret_, selEnd_)) {
      selEnd_ = caret_;
      host_.Select();
      host_.Repaint();
    }
  } else if (!selected_) {
    selStart_ = caret_;
  }
  host_.Repaint();
}

void TMemoControl::ResetPositions() {
  caret_ = TPositionInfo{0, 0, 0, doc_.LineLength(0)};
  selStart_ = caret_;
  selEnd_ = caret_;
  selecting_ = false;
  selected_ = false;
}

void TMemoControl::SelectionCopied() {
  selected_ = false;
  selecting_ = false;
  selStart_ = selEnd_ = caret_;
  host_.Repaint();
  host_.DeSelect();
}

// "Fix the column" after the caret moved to another line.
void TMemoControl::FixColumn() {
  caret_.Len = doc_.LineLength(caret_.Line);
  caret_.Col = std::min(caret_.Col, caret_.Len);
}

// Ends a finished selection when the caret moved without Shift.
void TMemoControl::Deselect() {
  if (selecting_ || !selected_) return;
  selEnd_ = caret_;
  selected_ = false;
  host_.DeSelect();
  host_.Repaint();
}

void TMemoControl::DeselectAll() {
  selecting_ = false;
  selected_ = false;
}

void TMemoControl::ShowColumnZero() {
  if (caretPos_.x() < 0) DoScroll(sbHorz, sbTop, 0);
}

void TMemoControl::BringCaretRowIntoView() {
  const int x = std::min(view_.ScrollPos.X, view_.Range.X);
  const int lpp = view_.LinesPerPage;
  if (caret_.Row < 0) {
    const int up = caret_.Row;
    caret_.Row = 0;
    ScrollTo(x, ClampToInt(int64_t{view_.ScrollPos.Y} + up));
  } else if (caret_.Row > lpp - 1) {
    const int down = caret_.Row - (lpp - 1);
    caret_.Row = lpp - 1;
    ScrollTo(x, ClampToInt(int64_t{view_.ScrollPos.Y} + down));
  }
}

// ---- keys ----

void TMemoControl::KeyDown(int& Key, Qt::KeyboardModifiers Shift) {
  if (!HasText()) return;
  // A text shortened through Lines directly may have left the caret below its end.
  if (caret_.Line >= doc_.Count()) {
    caret_.Line = doc_.Count() - 1;
    FixColumn();
  }
  if (Key == Qt::Key_F1) return host_.Help();
  if (Key == Qt::Key_Insert && (Shift & ~Qt::KeypadModifier) == Qt::ControlModifier) return host_.CopyToClipboard();
  if (Key == 0) return;
  if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && Activate(Key, Shift)) return;
  BringCaretRowIntoView();
  KeyStep(Key, Shift);
  host_.KeyDone(Key, Shift);
}

// Enter: the caret's point, two pixels lower, inside a jump or picture activates it.
bool TMemoControl::Activate(int& key, Qt::KeyboardModifiers shift) {
  const int x = caretPos_.x();
  const int y = caretPos_.y() + 2;
  const auto hit = [&](const auto& words, std::string& current) {
    for (const auto& word : words) {
      if (!word.OnMe(x, y, view_.ScrollPos, view_.CharSize)) continue;
      current = word.Text;
      return true;
    }
    return false;
  };
  if (hit(doc_.Jumps(), curJump_)) {
    host_.JumpClick();
  } else if (hit(doc_.Picts(), curPict_)) {
    host_.PictClick();
  } else {
    return false;
  }
  host_.KeyDone(key, shift);
  return true;
}

// One key's own rule.
void TMemoControl::KeyStep(int key, Qt::KeyboardModifiers shift) {
  switch (key) {
    case Qt::Key_Down: return LineDown(shift);
    case Qt::Key_Up: return LineUp(shift);
    case Qt::Key_PageDown: return KeyPage(true, shift);
    case Qt::Key_PageUp: return KeyPage(false, shift);
    case Qt::Key_Left: return KeyLeft(shift);
    case Qt::Key_Right: return KeyRight(shift);
    case Qt::Key_Home: return KeyHomeEnd(true, shift);
    case Qt::Key_End: return KeyHomeEnd(false, shift);
    default: return;
  }
}

void TMemoControl::LineDown(Qt::KeyboardModifiers shift) {
  if (caret_.Line < doc_.Count() - 1) {
    if (ExactlyShift(shift)) selecting_ = true;
    ++caret_.Line;
    FixColumn();
    if (caret_.Row < view_.LinesPerPage - 1)
      ++caret_.Row;
    else
      DoScroll(sbVert, sbLineDown, 0);
    UpdateCaret(false);
    ShowColumnZero();
  }
  Deselect();
}

void TMemoControl::LineUp(Qt::KeyboardModifiers shift) {
  if (caret_.Line > 0) {
    if (ExactlyShift(shift)) selecting_ = true;
    --caret_.Line;
    FixColumn();
    if (caret_.Row < 1)
      DoScroll(sbVert, sbLineUp, 0);
    else
      --caret_.Row;
    UpdateCaret(false);
    ShowColumnZero();
  }
  Deselect();
}

// Paging past the end: the last line, on the last row the text or the view allows.
void TMemoControl::ClampToLastLine() {
  const int last = doc_.Count() - 1;
  if (caret_.Line <= last) return;
  caret_.Line = last;
  caret_.Row = doc_.Count() < view_.LinesPerPage + 1 ? last : view_.LinesPerPage - 1;
}

void TMemoControl::KeyPage(bool down, Qt::KeyboardModifiers shift) {
  const int lpp = view_.LinesPerPage;
  const bool ctrl = shift.testFlag(Qt::ControlModifier);
  DeselectAll();
  host_.Repaint();
  host_.DeSelect();
  if (shift.testFlag(Qt::ShiftModifier)) selecting_ = true;
  if (ctrl) {
    caret_.Line = down ? view_.ScrollPos.Y + lpp - 1 : view_.ScrollPos.Y;
    caret_.Row = down ? lpp - 1 : 0;
    ClampToLastLine();
  } else if (down) {
    caret_.Line = ClampToInt(int64_t{caret_.Line} + lpp);
    ClampToLastLine();
  } else {
    caret_.Line -= lpp;
    if (caret_.Line < 0) caret_.Line = caret_.Row = 0;
  }
  FixColumn();
  if (!ctrl) DoScroll(sbVert, down ? sbPageDown : sbPageUp, 0);
  UpdateCaret(true);
  ShowColumnZero();
}

void TMemoControl::KeyLeft(Qt::KeyboardModifiers shift) {
  if (caret_.Col > 0) {
    const std::string_view text = doc_.Line(caret_.Line);
    caret_.Len = doc_.LineLength(caret_.Line);
    if (ExactlyShift(shift)) selecting_ = true;
    caret_.Col = std::min(caret_.Col, caret_.Len) - 1;
    const int crossed = metrics_.Width(text.substr(static_cast<size_t>(caret_.Col), 1));
    if (caretPos_.x() - crossed < 0) DoScroll(sbHorz, sbLineUp, 0);
    UpdateCaret(false);
  } else if (caret_.Line > 0) {
    LineUp(shift);
    caret_.Len = doc_.LineLength(caret_.Line);
    if (ExactlyShift(shift)) selecting_ = true;
    caret_.Col = caret_.Len;
    UpdateCaret(false);
    // The end of the previous line may lie right of the view: bring it in.
    if (caretPos_.x() + view_.CharSize.x() > view_.Client.width())
      ScrollTo(ClampToInt(int64_t{caret_.Col} - view_.VisibleCols + 1), view_.ScrollPos.Y);
    UpdateCaret(false);
  }
  if (!selecting_ && selected_) {
    selected_ = false;
    host_.Repaint();
    selEnd_ = caret_;
    host_.DeSelect();
    host_.Repaint();
  }
}

void TMemoControl::KeyRight(Qt::KeyboardModifiers shift) {
  if (caret_.Col < doc_.LineLength(caret_.Line)) {
    const std::string_view text = doc_.Line(caret_.Line);
    caret_.Len = doc_.LineLength(caret_.Line);
    if (ExactlyShift(shift)) selecting_ = true;
    const int crossed = metrics_.Width(text.substr(static_cast<size_t>(caret_.Col), 1));
    ++caret_.Col;
    if (caretPos_.x() + crossed > view_.Client.width()) DoScroll(sbHorz, sbLineDown, 0);
    UpdateCaret(false);
  } else if (caret_.Line < doc_.Count() - 1) {
    LineDown(shift);
    caret_.Len = doc_.LineLength(caret_.Line);
    if (ExactlyShift(shift)) selecting_ = true;
    caret_.Col = std::min(1, caret_.Len);  // after the first character of the next line
    UpdateCaret(false);
    const int firstChar = metrics_.Width(doc_.Line(caret_.Line).substr(0, 1));
    if (caretPos_.x() - firstChar < 0) DoScroll(sbHorz, sbTop, 0);
    UpdateCaret(false);
  }
  Deselect();
}

void TMemoControl::KeyHomeEnd(bool home, Qt::KeyboardModifiers shift) {
  DeselectAll();
  host_.Repaint();
  if (shift.testFlag(Qt::ShiftModifier)) selecting_ = true;
  if (shift.testFlag(Qt::ControlModifier)) {
    // To the start or the end of the text.
    selecting_ = false;
    const int last = doc_.Count() - 1;
    if (home) {
      caret_ = TPositionInfo{0, 0, 0, doc_.LineLength(0)};
    } else {
      caret_.Line = last;
      caret_.Row = std::min(view_.LinesPerPage - 1, last);
      caret_.Col = caret_.Len = doc_.LineLength(last);
    }
    host_.DeSelect();
    DoScroll(sbVert, home ? sbTop : sbBottom, 0);
    UpdateCaret(true);
    return;
  }
  caret_.Len = doc_.LineLength(caret_.Line);
  caret_.Col = home ? 0 : caret_.Len;
  if (home)
    DoScroll(sbHorz, sbTop, 0);
  else if (caret_.Len > view_.VisibleCols)
    DoScroll(sbHorz, sbBottom, 0);
  host_.DeSelect();
  UpdateCaret(false);
}

void TMemoControl::KeyUp(int& Key, Qt::KeyboardModifiers Shift) {
  (void)Shift;
  if (Key == Qt::Key_Shift && selecting_) {
    selecting_ = false;
    if (Differ(selStart_, selEnd_)) selected_ = true;
  }
}

// ---- mouse ----

// The caret to the place under a client point of that row.
void TMemoControl::PlaceCaretAt(int row, int x) {
  const TMemoLayout layout = Layout();
  caret_.Row = row;
  caret_.Line = std::min(ClampToInt(int64_t{view_.ScrollPos.Y} + row), doc_.Count() - 1);
  caret_.Len = doc_.LineLength(caret_.Line);
  caret_.Col = layout.ColAt(doc_.Line(caret_.Line), x);
  UpdateCaret(true);
}

void TMemoControl::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  host_.TakeFocus();
  const int count = HasText() ? doc_.Count() : 0;
  if (count == 0 || Button != Qt::LeftButton) return host_.MouseDone(Button, Shift, X, Y);
  if (overJump_) return host_.JumpClick();
  if (overPict_) return host_.PictClick();
  PlaceCaretAt(std::clamp(Layout().RowOf(Y), 0, count - 1), X);
  if (selected_) {
    selecting_ = false;
    selected_ = false;
    selStart_ = caret_;
    host_.Repaint();
    host_.DeSelect();
  }
  selecting_ = true;
  selected_ = false;
  selEnd_ = selStart_;
  host_.MouseDone(Button, Shift, X, Y);
}

void TMemoControl::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
  (void)Shift;
  if (!HasText()) return;
  if (!selecting_) return Hover(X, Y);
  const int count = doc_.Count();
  PlaceCaretAt(std::min(std::clamp(Layout().RowOf(Y), 0, count - 1), view_.LinesPerPage), X);
  // Past an edge the view scrolls on from a timer while the pointer stays there, so that the
  // window stays live.
  pointer_ = QPoint(X, Y);
  if (AutoScrollBand(true) && !autoScrolling_) {
    autoScrolling_ = true;
    host_.AutoScroll(true);
  }
}

// Hovering: the first jump, else the first picture, under the pointer shows its cursor.
void TMemoControl::Hover(int X, int Y) {
  try {
    // Only the words of the rows under the pointer can hold it; the lists are in line order.
    const int64_t line = int64_t{view_.ScrollPos.Y} + Layout().RowOf(Y);
    const auto hover = [&](const auto& words, int cursor, bool& over, std::string& current) {
      const auto [from, to] = WordsOnLines(words, line - 1, line + 1);
      for (auto it = from; it != to; ++it) {
        if (!it->OnMe(X, Y, view_.ScrollPos, view_.CharSize)) continue;
        if (cursorIndex_ != cursor) SetCursorIndex(cursor);
        over = true;
        current = it->Text;
        return true;
      }
      over = false;
      return false;
    };
    if (hover(doc_.Jumps(), jumpCursor_, overJump_, curJump_)) return;
    if (hover(doc_.Picts(), pictCursor_, overPict_, curPict_)) return;
    ResetCursor();
  } catch (const std::exception&) {
    Dialogs().Message(MemoText(kHoverFailed), MemoText(MemoFailureCaption), mtCustom);
  }
}

void TMemoControl::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  (void)Button, (void)Shift, (void)X, (void)Y;
  StopAutoScroll();
  selecting_ = false;
  if (Differ(selStart_, selEnd_)) selected_ = true;
}

void TMemoControl::StopAutoScroll() {
  if (!autoScrolling_) return;
  autoScrolling_ = false;
  host_.AutoScroll(false);
}

// Whether the pointer stands in a band that scrolls: starting, it must lie past the band's inner
// edge; going on, at it (and the view or caret must still be able to move that way).
bool TMemoControl::AutoScrollBand(bool starting) const {
  const QSize client = view_.Client;
  const QPoint p = pointer_;
  const int cx = view_.CharSize.x();
  const int cy = view_.CharSize.y();
  const int last = doc_.Count() - 1;
  const bool down = starting ? p.y() > client.height() - cy : p.y() >= client.height() - cy;
  const bool up = starting ? p.y() < cy : p.y() <= cy;
  const bool right = starting ? p.x() > client.width() - cx : p.x() >= client.width() - cx;
  const bool left = starting ? p.x() < cx : p.x() <= cx;
  const bool canRight = caret_.Col < doc_.LineLength(caret_.Line) || caret_.Line < last;
  const bool canLeft = caret_.Col > 0 || caret_.Line > 0;
  return (down && caret_.Line < last) || (up && view_.ScrollPos.Y > 0 && caret_.Line > 0) ||
         (right && canRight) || (left && view_.ScrollPos.X > 0 && canLeft);
}

void TMemoControl::AutoScrollStep() {
  if (!selecting_ || !AutoScrollBand(false)) return StopAutoScroll();
  const QSize client = view_.Client;
  const QPoint p = pointer_;
  const int last = doc_.Count() - 1;
  const TLongPoint& scroll = view_.ScrollPos;
  try {
    int key = 0;
    if (p.y() >= client.height() - view_.CharSize.y() && caret_.Line < last) KeyDown(key = Qt::Key_Down, Qt::ShiftModifier);
    if (p.y() <= view_.CharSize.y() && scroll.Y > 0 && caret_.Line > 0) KeyDown(key = Qt::Key_Up, Qt::ShiftModifier);
    if (p.x() >= client.width() - view_.CharSize.x()) KeyDown(key = Qt::Key_Right, Qt::ShiftModifier);
    if (p.x() <= view_.CharSize.x() && scroll.X > 0) KeyDown(key = Qt::Key_Left, Qt::ShiftModifier);
  } catch (const std::exception&) {
    // A failed step ends this round; the next tick tries again.
  }
}

// ---- look-ups ----

std::string TMemoControl::GetWord(int X, int Y) {
  const auto nothing = [this] {
    if (overJump_) {
      overJump_ = false;
      ResetCursor();
    }
    return std::string(" ");
  };
  if (!doc_.Ready()) return " ";
  const TMemoLayout layout = Layout();
  const int64_t line = int64_t{view_.ScrollPos.Y} + layout.RowOf(Y);
  if (line < 0 || line >= doc_.Count()) return nothing();
  const std::string_view text = doc_.Line(static_cast<int>(line));
  if (text.empty()) return " ";
  if (metrics_.Width(text) < X) return nothing();
  const size_t k = layout.CharUnder(text, X);
  // No character qualifies, or the one under X is a separator: there is no word there.
  if (k == 0 || IsSeparator(text[k - 1])) return " ";
  const size_t leftmost = static_cast<size_t>(std::max(0, view_.ScrollPos.X)) + 1;
  size_t left = k;
  while (left > leftmost && !IsSeparator(text[left - 2])) --left;
  size_t right = k;
  while (right < text.size() && !IsSeparator(text[right])) ++right;
  return std::string(text.substr(left - 1, right - left + 1));
}

// ---- search ----

bool TMemoControl::Search(const std::string& text, bool forward) {
  selected_ = false;
  host_.DeSelect();
  const std::optional<TTextMatch> match = doc_.Search(text, caret_.Line, caret_.Col, forward);
  if (!match) {
    host_.Repaint();
    return false;
  }
  caret_.Line = selStart_.Line = match->Line;
  caret_.Len = selStart_.Len = doc_.LineLength(match->Line);
  caret_.Row = match->Line - view_.ScrollPos.Y;
  selStart_.Col = match->Pos - 1;
  caret_.Col = ClampToInt(int64_t{match->Pos} - 1 + static_cast<int64_t>(text.size()));
  // The selection is finished before the view moves, so that scrolling keeps its anchor on the
  // match instead of moving it to the caret.
  selecting_ = false;
  selected_ = true;
  // The match comes into view: its end within the visible columns, its line at the bottom going
  // forward or at the top going back when it lay outside the rows.
  const int lpp = view_.LinesPerPage;
  const int x = caret_.Col > view_.VisibleCols ? caret_.Col - view_.VisibleCols + 1 : 0;
  int y = view_.ScrollPos.Y;
  if (caret_.Row >= lpp) y = ClampToInt(int64_t{caret_.Line} - lpp + 1);
  if (caret_.Row < 0) y = caret_.Line;
  if (!forward && caret_.Row >= lpp) y = caret_.Line;
  ScrollTo(x, y);
  caret_.Row = caret_.Line - view_.ScrollPos.Y;
  selStart_.Row = caret_.Row;
  selEnd_ = caret_;
  UpdateCaret(false);
  host_.Select();
  return true;
}

int TMemoControl::GotoWord(const std::string& word, int from, bool forward) {
  const std::optional<TTextMatch> match = doc_.FindWord(word, from, forward);
  if (!match) return from;
  selecting_ = false;
  selected_ = false;
  const int64_t wanted = static_cast<int64_t>(word.size()) + match->Pos - view_.VisibleCols;
  ScrollTo(ClampToInt(std::max<int64_t>(0, wanted)), match->Line);
  caret_.Line = match->Line;
  caret_.Row = match->Line - view_.ScrollPos.Y;
  caret_.Len = doc_.LineLength(match->Line);
  caret_.Col = match->Pos - 1;
  selStart_ = selEnd_ = caret_;
  UpdateCaret(false);
  return match->Line;
}

}  // namespace mirnax
