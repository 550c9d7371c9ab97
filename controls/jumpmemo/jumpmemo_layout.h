// Where the memo's text stands on the control, as pure geometry: every line is drawn at
// x = LeftMargin - ScrollPos.X * CharSize.X and y = (line - ScrollPos.Y) * CharSize.Y, and a column
// starts the width of the characters left of it right of that. Painting, the caret, the mouse and
// the keys all place and find text through this one object.
#pragma once

#include <QPoint>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "controls/jumpmemo/jumpmemo_types.h"
#include "controls/jumpmemo/text_metrics.h"

namespace mirnax {

class TMemoLayout {
 public:
  // Pixels between the control's left edge and column 0 of an unscrolled line.
  static constexpr int LeftMargin = 4;
  // The caret stands this far below its row's top, this wide and a line high.
  static constexpr int CaretDrop = 1;
  static constexpr int CaretWidth = 2;

  TMemoLayout(const TTextMetrics& metrics, QPoint charSize, TLongPoint scrollPos, int32_t pixelOffset = 0)
      : metrics_(metrics), charSize_(charSize), scrollPos_(scrollPos), pixelOffset_(pixelOffset) {}

  static int64_t OriginX(const TLongPoint& scrollPos, const QPoint& charSize) {
    return LeftMargin - int64_t{scrollPos.X} * charSize.x();
  }
  // The x of column 0 of every line.
  int64_t OriginX() const { return OriginX(scrollPos_, charSize_); }
  // The y of the top of a line's row (negative above the view).
  int64_t RowTop(int64_t line) const { return (line - scrollPos_.Y) * charSize_.y(); }
  // The row that holds client y (rows count from the first visible line).
  int32_t RowOf(int y) const { return y / std::max(1, charSize_.y()); }
  // The x where column col of the line starts.
  int64_t XOfCol(std::string_view line, int64_t col) const;
  // The column a click at x puts the caret in: the line's length right of the line, else the
  // column of the first character whose right edge reaches x.
  int32_t ColAt(std::string_view line, int x) const;
  // Where the caret stands in front of column col of line `lineIndex`.
  QPoint CaretAt(std::string_view line, int64_t lineIndex, int64_t col) const;

  // A rectangle in document coordinates (no scrolling applied) as it stands on the client at that
  // scroll position.
  static TMemoRect OnClient(const TMemoRect& document, const TLongPoint& scrollPos, const QPoint& charSize);

  // The word look-up's own measure of the character under x (1-based, 0 for none): character k is
  // under x when it lies within its own width either side of where the line's first k - 1
  // characters end, counted from PixelOffset rather than from the line's origin.
  size_t CharUnder(std::string_view line, int x) const;

 private:
  const TTextMetrics& metrics_;
  QPoint charSize_;
  TLongPoint scrollPos_;
  int32_t pixelOffset_;
};

}  // namespace mirnax
