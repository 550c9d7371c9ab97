#include "controls/jumpmemo/jumpmemo.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "controls/jumpmemo/text_primitives.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/cp1251.h"
#include "toolkit/widgets/cursor_table.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/widgets/printer.h"
#include "toolkit/core/palette.h"

namespace mirnax {

namespace {

const char* const kErrorCaption = "Error";
const char* const kFailureCaption = "Ошибка";
const char* const kLoadFailed = "Не могу загрузить документ из файла !";
const char* const kAddFailed = "Не могу добавить строку в документ !";
const char* const kInsertPageFailed = "Не могу вставить указатель страницы !";
const char* const kRemovePageFailed = "Не могу убрать указатель страницы !";
const char* const kHoverFailed = "Не могу распознать слово под курсором!";

// Scroll commands of DoScroll.
enum { sbLineUp = 0, sbLineDown = 1, sbPageUp = 2, sbPageDown = 3, sbThumbPosition = 4, sbThumbTrack = 5,
       sbTop = 6, sbBottom = 7 };
enum { sbHorz = 0, sbVert = 1 };

constexpr int kCaretWidth = 2;
constexpr int kAutoScrollInterval = 40;  // ms between the steps of scrolling while dragging past an edge

bool ExactlyShift(Qt::KeyboardModifiers m) {
  return (m & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}

bool Differ(const TPositionInfo& a, const TPositionInfo& b) { return a.Line != b.Line || a.Col != b.Col; }

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

struct TJumpMemo::TState {
  TJumpDocument doc;
  QImage buffer{1, 1, QImage::Format_RGB32};
  TTextMetrics metrics;

  std::string pagemarker = "Page";
  bool showPages = false;
  int32_t jumpPointLength = 7;
  bool useJumpPointLength = false;
  TLongPoint scrollPos;
  QPoint charSize;
  TPositionInfo caret;
  TPositionInfo selStart;
  TPositionInfo selEnd;
  bool selecting = false;
  bool selected = false;
  bool overJump = false;
  bool overPict = false;
  std::string curJump;
  std::string curPict;
  int jumpCursor = 0;
  int pictCursor = 0;
  int defaultCursor = crIBeam;
  int cursorIndex = crIBeam;

  bool border = true;
  TColor color = 0xFFFFFF;
  TColor selectColor = 0x0000FF;
  TColor jumpColor = 0x008000;
  TColor textColor = 0;
  int32_t helpContext = 0;
  TScrollStyle scrollBars = ssNone;
  bool tabStop = false;

  TLongPoint range;
  int32_t visibleCols = 0;
  int32_t visibleRows = 0;
  int32_t linesPerPage = 0;
  int32_t pixelOffset = 0;
  QPoint caretPos;

  bool caretCreated = false;  // the control has the focus
  bool caretOn = false;       // the blinking caret's current phase
  QTimer blink;
  QTimer autoScroll;
  QPoint pointer;             // where the pointer was last seen while dragging, client pixels
  QScrollBar* hBar = nullptr;
  QScrollBar* vBar = nullptr;

  bool constructed = false;  // font changes before the end of construction are not followed
  bool settingFont = false;  // SetFont follows its own change once
};

// ---- construction ----

TJumpMemo::TJumpMemo(QWidget* parent) : QWidget(parent), d(std::make_unique<TState>()) {
  d->hBar = new QScrollBar(Qt::Horizontal, this);
  d->vBar = new QScrollBar(Qt::Vertical, this);
  d->hBar->hide();
  d->vBar->hide();
  connect(d->hBar, &QScrollBar::actionTriggered, this, [this](int action) { ScrollBarAction(sbHorz, action); });
  connect(d->vBar, &QScrollBar::actionTriggered, this, [this](int action) { ScrollBarAction(sbVert, action); });
  connect(&d->blink, &QTimer::timeout, this, [this] {
    d->caretOn = !d->caretOn;
    update(QRect(ClientRect().topLeft() + d->caretPos, QSize(kCaretWidth, d->charSize.y())));
  });
  d->autoScroll.setInterval(kAutoScrollInterval);
  connect(&d->autoScroll, &QTimer::timeout, this, [this] { AutoScrollStep(); });

  static const char* const failures[] = {"Can`t create List for text lines", "Can`t create List for Selected words",
                                         "Can`t create List for Jump words", "Can`t create List for Jump coordinates",
                                         "Can`t create List for Pictures coordinates"};
  const TJumpDocument::TListKind failed = d->doc.CreateLists();
  if (failed != TJumpDocument::lkNone) {
    // The control stays with the lists it has; its operations then do nothing.
    Dialogs().Message(failures[failed], kErrorCaption, mtCustom);
    return;
  }

  resize(200, 200);
  setFocusPolicy(Qt::ClickFocus);  // TabStop is off
  setMouseTracking(true);          // hovering a jump or picture changes the cursor
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(OnPixelGrid(QFont("Courier New", 10)));
  d->constructed = true;
  FontChanged();
  SetCursorIndex(d->defaultCursor);
  try {
    d->jumpCursor = RegisterCursorResource(1, "HANDCURSOR2");
    d->pictCursor = RegisterCursorResource(2, "PICTCURSOR2");
  } catch (const std::exception&) {
    d->jumpCursor = crUpArrow;
    d->pictCursor = crUpArrow;
  }
  update();
}

TJumpMemo::~TJumpMemo() = default;


// ---- accessors ----

TS_StringList& TJumpMemo::Lines() { return d->doc.Lines(); }
const TS_StringList& TJumpMemo::Lines() const { return d->doc.Lines(); }
const TJumpDocument& TJumpMemo::Document() const { return d->doc; }
const std::vector<TJump>& TJumpMemo::Jumps() const { return d->doc.Jumps(); }
const std::vector<TPict>& TJumpMemo::Picts() const { return d->doc.Picts(); }
const TStringList& TJumpMemo::JumpWords() const { return d->doc.JumpWords(); }
const TStringList& TJumpMemo::SelWords() const { return d->doc.SelWords(); }
int TJumpMemo::GetCurPos() const { return d->scrollPos.Y; }
int32_t TJumpMemo::TextWidth(std::string_view s) const { return d->metrics.Width(s); }

bool TJumpMemo::Border() const { return d->border; }
TColor TJumpMemo::Color() const { return d->color; }
TColor TJumpMemo::SelectColor() const { return d->selectColor; }
TColor TJumpMemo::JumpColor() const { return d->jumpColor; }
TColor TJumpMemo::TextColor() const { return d->textColor; }
int32_t TJumpMemo::JumpPointLength() const { return d->jumpPointLength; }
bool TJumpMemo::UseJumpPointLength() const { return d->useJumpPointLength; }
int32_t TJumpMemo::HelpContext() const { return d->helpContext; }
void TJumpMemo::SetHelpContext(int32_t value) { d->helpContext = value; }
const std::string& TJumpMemo::Pagemarker() const { return d->pagemarker; }
TJumpMemo::TScrollStyle TJumpMemo::ScrollBars() const { return d->scrollBars; }
bool TJumpMemo::ShowPages() const { return d->showPages; }
bool TJumpMemo::TabStop() const { return d->tabStop; }

int32_t TJumpMemo::MaxLineLength() const { return d->doc.MaxLenValid() ? d->doc.MaxLineLength() : 0; }
bool TJumpMemo::MaxLenValid() const { return d->doc.MaxLenValid(); }
const TLongPoint& TJumpMemo::ScrollPos() const { return d->scrollPos; }
const QPoint& TJumpMemo::CharSize() const { return d->charSize; }
const TPositionInfo& TJumpMemo::Caret() const { return d->caret; }
const TPositionInfo& TJumpMemo::SelStart() const { return d->selStart; }
const TPositionInfo& TJumpMemo::SelEnd() const { return d->selEnd; }
bool TJumpMemo::Selecting() const { return d->selecting; }
bool TJumpMemo::Selected() const { return d->selected; }
bool TJumpMemo::OverJump() const { return d->overJump; }
bool TJumpMemo::OverPict() const { return d->overPict; }
const std::string& TJumpMemo::CurJump() const { return d->curJump; }
const std::string& TJumpMemo::CurPict() const { return d->curPict; }
int TJumpMemo::JumpCursor() const { return d->jumpCursor; }
int TJumpMemo::PictCursor() const { return d->pictCursor; }
int TJumpMemo::DefaultCursor() const { return d->defaultCursor; }
const QImage& TJumpMemo::Buffer() const { return d->buffer; }
const TLongPoint& TJumpMemo::Range() const { return d->range; }
int32_t TJumpMemo::VisibleCols() const { return d->visibleCols; }
int32_t TJumpMemo::VisibleRows() const { return d->visibleRows; }
int32_t TJumpMemo::LinesPerPage() const { return d->linesPerPage; }
int32_t TJumpMemo::PixelOffset() const { return d->pixelOffset; }
QPoint TJumpMemo::CaretPos() const { return d->caretPos; }
bool TJumpMemo::CaretShown() const { return d->caretCreated && d->caretOn; }

TMemoLayout TJumpMemo::Layout() const { return TMemoLayout(d->metrics, d->charSize, d->scrollPos, d->pixelOffset); }

QRect TJumpMemo::ClientRect() const {
  const int frame = d->border ? 1 : 0;
  QRect r = rect().adjusted(frame, frame, -frame, -frame);
  if (!d->vBar->isHidden()) r.setRight(r.right() - d->vBar->sizeHint().width());
  if (!d->hBar->isHidden()) r.setBottom(r.bottom() - d->hBar->sizeHint().height());
  return r;
}

void TJumpMemo::SetCursorIndex(int index) {
  d->cursorIndex = index;
  setCursor(Cursors().Cursor(index));
}

void TJumpMemo::ResetCursor() {
  if (d->cursorIndex != d->defaultCursor) SetCursorIndex(d->defaultCursor);
}

void TJumpMemo::ResetPositions() {
  d->caret = TPositionInfo{0, 0, 0, d->doc.LineLength(0)};
  d->selStart = d->caret;
  d->selEnd = d->caret;
  d->selecting = false;
  d->selected = false;
}

// ---- changing the text ----

// After a text change: grid and range, markup, and the view back to the start of the text (a
// shorter text must not stay scrolled past its end).
void TJumpMemo::TextChanged() {
  RecalcRange();
  ReadJumps();
  ScrollTo(0, 0);
  UpdateCaret(false);
  update();
}

void TJumpMemo::LoadFromFile(const std::string& fileName) {
  if (!d->doc.Ready()) return;
  Lines().Clear();
  try {
    Lines().LoadFromFile(fileName);
  } catch (const std::exception&) {
    Dialogs().Message(kLoadFailed, kFailureCaption, mtError);
  }
  if (d->showPages) {
    RemovePagesCore(false);
    InsertPagesCore(false);
  }
  ResetPositions();
  d->doc.Invalidate();
  TextChanged();
}

void TJumpMemo::Add(const std::string& s) {
  if (!d->doc.Ready()) return;
  try {
    Lines().Add(s);
    if (d->showPages) {
      RemovePagesCore(false);
      InsertPagesCore(false);
    }
    d->doc.Invalidate();
    RecalcRange();
    ReadJumps();
    update();
  } catch (const std::exception&) {
    Dialogs().Message(kAddFailed, kFailureCaption, mtCustom);
  }
}

void TJumpMemo::Clear() {
  if (!d->doc.Ready()) return;
  d->doc.Clear();
  if (d->showPages) InsertPagesCore(false);
  ResetPositions();
  TextChanged();
}

void TJumpMemo::ReadJumps() { d->doc.ReadJumps(d->metrics, d->charSize.y()); }

void TJumpMemo::InsertPages() { InsertPagesCore(true); }
void TJumpMemo::RemovePages() { RemovePagesCore(true); }

void TJumpMemo::InsertPagesCore(bool scan) {
  if (!d->doc.Ready()) return;
  try {
    d->doc.InsertPages(d->pagemarker);
  } catch (const std::exception&) {
    Dialogs().Message(kInsertPageFailed, kFailureCaption, mtCustom);
  }
  if (scan) ReadJumps();
  RecalcRange();
}

void TJumpMemo::RemovePagesCore(bool scan) {
  if (!d->doc.Ready()) return;
  try {
    d->doc.RemovePages(d->pagemarker);
  } catch (const std::exception&) {
    Dialogs().Message(kRemovePageFailed, kFailureCaption, mtCustom);
  }
  if (scan) ReadJumps();
  RecalcRange();
}

void TJumpMemo::SetPageMarker(const std::string& value) {
  if (value == d->pagemarker) return;
  if (d->showPages && d->doc.Ready()) {
    RemovePagesCore(false);  // the marker lines written with the old word
    d->pagemarker = value;
    InsertPagesCore(true);
  } else {
    d->pagemarker = value;
  }
  update();
}

void TJumpMemo::SetShowPages(bool value) {
  if (value != d->showPages) {
    d->showPages = value;
    if (value)
      InsertPages();
    else
      RemovePages();
  }
  update();
}

void TJumpMemo::SetJumpPointLength(int32_t value) {
  if (value == d->jumpPointLength) return;
  d->jumpPointLength = value;
  ReadJumps();
  update();
}

void TJumpMemo::SetUseJumpPointLength(bool value) {
  if (value == d->useJumpPointLength) return;
  d->useJumpPointLength = value;
  ReadJumps();
  update();
}

void TJumpMemo::SetSelWords(const TStrings& words) {
  if (d->doc.Ready()) d->doc.SelWords().Assign(words);
  update();
}

// ---- look-ups ----

std::string TJumpMemo::GetWord(int X, int Y) {
  const auto nothing = [this] {
    if (d->overJump) {
      d->overJump = false;
      ResetCursor();
    }
    return std::string(" ");
  };
  if (!d->doc.Ready()) return " ";
  const TMemoLayout layout = Layout();
  const int64_t line = int64_t{d->scrollPos.Y} + layout.RowOf(Y);
  if (line < 0 || line >= d->doc.Count()) return nothing();
  const std::string_view text = d->doc.Line(static_cast<int>(line));
  if (text.empty()) return " ";
  if (d->metrics.Width(text) < X) return nothing();

  const size_t k = layout.CharUnder(text, X);
  // No character qualifies, or the one under X is a separator: there is no word there.
  if (k == 0 || IsSeparator(text[k - 1])) return " ";
  const size_t leftmost = static_cast<size_t>(std::max(0, d->scrollPos.X)) + 1;
  size_t left = k;
  while (left > leftmost && !IsSeparator(text[left - 2])) --left;
  size_t right = k;
  while (right < text.size() && !IsSeparator(text[right])) ++right;
  return std::string(text.substr(left - 1, right - left + 1));
}

int TJumpMemo::GetPos(const std::string& word, int from) const { return d->doc.GetPos(word, from); }

// ---- font and grid ----

void TJumpMemo::SetFont(const QFont& font) {
  d->settingFont = true;
  setFont(OnPixelGrid(font));
  d->settingFont = false;
  FontChanged();
  if (hasFocus()) {
    d->caretCreated = true;
    RestartBlink();
    UpdateCaret(true);
  }
  update();
}

void TJumpMemo::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::FontChange || !d->constructed || d->settingFont) return;
  if (font().hintingPreference() != QFont::PreferFullHinting) {
    setFont(OnPixelGrid(font()));  // its own change event follows the font
    return;
  }
  FontChanged();
}

void TJumpMemo::FontChanged() {
  d->metrics.SetFont(font(), &d->buffer);
  d->charSize = QPoint(d->metrics.AverageCharWidth(), d->metrics.Height());
  RecalcRange();
  ReadJumps();
  d->pixelOffset = 0;
  ScrollTo(0, d->scrollPos.Y);
  update();
}

void TJumpMemo::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceScrollBars();
  RecalcRange();
}

void TJumpMemo::RecalcRange() {
  if (!d->doc.Ready()) return;
  try {
    const int count = d->doc.Count();
    const int32_t longest = d->doc.MaxLineLength();
    const QRect client = ClientRect();
    d->visibleCols = client.width() / std::max(1, d->charSize.x());
    d->visibleRows = client.height() / std::max(1, d->charSize.y());
    // The buffer only measures text: painting goes to the window's own back buffer, which Qt
    // copies to the screen in one piece, so a line of 100,000 characters needs no image that wide.
    const QSize size(std::max(1, client.width()), std::max(1, client.height()));
    if (d->buffer.size() != size) {
      QImage resized(size, QImage::Format_RGB32);
      if (!resized.isNull()) d->buffer.swap(resized);
    }
    d->linesPerPage = d->visibleRows;
    d->range.X = std::max(0, ClampToInt(int64_t{longest} - d->visibleCols + 1));
    d->range.Y = std::max(0, count - d->visibleRows);
    if (count > 0 && d->caret.Row > d->linesPerPage - 1) {
      // Keep the caret on its line: scroll down by as many rows as it moves up.
      const int up = d->caret.Row - (d->linesPerPage - 1);
      d->caret.Row = d->linesPerPage - 1;
      d->selEnd = d->caret;
      ScrollTo(std::min(d->scrollPos.X, d->range.X), ClampToInt(int64_t{d->scrollPos.Y} + up));
    } else {
      // An emptied or shortened text must not stay scrolled past its end.
      ScrollTo(std::min(d->scrollPos.X, d->range.X), std::min(d->scrollPos.Y, d->range.Y));
    }
    SetScrollBars();
    UpdateCaret(true);
  } catch (const std::exception&) {
    // The view stays as far as it got; a later change recomputes it.
  }
}

// ---- scrolling ----

void TJumpMemo::ScrollTo(int X, int Y) {
  const int x = std::clamp(X, 0, std::max(0, d->range.X));
  const int y = std::clamp(Y, 0, std::max(0, d->range.Y));
  if (x == d->scrollPos.X && y == d->scrollPos.Y) return;
  const int dx = d->scrollPos.X - x;
  d->scrollPos = TLongPoint{x, y};
  d->pixelOffset = ClampToInt(int64_t{d->pixelOffset} + int64_t{dx} * (d->charSize.x() - 1));
  SetScrollBars();
  update();
  UpdateCaret(true);
}

void TJumpMemo::DoScroll(int Bar, int Code, int Pos) {
  if (Bar != sbHorz && Bar != sbVert) return;
  const bool horizontal = Bar == sbHorz;
  const int current = horizontal ? d->scrollPos.X : d->scrollPos.Y;
  const int page = horizontal ? d->visibleCols / 2 : d->visibleRows;
  const int end = horizontal ? d->range.X : d->range.Y;
  int64_t next = current;
  switch (Code) {
    case sbLineUp: next = int64_t{current} - 1; break;
    case sbLineDown: next = int64_t{current} + 1; break;
    case sbPageUp: next = int64_t{current} - page; break;
    case sbPageDown: next = int64_t{current} + page; break;
    case sbThumbPosition:
    case sbThumbTrack: next = Pos; break;
    case sbTop: next = 0; break;
    case sbBottom: next = end; break;
    default: break;
  }
  if (horizontal)
    ScrollTo(ClampToInt(next), d->scrollPos.Y);
  else
    ScrollTo(d->scrollPos.X, ClampToInt(next));
}

void TJumpMemo::SetScrollBars() {
  const auto push = [](QScrollBar* bar, int range, int pos, int page) {
    const QSignalBlocker quiet(bar);
    bar->setRange(0, std::max(1, range));
    bar->setPageStep(std::max(1, page));
    bar->setValue(pos);
  };
  push(d->hBar, d->range.X, d->scrollPos.X, d->visibleCols / 2);
  push(d->vBar, d->range.Y, d->scrollPos.Y, d->visibleRows);
}

void TJumpMemo::ScrollBarAction(int bar, int action) {
  QScrollBar* const scrollBar = bar == sbHorz ? d->hBar : d->vBar;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: DoScroll(bar, sbLineDown, 0); break;
    case QAbstractSlider::SliderSingleStepSub: DoScroll(bar, sbLineUp, 0); break;
    case QAbstractSlider::SliderPageStepAdd: DoScroll(bar, sbPageDown, 0); break;
    case QAbstractSlider::SliderPageStepSub: DoScroll(bar, sbPageUp, 0); break;
    case QAbstractSlider::SliderToMinimum: DoScroll(bar, sbTop, 0); break;
    case QAbstractSlider::SliderToMaximum: DoScroll(bar, sbBottom, 0); break;
    case QAbstractSlider::SliderMove: DoScroll(bar, sbThumbTrack, scrollBar->sliderPosition()); break;
    default: break;
  }
  // The bar shows where the view went, not where its own step would have put it.
  scrollBar->setSliderPosition(bar == sbHorz ? d->scrollPos.X : d->scrollPos.Y);
}

void TJumpMemo::PlaceScrollBars() {
  const bool horizontal = d->scrollBars == ssHorizontal || d->scrollBars == ssBoth;
  const bool vertical = d->scrollBars == ssVertical || d->scrollBars == ssBoth;
  const int frame = d->border ? 1 : 0;
  const QRect inner = rect().adjusted(frame, frame, -frame, -frame);
  const int barWidth = d->vBar->sizeHint().width();
  const int barHeight = d->hBar->sizeHint().height();
  d->vBar->setVisible(vertical);
  d->hBar->setVisible(horizontal);
  if (vertical)
    d->vBar->setGeometry(inner.right() - barWidth + 1, inner.top(), barWidth,
                         inner.height() - (horizontal ? barHeight : 0));
  if (horizontal)
    d->hBar->setGeometry(inner.left(), inner.bottom() - barHeight + 1, inner.width() - (vertical ? barWidth : 0),
                         barHeight);
}

void TJumpMemo::ChangeScrollBars(TScrollStyle value) {
  if (value == d->scrollBars) return;
  d->scrollBars = value;
  PlaceScrollBars();
  RecalcRange();
  update();
}

void TJumpMemo::SetBorder(bool value) {
  if (value == d->border) return;
  d->border = value;
  PlaceScrollBars();
  RecalcRange();
  update();
}

// ---- looks ----

void TJumpMemo::SetColor(TColor value) {
  if (value == d->color) return;
  d->color = value;
  update();
}

void TJumpMemo::SetSelColor(TColor value) {
  if (value == d->selectColor) return;
  d->selectColor = value;
  update();
}

void TJumpMemo::SetJumpColor(TColor value) {
  if (value == d->jumpColor) return;
  d->jumpColor = value;
  update();
}

void TJumpMemo::SetTextColor(TColor value) {
  if (value == d->textColor) return;
  d->textColor = value;
  update();
}

void TJumpMemo::SetTabStop(bool value) {
  if (value == d->tabStop) return;
  d->tabStop = value;
  setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---- caret and selection ----

void TJumpMemo::UpdateCaret(bool Full) {
  // Full chose which lines a growing selection redrew; every change repaints from the state here.
  (void)Full;
  const TMemoLayout layout = Layout();
  if (!d->doc.Ready() || d->doc.Count() == 0) {
    d->caretPos = QPoint(ClampToInt(layout.OriginX()), TMemoLayout::CaretDrop);
    update();
    return;
  }
  // The caret may point past a text that was changed through Lines directly.
  const bool lineExists = d->caret.Line >= 0 && d->caret.Line < d->doc.Count();
  const std::string_view line = lineExists ? d->doc.Line(d->caret.Line) : std::string_view();
  const QPoint old = d->caretPos;
  d->caretPos = layout.CaretAt(line, d->caret.Line, std::min(d->caret.Col, d->caret.Len));
  d->caret.Row = ClampToInt(int64_t{d->caret.Line} - d->scrollPos.Y);
  if (d->caretPos != old) RestartBlink();
  if (d->selecting) {
    // The anchor stays while the selection grows, also when a scroll already moved SelEnd along.
    if (Differ(d->caret, d->selEnd)) {
      d->selEnd = d->caret;
      if (OnSelect) OnSelect(this);
      DrawSelection();
    }
  } else if (!d->selected) {
    d->selStart = d->caret;
  }
  update();
}

void TJumpMemo::RestartBlink() {
  if (!d->caretCreated) return;
  d->caretOn = true;
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  if (flash > 0)
    d->blink.start(flash / 2);
  else
    d->blink.stop();
}

// The selection is drawn from the state by every paint; these only ask for one.
void TJumpMemo::DrawSelection() { update(); }
void TJumpMemo::UnDrawSelection() { update(); }

void TJumpMemo::SelectionToZero() {
  ResetPositions();
  update();
  UpdateCaret(false);
}

void TJumpMemo::SelectionToAll() { SelectionToZero(); }

// ---- painting ----

void TJumpMemo::paintEvent(QPaintEvent*) {
  QPainter canvas(this);
  canvas.fillRect(rect(), palette().window());  // the corner between two scroll bars
  if (d->border) {
    canvas.setPen(palette().color(QPalette::Dark));
    canvas.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  const QRect client = ClientRect();
  canvas.fillRect(client, ColorToQColor(d->color));
  canvas.setClipRect(client);
  canvas.translate(client.topLeft());
  if (d->doc.Ready() && d->doc.Count() > 0) {
    PaintText(canvas);
    if ((d->selected || d->selecting) && Differ(d->selStart, d->selEnd)) PaintSelection(canvas);
  }
  if (CaretShown()) {
    canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    canvas.fillRect(QRect(d->caretPos, QSize(kCaretWidth, d->charSize.y())), Qt::white);
  }
}

namespace {

// The visible part of a line: the columns from `first` on that fit into `width` pixels, drawn where
// they stand, so a very long line costs the view's width and not its own.
void DrawColumns(QPainter& canvas, const TMemoLayout& layout, std::string_view line, int64_t first, int64_t top,
                 int ascent, int visibleCols) {
  first = std::clamp<int64_t>(first, 0, static_cast<int64_t>(line.size()));
  const size_t count = std::min<size_t>(line.size() - static_cast<size_t>(first), static_cast<size_t>(visibleCols) + 2);
  if (count == 0) return;
  canvas.drawText(QPoint(ClampToInt(layout.XOfCol(line, first)), ClampToInt(top + ascent)),
                  Cp1251ToDisplay(line.substr(static_cast<size_t>(first), count)));
}

}  // namespace

void TJumpMemo::PaintText(QPainter& canvas) const {
  const TMemoLayout layout = Layout();
  canvas.setFont(font());
  const int ascent = d->metrics.Ascent();
  const int count = d->doc.Count();
  for (int row = 0; row <= d->linesPerPage; ++row) {
    const int64_t i = int64_t{d->scrollPos.Y} + row;
    if (i >= count) break;
    const std::string_view line = d->doc.Line(static_cast<int>(i));
    const bool marker = TJumpDocument::IsMarkerLine(line, d->pagemarker);
    canvas.setPen(ColorToQColor(marker ? MarkerColor : d->textColor));
    DrawColumns(canvas, layout, line, d->scrollPos.X, layout.RowTop(i), ascent, d->visibleCols);
    PaintHighlights(canvas, line, layout.RowTop(i));
  }
  // Jumps and pictures are drawn over their lines, in the band of the visible rows.
  const int64_t first = d->scrollPos.Y;
  const int64_t last = first + d->linesPerPage;
  const auto [jumpFrom, jumpTo] = WordsOnLines(d->doc.Jumps(), first, last);
  for (auto it = jumpFrom; it != jumpTo; ++it) it->DrawMe(canvas, d->scrollPos, d->charSize, d->color, d->jumpColor);
  const auto [pictFrom, pictTo] = WordsOnLines(d->doc.Picts(), first, last);
  for (auto it = pictFrom; it != pictTo; ++it) it->DrawMe(canvas, d->scrollPos, d->charSize, d->color, MarkerColor);
}

void TJumpMemo::PaintHighlights(QPainter& canvas, std::string_view line, int64_t top) const {
  const TStringList& words = d->doc.SelWords();
  if (words.Count() == 0) return;
  const TMemoLayout layout = Layout();
  const std::string folded = FoldText(line);
  canvas.setPen(ColorToQColor(d->selectColor));
  for (int w = 0; w < words.Count(); ++w) {
    std::string word = words.Get(w);
    if (word.empty()) continue;
    const bool prefix = word.back() == '*';
    if (prefix) word.pop_back();
    if (word.empty()) continue;
    const std::string needle = FoldText(word);
    int offset = 0;
    for (;;) {
      const int p = FindWordFrom(needle, folded, offset, !prefix);
      if (p <= offset) break;
      const std::string_view match = line.substr(static_cast<size_t>(p - 1), needle.size());
      canvas.drawText(QPoint(ClampToInt(layout.XOfCol(line, p - 1)), ClampToInt(top + d->metrics.Ascent())),
                      Cp1251ToDisplay(match));
      offset = p + static_cast<int>(needle.size());
    }
  }
  canvas.setPen(ColorToQColor(d->textColor));
}

void TJumpMemo::PaintSelection(QPainter& canvas) const {
  TPositionInfo first = d->selStart;
  TPositionInfo last = d->selEnd;
  OrderPlaces(first, last);
  const TMemoLayout layout = Layout();
  const int ascent = d->metrics.Ascent();
  const QColor highlight = palette().color(QPalette::Highlight);
  const QColor highlightText = palette().color(QPalette::HighlightedText);
  const auto piece = [&](int line, int64_t from, int64_t to) {
    if (line < 0 || line >= d->doc.Count()) return;
    const int64_t row = int64_t{line} - d->scrollPos.Y;
    if (row < 0 || row > d->linesPerPage) return;
    const std::string_view text = d->doc.Line(line);
    const std::string shown = SelectionPiece(text, from, to);
    if (shown.empty()) return;
    const int64_t x = layout.XOfCol(text, from);
    const int64_t top = layout.RowTop(line);
    const bool marker = TJumpDocument::IsMarkerPiece(shown, d->pagemarker);
    const QRect cell(ClampToInt(x), ClampToInt(top), d->metrics.Width(shown), d->charSize.y());
    canvas.fillRect(cell, marker ? ColorToQColor(d->color) : highlight);
    canvas.setPen(marker ? ColorToQColor(MarkerColor) : highlightText);
    canvas.drawText(QPoint(cell.left(), ClampToInt(top + ascent)), Cp1251ToDisplay(shown));
  };
  if (first.Line == last.Line) {
    piece(first.Line, first.Col, last.Col);
  } else {
    piece(first.Line, first.Col, INT64_MAX);
    const int from = std::max(first.Line + 1, d->scrollPos.Y);
    const int to = std::min<int64_t>(last.Line - 1, int64_t{d->scrollPos.Y} + d->linesPerPage);
    for (int line = from; line <= to; ++line) piece(line, 0, INT64_MAX);
    piece(last.Line, 0, last.Col);
  }
}

// ---- focus ----

void TJumpMemo::focusInEvent(QFocusEvent* event) {
  d->caretCreated = true;
  RestartBlink();
  UpdateCaret(true);
  QWidget::focusInEvent(event);
}

void TJumpMemo::focusOutEvent(QFocusEvent* event) {
  d->caretCreated = false;
  d->caretOn = false;
  d->blink.stop();
  d->autoScroll.stop();
  update();
  QWidget::focusOutEvent(event);
}


// ---- keys ----

void TJumpMemo::keyPressEvent(QKeyEvent* event) {
  int key = event->key();
  KeyDown(key, event->modifiers());
  event->accept();
}

void TJumpMemo::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  int key = event->key();
  KeyUp(key, event->modifiers());
  event->accept();
}

// "Fix the column" after the caret moved to another line.
void TJumpMemo::FixColumn() {
  d->caret.Len = d->doc.LineLength(d->caret.Line);
  d->caret.Col = std::min(d->caret.Col, d->caret.Len);
}

// Ends a finished selection when the caret moved without Shift.
void TJumpMemo::Deselect() {
  if (d->selecting || !d->selected) return;
  d->selEnd = d->caret;
  d->selected = false;
  if (OnDeSelect) OnDeSelect(this);
  update();
}

void TJumpMemo::ShowColumnZero() {
  if (d->caretPos.x() < 0) DoScroll(sbHorz, sbTop, 0);
}

void TJumpMemo::BringCaretRowIntoView() {
  const int x = std::min(d->scrollPos.X, d->range.X);
  if (d->caret.Row < 0) {
    const int up = d->caret.Row;
    d->caret.Row = 0;
    ScrollTo(x, ClampToInt(int64_t{d->scrollPos.Y} + up));
  } else if (d->caret.Row > d->linesPerPage - 1) {
    const int down = d->caret.Row - (d->linesPerPage - 1);
    d->caret.Row = d->linesPerPage - 1;
    ScrollTo(x, ClampToInt(int64_t{d->scrollPos.Y} + down));
  }
}

void TJumpMemo::KeyDown(int& Key, Qt::KeyboardModifiers Shift) {
  if (!d->doc.Ready() || d->doc.Count() == 0) return;
  // A text shortened through Lines directly may have left the caret below its end.
  if (d->caret.Line >= d->doc.Count()) {
    d->caret.Line = d->doc.Count() - 1;
    FixColumn();
  }
  if (Key == Qt::Key_F1) {
    if (Application) Application->ShowHelp(d->helpContext);
    return;
  }
  if (Key == Qt::Key_Insert && (Shift & ~Qt::KeypadModifier) == Qt::ControlModifier) {
    CopyToClipboard();
    return;
  }
  if (Key == 0) return;
  if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
    // The caret's point, two pixels lower, inside a jump or picture activates it.
    const int x = d->caretPos.x();
    const int y = d->caretPos.y() + 2;
    for (const TJump& jump : d->doc.Jumps()) {
      if (!jump.OnMe(x, y, d->scrollPos, d->charSize)) continue;
      d->curJump = jump.Text;
      JumpClick();
      if (OnKeyDown) OnKeyDown(this, Key, Shift);
      return;
    }
    for (const TPict& pict : d->doc.Picts()) {
      if (!pict.OnMe(x, y, d->scrollPos, d->charSize)) continue;
      d->curPict = pict.Text;
      PictClick();
      if (OnKeyDown) OnKeyDown(this, Key, Shift);
      return;
    }
  }
  BringCaretRowIntoView();
  if (KeyStep(Key, Shift) && OnKeyDown) OnKeyDown(this, Key, Shift);
}

// One key's own rule; false when the rule ends the key without the toolkit's handling after it.
bool TJumpMemo::KeyStep(int key, Qt::KeyboardModifiers shift) {
  TPositionInfo& caret = d->caret;
  const int last = d->doc.Count() - 1;
  const int lpp = d->linesPerPage;
  const bool ctrl = shift.testFlag(Qt::ControlModifier);
  const auto lineText = [this](int line) { return d->doc.Line(line); };
  const auto deselectAll = [this] {
    d->selecting = false;
    d->selected = false;
  };
  // Paging past the end: the last line, on the last row the text or the view allows.
  const auto clampToLast = [&] {
    if (caret.Line <= last) return;
    caret.Line = last;
    caret.Row = d->doc.Count() < lpp + 1 ? last : lpp - 1;
  };
  switch (key) {
    case Qt::Key_Down:
      if (caret.Line < last) {
        if (ExactlyShift(shift)) d->selecting = true;
        ++caret.Line;
        FixColumn();
        if (caret.Row < lpp - 1)
          ++caret.Row;
        else
          DoScroll(sbVert, sbLineDown, 0);
        UpdateCaret(false);
        ShowColumnZero();
      }
      Deselect();
      return true;
    case Qt::Key_Up:
      if (caret.Line > 0) {
        if (ExactlyShift(shift)) d->selecting = true;
        --caret.Line;
        FixColumn();
        if (caret.Row < 1)
          DoScroll(sbVert, sbLineUp, 0);
        else
          --caret.Row;
        UpdateCaret(false);
        ShowColumnZero();
      }
      Deselect();
      return true;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
      const bool down = key == Qt::Key_PageDown;
      deselectAll();
      update();
      if (OnDeSelect) OnDeSelect(this);
      if (shift.testFlag(Qt::ShiftModifier)) d->selecting = true;
      if (ctrl) {
        caret.Line = down ? d->scrollPos.Y + lpp - 1 : d->scrollPos.Y;
        caret.Row = down ? lpp - 1 : 0;
        clampToLast();
      } else if (down) {
        caret.Line = ClampToInt(int64_t{caret.Line} + lpp);
        clampToLast();
      } else {
        caret.Line -= lpp;
        if (caret.Line < 0) caret.Line = caret.Row = 0;
      }
      FixColumn();
      if (!ctrl) DoScroll(sbVert, down ? sbPageDown : sbPageUp, 0);
      UpdateCaret(true);
      ShowColumnZero();
      return true;
    }
    case Qt::Key_Left:
      if (caret.Col > 0) {
        const std::string_view text = lineText(caret.Line);
        caret.Len = d->doc.LineLength(caret.Line);
        if (ExactlyShift(shift)) d->selecting = true;
        caret.Col = std::min(caret.Col, caret.Len) - 1;
        const int crossed = d->metrics.Width(text.substr(static_cast<size_t>(caret.Col), 1));
        if (d->caretPos.x() - crossed < 0) DoScroll(sbHorz, sbLineUp, 0);
        UpdateCaret(false);
      } else if (caret.Line > 0) {
        KeyStep(Qt::Key_Up, shift);
        caret.Len = d->doc.LineLength(caret.Line);
        if (ExactlyShift(shift)) d->selecting = true;
        caret.Col = caret.Len;
        UpdateCaret(false);
        // The end of the previous line may lie right of the view: bring it in.
        if (d->caretPos.x() + d->charSize.x() > ClientRect().width())
          ScrollTo(ClampToInt(int64_t{caret.Col} - d->visibleCols + 1), d->scrollPos.Y);
        UpdateCaret(false);
      }
      if (!d->selecting && d->selected) {
        d->selected = false;
        UnDrawSelection();
        d->selEnd = caret;
        if (OnDeSelect) OnDeSelect(this);
        update();
      }
      return true;
    case Qt::Key_Right:
      if (caret.Col < d->doc.LineLength(caret.Line)) {
        const std::string_view text = lineText(caret.Line);
        caret.Len = d->doc.LineLength(caret.Line);
        if (ExactlyShift(shift)) d->selecting = true;
        const int crossed = d->metrics.Width(text.substr(static_cast<size_t>(caret.Col), 1));
        ++caret.Col;
        if (d->caretPos.x() + crossed > ClientRect().width()) DoScroll(sbHorz, sbLineDown, 0);
        UpdateCaret(false);
      } else if (caret.Line < last) {
        KeyStep(Qt::Key_Down, shift);
        caret.Len = d->doc.LineLength(caret.Line);
        if (ExactlyShift(shift)) d->selecting = true;
        caret.Col = std::min(1, caret.Len);  // after the first character of the next line
        UpdateCaret(false);
        const int firstChar = d->metrics.Width(lineText(caret.Line).substr(0, 1));
        if (d->caretPos.x() - firstChar < 0) DoScroll(sbHorz, sbTop, 0);
        UpdateCaret(false);
      }
      Deselect();
      return true;
    case Qt::Key_Home:
    case Qt::Key_End: {
      const bool home = key == Qt::Key_Home;
      deselectAll();
      UnDrawSelection();
      if (shift.testFlag(Qt::ShiftModifier)) d->selecting = true;
      if (ctrl) {
        d->selecting = false;
        if (home) {
          caret = TPositionInfo{0, 0, 0, d->doc.LineLength(0)};
        } else {
          caret.Line = last;
          caret.Row = std::min(lpp - 1, last);
          caret.Col = caret.Len = d->doc.LineLength(last);
        }
        if (OnDeSelect) OnDeSelect(this);
        DoScroll(sbVert, home ? sbTop : sbBottom, 0);
        UpdateCaret(true);
        return true;
      }
      caret.Len = d->doc.LineLength(caret.Line);
      caret.Col = home ? 0 : caret.Len;
      if (home)
        DoScroll(sbHorz, sbTop, 0);
      else if (caret.Len > d->visibleCols)
        DoScroll(sbHorz, sbBottom, 0);
      if (OnDeSelect) OnDeSelect(this);
      UpdateCaret(false);
      return true;
    }
    default:
      return true;
  }
}

void TJumpMemo::KeyUp(int& Key, Qt::KeyboardModifiers Shift) {
  if (Key == Qt::Key_Shift && d->selecting) {
    d->selecting = false;
    if (Differ(d->selStart, d->selEnd)) d->selected = true;
  }
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TJumpMemo::JumpClick() {
  if (!OnJumpClick) return;
  ResetCursor();
  OnJumpClick(this, d->curJump);
}

void TJumpMemo::PictClick() {
  if (!OnPictureClick) return;
  ResetCursor();
  OnPictureClick(this, d->curPict);
}

// ---- mouse ----

void TJumpMemo::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint() - ClientRect().topLeft();
  MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TJumpMemo::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint() - ClientRect().topLeft();
  MouseMove(event->modifiers(), p.x(), p.y());
}

void TJumpMemo::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint() - ClientRect().topLeft();
  MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

// Double clicks do nothing.
void TJumpMemo::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void TJumpMemo::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  const int count = d->doc.Ready() ? d->doc.Count() : 0;
  const auto passOn = [&] {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  };
  if (count == 0 || Button != Qt::LeftButton) return passOn();
  if (d->overJump) return JumpClick();
  if (d->overPict) return PictClick();
  const TMemoLayout layout = Layout();
  TPositionInfo& caret = d->caret;
  caret.Row = std::clamp(layout.RowOf(Y), 0, count - 1);
  caret.Line = std::min(ClampToInt(int64_t{d->scrollPos.Y} + caret.Row), count - 1);
  caret.Len = d->doc.LineLength(caret.Line);
  caret.Col = layout.ColAt(d->doc.Line(caret.Line), X);
  UpdateCaret(true);
  if (d->selected) {
    d->selecting = false;
    d->selected = false;
    d->selStart = caret;
    update();
    if (OnDeSelect) OnDeSelect(this);
  }
  d->selecting = true;
  d->selected = false;
  d->selEnd = d->selStart;
  passOn();
}

void TJumpMemo::MouseMove(Qt::KeyboardModifiers, int X, int Y) {
  if (!d->doc.Ready() || d->doc.Count() == 0) return;
  const int count = d->doc.Count();
  const TMemoLayout layout = Layout();
  if (d->selecting) {
    TPositionInfo& caret = d->caret;
    caret.Row = std::min(std::clamp(layout.RowOf(Y), 0, count - 1), d->linesPerPage);
    caret.Line = std::min(ClampToInt(int64_t{d->scrollPos.Y} + caret.Row), count - 1);
    caret.Len = d->doc.LineLength(caret.Line);
    caret.Col = layout.ColAt(d->doc.Line(caret.Line), X);
    UpdateCaret(true);
    // Past an edge the view scrolls on from a timer while the pointer stays there, so that the
    // window stays live.
    d->pointer = QPoint(X, Y);
    if (AutoScrollBand(true) && !d->autoScroll.isActive()) d->autoScroll.start();
    return;
  }
  try {
    // Only the words of the rows under the pointer can hold it; the lists are in line order.
    const int64_t line = int64_t{d->scrollPos.Y} + layout.RowOf(Y);
    const auto hover = [&](const auto& words, int cursor, bool& over, std::string& current) {
      const auto [from, to] = WordsOnLines(words, line - 1, line + 1);
      for (auto it = from; it != to; ++it) {
        if (!it->OnMe(X, Y, d->scrollPos, d->charSize)) continue;
        if (d->cursorIndex != cursor) SetCursorIndex(cursor);
        over = true;
        current = it->Text;
        return true;
      }
      over = false;
      return false;
    };
    if (hover(d->doc.Jumps(), d->jumpCursor, d->overJump, d->curJump)) return;
    if (hover(d->doc.Picts(), d->pictCursor, d->overPict, d->curPict)) return;
    ResetCursor();
  } catch (const std::exception&) {
    Dialogs().Message(kHoverFailed, kFailureCaption, mtCustom);
  }
}

void TJumpMemo::MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  d->autoScroll.stop();
  d->selecting = false;
  if (Differ(d->selStart, d->selEnd)) d->selected = true;
}

// Whether the pointer stands in a band that scrolls: starting, it must lie past the band's inner
// edge; going on, at it (and the view or caret must still be able to move that way).
bool TJumpMemo::AutoScrollBand(bool starting) {
  const QRect client = ClientRect();
  const QPoint p = d->pointer;
  const int cx = d->charSize.x();
  const int cy = d->charSize.y();
  const int last = d->doc.Count() - 1;
  const bool down = starting ? p.y() > client.height() - cy : p.y() >= client.height() - cy;
  const bool up = starting ? p.y() < cy : p.y() <= cy;
  const bool right = starting ? p.x() > client.width() - cx : p.x() >= client.width() - cx;
  const bool left = starting ? p.x() < cx : p.x() <= cx;
  const bool canRight = d->caret.Col < d->doc.LineLength(d->caret.Line) || d->caret.Line < last;
  const bool canLeft = d->caret.Col > 0 || d->caret.Line > 0;
  return (down && d->caret.Line < last) || (up && d->scrollPos.Y > 0 && d->caret.Line > 0) ||
         (right && canRight) || (left && d->scrollPos.X > 0 && canLeft);
}

// One step of each direction whose band holds the pointer, as the keys with Shift would make it.
void TJumpMemo::AutoScrollStep() {
  if (!d->selecting || !AutoScrollBand(false)) {
    d->autoScroll.stop();
    return;
  }
  const QRect client = ClientRect();
  const QPoint p = d->pointer;
  const int last = d->doc.Count() - 1;
  try {
    int key = 0;
    if (p.y() >= client.height() - d->charSize.y() && d->caret.Line < last) KeyDown(key = Qt::Key_Down, Qt::ShiftModifier);
    if (p.y() <= d->charSize.y() && d->scrollPos.Y > 0 && d->caret.Line > 0) KeyDown(key = Qt::Key_Up, Qt::ShiftModifier);
    if (p.x() >= client.width() - d->charSize.x()) KeyDown(key = Qt::Key_Right, Qt::ShiftModifier);
    if (p.x() <= d->charSize.x() && d->scrollPos.X > 0) KeyDown(key = Qt::Key_Left, Qt::ShiftModifier);
  } catch (const std::exception&) {
    // A failed step ends this round; the next tick tries again.
  }
}

// ---- search ----

bool TJumpMemo::Search(const std::string& Text, bool Forward) {
  d->selected = false;
  if (OnDeSelect) OnDeSelect(this);
  const std::optional<TTextMatch> match = d->doc.Search(Text, d->caret.Line, d->caret.Col, Forward);
  if (!match) {
    update();
    return false;
  }
  TPositionInfo& caret = d->caret;
  caret.Line = d->selStart.Line = match->Line;
  caret.Len = d->selStart.Len = d->doc.LineLength(match->Line);
  caret.Row = match->Line - d->scrollPos.Y;
  d->selStart.Col = match->Pos - 1;
  caret.Col = ClampToInt(int64_t{match->Pos} - 1 + static_cast<int64_t>(Text.size()));
  // The match comes into view: its end within the visible columns, its line at the bottom going
  // forward or at the top going back when it lay outside the rows.
  const int x = caret.Col > d->visibleCols ? caret.Col - d->visibleCols + 1 : 0;
  int y = d->scrollPos.Y;
  if (caret.Row >= d->linesPerPage) y = ClampToInt(int64_t{caret.Line} - d->linesPerPage + 1);
  if (caret.Row < 0) y = caret.Line;
  if (!Forward && caret.Row >= d->linesPerPage) y = caret.Line;
  ScrollTo(x, y);
  caret.Row = caret.Line - d->scrollPos.Y;
  d->selStart.Row = caret.Row;
  d->selEnd = caret;
  d->selecting = false;
  d->selected = true;
  UpdateCaret(false);
  if (OnSelect) OnSelect(this);
  return true;
}

int TJumpMemo::GotoWord(const std::string& Word, int From, bool Forward) {
  const std::optional<TTextMatch> match = d->doc.FindWord(Word, From, Forward);
  if (!match) return From;
  d->selecting = false;
  d->selected = false;
  const int64_t wanted = static_cast<int64_t>(Word.size()) + match->Pos - d->visibleCols;
  ScrollTo(ClampToInt(std::max<int64_t>(0, wanted)), match->Line);
  TPositionInfo& caret = d->caret;
  caret.Line = match->Line;
  caret.Row = match->Line - d->scrollPos.Y;
  caret.Len = d->doc.LineLength(match->Line);
  caret.Col = match->Pos - 1;
  d->selStart = d->selEnd = caret;
  UpdateCaret(false);
  return match->Line;
}

// ---- clipboard ----

int TJumpMemo::CopyToClipboard() {
  if (!d->selected) return 0;
  TPositionInfo first = d->selStart;
  TPositionInfo last = d->selEnd;
  OrderPlaces(first, last);
  int32_t count = 0;
  const std::string text = d->doc.Excerpt(first, last, d->pagemarker, count);
  QClipboard* const clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                    ? QGuiApplication::clipboard()
                                    : nullptr;
  if (!clipboard) return 0;
  clipboard->setText(Cp1251ToQString(text));
  if (OnCopyToClipboard) OnCopyToClipboard(this, count);
  d->selected = false;
  d->selecting = false;
  d->selStart = d->selEnd = d->caret;
  update();
  if (OnDeSelect) OnDeSelect(this);
  return count;
}

// ---- printing ----

void TJumpMemo::Print(const std::string& Name, int FromPage, int ToPage, bool ToFile, bool AllPages) {
  if (ToPage < FromPage) {
    Dialogs().Message("Wrong pages range. Call printer procedure again", kErrorCaption, mtError);
    return;
  }
  const int count = d->doc.Ready() ? d->doc.Count() : 0;
  const int pageLines = TJumpDocument::PageLines;
  // The lines to print: all, or those of pages FromPage .. ToPage that exist.
  const int64_t first = AllPages ? 0 : std::max<int64_t>(0, (int64_t{FromPage} - 1) * pageLines);
  const int64_t end = AllPages ? count : std::min<int64_t>(count, int64_t{ToPage} * pageLines);
  if (ToFile) {
    std::string text;
    for (int64_t i = first; i < end; ++i) {
      text += d->doc.Line(static_cast<int>(i));
      text += "\r\n";
    }
    WriteWholeFile(Name, text);
    return;
  }
  if (first >= end) return;  // no line of the text lies on those pages: no empty print job
  const char* const failure = AllPages ? "Can`t put document on printer" : "Can`t put document on the printer";
  QPrinter& printer = Printer();
  printer.setDocName("Printing Doc");
  QPainter canvas;
  if (!canvas.begin(&printer)) {
    Dialogs().Message(failure, kErrorCaption, mtError);
    return;
  }
  canvas.setFont(font());
  const int x = 4 * ((printer.width() - 100) / 80);
  const int step = (printer.height() - 200) / pageLines;
  const int ascent = canvas.fontMetrics().ascent();
  // A page of the whole text starts at its top; pages of a range leave the first step free.
  const int topRow = AllPages ? 0 : 1;
  for (int64_t i = first; i < end; ++i) {
    const int k = static_cast<int>(i % pageLines);
    canvas.drawText(QPoint(x, (k + topRow) * step + ascent), Cp1251ToDisplay(d->doc.Line(static_cast<int>(i))));
    if (i + 1 < end && k == pageLines - 1 && !printer.newPage()) {
      Dialogs().Message(failure, kErrorCaption, mtError);
      break;
    }
  }
  canvas.end();
}

void jumpmemo::Register() {
  RegisterComponents("Velmora", {{.ClassName = "mirnax::TJumpMemo",
                                  .Header = "controls/jumpmemo/jumpmemo.h",
                                  .ToolTip = "Read-only hyper-text memo with jumps and pictures",
                                  .Description = "A line-oriented text viewer with jump and picture markers, page "
                                                 "markers, caret, selection, search, printing and clipboard copy.",
                                  .Create = [](QWidget* parent) -> QWidget* { return new TJumpMemo(parent); }}});
}

}  // namespace mirnax
