#include "controls/jumpmemo/jumpmemo_painter.h"

#include <QPainter>
#include <algorithm>

#include "controls/jumpmemo/text_primitives.h"
#include "toolkit/widgets/cp1251.h"

namespace mirnax {

namespace {

// The visible part of a line: the columns from `first` on that fit into the view, drawn where they
// stand, so a very long line costs the view's width and not its own.
void DrawColumns(QPainter& canvas, const TMemoLayout& layout, std::string_view line, int64_t first, int64_t top,
                 int ascent, int visibleCols) {
  first = std::clamp<int64_t>(first, 0, static_cast<int64_t>(line.size()));
  const size_t count = std::min<size_t>(line.size() - static_cast<size_t>(first), static_cast<size_t>(visibleCols) + 2);
  if (count == 0) return;
  canvas.drawText(QPoint(ClampToInt(layout.XOfCol(line, first)), ClampToInt(top + ascent)),
                  Cp1251ToDisplay(line.substr(static_cast<size_t>(first), count)));
}

}  // namespace

void TMemoPainter::Paint(QPainter& canvas, const QFont& font, bool caretShown) const {
  if (doc_.Ready() && doc_.Count() > 0) {
    PaintText(canvas, font);
    if ((control_.Selected() || control_.Selecting()) && Differ(control_.SelStart(), control_.SelEnd()))
      PaintSelection(canvas);
  }
  if (caretShown) {
    canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    canvas.fillRect(QRect(control_.CaretPos(), QSize(TMemoLayout::CaretWidth, control_.View().CharSize.y())),
                    Qt::white);
  }
}

void TMemoPainter::PaintText(QPainter& canvas, const QFont& font) const {
  const TMemoView& view = control_.View();
  const TMemoLayout layout = control_.Layout();
  canvas.setFont(font);
  const int ascent = metrics_.Ascent();
  const int count = doc_.Count();
  for (int row = 0; row <= view.LinesPerPage; ++row) {
    const int64_t i = int64_t{view.ScrollPos.Y} + row;
    if (i >= count) break;
    const std::string_view line = doc_.Line(static_cast<int>(i));
    const bool marker = TJumpDocument::IsMarkerLine(line, look_.Pagemarker);
    canvas.setPen(ColorToQColor(marker ? MarkerColor : look_.TextColor));
    DrawColumns(canvas, layout, line, view.ScrollPos.X, layout.RowTop(i), ascent, view.VisibleCols);
    PaintHighlights(canvas, line, layout.RowTop(i));
  }
  // Jumps and pictures are drawn over their lines, in the band of the visible rows.
  const int64_t first = view.ScrollPos.Y;
  const int64_t last = first + view.LinesPerPage;
  const auto [jumpFrom, jumpTo] = WordsOnLines(doc_.Jumps(), first, last);
  for (auto it = jumpFrom; it != jumpTo; ++it)
    it->DrawMe(canvas, view.ScrollPos, view.CharSize, look_.Color, look_.JumpColor);
  const auto [pictFrom, pictTo] = WordsOnLines(doc_.Picts(), first, last);
  for (auto it = pictFrom; it != pictTo; ++it) it->DrawMe(canvas, view.ScrollPos, view.CharSize, look_.Color, MarkerColor);
}

void TMemoPainter::PaintHighlights(QPainter& canvas, std::string_view line, int64_t top) const {
  const TStringList& words = doc_.SelWords();
  if (words.Count() == 0) return;
  const TMemoLayout layout = control_.Layout();
  const std::string folded = FoldText(line);
  canvas.setPen(ColorToQColor(look_.SelectColor));
  for (int w = 0; w < words.Count(); ++w) {
    std::string word = words.Get(w);
    if (word.empty()) continue;
    const bool prefix = word.back() == '*';
    if (prefix) word.pop_back();
    if (word.empty()) continue;
    const std::string needle = FoldText(word);
    int offset = 0;
    for (;;) {
      const int p = FindWordFrom(needle, folded, offset, !prefix);
      if (p <= offset) break;
      const std::string_view match = line.substr(static_cast<size_t>(p - 1), needle.size());
      canvas.drawText(QPoint(ClampToInt(layout.XOfCol(line, p - 1)), ClampToInt(top + metrics_.Ascent())),
                      Cp1251ToDisplay(match));
      offset = p + static_cast<int>(needle.size());
    }
  }
  canvas.setPen(ColorToQColor(look_.TextColor));
}

void TMemoPainter::PaintSelection(QPainter& canvas) const {
  TPositionInfo first = control_.SelStart();
  TPositionInfo last = control_.SelEnd();
  OrderPlaces(first, last);
  const TMemoView& view = control_.View();
  const TMemoLayout layout = control_.Layout();
  const int ascent = metrics_.Ascent();
  const auto piece = [&](int line, int64_t from, int64_t to) {
    if (line < 0 || line >= doc_.Count()) return;
    const int64_t row = int64_t{line} - view.ScrollPos.Y;
    if (row < 0 || row > view.LinesPerPage) return;
    const std::string_view text = doc_.Line(line);
    const std::string shown = SelectionPiece(text, from, to);
    if (shown.empty()) return;
    const int64_t x = layout.XOfCol(text, from);
    const int64_t top = layout.RowTop(line);
    const bool marker = TJumpDocument::IsMarkerLine(text, look_.Pagemarker);
    const QRect cell(ClampToInt(x), ClampToInt(top), metrics_.Width(shown), view.CharSize.y());
    canvas.fillRect(cell, marker ? ColorToQColor(look_.Color) : look_.Highlight);
    canvas.setPen(marker ? ColorToQColor(MarkerColor) : look_.HighlightText);
    canvas.drawText(QPoint(cell.left(), ClampToInt(top + ascent)), Cp1251ToDisplay(shown));
  };
  if (first.Line == last.Line) {
    piece(first.Line, first.Col, last.Col);
  } else {
    piece(first.Line, first.Col, INT64_MAX);
    const int from = std::max(first.Line + 1, view.ScrollPos.Y);
    const int to = std::min<int64_t>(last.Line - 1, int64_t{view.ScrollPos.Y} + view.LinesPerPage);
    for (int line = from; line <= to; ++line) piece(line, 0, INT64_MAX);
    piece(last.Line, 0, last.Col);
  }
}

}  // namespace mirnax
