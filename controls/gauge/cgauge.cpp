#include "controls/gauge/cgauge.h"
#include "controls/gauge/cgauge_accessible.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/palette.h"
#include "toolkit/core/sysutils.h"
#include "toolkit/widgets/graphics.h"

namespace mirnax {

namespace {

constexpr int32_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t Int32Max = std::numeric_limits<int32_t>::max();
// The window-frame colour that fresh bitmaps are filled with.
const QColor WindowFrameColor = Qt::black;

// Edges in the canvas's own convention: left and top inclusive, right and bottom exclusive.
struct Edges {
  int Left, Top, Right, Bottom;
};

Edges EdgesOf(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

// The pixels a rectangle from (left, top) to (right, bottom) covers; none when it is inverted.
QRect FromEdges(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return {};
  return QRect(left, top, right - left, bottom - top);
}

// Pixel boxes are (left, top) to (right, bottom), right and bottom excluded.
void FillBox(QPainter& p, int left, int top, int right, int bottom, const QColor& color) {
  const QRect r = FromEdges(left, top, right, bottom);
  if (!r.isEmpty()) p.fillRect(r, color);
}

// The figure of an ellipse inside the pixel box, with a one-pixel outline on its edge pixels.
QRectF EllipseBox(int left, int top, int right, int bottom) {
  return QRectF(left, top, right - left - 1, bottom - top - 1);
}

// The ellipse's own angle parameter (radians, counter-clockwise from 3 o'clock) where the ray
// from its centre through point meets it; Qt's arcs are laid out by that parameter.
double RadialAngle(const QRectF& box, const QPoint& point) {
  const double dx = (point.x() - box.center().x()) / (box.width() / 2);
  const double dy = (point.y() - box.center().y()) / (box.height() / 2);
  return std::atan2(-dy, dx);
}

// A pie in the pixel box from the radial point start counter-clockwise to the radial point end;
// equal points make the whole ellipse.
void DrawPie(QPainter& p, int left, int top, int right, int bottom, const QPoint& start, const QPoint& end) {
  const QRectF box = EllipseBox(left, top, right, bottom);
  if (box.width() <= 0 || box.height() <= 0) return;
  const double from = RadialAngle(box, start);
  double span = RadialAngle(box, end) - from;
  while (span <= 0) span += 2 * std::numbers::pi;
  constexpr double Sixteenths = 16 * 180 / std::numbers::pi;
  p.drawPie(box, static_cast<int>(std::lround(from * Sixteenths)), static_cast<int>(std::lround(span * Sixteenths)));
}

void XorOnto(QImage& target, const QImage& layer) {
  QPainter p(&target);
  p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  p.drawImage(0, 0, layer);
}

[[noreturn]] void RangeError(int64_t low, int64_t high) {
  auto clamp = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, Int32Min, Int32Max)); };
  throw Exception(Format(ExceptionText(SOutOfRange).c_str(), clamp(low), clamp(high)));
}

}  // namespace

// ---- TBltBitmap ----

void TBltBitmap::SizeLike(const QImage& source) {
  QImage::operator=(QImage(source.size(), QImage::Format_RGB32));
  setDevicePixelRatio(source.devicePixelRatio());
  fill(WindowFrameColor);
}

// ---- TCGauge: colours and arithmetic ----

QColor TCGauge::ToQColor(uint32_t color) { return ColorToQColor(color); }

uint32_t TCGauge::FromQColor(const QColor& color) { return QColorToColor(color); }

int32_t TCGauge::CalcPercentDone(int32_t minValue, int32_t maxValue, int32_t progress) {
  if (maxValue == minValue) return 0;
  // In floating point, so that no difference of two 32-bit values can overflow.
  const double done = (static_cast<double>(progress) - minValue) * 100.0 / (static_cast<double>(maxValue) - minValue);
  return static_cast<int32_t>(std::floor(done));
}

int32_t TCGauge::ScaleByPercent(int32_t percent, int32_t size) {
  return static_cast<int32_t>(std::floor(percent * 0.01 * size));
}

QRect TCGauge::BarRect(TCGaugeKind kind, const QRect& paintRect, int32_t percent) {
  const Edges r = EdgesOf(paintRect);
  const int w = r.Right - r.Left + 1;
  const int h = r.Bottom - r.Top + 1;
  if (kind == gkHorizontalBar) {
    const int f = std::min(ScaleByPercent(percent, w), w);
    if (f <= 0) return {};
    return FromEdges(r.Left, r.Top, f, h);
  }
  if (kind == gkVerticalBar) {
    int f = ScaleByPercent(percent, h);
    if (f >= h) f = h - 1;
    return FromEdges(r.Left, h - f, w, h);
  }
  return {};
}

QPoint TCGauge::PieStart(int32_t percent, int32_t w, int32_t h) {
  const int midX = w / 2, midY = h / 2;
  const double theta = (percent * 0.02 + 0.5) * std::numbers::pi;
  return QPoint(static_cast<int>(std::floor((1 - std::cos(theta)) * midX)),
                static_cast<int>(std::floor((1 - std::sin(theta)) * midY)));
}

QPoint TCGauge::NeedleEnd(int32_t percent, int32_t midX, int32_t bottom) {
  const double theta = percent * 0.01 * std::numbers::pi;
  return QPoint(static_cast<int>(std::floor((1 - std::cos(theta)) * midX)),
                static_cast<int>(std::floor((1 - std::sin(theta)) * (bottom - 1))));
}

// ---- TCGauge: state ----

TCGauge::TCGauge(QWidget* parent) : QWidget(parent) {
  // Every paint covers the whole control.
  setAttribute(Qt::WA_OpaquePaintEvent);
  InstallGaugeAccessibility();
  color_ = FromQColor(palette().color(QPalette::Button));
  resize(100, 100);
}

void TCGauge::SeTCGaugeKind(TCGaugeKind value) {
  if (value == kind_) return;
  kind_ = value;
  repaint();
}

void TCGauge::SetShowText(bool value) {
  if (value == showText_) return;
  showText_ = value;
  repaint();
}

void TCGauge::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  repaint();
}

void TCGauge::SetForeColor(uint32_t value) {
  if (value == foreColor_) return;
  foreColor_ = value;
  repaint();
}

void TCGauge::SetBackColor(uint32_t value) {
  if (value == backColor_) return;
  backColor_ = value;
  repaint();
}

void TCGauge::SetColor(uint32_t value) {
  if (value == color_) return;
  color_ = value;
  repaint();
}

void TCGauge::SetFont(const QFont& value) {
  if (value == font()) return;
  QWidget::setFont(value);
  repaint();
}

void TCGauge::SetMinValue(int32_t value) {
  if (value == minValue_) return;
  if (value > maxValue_) RangeError(-2147483647, int64_t{maxValue_} - 1);
  minValue_ = value;
  if (progress_ < value) progress_ = value;
  repaint();
}

void TCGauge::SetMaxValue(int32_t value) {
  if (value == 0) return;  // a maximum of 0 is never stored
  if (value < minValue_) RangeError(int64_t{minValue_} + 1, 2147483647);
  maxValue_ = value;
  if (progress_ > value) progress_ = value;
  repaint();
}

void TCGauge::SetProgressQuietly(int64_t value) {
  progress_ = static_cast<int32_t>(std::clamp<int64_t>(value, minValue_, maxValue_));
}

void TCGauge::SetProgress(int32_t value) {
  const int32_t clamped = std::clamp(value, minValue_, maxValue_);
  if (clamped == progress_) return;
  const int32_t before = GetPercentDone();
  progress_ = clamped;
  // Callers advance the gauge hundreds of thousands of times per run; only a new whole
  // percentage is worth a paint, and then at once, since the run keeps the event loop busy.
  if (GetPercentDone() != before) {
    repaint();
    GaugeValueChanged(this);
  }
}

void TCGauge::AddProgress(int32_t delta) {
  SetProgressQuietly(int64_t{progress_} + delta);
  repaint();
  GaugeValueChanged(this);
}

// ---- TCGauge: painting ----

void TCGauge::paintEvent(QPaintEvent*) {
  QPainter canvas(this);
  Paint(canvas);
}

void TCGauge::Paint(QPainter& canvas) {
  const QImage image = Render();
  if (!image.isNull()) canvas.drawImage(0, 0, image);
}

QImage TCGauge::Render() const {
  if (width() <= 0 || height() <= 0) return {};
  // In the screen's pixels, so the text stays sharp at 2x; the drawing is in the control's units.
  const qreal ratio = devicePixelRatioF();
  QImage image(QSize(width(), height()) * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  PaintBackground(image);
  QRect paintRect = rect();
  if (borderStyle_ == bsSingle) paintRect.adjust(1, 1, -1, -1);

  TBltBitmap overlay;
  overlay.SizeLike(image);
  PaintBackground(overlay);
  switch (kind_) {
    case gkText: PaintAsNothing(overlay, paintRect); break;
    case gkHorizontalBar:
    case gkVerticalBar: PaintAsBar(overlay, paintRect); break;
    case gkPie: PaintAsPie(overlay, paintRect); break;
    case gkNeedle: PaintAsNeedle(overlay, paintRect); break;
  }
  // The image is black, so this leaves the overlay's picture; the text layer then inverts it.
  XorOnto(image, overlay);
  if (showText_) PaintAsText(image, paintRect);
  return image;
}

void TCGauge::PaintBackground(QImage& bitmap) const {
  QPainter p(&bitmap);
  p.fillRect(QRect(0, 0, width(), height()), Qt::black);
}

void TCGauge::PaintAsNothing(QImage& image, const QRect& paintRect) const {
  QPainter p(&image);
  const Edges r = EdgesOf(paintRect);
  FillBox(p, r.Left, r.Top, r.Right, r.Bottom, ToQColor(backColor_));
}

void TCGauge::PaintAsText(QImage& image, const QRect& paintRect) const {
  const QString s = QString::number(GetPercentDone()) + QLatin1Char('%');
  TBltBitmap layer;
  layer.SizeLike(image);
  PaintBackground(layer);
  {
    QPainter p(&layer);
    p.setFont(font());
    p.setPen(Qt::white);
    p.setBrush(Qt::NoBrush);
    const QFontMetrics metrics = p.fontMetrics();
    const Edges r = EdgesOf(paintRect);
    // Centred in the rectangle's width and height plus one; divisions truncate toward zero.
    const int x = (r.Right - r.Left + 1 - metrics.horizontalAdvance(s)) / 2;
    const int y = (r.Bottom - r.Top + 1 - metrics.height()) / 2;
    p.setClipRect(FromEdges(r.Left, r.Top, r.Right, r.Bottom));
    p.drawText(x, y + metrics.ascent(), s);
  }
  XorOnto(image, layer);
}

void TCGauge::PaintAsBar(QImage& image, const QRect& paintRect) const {
  QPainter p(&image);
  const Edges r = EdgesOf(paintRect);
  FillBox(p, r.Left, r.Top, r.Right, r.Bottom, ToQColor(backColor_));
  // Outline and fill are both ForeColor, so the bar is one solid rectangle.
  const QRect bar = BarRect(kind_, paintRect, GetPercentDone());
  if (!bar.isEmpty()) p.fillRect(bar, ToQColor(foreColor_));
}

void TCGauge::PaintAsPie(QImage& image, const QRect& paintRect) const {
  QPainter p(&image);
  const Edges r = EdgesOf(paintRect);
  const int grow = borderStyle_ == bsSingle ? 1 : 0;
  // The far corner of the figure's box is (w, h) itself, not an offset from the left and top.
  const int w = r.Right - r.Left + grow;
  const int h = r.Bottom - r.Top + grow;
  FillBox(p, r.Left, r.Top, r.Right, r.Bottom, ToQColor(color_));
  p.setPen(QPen(ToQColor(foreColor_), 1));
  p.setBrush(ToQColor(backColor_));
  const QRectF box = EllipseBox(r.Left, r.Top, w, h);
  if (box.width() > 0 && box.height() > 0) p.drawEllipse(box);
  const int32_t percent = GetPercentDone();
  if (percent > 0) {
    p.setBrush(ToQColor(foreColor_));
    DrawPie(p, r.Left, r.Top, w, h, PieStart(percent, w, h), QPoint(w / 2, 0));
  }
}

void TCGauge::PaintAsNeedle(QImage& image, const QRect& paintRect) const {
  QPainter p(&image);
  const Edges r = EdgesOf(paintRect);
  const int grow = borderStyle_ == bsSingle ? 1 : 0;
  const int x = r.Left, y = r.Top;
  const int w = r.Right - r.Left + grow;
  const int h = r.Bottom - r.Top + grow;
  FillBox(p, r.Left, r.Top, r.Right, r.Bottom, ToQColor(color_));
  p.setPen(QPen(ToQColor(foreColor_), 1));
  p.setBrush(ToQColor(backColor_));
  // A box twice as high as the gauge, cut from right to left: the upper half disc.
  DrawPie(p, x, y, w, 2 * h - 1, QPoint(x + w, r.Bottom - 1), QPoint(x, r.Bottom - 1));
  if (w > 1) p.drawLine(x, r.Bottom, x + w - 1, r.Bottom);
  const int32_t percent = GetPercentDone();
  if (percent > 0) {
    const int midX = width() / 2;
    p.drawLine(QPoint(midX, r.Bottom - 1), NeedleEnd(percent, midX, r.Bottom));
  }
}

void cgauge::Register() {
  RegisterComponents(SamplesPage, {{.ClassName = "mirnax::TCGauge",
                                    .Header = "controls/gauge/cgauge.h",
                                    .ToolTip = "Progress gauge: text, bar, pie or needle",
                                    .Description = "Shows how far a value has come between MinValue and MaxValue: as a "
                                                   "percentage, a horizontal or vertical bar, a pie or a needle.",
                                    .Create = [](QWidget* parent) -> QWidget* { return new TCGauge(parent); }}});
}

}  // namespace mirnax
