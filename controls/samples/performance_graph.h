// TPerformanceGraph: a strip chart. The program adds up to 16 coloured points to the current time
// step with DataPoint, then calls Update: the picture scrolls left by one step and the new step is
// drawn at the right edge, as stacked bars or as lines joined to the previous step. The scale
// follows the largest value kept, rounded up to a multiple of Gradient.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "mirnax/mirnax_export.h"
#include "toolkit/widgets/graphics.h"

class QPainter;

namespace mirnax {

/// A strip chart of up to 16 values per time step, as stacked bars or lines.
class MIRNAX_EXPORT TPerformanceGraph : public QWidget {
  Q_OBJECT
  Q_PROPERTY(TGraphKind Kind READ Kind WRITE SetGraphKind)
  // Each colour is edited in forms as a QColor; its 0x00BBGGRR number (the "Value" twin) is kept
  // out of Designer and out of .ui files, so that a form holds each colour once.
  Q_PROPERTY(QColor ForeColor READ foreColor WRITE setForeColor)
  Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor)
  Q_PROPERTY(uint ForeColorValue READ ForeColor WRITE SetForeColor DESIGNABLE false STORED false)
  Q_PROPERTY(uint BackColorValue READ BackColor WRITE SetBackColor DESIGNABLE false STORED false)
  Q_PROPERTY(int GridSize READ GridSize WRITE SetGridSize)
  Q_PROPERTY(int StepSize READ StepSize WRITE SetStepSize)
  Q_PROPERTY(int Scale READ Scale WRITE SetScale NOTIFY ScaleChanged)
  Q_PROPERTY(int Gradient READ Gradient WRITE SetGradient)
  Q_PROPERTY(bool Gridlines READ Gridlines WRITE SetGridlines)
  Q_PROPERTY(int PenWidth READ PenWidth WRITE SetPenWidth)

 public:
  /// Stacked bars or lines joined to the previous step.
  enum TGraphKind { pgBar, pgLine };
  Q_ENUM(TGraphKind)
  static constexpr int MaxPoints = 16;  ///< The most points one step holds.

  /// One time step: up to 16 points, each a colour and a value.
  struct TBand {
    int32_t Count = 0;  ///< Points in this step.
    std::array<TColor, MaxPoints> Colors{};  ///< Colour of each point, 0x00BBGGRR.
    std::array<int32_t, MaxPoints> Values{};  ///< Value of each point.
    int32_t Max = 0;  ///< the largest value, when Count > 0
  };

  /// A line chart in green on black with grid lines, 3 pixels per step, scale 1000.
  explicit TPerformanceGraph(QWidget* parent = nullptr);

  TGraphKind Kind() const { return kind_; }  ///< Bars or lines.
  TColor ForeColor() const { return foreColor_; }  ///< Colour of the grid, 0x00BBGGRR.
  TColor BackColor() const { return backColor_; }  ///< Colour of the background, 0x00BBGGRR.
  int32_t GridSize() const { return gridSize_; }  ///< Distance of the grid lines in pixels.
  int32_t StepSize() const { return stepSize_; }  ///< Width of one time step in pixels.
  int32_t Scale() const { return scale_; }  ///< The value drawn at the top edge.
  int32_t Gradient() const { return gradient_; }  ///< The scale is rounded up to a multiple of this.
  bool Gridlines() const { return gridlines_; }  ///< Whether the grid is drawn.
  int32_t PenWidth() const { return penWidth_; }  ///< Width of the data lines in pixels.

  // Each setter does nothing for the value it already has, else stores it and redraws the whole
  // picture. GridSize below 2 is stored as 2, StepSize below 1 as 1.
  /// Sets Kind. Each setter does nothing for the value it already has, else stores it and redraws the whole
  /// picture.
  void SetGraphKind(TGraphKind value);
  void SetForeColor(TColor value);  ///< Sets ForeColor.
  void SetBackColor(TColor value);  ///< Sets BackColor.
  // The two colours as QColor, for forms: the names uic calls. A QColor is stored as plain RGB.
  /// ForeColor as a QColor.
  QColor foreColor() const { return ColorToQColor(foreColor_); }
  QColor backColor() const { return ColorToQColor(backColor_); }  ///< BackColor as a QColor.
  /// Sets ForeColor from a QColor, as plain RGB.
  void setForeColor(const QColor& value) { SetForeColor(QColorToColor(value)); }
  /// Sets BackColor from a QColor, as plain RGB.
  void setBackColor(const QColor& value) { SetBackColor(QColorToColor(value)); }
  // The other published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does.
  void setKind(TGraphKind value) { SetGraphKind(value); }  ///< Sets Kind, as SetGraphKind.
  void setGridSize(int value) { SetGridSize(value); }      ///< Sets GridSize, as SetGridSize.
  void setStepSize(int value) { SetStepSize(value); }      ///< Sets StepSize, as SetStepSize.
  void setScale(int value) { SetScale(value); }            ///< Sets Scale, as SetScale.
  void setGradient(int value) { SetGradient(value); }      ///< Sets Gradient, as SetGradient.
  void setGridlines(bool value) { SetGridlines(value); }   ///< Sets Gridlines, as SetGridlines.
  void setPenWidth(int value) { SetPenWidth(value); }      ///< Sets PenWidth, as SetPenWidth.
  /// Sets GridSize; below 2 it is stored as 2.
  void SetGridSize(int32_t value);
  // Also resizes the history to the new number of steps on screen.
  /// Sets StepSize (below 1 it is stored as 1) and resizes the history to the new number of steps on screen.
  void SetStepSize(int32_t value);
  /// Sets Scale, rounded up to a multiple of Gradient; fires OnScaleChange. A scale of 0 or less draws
  /// no data.
  void SetScale(int32_t value);
  /// Sets Gradient; the scale is not recomputed.
  void SetGradient(int32_t value);
  void SetGridlines(bool value);  ///< Sets Gridlines.
  /// Sets PenWidth, the width of the data lines; grid lines and bars are not affected.
  void SetPenWidth(int32_t value);

  /// Appends a point to the current step; a seventeenth point raises ERangeError.
  void DataPoint(TColor color, int32_t value);
  /// Ends the current step and draws it.
  void Update();

  /// Steps on screen: width div StepSize.
  int32_t GetBandCount() const;
  /// value unchanged when gradient is 0 or value is a multiple of it, else the next multiple
  /// (division truncating towards zero).
  static int32_t RoundUp(int32_t value, int32_t gradient);

  // The history ring: FirstY is the oldest band; NextY walks towards the newest and gives -1
  // after it; LastY steps back.
  /// The oldest band of the history ring.
  int32_t FirstY() const { return firstBand_; }
  /// The band after index towards the newest, or -1 after the newest.
  int32_t NextY(int32_t index) const;
  int32_t LastY(int32_t index) const;  ///< The band before index.
  int32_t CurrentBand() const { return currentBand_; }  ///< The band the next points go to.
  /// The number of bands the history holds.
  int32_t BandCapacity() const { return static_cast<int32_t>(history_.size()); }
  /// The points of one band.
  const TBand& Band(int32_t index) const { return history_[static_cast<size_t>(index)]; }
  /// Where the first vertical grid line stands, 0 .. GridSize - 1.
  int32_t GridPhase() const { return gridPhase_; }
  /// The finished picture.
  const QImage& Bitmap() const { return bitmap_; }

  QSize sizeHint() const override { return QSize(100, 100); }  ///< 100 x 100 pixels.

  /// Called when SetScale changed the scale, before ScaleChanged.
  std::function<void(TPerformanceGraph* sender)> OnScaleChange;

 signals:
  void ScaleChanged(int scale);  ///< Emitted when SetScale changed the scale.

 protected:
  void ShiftY();
  /// Sizes and clears the bitmap, draws the grid with the first vertical line at x0.
  void Initialize(int32_t x0);
  void ScrollGraph();
  void DisplayPoints(int32_t band);
  void PaintBar(TColor color, int32_t base, int32_t height);
  void PaintLine(QPainter& canvas, TColor color, int32_t previous, int32_t current);
  /// Redraws the whole picture from the history.
  void Replay();
  void ReallocHistory();

  void paintEvent(QPaintEvent* event) override;

 private:
  /// Pixel height of value at the current scale (0 when the scale is 0 or less).
  MIRNAX_NO_EXPORT int PixelHeight(int32_t value) const;
  MIRNAX_NO_EXPORT void Refresh();

  TGraphKind kind_ = pgLine;
  TColor foreColor_ = 0x008000;
  TColor backColor_ = 0x000000;
  int32_t gridSize_ = 15;
  int32_t stepSize_ = 3;
  int32_t scale_ = 1000;
  int32_t gradient_ = 100;
  bool gridlines_ = true;
  int32_t penWidth_ = 2;

  std::vector<TBand> history_;
  int32_t firstBand_ = 1;
  int32_t currentBand_ = 0;
  QImage bitmap_;
  QRect graphRect_;
  QRect scrollFromRect_;
  QRect scrollToRect_;
  QRect bandRect_;
  int32_t gridPhase_ = 0;
  bool inPaint_ = false;
};

namespace performance_graph {
/// Adds TPerformanceGraph to the component palette, page "Samples".
MIRNAX_EXPORT void Register();
}  // namespace performance_graph

}  // namespace mirnax
