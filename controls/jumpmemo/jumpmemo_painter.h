// Painting of the memo's client area from the document and the control's state: the visible lines
// (page-marker lines in blue), the highlighted words, the jumps and pictures over them, the
// selection and the caret. It changes nothing it paints from.
#pragma once

#include <QColor>
#include <string>
#include <string_view>

#include "controls/jumpmemo/jumpmemo_control.h"
#include "controls/jumpmemo/jumpmemo_document.h"
#include "controls/jumpmemo/text_metrics.h"
#include "toolkit/widgets/graphics.h"

class QFont;
class QPainter;

namespace mirnax {

// The colours and the marker word the text is painted with.
struct TMemoLook {
  TColor Color = 0xFFFFFF;
  TColor TextColor = 0;
  TColor SelectColor = 0x0000FF;
  TColor JumpColor = 0x008000;
  QColor Highlight;
  QColor HighlightText;
  std::string Pagemarker = "Page";
};

class TMemoPainter {
 public:
  static constexpr TColor MarkerColor = 0xFF0000;  // blue: page-marker lines and picture names

  TMemoPainter(const TJumpDocument& doc, const TTextMetrics& metrics, const TMemoControl& control,
               const TMemoLook& look)
      : doc_(doc), metrics_(metrics), control_(control), look_(look) {}

  // Paints onto a canvas whose origin is the client area's top-left corner, already filled with
  // the background colour.
  void Paint(QPainter& canvas, const QFont& font, bool caretShown) const;

 private:
  void PaintText(QPainter& canvas, const QFont& font) const;
  void PaintHighlights(QPainter& canvas, std::string_view line, int64_t top) const;
  void PaintSelection(QPainter& canvas) const;

  const TJumpDocument& doc_;
  const TTextMetrics& metrics_;
  const TMemoControl& control_;
  const TMemoLook& look_;
};

}  // namespace mirnax
