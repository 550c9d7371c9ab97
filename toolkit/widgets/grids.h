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

/// A grid of equal cells with fixed header rows and columns and a current cell; the base of the calendar.
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
  /// Options of the grid, combined as bits: selecting a range of cells, drawing the focused cell as selected.
  enum TGridOption { goRangeSelect = 1, goDrawFocusSelected = 2 };
  using TGridOptions = int;  ///< TGridOption bits.
  /// Whether the rows below the fixed ones get a vertical scroll bar.
  enum TScrollStyle { ssNone, ssVertical };
  /// What a cell is when DrawCell is called, as bits: selected, focused, fixed.
  enum TGridDrawStateFlag { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
  using TGridDrawState = int;  ///< TGridDrawStateFlag bits.

  /// A 5 x 5 grid of 64 x 24 pixel cells, one fixed row and column, a vertical scroll bar.
  explicit TCustomGrid(QWidget* parent = nullptr);

  int ColCount() const { return colCount_; }  ///< Columns, the fixed ones included.
  int RowCount() const { return rowCount_; }  ///< Rows, the fixed ones included.
  int FixedCols() const { return fixedCols_; }  ///< Fixed (header) columns on the left.
  int FixedRows() const { return fixedRows_; }  ///< Fixed (header) rows on top.
  int DefaultColWidth() const { return defaultColWidth_; }  ///< Width of every column in pixels.
  int DefaultRowHeight() const { return defaultRowHeight_; }  ///< Height of every row in pixels.
  int GridLineWidth() const { return gridLineWidth_; }  ///< Width of the lines between the cells.
  TGridOptions Options() const { return options_; }  ///< TGridOption bits.
  TScrollStyle ScrollBars() const { return scrollBars_; }  ///< Whether the scrolling rows get a scroll bar.
  int Col() const { return col_; }  ///< Column of the current cell.
  int Row() const { return row_; }  ///< Row of the current cell.
  /// First scrolling row shown below the fixed rows.
  int TopRow() const { return topRow_; }

  /// Sets ColCount. Counts are kept at least 1 and above the fixed counts; the current cell stays inside.
  void SetColCount(int value);
  void SetRowCount(int value);  ///< Sets RowCount, as SetColCount keeps it.
  void SetFixedCols(int value);  ///< Sets FixedCols, below ColCount.
  void SetFixedRows(int value);  ///< Sets FixedRows, below RowCount.
  void SetDefaultColWidth(int value);  ///< Sets DefaultColWidth.
  void SetDefaultRowHeight(int value);  ///< Sets DefaultRowHeight.
  void SetGridLineWidth(int value);  ///< Sets GridLineWidth.
  void SetOptions(TGridOptions value);  ///< Sets Options.
  void SetScrollBars(TScrollStyle value);  ///< Sets ScrollBars.
  /// Makes column value current, as MoveColRow does.
  void SetCol(int value) { MoveColRow(value, row_, true, true); }
  /// Makes row value current, as MoveColRow does.
  void SetRow(int value) { MoveColRow(col_, value, true, true); }
  void SetTopRow(int value);  ///< Scrolls row value to the top of the scrolling rows.
  // The published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does.
  void setColCount(int value) { SetColCount(value); }                ///< Sets ColCount, as SetColCount.
  void setRowCount(int value) { SetRowCount(value); }                ///< Sets RowCount, as SetRowCount.
  void setFixedCols(int value) { SetFixedCols(value); }              ///< Sets FixedCols, as SetFixedCols.
  void setFixedRows(int value) { SetFixedRows(value); }              ///< Sets FixedRows, as SetFixedRows.
  void setDefaultColWidth(int value) { SetDefaultColWidth(value); }  ///< Sets DefaultColWidth, as SetDefaultColWidth.
  /// Sets DefaultRowHeight, as SetDefaultRowHeight.
  void setDefaultRowHeight(int value) { SetDefaultRowHeight(value); }
  void setGridLineWidth(int value) { SetGridLineWidth(value); }  ///< Sets GridLineWidth, as SetGridLineWidth.
  void setCol(int value) { SetCol(value); }                      ///< Sets Col, as SetCol.
  void setRow(int value) { SetRow(value); }                      ///< Sets Row, as SetRow.

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

  std::function<void(TCustomGrid* sender)> OnClick;  ///< Called when a cell is clicked.
  std::function<void(TCustomGrid* sender)> OnDblClick;  ///< Called when a cell is double-clicked.

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
  MIRNAX_NO_EXPORT void ClampCurrent();
  MIRNAX_NO_EXPORT void UpdateScrollBar();
  MIRNAX_NO_EXPORT int MaxTopRow() const;

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
