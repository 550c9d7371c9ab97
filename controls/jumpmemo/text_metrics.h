// Text widths of Windows-1251 text in one font on one paint device. A width is the sum of the
// characters' advances, kept in 1/64 pixel and rounded once at the end, which is what Qt's own
// measuring gives for text without kerning; per-byte advances make measuring any prefix of a long
// line a table walk instead of a shaping call.
#pragma once

#include <QFont>
#include <array>
#include <cstdint>
#include <string_view>

#include "mirnax/mirnax_export.h"

class QPaintDevice;

namespace mirnax {

/// The font with its glyph advances in whole pixels (full hinting). A fixed-pitch font then puts
/// every character exactly its average width right of the one before, so that column c of a line
/// starts c character cells from the line's origin; unhinted advances are fractional (7.8 pixels
/// for Courier New 10) and drift off the column grid by a cell every few dozen characters.
MIRNAX_EXPORT QFont OnPixelGrid(QFont font);

/// The advances of the 256 bytes of a fixed-pitch font and its heights, for measuring Windows-1251 text.
class MIRNAX_EXPORT TTextMetrics {
 public:
  /// Measures every byte's advance in font on device (or the screen when device is null).
  void SetFont(const QFont& font, const QPaintDevice* device);

  /// Width in pixels, limited to the 32-bit range.
  int32_t Width(std::string_view s) const { return Round(Width64(s)); }
  /// Width in 1/64 pixel.
  int64_t Width64(std::string_view s) const {
    int64_t sum = 0;
    for (const char c : s) sum += advance64_[static_cast<unsigned char>(c)];
    return sum;
  }
  /// The advance of byte c in 1/64 pixel.
  int64_t Advance64(unsigned char c) const { return advance64_[c]; }
  /// Whole pixels of a width in 1/64 pixel, rounded half up and limited to the 32-bit range.
  static int32_t Round(int64_t width64) {
    const int64_t px = (width64 + 32) >> 6;
    return px > INT32_MAX ? INT32_MAX : static_cast<int32_t>(px);
  }

  int32_t Height() const { return height_; }  ///< The line height in pixels.
  /// The font's average character width in pixels.
  int32_t AverageCharWidth() const { return averageCharWidth_; }
  int32_t Ascent() const { return ascent_; }  ///< Pixels from the top of a line to its base line.

 private:
  std::array<int64_t, 256> advance64_{};
  int32_t height_ = 0;
  int32_t averageCharWidth_ = 0;
  int32_t ascent_ = 0;
};

}  // namespace mirnax
