// TCColorGrid: picks a foreground and a background colour out of 16 squares laid out 16 x 1,
// 8 x 2, 4 x 4, 2 x 8 or 1 x 16. The foreground square is marked "FG", the background square "BG",
// a square that holds both "FB". The left button picks the foreground, the others the background;
// the keys move a selection square and pick with F and B.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "mirnax/mirnax_export.h"
#include "toolkit/widgets/graphics.h"

class QPainter;

namespace mirnax {

/// A grid of 16 colour squares that picks a foreground and a background colour.
class MIRNAX_EXPORT TCColorGrid : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool ClickEnablesColor READ ClickEnablesColor WRITE SetClickEnablesColor)
  Q_PROPERTY(TGridOrdering GridOrdering READ GridOrdering WRITE SetGridOrdering)
  Q_PROPERTY(int ForegroundIndex READ ForegroundIndex WRITE SetForegroundIndex)
  Q_PROPERTY(int BackgroundIndex READ BackgroundIndex WRITE SetBackgroundIndex)
  Q_PROPERTY(bool ForegroundEnabled READ ForegroundEnabled WRITE EnableForeground)
  Q_PROPERTY(bool BackgroundEnabled READ BackgroundEnabled WRITE EnableBackground)
  Q_PROPERTY(int Selection READ Selection WRITE SetSelection)
  Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
  Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
  // The picked colours, shown in Designer as colours; their 0x00BBGGRR numbers are kept out of it.
  Q_PROPERTY(QColor ForegroundColor READ foregroundColor)
  Q_PROPERTY(QColor BackgroundColor READ backgroundColor)
  Q_PROPERTY(uint ForegroundColorValue READ GetForegroundColor DESIGNABLE false STORED false)
  Q_PROPERTY(uint BackgroundColorValue READ GetBackgroundColor DESIGNABLE false STORED false)

 public:
  /// How the 16 squares are laid out: columns x rows.
  enum TGridOrdering { go16x1, go8x2, go4x4, go2x8, go1x16 };
  Q_ENUM(TGridOrdering)
  static constexpr int NumSquares = 16;  ///< The number of squares.

  /// One entry of the platform's default palette.
  struct TPaletteEntry {
    uint8_t red;  ///< Red, 0..255.
    uint8_t green;  ///< Green, 0..255.
    uint8_t blue;  ///< Blue, 0..255.
    uint8_t flags;  ///< Flags as the platform's palette keeps them.
  };
  /// The 20 entries of the platform's default palette; squares 0..15 show a choice of them.
  static const std::array<TPaletteEntry, 20>& DefaultPalette();

  /// A 4 x 4 grid with both pickers on, foreground and background at square 0.
  explicit TCColorGrid(QWidget* parent = nullptr);

  /// Whether a click on a disabled picker enables it again.
  bool ClickEnablesColor() const { return clickEnablesColor_; }
  TGridOrdering GridOrdering() const { return gridOrdering_; }  ///< The layout of the squares.
  int32_t ForegroundIndex() const { return foregroundIndex_; }  ///< The foreground square, 0..15.
  int32_t BackgroundIndex() const { return backgroundIndex_; }  ///< The background square, 0..15.
  /// Whether the foreground can be picked and is marked.
  bool ForegroundEnabled() const { return foregroundEnabled_; }
  /// Whether the background can be picked and is marked.
  bool BackgroundEnabled() const { return backgroundEnabled_; }
  int32_t Selection() const { return selection_; }  ///< The square the keyboard selection stands on.
  bool Ctl3D() const { return ctl3D_; }  ///< Whether the control is drawn with a sunken 3D frame.
  bool TabStop() const { return tabStop_; }  ///< Whether Tab stops at the control.
  int32_t Columns() const { return columns_; }  ///< Squares per row.
  int32_t Rows() const { return rows_; }  ///< Squares per column.
  int32_t CellWidth() const { return cellWidth_; }  ///< Width of one square in pixels.
  int32_t CellHeight() const { return cellHeight_; }  ///< Height of one square in pixels.
  bool InFocus() const { return inFocus_; }  ///< Whether the control has the keyboard focus.
  /// The colour of square index (0x00BBGGRR); squares outside 0..15 are black.
  TColor SquareColor(int32_t index) const;
  /// The foreground colour, 0x00BBGGRR.
  TColor GetForegroundColor() const { return SquareColor(foregroundIndex_); }
  /// The background colour, 0x00BBGGRR.
  TColor GetBackgroundColor() const { return SquareColor(backgroundIndex_); }
  /// The two picked colours as QColor.
  /// The foreground colour as a QColor.
  QColor foregroundColor() const { return ColorToQColor(GetForegroundColor()); }
  /// The background colour as a QColor.
  QColor backgroundColor() const { return ColorToQColor(GetBackgroundColor()); }
  /// Black or white per component: 0 where the square's component is 128 or more, else 255.
  static TColor ContrastColor(TColor color);

  void SetClickEnablesColor(bool value) { clickEnablesColor_ = value; }  ///< Sets ClickEnablesColor.
  /// Sets the layout and resizes the squares to it.
  void SetGridOrdering(TGridOrdering value);
  // Values outside 0..15 are stored as they come and never drawn.
  /// Sets the foreground square; values outside 0..15 are stored as they come and never drawn.
  void SetForegroundIndex(int32_t value);
  /// Sets the background square; values outside 0..15 are stored as they come and never drawn.
  void SetBackgroundIndex(int32_t value);
  void EnableForeground(bool value);  ///< Turns the foreground picker on or off.
  void EnableBackground(bool value);  ///< Turns the background picker on or off.
  void SetSelection(int32_t value);  ///< Moves the keyboard selection to a square.
  void SetCtl3D(bool value);  ///< Sets Ctl3D.
  void SetTabStop(bool value);  ///< Sets TabStop.
  // The published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does.
  /// Sets ClickEnablesColor, as SetClickEnablesColor.
  void setClickEnablesColor(bool value) { SetClickEnablesColor(value); }
  void setGridOrdering(TGridOrdering value) { SetGridOrdering(value); }  ///< Sets GridOrdering, as SetGridOrdering.
  void setForegroundIndex(int value) { SetForegroundIndex(value); }   ///< Sets ForegroundIndex, as SetForegroundIndex.
  void setBackgroundIndex(int value) { SetBackgroundIndex(value); }   ///< Sets BackgroundIndex, as SetBackgroundIndex.
  void setForegroundEnabled(bool value) { EnableForeground(value); }  ///< Sets ForegroundEnabled, as EnableForeground.
  void setBackgroundEnabled(bool value) { EnableBackground(value); }  ///< Sets BackgroundEnabled, as EnableBackground.
  void setSelection(int value) { SetSelection(value); }               ///< Sets Selection, as SetSelection.
  void setCtl3D(bool value) { SetCtl3D(value); }                      ///< Sets Ctl3D, as SetCtl3D.
  void setTabStop(bool value) { SetTabStop(value); }                  ///< Sets TabStop, as SetTabStop.

  /// Square under a client point; -1 while the squares have no size.
  int32_t SquareFromPos(int x, int y) const;
  /// Snaps the control to whole squares.
  void UpdateCellSizes(bool redraw);
  /// The rectangle of square index.
  QRect SquareRect(int32_t index) const;

  /// Called after a pick changed the foreground or background.
  std::function<void(TCColorGrid* sender)> OnChange;
  std::function<void(TCColorGrid* sender)> OnClick;  ///< Called on every click on the control.

 protected:
  virtual void Change();
  virtual void Click();
  /// Draws the whole control into the off-screen canvas.
  virtual void Paint();
  void DrawSquare(int32_t index, bool showSelector);
  void DrawFgBg();

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  /// Drawing goes to an off-screen canvas that painting copies; a canvas of another size than the
  /// control is drawn anew.
  MIRNAX_NO_EXPORT void EnsureCanvas();
  MIRNAX_NO_EXPORT void Redraw(int32_t index);  ///< the square with the selector when it has it
  MIRNAX_NO_EXPORT void PickForeground(int32_t square);
  MIRNAX_NO_EXPORT void PickBackground(int32_t square);

  std::array<TPaletteEntry, 20> palette_;
  bool clickEnablesColor_ = false;
  TGridOrdering gridOrdering_ = go4x4;
  int32_t foregroundIndex_ = 0;
  int32_t backgroundIndex_ = 0;
  bool foregroundEnabled_ = true;
  bool backgroundEnabled_ = true;
  int32_t selection_ = 0;
  int32_t cellWidth_ = 0;
  int32_t cellHeight_ = 0;
  int32_t columns_ = 4;
  int32_t rows_ = 4;
  bool inFocus_ = false;
  bool ctl3D_ = true;
  bool tabStop_ = false;
  Qt::MouseButton dragButton_ = Qt::NoButton;
  bool dragging_ = false;
  QImage canvas_;
};

namespace ccolorgrid {
/// Adds TCColorGrid to the component palette, page "Samples".
MIRNAX_EXPORT void Register();
}  // namespace ccolorgrid

}  // namespace mirnax
