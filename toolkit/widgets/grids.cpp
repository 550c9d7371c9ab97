#include "toolkit/widgets/grids.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "toolkit/core/exceptions.h"

namespace mirnax {

TCustomGrid::TCustomGrid(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  scrollBar_ = new QScrollBar(Qt::Vertical, this);
  scrollBar_->hide();
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) { SetTopRow(value); });
}

void TCustomGrid::SetColCount(int value) {
  value = std::max({value, 1, fixedCols_ + 1});
  if (value == colCount_) return;
  colCount_ = value;
  ClampCurrent();
}

void TCustomGrid::SetRowCount(int value) {
  value = std::max({value, 1, fixedRows_ + 1});
  if (value == rowCount_) return;
  rowCount_ = value;
  ClampCurrent();
}

void TCustomGrid::SetFixedCols(int value) {
  value = std::clamp(value, 0, colCount_ - 1);
  if (value == fixedCols_) return;
  fixedCols_ = value;
  ClampCurrent();
}

void TCustomGrid::SetFixedRows(int value) {
  value = std::clamp(value, 0, rowCount_ - 1);
  if (value == fixedRows_) return;
  fixedRows_ = value;
  ClampCurrent();
}

void TCustomGrid::SetDefaultColWidth(int value) {
  value = std::max(value, 0);
  if (value == defaultColWidth_) return;
  defaultColWidth_ = value;
  update();
}

void TCustomGrid::SetDefaultRowHeight(int value) {
  value = std::max(value, 0);
  if (value == defaultRowHeight_) return;
  defaultRowHeight_ = value;
  UpdateScrollBar();
  update();
}

void TCustomGrid::SetGridLineWidth(int value) {
  value = std::max(value, 0);
  if (value == gridLineWidth_) return;
  gridLineWidth_ = value;
  UpdateScrollBar();
  update();
}

void TCustomGrid::SetOptions(TGridOptions value) {
  if (value == options_) return;
  options_ = value;
  update();
}

void TCustomGrid::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  UpdateScrollBar();
  update();
}

void TCustomGrid::SetTopRow(int value) {
  value = std::clamp(value, fixedRows_, MaxTopRow());
  if (value == topRow_) return;
  topRow_ = value;
  scrollBar_->setValue(value);
  update();
}

// After a change of the counts the current cell, the anchor and the top row stay inside.
void TCustomGrid::ClampCurrent() {
  col_ = std::clamp(col_, fixedCols_, colCount_ - 1);
  row_ = std::clamp(row_, fixedRows_, rowCount_ - 1);
  anchorCol_ = std::clamp(anchorCol_, fixedCols_, colCount_ - 1);
  anchorRow_ = std::clamp(anchorRow_, fixedRows_, rowCount_ - 1);
  UpdateScrollBar();
  topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
  update();
}

void TCustomGrid::MoveColRow(int col, int row, bool moveAnchor, bool show) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
    throw EInvalidGridOperation(ExceptionText(SGridIndexOutOfRange));
  if (!SelectCell(col, row)) return;
  col_ = col;
  row_ = row;
  if (moveAnchor || !(options_ & goRangeSelect)) {
    anchorCol_ = col;
    anchorRow_ = row;
  }
  if (show && row >= fixedRows_) {
    if (row < topRow_)
      SetTopRow(row);
    else if (row >= topRow_ + VisibleRowCount())
      SetTopRow(row - VisibleRowCount() + 1);
  }
  update();
  CurrentCellMoved();
}

QRect TCustomGrid::ClientRect() const {
  QRect r = rect();
  if (scrollBar_->isVisible()) r.setRight(r.right() - scrollBar_->width());
  return r;
}

int TCustomGrid::VisibleRowCount() const {
  const int pitch = defaultRowHeight_ + gridLineWidth_;
  if (pitch <= 0) return 1;
  const int free = ClientRect().height() - fixedRows_ * pitch;
  return std::max(1, free / pitch);
}

int TCustomGrid::MaxTopRow() const {
  return std::max(fixedRows_, rowCount_ - VisibleRowCount());
}

QRect TCustomGrid::CellRect(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return {};
  int shownRow = row;
  if (row >= fixedRows_) {
    if (row < topRow_) return {};
    shownRow = fixedRows_ + row - topRow_;
  }
  const int x = col * (defaultColWidth_ + gridLineWidth_);
  const int y = shownRow * (defaultRowHeight_ + gridLineWidth_);
  if (y >= ClientRect().height()) return {};
  return QRect(x, y, defaultColWidth_, defaultRowHeight_);
}

bool TCustomGrid::MouseToCell(QPoint point, int& col, int& row) const {
  const int colPitch = defaultColWidth_ + gridLineWidth_;
  const int rowPitch = defaultRowHeight_ + gridLineWidth_;
  if (colPitch <= 0 || rowPitch <= 0 || point.x() < 0 || point.y() < 0 || !ClientRect().contains(point))
    return false;
  col = point.x() / colPitch;
  const int shownRow = point.y() / rowPitch;
  row = shownRow < fixedRows_ ? shownRow : shownRow - fixedRows_ + topRow_;
  return col < colCount_ && row < rowCount_ && CellRect(col, row).contains(point);
}

void TCustomGrid::TextRect(QPainter& canvas, const QRect& rect, int x, int y, const QString& text) {
  canvas.save();
  canvas.setClipRect(rect);
  if (canvas.brush().style() != Qt::NoBrush) canvas.fillRect(rect, canvas.brush());
  canvas.drawText(QPoint(x, y + canvas.fontMetrics().ascent()), text);
  canvas.restore();
}

void TCustomGrid::DrawCell(QPainter&, int, int, const QRect&, TGridDrawState) {}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::Click() {
  if (OnClick) OnClick(this);
}

void TCustomGrid::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TCustomGrid::WMSize(int, int) {}

void TCustomGrid::UpdateScrollBar() {
  if (!scrollBar_) return;
  const int pitch = std::max(1, defaultRowHeight_ + gridLineWidth_);
  const int fits = std::max(1, (height() - fixedRows_ * pitch) / pitch);
  const bool needed = scrollBars_ == ssVertical && rowCount_ - fixedRows_ > fits;
  scrollBar_->setVisible(needed);
  if (needed) {
    const int w = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    scrollBar_->setGeometry(width() - w, 0, w, height());
    scrollBar_->setRange(fixedRows_, std::max(fixedRows_, rowCount_ - fits));
    scrollBar_->setPageStep(fits);
    scrollBar_->setValue(topRow_);
  }
}

void TCustomGrid::paintEvent(QPaintEvent*) {
  QPainter canvas(this);
  const QPalette& pal = palette();
  const QRect client = ClientRect();
  canvas.fillRect(client, pal.color(QPalette::Base));
  canvas.setFont(font());
  const int lastRow = std::min(rowCount_ - 1, topRow_ + VisibleRowCount());
  auto paintRow = [&](int row) {
    for (int col = 0; col < colCount_; ++col) {
      const QRect cell = CellRect(col, row);
      if (cell.isEmpty() || cell.left() >= client.right() + 1) continue;
      TGridDrawState state = 0;
      QColor back = pal.color(QPalette::Base);
      QColor text = pal.color(QPalette::Text);
      if (col < fixedCols_ || row < fixedRows_) {
        state |= gdFixed;
        back = pal.color(QPalette::Button);
        text = pal.color(QPalette::ButtonText);
      } else if (col == col_ && row == row_) {
        if (hasFocus()) state |= gdFocused;
        if (!hasFocus() || (options_ & goDrawFocusSelected)) {
          state |= gdSelected;
          back = pal.color(QPalette::Highlight);
          text = pal.color(QPalette::HighlightedText);
        }
      }
      // Grid lines: the strip right of and below the cell.
      if (gridLineWidth_ > 0) {
        const QColor line = pal.color(QPalette::Mid);
        canvas.fillRect(QRect(cell.right() + 1, cell.top(), gridLineWidth_, cell.height() + gridLineWidth_), line);
        canvas.fillRect(QRect(cell.left(), cell.bottom() + 1, cell.width(), gridLineWidth_), line);
      }
      canvas.setBrush(back);
      canvas.setPen(text);
      canvas.save();
      DrawCell(canvas, col, row, cell, state);
      canvas.restore();
      if ((state & gdFocused) && !(state & gdFixed)) {
        canvas.setBrush(Qt::NoBrush);
        canvas.setPen(QPen(text, 1, Qt::DotLine));
        canvas.drawRect(cell.adjusted(0, 0, -1, -1));
      }
    }
  };
  for (int row = 0; row < fixedRows_; ++row) paintRow(row);
  for (int row = topRow_; row <= lastRow; ++row) paintRow(row);
}

void TCustomGrid::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  int col = 0;
  int row = 0;
  if (event->button() != Qt::LeftButton || !MouseToCell(event->position().toPoint(), col, row)) return;
  if (col >= fixedCols_ && row >= fixedRows_) MoveColRow(col, row, true, true);
  Click();
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) DblClick();
}

void TCustomGrid::keyPressEvent(QKeyEvent* event) {
  int col = col_;
  int row = row_;
  switch (event->key()) {
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_PageUp: row -= VisibleRowCount(); break;
    case Qt::Key_PageDown: row += VisibleRowCount(); break;
    case Qt::Key_Home: row = fixedRows_; break;
    case Qt::Key_End: row = rowCount_ - 1; break;
    default: QWidget::keyPressEvent(event); return;
  }
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  if (col != col_ || row != row_) MoveColRow(col, row, true, true);
}

void TCustomGrid::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 40;
  if (steps != 0) SetTopRow(topRow_ - steps);
}

void TCustomGrid::resizeEvent(QResizeEvent*) {
  UpdateScrollBar();
  topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
  WMSize(ClientRect().width(), ClientRect().height());
}

}  // namespace mirnax
