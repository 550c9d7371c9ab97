#include "controls/jumpmemo/jumpmemo_view.h"

#include <algorithm>

namespace mirnax {

void TMemoView::SetGrid(QSize client, int32_t longest, int lines) {
  Client = client;
  VisibleCols = client.width() / std::max(1, CharSize.x());
  VisibleRows = client.height() / std::max(1, CharSize.y());
  LinesPerPage = VisibleRows;
  Range.X = std::max(0, ClampToInt(int64_t{longest} - VisibleCols + 1));
  Range.Y = std::max(0, lines - VisibleRows);
}

bool TMemoView::Scroll(int X, int Y) {
  const int x = std::clamp(X, 0, std::max(0, Range.X));
  const int y = std::clamp(Y, 0, std::max(0, Range.Y));
  if (x == ScrollPos.X && y == ScrollPos.Y) return false;
  const int dx = ScrollPos.X - x;
  ScrollPos = TLongPoint{x, y};
  PixelOffset = ClampToInt(int64_t{PixelOffset} + int64_t{dx} * (CharSize.x() - 1));
  return true;
}

TLongPoint TMemoView::Target(int Bar, int Code, int Pos) const {
  if (Bar != sbHorz && Bar != sbVert) return ScrollPos;
  const bool horizontal = Bar == sbHorz;
  const int current = horizontal ? ScrollPos.X : ScrollPos.Y;
  const int page = horizontal ? VisibleCols / 2 : VisibleRows;
  const int end = horizontal ? Range.X : Range.Y;
  int64_t next = current;
  switch (Code) {
    case sbLineUp: next = int64_t{current} - 1; break;
    case sbLineDown: next = int64_t{current} + 1; break;
    case sbPageUp: next = int64_t{current} - page; break;
    case sbPageDown: next = int64_t{current} + page; break;
    case sbThumbPosition:
    case sbThumbTrack: next = Pos; break;
    case sbTop: next = 0; break;
    case sbBottom: next = end; break;
    default: break;
  }
  return horizontal ? TLongPoint{ClampToInt(next), ScrollPos.Y} : TLongPoint{ScrollPos.X, ClampToInt(next)};
}

}  // namespace mirnax
