// TCGauge: shows how far a value has come between a minimum and a maximum, as a percentage text,
// a horizontal or vertical bar, a pie or a needle. Layers are combined with XOR, so the
// percentage text shows inverted where the bar lies under it.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <cstdint>

#include "mirnax/mirnax_export.h"
#include "toolkit/widgets/graphics.h"

class QPainter;

namespace mirnax {

/// An off-screen bitmap that can take the size of another one.
class MIRNAX_EXPORT TBltBitmap : public QImage {
 public:
  /// Gives this bitmap the width, height and pixel ratio of source, filled with the window-frame
  /// colour (black).
  void SizeLike(const QImage& source);
};

/// A gauge: how far a value has come between a minimum and a maximum, as text, bar, pie or needle.
class MIRNAX_EXPORT TCGauge : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
  Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
  Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
  Q_PROPERTY(TCGaugeKind Kind READ Kind WRITE SetKind)
  Q_PROPERTY(bool ShowText READ ShowText WRITE SetShowText)
  Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
  // Each colour is edited in forms as a QColor; its 0x00BBGGRR number (the "Value" twin) is kept
  // out of Designer and out of .ui files, so that a form holds each colour once.
  Q_PROPERTY(QColor ForeColor READ foreColor WRITE setForeColor)
  Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor)
  Q_PROPERTY(QColor Color READ color WRITE setColor)
  Q_PROPERTY(uint ForeColorValue READ ForeColor WRITE SetForeColor DESIGNABLE false STORED false)
  Q_PROPERTY(uint BackColorValue READ BackColor WRITE SetBackColor DESIGNABLE false STORED false)
  Q_PROPERTY(uint ColorValue READ Color WRITE SetColor DESIGNABLE false STORED false)
  Q_PROPERTY(QFont Font READ font WRITE SetFont)
  Q_PROPERTY(int PercentDone READ GetPercentDone)

 public:
  /// How the percentage is drawn: as text only, as a bar, as a pie or as a needle.
  enum TCGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
  Q_ENUM(TCGaugeKind)
  /// Without a frame, or with a one-pixel frame.
  enum TBorderStyle { bsNone, bsSingle };
  Q_ENUM(TBorderStyle)

  // Colours are 0x00BBGGRR: red + green * 256 + blue * 65536.
  static constexpr uint32_t clBlack = 0x000000;  ///< Black, the bar's colour at first.
  static constexpr uint32_t clWhite = 0xFFFFFF;  ///< White, the background at first.
  /// The QColor of a 0x00BBGGRR colour.
  static QColor ToQColor(uint32_t color);
  /// The 0x00BBGGRR colour of a QColor; alpha is dropped.
  static uint32_t FromQColor(const QColor& color);

  /// A horizontal bar from 0 to 100 at 0, black on white, with its percentage and a border.
  explicit TCGauge(QWidget* parent = nullptr);

  int32_t MinValue() const { return minValue_; }  ///< The value shown as 0 %.
  int32_t MaxValue() const { return maxValue_; }  ///< The value shown as 100 %.
  int32_t Progress() const { return progress_; }  ///< The current value, between MinValue and MaxValue.
  TCGaugeKind Kind() const { return kind_; }  ///< How the percentage is drawn.
  bool ShowText() const { return showText_; }  ///< Whether the percentage is written over the picture.
  TBorderStyle BorderStyle() const { return borderStyle_; }  ///< With or without a one-pixel frame.
  uint32_t ForeColor() const { return foreColor_; }  ///< Colour of the filled part, 0x00BBGGRR.
  uint32_t BackColor() const { return backColor_; }  ///< Colour of the unfilled part, 0x00BBGGRR.
  /// Background of the pie and needle kinds; starts as the button-face colour of the palette.
  uint32_t Color() const { return color_; }
  /// How far Progress is from MinValue towards MaxValue, in whole percent.
  int32_t GetPercentDone() const { return CalcPercentDone(minValue_, maxValue_, progress_); }
  int32_t PercentDone() const { return GetPercentDone(); }  ///< The same as GetPercentDone.

  // Each setter stores and repaints only when the value differs.
  void SeTCGaugeKind(TCGaugeKind value);  ///< Sets Kind.
  void SetKind(TCGaugeKind value) { SeTCGaugeKind(value); }  ///< Sets Kind.
  void SetShowText(bool value);  ///< Sets ShowText.
  void SetBorderStyle(TBorderStyle value);  ///< Sets BorderStyle.
  void SetForeColor(uint32_t value);  ///< Sets ForeColor.
  void SetBackColor(uint32_t value);  ///< Sets BackColor.
  void SetColor(uint32_t value);  ///< Sets Color.
  // The three colours as QColor, for forms: the names uic calls. A QColor is stored as plain RGB.
  QColor foreColor() const { return ColorToQColor(foreColor_); }  ///< ForeColor as a QColor.
  QColor backColor() const { return ColorToQColor(backColor_); }  ///< BackColor as a QColor.
  QColor color() const { return ColorToQColor(color_); }  ///< Color as a QColor.
  /// Sets ForeColor from a QColor, as plain RGB.
  void setForeColor(const QColor& value) { SetForeColor(QColorToColor(value)); }
  /// Sets BackColor from a QColor, as plain RGB.
  void setBackColor(const QColor& value) { SetBackColor(QColorToColor(value)); }
  /// Sets Color from a QColor, as plain RGB.
  void setColor(const QColor& value) { SetColor(QColorToColor(value)); }
  // The other published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does. setFont hides QWidget::setFont for calls through a TCGauge, so that
  // a form's Font goes through SetFont as it does when a form is loaded.
  void setMinValue(int value) { SetMinValue(value); }                 ///< Sets MinValue, as SetMinValue.
  void setMaxValue(int value) { SetMaxValue(value); }                 ///< Sets MaxValue, as SetMaxValue.
  void setProgress(int value) { SetProgress(value); }                 ///< Sets Progress, as SetProgress.
  void setKind(TCGaugeKind value) { SetKind(value); }                 ///< Sets Kind, as SetKind.
  void setShowText(bool value) { SetShowText(value); }                ///< Sets ShowText, as SetShowText.
  void setBorderStyle(TBorderStyle value) { SetBorderStyle(value); }  ///< Sets BorderStyle, as SetBorderStyle.
  void setFont(const QFont& value) { SetFont(value); }                ///< Sets Font, as SetFont.
  /// Sets the font of the percentage text.
  void SetFont(const QFont& value);
  /// Sets MinValue. Raises Exception "Value must be between %d and %d" when value > MaxValue;
  /// raises Progress to the new minimum.
  void SetMinValue(int32_t value);
  /// Sets MaxValue; 0 is ignored. Raises Exception "Value must be between %d and %d" when value < MinValue;
  /// lowers Progress to the new maximum.
  void SetMaxValue(int32_t value);
  /// Sets Progress, clamped to MinValue .. MaxValue; repaints at once, but only when the whole
  /// percentage changes.
  void SetProgress(int32_t value);
  /// Adds delta to Progress, as SetProgress(Progress + delta), then repaints in any case.
  void AddProgress(int32_t delta);

  QSize sizeHint() const override { return QSize(100, 100); }  ///< 100 x 100 pixels.

  // ---- Arithmetic shared by painting and tests ----

  /// 0 when max = min, else floor((progress - min) * 100 / (max - min)).
  static int32_t CalcPercentDone(int32_t minValue, int32_t maxValue, int32_t progress);
  /// floor(percent * 0.01 * size).
  static int32_t ScaleByPercent(int32_t percent, int32_t size);
  /// The filled part of a bar of kind (horizontal or vertical) in paintRect at percent; empty
  /// when nothing is filled. The far edges are absolute coordinates: right edge F (horizontal) or
  /// W, bottom edge H, where W and H are the paint rectangle's width and height plus 1.
  static QRect BarRect(TCGaugeKind kind, const QRect& paintRect, int32_t percent);
  /// The radial point where the pie's filled sector starts (it ends at (MidX, 0) and runs
  /// counter-clockwise), for a pie sized w x h.
  static QPoint PieStart(int32_t percent, int32_t w, int32_t h);
  /// The tip of the needle, which starts at (midX, bottom - 1): 0 % points left, 100 % right.
  static QPoint NeedleEnd(int32_t percent, int32_t midX, int32_t bottom);

  /// The whole picture of the control at its current size and state.
  QImage Render() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  /// Copies the finished picture onto the control.
  virtual void Paint(QPainter& canvas);

  /// The painting steps; each takes the target bitmap and the paint rectangle.
  void PaintBackground(QImage& bitmap) const;
  void PaintAsText(QImage& image, const QRect& paintRect) const;
  void PaintAsNothing(QImage& image, const QRect& paintRect) const;
  void PaintAsBar(QImage& image, const QRect& paintRect) const;
  void PaintAsPie(QImage& image, const QRect& paintRect) const;
  void PaintAsNeedle(QImage& image, const QRect& paintRect) const;

 private:
  MIRNAX_NO_EXPORT void SetProgressQuietly(int64_t value);

  int32_t minValue_ = 0;
  int32_t maxValue_ = 100;
  int32_t progress_ = 0;
  TCGaugeKind kind_ = gkHorizontalBar;
  bool showText_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  uint32_t foreColor_ = clBlack;
  uint32_t backColor_ = clWhite;
  uint32_t color_ = 0;
};

using TCGaugeKind = TCGauge::TCGaugeKind;  ///< The gauge's kinds, at namespace level.
inline constexpr TCGaugeKind gkText = TCGauge::gkText;  ///< The percentage text only.
inline constexpr TCGaugeKind gkHorizontalBar = TCGauge::gkHorizontalBar;  ///< A bar growing to the right.
inline constexpr TCGaugeKind gkVerticalBar = TCGauge::gkVerticalBar;  ///< A bar growing upwards.
inline constexpr TCGaugeKind gkPie = TCGauge::gkPie;  ///< A pie filled counter-clockwise from the top.
inline constexpr TCGaugeKind gkNeedle = TCGauge::gkNeedle;  ///< A needle over a half disc, left to right.

/// The gauge's place on the component palette.
namespace cgauge {
/// Adds TCGauge to the component palette, page "Samples".
MIRNAX_EXPORT void Register();
}  // namespace cgauge

}  // namespace mirnax
