// TCustomGrid: a grid of equal cells with fixed (header) rows and columns, a current cell that a
// SelectCell hook may refuse, and a DrawCell hook called for every visible cell after the cell's
// colours have been prepared. Rows below the fixed ones scroll vertically.
#pragma once

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "mirnax/mirnax_export.h"

class QPainter;
class QScrollBar;

namespace mirnax {

class MIRNAX_EXPORT TCustomGrid : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int ColCount READ ColCount WRITE SetColCount)
  Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)
  Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
  Q_PROPERTY(int FixedRows READ FixedRows WRITE SetFixedRows)
  Q_PROPERTY(int DefaultColWidth READ DefaultColWidth WRITE SetDefaultColWidth)
  Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
  Q_PROPERTY(int GridLineWidth READ GridLineWidth WRITE SetGridLineWidth)
  Q_PROPERTY(int Col READ Col WRITE SetCol)
  Q_PROPERTY(int Row READ Row WRITE SetRow)

 public:
  enum TGridOption { goRangeSelect = 1, goDrawFocusSelected = 2 };
  using TGridOptions = int;
  enum TScrollStyle { ssNone, ssVertical };
  enum TGridDrawStateFlag { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
  using TGridDrawState = int;

  explicit TCustomGrid(QWidget* parent = nullptr);

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }
  int DefaultColWidth() const { return defaultColWidth_; }
  int DefaultRowHeight() const { return defaultRowHeight_; }
  int GridLineWidth() const { return gridLineWidth_; }
  TGridOptions Options() const { return options_; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  int Col() const { return col_; }
  int Row() const { return row_; }
  /// First scrolling row shown below the fixed rows.
  int TopRow() const { return topRow_; }

  /// Counts are kept at least 1 and above the fixed counts; the current cell stays inside.
  void SetColCount(int value);
  void SetRowCount(int value);
  void SetFixedCols(int value);
  void SetFixedRows(int value);
  void SetDefaultColWidth(int value);
  void SetDefaultRowHeight(int value);
  void SetGridLineWidth(int value);
  void SetOptions(TGridOptions value);
  void SetScrollBars(TScrollStyle value);
  void SetCol(int value) { MoveColRow(value, row_, true, true); }
  void SetRow(int value) { MoveColRow(col_, value, true, true); }
  void SetTopRow(int value);

  /// Makes (col, row) current when SelectCell accepts it; with show, scrolls it into view.
  /// A cell outside the grid raises EInvalidGridOperation "Grid index out of range".
  void MoveColRow(int col, int row, bool moveAnchor, bool show);

  /// The cell's rectangle in client coordinates; empty when the cell is scrolled out of view.
  QRect CellRect(int col, int row) const;
  /// The cell under a client point; false outside every visible cell.
  bool MouseToCell(QPoint point, int& col, int& row) const;
  /// Scrolling rows that fit below the fixed rows (at least 1).
  int VisibleRowCount() const;
  /// The area that holds the cells (the widget without its scroll bar).
  QRect ClientRect() const;

  /// Fills rect with the canvas's brush and draws text at (x, y) (its top-left), clipped to rect.
  static void TextRect(QPainter& canvas, const QRect& rect, int x, int y, const QString& text);

  std::function<void(TCustomGrid* sender)> OnClick;
  std::function<void(TCustomGrid* sender)> OnDblClick;

 protected:
  /// Called for every visible cell; the canvas's brush, pen and font hold the cell's colours.
  virtual void DrawCell(QPainter& canvas, int col, int row, const QRect& rect, TGridDrawState state);
  /// Whether (col, row) may become current.
  virtual bool SelectCell(int col, int row);
  /// A click of the user, after the current cell followed the mouse.
  virtual void Click();
  virtual void DblClick();
  /// The size-changed notification with the new client size.
  virtual void WMSize(int width, int height);
  /// Called after the current cell moved.
  virtual void CurrentCellMoved() {}

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ClampCurrent();
  void UpdateScrollBar();
  int MaxTopRow() const;

  int colCount_ = 5;
  int rowCount_ = 5;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int gridLineWidth_ = 1;
  TGridOptions options_ = 0;
  TScrollStyle scrollBars_ = ssVertical;
  int col_ = 1;
  int row_ = 1;
  int anchorCol_ = 1;
  int anchorRow_ = 1;
  int topRow_ = 1;
  QScrollBar* scrollBar_ = nullptr;
};

}  // namespace mirnax
