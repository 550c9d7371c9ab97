// Colours as the system stores them: red + green * 256 + blue * 65536 (0x00BBGGRR).
#pragma once

#include <QColor>
#include <cstdint>

namespace mirnax {

using TColor = uint32_t;  ///< A colour: red + green * 256 + blue * 65536 (0x00BBGGRR).

/// The QColor of a colour; the top byte is ignored.
inline QColor ColorToQColor(TColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

/// The colour of a QColor, as plain RGB; alpha is dropped.
inline TColor QColorToColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<TColor>(rgb.red()) | static_cast<TColor>(rgb.green()) << 8 |
         static_cast<TColor>(rgb.blue()) << 16;
}

}  // namespace mirnax
