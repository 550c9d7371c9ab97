#include "controls/samples/performance_graph.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <optional>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/palette.h"

namespace mirnax {

namespace {

// Rectangles are kept with exclusive right and bottom edges, as the drawing rules count them.
int Right(const QRect& r) { return r.x() + r.width(); }
int Bottom(const QRect& r) { return r.y() + r.height(); }
QRect Edges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

QColor Rgb(TColor color) { return ColorToQColor(color); }

}  // namespace

TPerformanceGraph::TPerformanceGraph(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(100, 100);
  history_.resize(static_cast<size_t>(GetBandCount() + 2));
  Initialize(gridSize_ - 1);
}

int32_t TPerformanceGraph::GetBandCount() const { return width() / stepSize_; }

// Worked in 64 bits: the next multiple of a value near the 32-bit limits lies beyond them, and is
// then held at the farthest multiple of the gradient that still fits.
int32_t TPerformanceGraph::RoundUp(int32_t value, int32_t gradient) {
  const int64_t v = value, g = gradient;
  if (g == 0 || v % g == 0) return value;
  const int64_t up = (v / g + 1) * g, step = g < 0 ? -g : g;
  if (up > INT32_MAX) return static_cast<int32_t>(INT32_MAX / step * step);
  if (up < INT32_MIN) return static_cast<int32_t>(INT32_MIN / step * step);
  return static_cast<int32_t>(up);
}

int32_t TPerformanceGraph::NextY(int32_t index) const {
  const int32_t next = index + 1 >= BandCapacity() ? 0 : index + 1;
  return next == firstBand_ ? -1 : next;
}

int32_t TPerformanceGraph::LastY(int32_t index) const { return index == 0 ? BandCapacity() - 1 : index - 1; }

void TPerformanceGraph::ShiftY() {
  int32_t r = currentBand_ + 1;
  if (r >= BandCapacity()) r = 0;
  history_[static_cast<size_t>(r)].Count = 0;
  firstBand_ = r + 1 >= BandCapacity() ? 0 : r + 1;
  currentBand_ = r;
}

void TPerformanceGraph::DataPoint(TColor color, int32_t value) {
  TBand& band = history_[static_cast<size_t>(currentBand_)];
  if (band.Count >= MaxPoints)
    throw ERangeError(
        ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception", "Too many data points in one time step (at most 16)")));
  band.Colors[static_cast<size_t>(band.Count)] = color;
  band.Values[static_cast<size_t>(band.Count)] = value;
  band.Max = band.Count == 0 ? value : std::max(band.Max, value);
  ++band.Count;
}

int TPerformanceGraph::PixelHeight(int32_t value) const {
  if (scale_ <= 0) return 0;
  const double h = static_cast<double>(value) / scale_ * graphRect_.height();
  // Far beyond the picture is as good as just beyond it, and stays inside int.
  return static_cast<int>(std::clamp(h, -4.0 * graphRect_.height() - 4, 4.0 * graphRect_.height() + 4));
}

void TPerformanceGraph::Initialize(int32_t x0) {
  if (bitmap_.size() != size()) bitmap_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  graphRect_ = QRect(0, 0, width(), height());
  bitmap_.fill(Rgb(backColor_));
  if (gridlines_) {
    QPainter canvas(&bitmap_);
    canvas.setPen(Rgb(foreColor_));
    for (int y = gridSize_; y < Bottom(graphRect_); y += gridSize_) canvas.drawLine(0, y, Right(graphRect_) - 1, y);
    int x = x0;
    for (; x < Right(graphRect_); x += gridSize_) canvas.drawLine(x, 0, x, Bottom(graphRect_) - 1);
    gridPhase_ = x - Right(graphRect_);
  }
  const int right = Right(graphRect_);
  bandRect_ = Edges(right - stepSize_, 0, right, Bottom(graphRect_));
  scrollFromRect_ = Edges(stepSize_, 0, right, Bottom(graphRect_));
  scrollToRect_ = Edges(0, 0, right - stepSize_, Bottom(graphRect_));
}

void TPerformanceGraph::ScrollGraph() {
  // One pass over the rows: each moves left by one step, and the freed strip at the right gets the
  // background, the horizontal grid lines and, when one is due, a vertical line.
  int lineX = -1;
  if (gridlines_) {
    gridPhase_ -= stepSize_;
    if (gridPhase_ < 0) {
      lineX = Right(graphRect_) + gridPhase_;
      gridPhase_ += gridSize_;
    }
  }
  const int w = bitmap_.width();
  const int from = std::clamp(scrollFromRect_.x(), 0, w);
  const int bandLeft = std::clamp(bandRect_.x(), 0, w);
  const QRgb back = Rgb(backColor_).rgb();
  const QRgb fore = Rgb(foreColor_).rgb();
  uchar* bits = bitmap_.bits();
  const qsizetype stride = bitmap_.bytesPerLine();
  for (int y = 0; y < bitmap_.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
    std::memmove(row, row + from, static_cast<size_t>(w - from) * sizeof(QRgb));
    const QRgb strip = gridlines_ && y > 0 && y % gridSize_ == 0 ? fore : back;
    std::fill(row + bandLeft, row + w, strip);
    if (lineX >= 0 && lineX < w) row[lineX] = fore;
  }
}

void TPerformanceGraph::Update() {
  ScrollGraph();
  ShiftY();
  int32_t m = 0;
  for (const TBand& band : history_)
    if (band.Count > 0) m = std::max(m, band.Max);
  const int32_t s = RoundUp(m, gradient_);
  if (s == scale_) {
    DisplayPoints(LastY(currentBand_));
    Refresh();
  } else {
    SetScale(s);
  }
}

void TPerformanceGraph::DisplayPoints(int32_t index) {
  const TBand& band = history_[static_cast<size_t>(index)];
  // Without a scale there are no heights: nothing is drawn.
  if (band.Count == 0 || scale_ <= 0) return;
  std::optional<QPainter> canvas;
  const TBand& previous = history_[static_cast<size_t>(LastY(index))];
  int32_t level = 0;
  for (int32_t i = 0; i < band.Count; ++i) {
    const TColor color = band.Colors[static_cast<size_t>(i)];
    const int32_t value = band.Values[static_cast<size_t>(i)];
    if (value == 0) continue;
    if (kind_ == pgBar) {
      PaintBar(color, level, value - level);
    } else {
      // The line goes on from the same colour's point of the step before, or from the bottom.
      int32_t p = 0;
      for (int32_t j = 0; j < previous.Count; ++j)
        if (previous.Colors[static_cast<size_t>(j)] == color) {
          p = previous.Values[static_cast<size_t>(j)];
          break;
        }
      if (!canvas) canvas.emplace(&bitmap_);
      PaintLine(*canvas, color, p, value);
    }
    level = value;
  }
}

void TPerformanceGraph::PaintBar(TColor color, int32_t base, int32_t height) {
  if (height == 0) return;
  const int h = PixelHeight(height);
  const int b = PixelHeight(base);
  if (h == 0) return;
  const int bottom = Bottom(graphRect_);
  // h + 1 pixels tall, standing on the bar below.
  const QRect bar = Edges(bandRect_.x(), bottom - b - h - 1, Right(bandRect_), bottom - b) & bitmap_.rect();
  const QRgb rgb = Rgb(color).rgb();
  for (int y = bar.top(); y <= bar.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(bitmap_.scanLine(y));
    std::fill(row + bar.left(), row + bar.right() + 1, rgb);
  }
}

void TPerformanceGraph::PaintLine(QPainter& canvas, TColor color, int32_t previous, int32_t current) {
  canvas.setPen(QPen(Rgb(color), penWidth_));
  const int bottom = Bottom(graphRect_);
  canvas.drawLine(bandRect_.x(), bottom - PixelHeight(previous), Right(bandRect_), bottom - PixelHeight(current));
}

void TPerformanceGraph::Replay() {
  // The vertical grid lines keep their scrolled places.
  Initialize((width() + gridPhase_) % gridSize_);
  const QRect saved = bandRect_;
  int x = width() % stepSize_;
  // The oldest band is not drawn; the newest (empty) one lies just beyond the right edge.
  for (int32_t band = NextY(FirstY()); band != -1; band = NextY(band)) {
    bandRect_ = Edges(x, 0, x + stepSize_, Bottom(graphRect_));
    DisplayPoints(band);
    x += stepSize_;
  }
  Refresh();
  bandRect_ = saved;
}

void TPerformanceGraph::ReallocHistory() {
  const size_t capacity = static_cast<size_t>(GetBandCount() + 2);
  std::vector<TBand> ring(capacity);
  const size_t old = history_.size();
  size_t skip = old > capacity ? old - capacity : 0;  // a smaller ring keeps the newest bands
  const size_t kept = old - skip;
  // The kept bands end the new ring, so the newest stays at the right edge and the ring stays
  // in order: the oldest band follows the current one.
  size_t to = capacity - kept;
  for (size_t i = 0, from = static_cast<size_t>(firstBand_); i < old; ++i, from = (from + 1) % old) {
    if (skip > 0) {
      --skip;
      continue;
    }
    ring[to++] = history_[from];
  }
  history_ = std::move(ring);
  currentBand_ = static_cast<int32_t>(capacity) - 1;
  firstBand_ = 0;
}

void TPerformanceGraph::Refresh() {
  // Inside a paint the picture is about to be copied anyway.
  if (isVisible() && !inPaint_) repaint();
}

void TPerformanceGraph::paintEvent(QPaintEvent*) {
  if (bitmap_.size() != size()) {
    inPaint_ = true;
    if (bitmap_.width() != width()) ReallocHistory();
    Replay();
    inPaint_ = false;
  }
  QPainter canvas(this);
  canvas.setCompositionMode(QPainter::CompositionMode_Source);
  canvas.drawImage(0, 0, bitmap_);
}

void TPerformanceGraph::SetGraphKind(TGraphKind value) {
  if (value == kind_) return;
  kind_ = value;
  Replay();
}

void TPerformanceGraph::SetForeColor(TColor value) {
  if (value == foreColor_) return;
  foreColor_ = value;
  Replay();
}

void TPerformanceGraph::SetBackColor(TColor value) {
  if (value == backColor_) return;
  backColor_ = value;
  Replay();
}

void TPerformanceGraph::SetGridSize(int32_t value) {
  if (value == gridSize_) return;
  gridSize_ = std::max(value, 2);
  Replay();
}

void TPerformanceGraph::SetStepSize(int32_t value) {
  if (value == stepSize_) return;
  stepSize_ = std::max(value, 1);
  ReallocHistory();
  Replay();
}

void TPerformanceGraph::SetScale(int32_t value) {
  if (value == scale_) return;
  scale_ = RoundUp(value, gradient_);
  if (OnScaleChange) OnScaleChange(this);
  emit ScaleChanged(scale_);
  Replay();
}

void TPerformanceGraph::SetGradient(int32_t value) {
  if (value == gradient_) return;
  gradient_ = value;
  Replay();
}

void TPerformanceGraph::SetGridlines(bool value) {
  if (value == gridlines_) return;
  gridlines_ = value;
  Replay();
}

void TPerformanceGraph::SetPenWidth(int32_t value) {
  if (value == penWidth_) return;
  penWidth_ = value;
  Replay();
}

void performance_graph::Register() {
  RegisterComponents(
      SamplesPage,
      {{.ClassName = "mirnax::TPerformanceGraph",
        .Header = "controls/samples/performance_graph.h",
        .ToolTip = "Scrolling performance graph",
        .Description = "Plots data series as lines or bars that scroll left with each Update, on an optional grid.",
        .Create = [](QWidget* parent) -> QWidget* { return new TPerformanceGraph(parent); }}});
}

}  // namespace mirnax
