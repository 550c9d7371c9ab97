#include "controls/jumpmemo/jumpmemo.h"
#include "controls/jumpmemo/jumpmemo_accessible.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTimer>
#include <algorithm>

#include "controls/jumpmemo/jumpmemo_clipboard.h"
#include "controls/jumpmemo/jumpmemo_control.h"
#include "controls/jumpmemo/jumpmemo_layout.h"
#include "controls/jumpmemo/jumpmemo_painter.h"
#include "controls/jumpmemo/jumpmemo_print.h"
#include "controls/jumpmemo/jumpmemo_scrollbars.h"
#include "controls/jumpmemo/jumpmemo_state.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/palette.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/cp1251.h"
#include "toolkit/widgets/cursor_table.h"

namespace mirnax {

namespace {

const char* const kLoadFailed = QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Не могу загрузить документ из файла !");
const char* const kAddFailed = QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Не могу добавить строку в документ !");
const char* const kInsertPageFailed = QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Не могу вставить указатель страницы !");
const char* const kRemovePageFailed = QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Не могу убрать указатель страницы !");

constexpr int kAutoScrollInterval = 40;  // ms between the steps of scrolling while dragging past an edge

}  // namespace

void TJumpMemo::THost::AutoScroll(bool on) {
  if (on)
    memo_.d->autoScroll.start();
  else
    memo_.d->autoScroll.stop();
}

// ---- construction ----

const int TJumpMemo::LeftMargin = TMemoLayout::LeftMargin;
const TColor TJumpMemo::MarkerColor = TMemoPainter::MarkerColor;

TJumpMemo::TJumpMemo(QWidget* parent) : QWidget(parent), d(std::make_unique<TState>(*this)) {
  InstallJumpMemoAccessibility();
  connect(&d->blink, &QTimer::timeout, this, [this] {
    d->caretOn = !d->caretOn;
    update(QRect(ClientRect().topLeft() + CaretPos(), QSize(TMemoLayout::CaretWidth, CharSize().y())));
  });
  d->autoScroll.setInterval(kAutoScrollInterval);
  connect(&d->autoScroll, &QTimer::timeout, this, [this] { d->control.AutoScrollStep(); });

  static const char* const failures[] = {
      QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Can`t create List for text lines"),
      QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Can`t create List for Selected words"),
      QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Can`t create List for Jump words"),
      QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Can`t create List for Jump coordinates"),
      QT_TRANSLATE_NOOP("mirnax::TJumpMemo", "Can`t create List for Pictures coordinates")};
  const TJumpDocument::TListKind failed = d->doc.CreateLists();
  if (failed != TJumpDocument::lkNone) {
    // The control stays with the lists it has; its operations then do nothing.
    Dialogs().Message(MemoText(failures[failed]), MemoText(MemoErrorCaption), mtCustom);
    return;
  }

  resize(200, 200);
  setFocusPolicy(Qt::ClickFocus);  // TabStop is off
  setMouseTracking(true);          // hovering a jump or picture changes the cursor
  setAttribute(Qt::WA_OpaquePaintEvent);
  QWidget::setFont(OnPixelGrid(QFont("Courier New", 10)));
  d->constructed = true;
  FontChanged();
  int jumpCursor = crUpArrow;
  int pictCursor = crUpArrow;
  try {
    jumpCursor = RegisterCursorResource(1, "HANDCURSOR2");
    pictCursor = RegisterCursorResource(2, "PICTCURSOR2");
  } catch (const std::exception&) {
    jumpCursor = crUpArrow;
    pictCursor = crUpArrow;
  }
  d->control.SetCursors(jumpCursor, pictCursor, crIBeam);
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
int TJumpMemo::GetCurPos() const { return ScrollPos().Y; }
int32_t TJumpMemo::TextWidth(std::string_view s) const { return d->metrics.Width(s); }

bool TJumpMemo::Border() const { return d->border; }
TColor TJumpMemo::Color() const { return d->look.Color; }
TColor TJumpMemo::SelectColor() const { return d->look.SelectColor; }
TColor TJumpMemo::JumpColor() const { return d->look.JumpColor; }
TColor TJumpMemo::TextColor() const { return d->look.TextColor; }
int32_t TJumpMemo::JumpPointLength() const { return d->jumpPointLength; }
bool TJumpMemo::UseJumpPointLength() const { return d->useJumpPointLength; }
int32_t TJumpMemo::HelpContext() const { return d->helpContext; }
void TJumpMemo::SetHelpContext(int32_t value) { d->helpContext = value; }
const std::string& TJumpMemo::Pagemarker() const { return d->look.Pagemarker; }
TJumpMemo::TScrollStyle TJumpMemo::ScrollBars() const { return d->scrollBars; }
bool TJumpMemo::ShowPages() const { return d->showPages; }
bool TJumpMemo::TabStop() const { return d->tabStop; }

int32_t TJumpMemo::MaxLineLength() const { return d->doc.MaxLenValid() ? d->doc.MaxLineLength() : 0; }
bool TJumpMemo::MaxLenValid() const { return d->doc.MaxLenValid(); }
const TLongPoint& TJumpMemo::ScrollPos() const { return d->control.View().ScrollPos; }
const QPoint& TJumpMemo::CharSize() const { return d->control.View().CharSize; }
const TPositionInfo& TJumpMemo::Caret() const { return d->control.Caret(); }
const TPositionInfo& TJumpMemo::SelStart() const { return d->control.SelStart(); }
const TPositionInfo& TJumpMemo::SelEnd() const { return d->control.SelEnd(); }
bool TJumpMemo::Selecting() const { return d->control.Selecting(); }
bool TJumpMemo::Selected() const { return d->control.Selected(); }
bool TJumpMemo::OverJump() const { return d->control.OverJump(); }
bool TJumpMemo::OverPict() const { return d->control.OverPict(); }
const std::string& TJumpMemo::CurJump() const { return d->control.CurJump(); }
const std::string& TJumpMemo::CurPict() const { return d->control.CurPict(); }
int TJumpMemo::JumpCursor() const { return d->control.JumpCursor(); }
int TJumpMemo::PictCursor() const { return d->control.PictCursor(); }
int TJumpMemo::DefaultCursor() const { return d->control.DefaultCursor(); }
const QImage& TJumpMemo::Buffer() const { return d->buffer; }
const TLongPoint& TJumpMemo::Range() const { return d->control.View().Range; }
int32_t TJumpMemo::VisibleCols() const { return d->control.View().VisibleCols; }
int32_t TJumpMemo::VisibleRows() const { return d->control.View().VisibleRows; }
int32_t TJumpMemo::LinesPerPage() const { return d->control.View().LinesPerPage; }
int32_t TJumpMemo::PixelOffset() const { return d->control.View().PixelOffset; }
QPoint TJumpMemo::CaretPos() const { return d->control.CaretPos(); }
bool TJumpMemo::CaretShown() const { return d->caretCreated && d->caretOn; }

QRect TJumpMemo::ClientRect() const {
  const int frame = d->border ? 1 : 0;
  return d->bars.Client(rect().adjusted(frame, frame, -frame, -frame));
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
    Dialogs().Message(MemoText(kLoadFailed), MemoText(MemoFailureCaption), mtError);
  }
  if (d->showPages) {
    ChangePages(false, false);
    ChangePages(true, false);
  }
  d->control.ResetPositions();
  d->doc.Invalidate();
  TextChanged();
}

void TJumpMemo::Add(const std::string& s) {
  if (!d->doc.Ready()) return;
  try {
    Lines().Add(s);
    if (d->showPages) {
      ChangePages(false, false);
      ChangePages(true, false);
    }
    d->doc.Invalidate();
    RecalcRange();
    ReadJumps();
    update();
  } catch (const std::exception&) {
    Dialogs().Message(MemoText(kAddFailed), MemoText(MemoFailureCaption), mtCustom);
  }
}

void TJumpMemo::Clear() {
  if (!d->doc.Ready()) return;
  d->doc.Clear();
  if (d->showPages) ChangePages(true, false);
  d->control.ResetPositions();
  TextChanged();
}

void TJumpMemo::ReadJumps() { d->doc.ReadJumps(d->metrics, CharSize().y()); }

void TJumpMemo::InsertPages() { ChangePages(true, true); }
void TJumpMemo::RemovePages() { ChangePages(false, true); }

// Inserts or removes the marker lines; a failure is reported and the rest still runs.
void TJumpMemo::ChangePages(bool insert, bool scan) {
  if (!d->doc.Ready()) return;
  try {
    if (insert)
      d->doc.InsertPages(d->look.Pagemarker);
    else
      d->doc.RemovePages(d->look.Pagemarker);
  } catch (const std::exception&) {
    Dialogs().Message(MemoText(insert ? kInsertPageFailed : kRemovePageFailed), MemoText(MemoFailureCaption), mtCustom);
  }
  if (scan) ReadJumps();
  RecalcRange();
}

void TJumpMemo::SetPageMarker(const std::string& value) {
  if (value == d->look.Pagemarker) return;
  if (d->showPages && d->doc.Ready()) {
    ChangePages(false, false);  // the marker lines written with the old word
    d->look.Pagemarker = value;
    ChangePages(true, true);
  } else {
    d->look.Pagemarker = value;
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

std::string TJumpMemo::GetWord(int X, int Y) { return d->control.GetWord(X, Y); }
int TJumpMemo::GetPos(const std::string& word, int from) const { return d->doc.GetPos(word, from); }

// ---- font and grid ----

void TJumpMemo::SetFont(const QFont& font) {
  d->settingFont = true;
  QWidget::setFont(OnPixelGrid(font));
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
    QWidget::setFont(OnPixelGrid(font()));  // its own change event follows the font
    return;
  }
  FontChanged();
}

void TJumpMemo::FontChanged() {
  d->metrics.SetFont(font(), &d->buffer);
  d->control.View().CharSize = QPoint(d->metrics.AverageCharWidth(), d->metrics.Height());
  RecalcRange();
  ReadJumps();
  d->control.View().PixelOffset = 0;
  ScrollTo(0, ScrollPos().Y);
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
    const int32_t longest = d->doc.MaxLineLength();
    const QRect client = ClientRect();
    // The buffer only measures text: painting goes to the window's own back buffer, which Qt
    // copies to the screen in one piece, so a line of 100,000 characters needs no image that wide.
    const QSize size(std::max(1, client.width()), std::max(1, client.height()));
    if (d->buffer.size() != size) {
      QImage resized(size, QImage::Format_RGB32);
      if (!resized.isNull()) d->buffer.swap(resized);
    }
    d->control.RecalcRange(client.size(), longest);
  } catch (const std::exception&) {
    // The view stays as far as it got; a later change recomputes it.
  }
}

// ---- scrolling ----

void TJumpMemo::ScrollTo(int X, int Y) { d->control.ScrollTo(X, Y); }
void TJumpMemo::DoScroll(int Bar, int Code, int Pos) { d->control.DoScroll(Bar, Code, Pos); }

void TJumpMemo::SetScrollBars() { d->bars.Push(); }

// Inside the frame, when there is one.
void TJumpMemo::PlaceScrollBars() {
  const int frame = d->border ? 1 : 0;
  d->bars.Place(rect().adjusted(frame, frame, -frame, -frame), d->scrollBars == ssHorizontal || d->scrollBars == ssBoth,
                d->scrollBars == ssVertical || d->scrollBars == ssBoth);
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

namespace {

// Stores a changed colour and asks for a repaint.
void ChangeColor(QWidget& widget, TColor& stored, TColor value) {
  if (value == stored) return;
  stored = value;
  widget.update();
}

}  // namespace

void TJumpMemo::SetColor(TColor value) { ChangeColor(*this, d->look.Color, value); }
void TJumpMemo::SetSelColor(TColor value) { ChangeColor(*this, d->look.SelectColor, value); }
void TJumpMemo::SetJumpColor(TColor value) { ChangeColor(*this, d->look.JumpColor, value); }
void TJumpMemo::SetTextColor(TColor value) { ChangeColor(*this, d->look.TextColor, value); }

void TJumpMemo::SetTabStop(bool value) {
  if (value == d->tabStop) return;
  d->tabStop = value;
  setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---- caret and selection ----

void TJumpMemo::UpdateCaret(bool Full) { d->control.UpdateCaret(Full); }

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
  d->control.ResetPositions();
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
  canvas.fillRect(client, ColorToQColor(d->look.Color));
  canvas.setClipRect(client);
  canvas.translate(client.topLeft());
  TMemoLook look = d->look;
  look.Highlight = palette().color(QPalette::Highlight);
  look.HighlightText = palette().color(QPalette::HighlightedText);
  TMemoPainter(d->doc, d->metrics, d->control, look).Paint(canvas, font(), CaretShown());
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
  d->control.StopAutoScroll();
  update();
  QWidget::focusOutEvent(event);
}

// ---- keys and mouse ----

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

void TJumpMemo::KeyDown(int& Key, Qt::KeyboardModifiers Shift) { d->control.KeyDown(Key, Shift); }

void TJumpMemo::KeyUp(int& Key, Qt::KeyboardModifiers Shift) {
  d->control.KeyUp(Key, Shift);
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TJumpMemo::JumpClick() {
  if (!OnJumpClick) return;
  d->control.ResetCursor();
  OnJumpClick(this, CurJump());
}

void TJumpMemo::PictClick() {
  if (!OnPictureClick) return;
  d->control.ResetCursor();
  OnPictureClick(this, CurPict());
}

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
  d->control.MouseDown(Button, Shift, X, Y);
}

void TJumpMemo::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) { d->control.MouseMove(Shift, X, Y); }

void TJumpMemo::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  d->control.MouseUp(Button, Shift, X, Y);
}

// ---- search, clipboard, printing ----

bool TJumpMemo::Search(const std::string& Text, bool Forward) { return d->control.Search(Text, Forward); }

int TJumpMemo::GotoWord(const std::string& Word, int From, bool Forward) {
  return d->control.GotoWord(Word, From, Forward);
}

int TJumpMemo::CopyToClipboard() {
  if (!Selected()) return 0;
  TPositionInfo first = SelStart();
  TPositionInfo last = SelEnd();
  OrderPlaces(first, last);
  int32_t count = 0;
  if (!SetClipboardText(d->doc.Excerpt(first, last, d->look.Pagemarker, count))) return 0;
  if (OnCopyToClipboard) OnCopyToClipboard(this, count);
  d->control.SelectionCopied();
  return count;
}

void TJumpMemo::Print(const std::string& Name, int FromPage, int ToPage, bool ToFile, bool AllPages) {
  PrintDocument(d->doc, font(), Name, FromPage, ToPage, ToFile, AllPages);
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
