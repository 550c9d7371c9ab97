// The marked words of the text: a jump (the word behind a "~") and a picture reference (the name
// behind a "^"), each with its rectangle in document coordinates. Painting one is DrawMe's, whose
// body lives beside the painter.
#pragma once

#include <QPoint>
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "controls/jumpmemo/jumpmemo_types.h"
#include "mirnax/mirnax_export.h"
#include "toolkit/core/classes.h"
#include "toolkit/widgets/graphics.h"

class QPainter;

namespace mirnax {

/// A marked word and its rectangle in document coordinates (no scrolling applied): Left is the
/// width of the line up to and including the marker, Top the line's index times the line height.
class MIRNAX_EXPORT TMarkedWord : public TObject {
 public:
  /// A word of line `line` with its rectangle: left and top, width and height in pixels.
  TMarkedWord(std::string text, int32_t line, int32_t left, int32_t top, int32_t width, int32_t height);

  /// True when the client point (X, Y) lies on the word as it is shown at scroll position
  /// ScrollPos with character cells of CharSize; all four bounds are inclusive.
  bool OnMe(int X, int Y, const TLongPoint& ScrollPos, const QPoint& CharSize) const;
  /// The rectangle in document coordinates.
  TMemoRect Rect() const { return TMemoRect{Left, Top, Right, Bottom}; }

  int32_t Line;  ///< The line the word stands on.
  std::string Text;  ///< The word, without its marker.
  int32_t Left;  ///< Left edge, document pixels.
  int32_t Top;  ///< Top edge, document pixels.
  int32_t Right;  ///< Right edge, inclusive.
  int32_t Bottom;  ///< Bottom edge, inclusive.
};

/// A jump: the word behind a "~".
class MIRNAX_EXPORT TJump final : public TMarkedWord {
 public:
  using TMarkedWord::TMarkedWord;  ///< The word and its rectangle, as a marked word takes them.
  /// Draws the word over its already drawn line: underlined in Color, its "~" hidden in Background.
  void DrawMe(QPainter& Canvas, const TLongPoint& ScrollPos, const QPoint& CharSize, TColor Background,
              TColor Color) const;
};

/// A picture reference: the name behind a "^" (word characters, "." and "_").
class MIRNAX_EXPORT TPict final : public TMarkedWord {
 public:
  using TMarkedWord::TMarkedWord;  ///< The name and its rectangle, as a marked word takes them.
  /// Draws the name over its already drawn line in a dotted frame, "_" shown as "." and the "^"
  /// hidden in Background.
  void DrawMe(QPainter& Canvas, const TLongPoint& ScrollPos, const QPoint& CharSize, TColor Background,
              TColor Color) const;
};

/// The jumps or pictures on lines first .. last (both included), as a range of the list, which the
/// scan leaves in line order.
template <typename Word>
std::pair<typename std::vector<Word>::const_iterator, typename std::vector<Word>::const_iterator> WordsOnLines(
    const std::vector<Word>& words, int64_t first, int64_t last) {
  const auto from = std::lower_bound(words.begin(), words.end(), first,
                                     [](const Word& w, int64_t line) { return w.Line < line; });
  const auto to = std::upper_bound(from, words.end(), last, [](int64_t line, const Word& w) { return line < w.Line; });
  return {from, to};
}

}  // namespace mirnax
