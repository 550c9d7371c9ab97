#include "controls/jumpmemo/jumpmemo_marks.h"

#include "controls/jumpmemo/jumpmemo_layout.h"

namespace mirnax {

TMarkedWord::TMarkedWord(std::string text, int32_t line, int32_t left, int32_t top, int32_t width, int32_t height)
    : Line(line),
      Text(std::move(text)),
      Left(left),
      Top(top),
      Right(ClampToInt(int64_t{left} + width)),
      Bottom(ClampToInt(int64_t{top} + height)) {}

bool TMarkedWord::OnMe(int X, int Y, const TLongPoint& ScrollPos, const QPoint& CharSize) const {
  return TMemoLayout::OnClient(Rect(), ScrollPos, CharSize).Holds(X, Y);
}

}  // namespace mirnax
