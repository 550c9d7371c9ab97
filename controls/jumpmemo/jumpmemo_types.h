// The small value types every layer of the memo shares: a point of two 32-bit integers, a place in
// the text and a rectangle.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace mirnax {

/// Two signed 32-bit integers, X then Y.
struct TLongPoint {
  int32_t X = 0;  ///< Horizontal.
  int32_t Y = 0;  ///< Vertical.
  bool operator==(const TLongPoint&) const = default;  ///< Both coordinates equal.
};

/// A place in the text: Line indexes Lines, Row is Line minus the first visible line, Col counts
/// the characters left of the place, Len is the line's length when the record was set.
struct TPositionInfo {
  int32_t Line = 0;  ///< Index into the lines.
  int32_t Row = 0;  ///< Line minus the first visible line.
  int32_t Col = 0;  ///< Characters left of the place.
  int32_t Len = 0;  ///< The line's length when the record was set.
  bool operator==(const TPositionInfo&) const = default;  ///< All four fields equal.
};

/// A rectangle in pixels, bounds inclusive, wide enough for far-scrolled positions.
struct TMemoRect {
  int64_t Left = 0;  ///< Left edge.
  int64_t Top = 0;  ///< Top edge.
  int64_t Right = 0;  ///< Right edge, inclusive.
  int64_t Bottom = 0;  ///< Bottom edge, inclusive.
  /// Whether the point (x, y) lies inside, bounds included.
  bool Holds(int64_t x, int64_t y) const { return Left <= x && x <= Right && Top <= y && y <= Bottom; }
};

/// Limits a wide value to the int range (the 32 bits of every position and width).
inline int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

/// Whether two places differ in line or column: a selection between them is not empty.
inline bool Differ(const TPositionInfo& a, const TPositionInfo& b) { return a.Line != b.Line || a.Col != b.Col; }

/// Orders two places: the smaller line first, on one line the smaller column first.
inline void OrderPlaces(TPositionInfo& a, TPositionInfo& b) {
  if (b.Line < a.Line || (b.Line == a.Line && b.Col < a.Col)) std::swap(a, b);
}

}  // namespace mirnax
