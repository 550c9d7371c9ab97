#include "controls/samples/ccolorgrid.h"
#include "toolkit/core/palette.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace mirnax {

namespace {

// Texts of the marks; translatable.
QString MarkFG() { return TCColorGrid::tr("FG"); }
QString MarkBG() { return TCColorGrid::tr("BG"); }
QString MarkFB() { return TCColorGrid::tr("FB"); }

QColor Rgb(TColor color) { return ColorToQColor(color); }

// Outline with the pen and interior with the brush, over (l, t) .. (r - 1, b - 1).
void Rectangle(QPainter& canvas, const QRect& r) {
  if (r.width() <= 0 || r.height() <= 0) return;
  if (r.width() > 2 && r.height() > 2) canvas.fillRect(r.adjusted(1, 1, -1, -1), canvas.brush());
  canvas.save();
  canvas.setBrush(Qt::NoBrush);
  canvas.drawRect(r.adjusted(0, 0, -1, -1));
  canvas.restore();
}

// Nested one-pixel rings: top and left in topLeft, bottom and right in bottomRight; r shrinks by width.
void Frame3D(QPainter& canvas, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width) {
  for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
    canvas.setPen(topLeft);
    canvas.drawLine(r.left(), r.bottom(), r.left(), r.top());
    canvas.drawLine(r.left(), r.top(), r.right(), r.top());
    canvas.setPen(bottomRight);
    canvas.drawLine(r.right(), r.top(), r.right(), r.bottom());
    canvas.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
    r.adjust(1, 1, -1, -1);
  }
}

// The platform's dotted focus rectangle, drawn by inverting every other pixel of the outline.
void DrawFocusRect(QPainter& canvas, const QRect& r) {
  if (r.width() <= 0 || r.height() <= 0) return;
  canvas.save();
  canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  QPen dots(Qt::white, 1, Qt::CustomDashLine);
  dots.setDashPattern({1, 1});
  canvas.setPen(dots);
  canvas.setBrush(Qt::NoBrush);
  canvas.drawRect(r.adjusted(0, 0, -1, -1));
  canvas.restore();
}

}  // namespace

const std::array<TCColorGrid::TPaletteEntry, 20>& TCColorGrid::DefaultPalette() {
  static const std::array<TPaletteEntry, 20> entries = {{
      {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
      {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
      {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
      {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
  }};
  return entries;
}

TCColorGrid::TCColorGrid(QWidget* parent) : QWidget(parent), palette_(DefaultPalette()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  SetTabStop(tabStop_);
  resize(100, 100);
  UpdateCellSizes(false);
}

TColor TCColorGrid::SquareColor(int32_t index) const {
  if (index < 0 || index >= NumSquares) return 0;
  // Entries 8..11 of the palette are not shown.
  const TPaletteEntry& e = palette_[static_cast<size_t>(index < 8 ? index : index + 4)];
  return e.red | static_cast<TColor>(e.green) << 8 | static_cast<TColor>(e.blue) << 16;
}

TColor TCColorGrid::ContrastColor(TColor color) {
  TColor result = 0;
  for (int shift : {0, 8, 16})
    if (((color >> shift) & 0xFF) < 128) result |= 0xFFu << shift;
  return result;
}

QRect TCColorGrid::SquareRect(int32_t index) const {
  return QRect(index % columns_ * cellWidth_, index / columns_ * cellHeight_, cellWidth_, cellHeight_);
}

void TCColorGrid::EnsureCanvas() {
  if (canvas_.size() != size().expandedTo(QSize(1, 1))) Paint();
}

void TCColorGrid::DrawSquare(int32_t index, bool showSelector) {
  if (index < 0 || index >= NumSquares) return;
  EnsureCanvas();
  QPainter canvas(&canvas_);
  QRect r = SquareRect(index);
  const QColor color = Rgb(SquareColor(index));
  if (ctl3D_) {
    canvas.setPen(palette().color(QPalette::Button));
    canvas.setBrush(palette().color(QPalette::Button));
    Rectangle(canvas, r);
    r.adjust(1, 1, -1, -1);
    Frame3D(canvas, r, palette().color(QPalette::Dark), palette().color(QPalette::Light), 2);
    canvas.setPen(color);
  } else {
    canvas.setPen(Qt::black);
  }
  canvas.setBrush(color);
  if (!showSelector) {
    Rectangle(canvas, r);
  } else if (ctl3D_) {
    Rectangle(canvas, r);
    DrawFocusRect(canvas, r.adjusted(1, 1, -1, -1));
  } else {
    // The inverting pen: the outline turns every pixel under it into its opposite.
    if (r.width() > 2 && r.height() > 2) canvas.fillRect(r.adjusted(1, 1, -1, -1), color);
    canvas.setCompositionMode(QPainter::RasterOp_NotDestination);
    canvas.setPen(Qt::black);
    canvas.setBrush(Qt::NoBrush);
    if (r.width() > 0 && r.height() > 0) canvas.drawRect(r.adjusted(0, 0, -1, -1));
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    canvas.setBrush(color);
    Rectangle(canvas, QRect(QPoint(r.left() + 2, r.top() + 2), QPoint(r.right() - 2, r.bottom() - 2)));
  }
  update();
}

void TCColorGrid::DrawFgBg() {
  // Smoothed text drawn over itself grows bolder each time: the marked squares are drawn afresh
  // under their marks.
  if (foregroundEnabled_) Redraw(foregroundIndex_);
  if (backgroundEnabled_ && !(foregroundEnabled_ && backgroundIndex_ == foregroundIndex_)) Redraw(backgroundIndex_);
  EnsureCanvas();
  QPainter canvas(&canvas_);
  canvas.setFont(font());
  canvas.setBackgroundMode(Qt::TransparentMode);
  auto mark = [&](int32_t index, const QString& text) {
    if (index < 0 || index >= NumSquares) return;
    canvas.setPen(Rgb(ContrastColor(SquareColor(index))));
    canvas.drawText(SquareRect(index), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
  };
  const bool same = foregroundIndex_ == backgroundIndex_;
  if (foregroundEnabled_) mark(foregroundIndex_, same && backgroundEnabled_ ? MarkFB() : MarkFG());
  if (backgroundEnabled_) mark(backgroundIndex_, same && foregroundEnabled_ ? MarkFB() : MarkBG());
  update();
}

void TCColorGrid::Redraw(int32_t index) { DrawSquare(index, index == selection_ && inFocus_); }

void TCColorGrid::Paint() {
  // A hidden control hears of its new size only when shown: the squares follow the size now.
  cellWidth_ = width() / columns_;
  cellHeight_ = height() / rows_;
  canvas_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  canvas_.fill(palette().color(QPalette::Button));
  for (int32_t i = 0; i < NumSquares; ++i) DrawSquare(i, false);
  if (inFocus_) DrawSquare(selection_, true);
  DrawFgBg();
}

void TCColorGrid::paintEvent(QPaintEvent*) {
  EnsureCanvas();
  QPainter(this).drawImage(0, 0, canvas_);
}

void TCColorGrid::SetForegroundIndex(int32_t value) {
  if (value == foregroundIndex_ || !foregroundEnabled_) return;
  Redraw(foregroundIndex_);
  foregroundIndex_ = value;
  if (value == backgroundIndex_) Redraw(backgroundIndex_);
  DrawFgBg();
  Change();
}

void TCColorGrid::SetBackgroundIndex(int32_t value) {
  if (value == backgroundIndex_ || !backgroundEnabled_) return;
  Redraw(backgroundIndex_);
  backgroundIndex_ = value;
  if (value == foregroundIndex_) Redraw(foregroundIndex_);
  DrawFgBg();
  Change();
}

void TCColorGrid::EnableForeground(bool value) {
  if (value == foregroundEnabled_) return;
  foregroundEnabled_ = value;
  Redraw(foregroundIndex_);
  DrawFgBg();
}

void TCColorGrid::EnableBackground(bool value) {
  if (value == backgroundEnabled_) return;
  backgroundEnabled_ = value;
  Redraw(backgroundIndex_);
  DrawFgBg();
}

void TCColorGrid::SetSelection(int32_t value) {
  if (value == selection_) return;
  DrawSquare(selection_, false);
  selection_ = value;
  if (inFocus_) DrawSquare(selection_, true);
  DrawFgBg();
}

void TCColorGrid::SetGridOrdering(TGridOrdering value) {
  // Any other value would leave no column or no row to divide by.
  if (value == gridOrdering_ || value < go16x1 || value > go1x16) return;
  gridOrdering_ = value;
  columns_ = NumSquares >> value;
  rows_ = 1 << value;
  UpdateCellSizes(true);
}

void TCColorGrid::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  Paint();
}

void TCColorGrid::SetTabStop(bool value) {
  tabStop_ = value;
  setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

void TCColorGrid::UpdateCellSizes(bool redraw) {
  const int w = width() / columns_ * columns_;
  const int h = height() / rows_ * rows_;
  if (w != width() || h != height()) resize(w, h);
  cellWidth_ = w / columns_;
  cellHeight_ = h / rows_;
  if (redraw) Paint();
}

int32_t TCColorGrid::SquareFromPos(int x, int y) const {
  if (cellWidth_ <= 0 || cellHeight_ <= 0) return -1;
  x = std::clamp(x, 0, width() - 1);
  y = std::clamp(y, 0, height() - 1);
  return y / cellHeight_ * columns_ + x / cellWidth_;
}

void TCColorGrid::Change() {
  if (OnChange) OnChange(this);
}

void TCColorGrid::Click() {
  if (OnClick) OnClick(this);
}

void TCColorGrid::PickForeground(int32_t square) {
  if (!foregroundEnabled_ && clickEnablesColor_) {
    foregroundEnabled_ = true;
    Redraw(foregroundIndex_);
    foregroundIndex_ = -1;  // so that the setter acts even on the old square
  }
  SetForegroundIndex(square);
}

void TCColorGrid::PickBackground(int32_t square) {
  if (!backgroundEnabled_ && clickEnablesColor_) {
    backgroundEnabled_ = true;
    Redraw(backgroundIndex_);
    backgroundIndex_ = -1;
  }
  SetBackgroundIndex(square);
}

// A new size repaints the whole control, as the platform invalidates a resized window.
void TCColorGrid::resizeEvent(QResizeEvent*) {
  UpdateCellSizes(false);
  Paint();
}

void TCColorGrid::focusInEvent(QFocusEvent*) {
  inFocus_ = true;
  DrawSquare(selection_, true);
  DrawFgBg();
}

void TCColorGrid::focusOutEvent(QFocusEvent*) {
  inFocus_ = false;
  DrawSquare(selection_, false);
  DrawFgBg();
}

void TCColorGrid::changeEvent(QEvent* event) {
  // A new look (style or palette) repaints everything.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange ||
      event->type() == QEvent::FontChange)
    Paint();
  QWidget::changeEvent(event);
}

// Qt grabs the mouse for every button while it is held, so the capture of the other buttons
// needs no call of its own.
void TCColorGrid::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  const int32_t s = SquareFromPos(event->position().toPoint().x(), event->position().toPoint().y());
  if (s < 0) return;  // squares of no size: nothing to hit
  dragButton_ = event->button();
  dragging_ = true;
  if (dragButton_ == Qt::LeftButton)
    PickForeground(s);
  else
    PickBackground(s);
  SetSelection(s);
  if (tabStop_) setFocus(Qt::MouseFocusReason);
}

void TCColorGrid::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (!dragging_) return;
  const int32_t s = SquareFromPos(event->position().toPoint().x(), event->position().toPoint().y());
  if (s < 0) return;
  if (dragButton_ == Qt::LeftButton)
    SetForegroundIndex(s);
  else
    SetBackgroundIndex(s);
  SetSelection(s);
}

void TCColorGrid::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  dragging_ = false;
}

void TCColorGrid::keyPressEvent(QKeyEvent* event) {
  const int32_t n = columns_ * rows_;
  const int32_t s = selection_;
  int32_t next = s;
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Right: next = s == n - 1 ? 0 : s + 1; break;
    case Qt::Key_Left: next = s == 0 ? n - 1 : s - 1; break;
    case Qt::Key_Home: next = 0; break;
    case Qt::Key_End: next = n - 1; break;
    case Qt::Key_Up:
      // From the first row to the last row one column to the left; from 0 to the last square.
      next = s >= columns_ ? s - columns_ : s == 0 ? n - 1 : n - columns_ + s - 1;
      break;
    case Qt::Key_Down:
      // From the last row to the first row one column to the right; from the last square to 0.
      next = s + columns_ < n ? s + columns_ : s == n - 1 ? 0 : s % columns_ + 1;
      break;
    case Qt::Key_F:
      PickForeground(s);
      SetSelection(s);
      Click();
      break;
    case Qt::Key_B:
      PickBackground(s);
      SetSelection(s);
      Click();
      break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
  if (next != s) SetSelection(next);
}

void ccolorgrid::Register() {
  RegisterComponents(SamplesPage, {{.ClassName = "mirnax::TCColorGrid",
                                    .Header = "controls/samples/ccolorgrid.h",
                                    .ToolTip = "Colour grid picking a foreground and a background colour",
                                    .Description = "Sixteen colour squares: the left button picks the foreground "
                                                   "colour (FG), the right button the background colour (BG).",
                                    .Create = [](QWidget* parent) -> QWidget* { return new TCColorGrid(parent); }}});
}

}  // namespace mirnax
