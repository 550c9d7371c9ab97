#include "controls/jumpmemo/jumpmemo_layout.h"

#include <algorithm>

namespace mirnax {

int64_t TMemoLayout::XOfCol(std::string_view line, int64_t col) const {
  col = std::clamp<int64_t>(col, 0, static_cast<int64_t>(line.size()));
  return OriginX() + metrics_.Width(line.substr(0, static_cast<size_t>(col)));
}

int32_t TMemoLayout::ColAt(std::string_view line, int x) const {
  const int64_t origin = OriginX();
  if (origin + metrics_.Width(line) < x) return static_cast<int32_t>(std::min<size_t>(line.size(), INT32_MAX));
  int64_t width64 = 0;
  for (size_t k = 1; k <= line.size(); ++k) {
    width64 += metrics_.Advance64(static_cast<unsigned char>(line[k - 1]));
    if (origin + TTextMetrics::Round(width64) >= x) return static_cast<int32_t>(std::min<size_t>(k - 1, INT32_MAX));
  }
  return static_cast<int32_t>(std::min<size_t>(line.size(), INT32_MAX));
}

QPoint TMemoLayout::CaretAt(std::string_view line, int64_t lineIndex, int64_t col) const {
  return QPoint(ClampToInt(XOfCol(line, col)), ClampToInt(RowTop(lineIndex) + CaretDrop));
}

TMemoRect TMemoLayout::OnClient(const TMemoRect& document, const TLongPoint& scrollPos, const QPoint& charSize) {
  const int64_t dx = OriginX(scrollPos, charSize);
  const int64_t dy = int64_t{scrollPos.Y} * charSize.y();
  return TMemoRect{document.Left + dx, document.Top - dy, document.Right + dx, document.Bottom - dy};
}

size_t TMemoLayout::CharUnder(std::string_view line, int x) const {
  int64_t before64 = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const int64_t advance64 = metrics_.Advance64(static_cast<unsigned char>(line[i]));
    const int64_t w = int64_t{TTextMetrics::Round(before64)} + pixelOffset_;
    const int64_t c = TTextMetrics::Round(advance64);
    if (w - c < x && x < w + c) return i + 1;
    before64 += advance64;
  }
  return 0;
}

}  // namespace mirnax
