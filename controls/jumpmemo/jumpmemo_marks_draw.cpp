// How a jump and a picture look: drawn over their already painted line by the painter.
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "controls/jumpmemo/jumpmemo_layout.h"
#include "controls/jumpmemo/jumpmemo_marks.h"
#include "toolkit/widgets/cp1251.h"

namespace mirnax {

void TJump::DrawMe(QPainter& Canvas, const TLongPoint& ScrollPos, const QPoint& CharSize, TColor Background,
                   TColor Color) const {
  const TMemoRect r = TMemoLayout::OnClient(Rect(), ScrollPos, CharSize);
  const QFontMetrics metrics = Canvas.fontMetrics();
  const int tilde = metrics.horizontalAdvance(QChar(u'~'));
  const QFont plain = Canvas.font();
  const QPen pen = Canvas.pen();
  // The cells are cleared first: text drawn over text leaves the first glyph's smoothed edges.
  const int left = ClampToInt(r.Left);
  const int top = ClampToInt(r.Top);
  Canvas.fillRect(QRect(left - tilde, top, tilde + ClampToInt(r.Right - r.Left), CharSize.y()),
                  ColorToQColor(Background));
  QFont underlined = plain;
  underlined.setUnderline(true);
  Canvas.setFont(underlined);
  Canvas.setPen(ColorToQColor(Color));
  Canvas.drawText(QPoint(left, top + metrics.ascent()), Cp1251ToDisplay(Text));
  Canvas.setFont(plain);
  Canvas.setPen(pen);
}

void TPict::DrawMe(QPainter& Canvas, const TLongPoint& ScrollPos, const QPoint& CharSize, TColor Background,
                   TColor Color) const {
  const TMemoRect r = TMemoLayout::OnClient(Rect(), ScrollPos, CharSize);
  const QFontMetrics metrics = Canvas.fontMetrics();
  const int caret = metrics.horizontalAdvance(QChar(u'^'));
  std::string shown = Text;
  std::replace(shown.begin(), shown.end(), '_', '.');
  const QPen pen = Canvas.pen();
  const int left = ClampToInt(r.Left);
  const int top = ClampToInt(r.Top);
  Canvas.fillRect(QRect(left - caret, top, caret, CharSize.y()), ColorToQColor(Background));
  Canvas.setPen(QPen(pen.color(), 1, Qt::DotLine));
  Canvas.setBrush(ColorToQColor(Background));
  Canvas.drawRect(QRect(QPoint(left - 1, top), QPoint(ClampToInt(r.Right) + 1, ClampToInt(r.Bottom))));
  Canvas.setBrush(Qt::NoBrush);
  Canvas.setPen(ColorToQColor(Color));
  Canvas.drawText(QPoint(left, top - 1 + metrics.ascent()), Cp1251ToDisplay(shown));
  Canvas.setPen(pen);
}

}  // namespace mirnax
