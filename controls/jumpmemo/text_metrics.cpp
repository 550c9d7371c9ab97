#include "controls/jumpmemo/text_metrics.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>
#include <cmath>

#include "toolkit/widgets/cp1251.h"

namespace mirnax {

QFont OnPixelGrid(QFont font) {
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

void TTextMetrics::SetFont(const QFont& font, const QPaintDevice* device) {
  const QFontMetricsF fmf = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
  const QFontMetrics fm = device ? QFontMetrics(font, device) : QFontMetrics(font);
  for (int c = 0; c < 256; ++c) {
    const qreal advance = fmf.horizontalAdvance(QString(Cp1251DisplayChar(static_cast<unsigned char>(c))));
    advance64_[static_cast<size_t>(c)] = advance > 0 ? std::llround(advance * 64) : 0;
  }
  height_ = fm.height();
  averageCharWidth_ = fm.averageCharWidth();
  ascent_ = fm.ascent();
}

}  // namespace mirnax
