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
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TLongPoint&) const = default;
};

/// A place in the text: Line indexes Lines, Row is Line minus the first visible line, Col counts
/// the characters left of the place, Len is the line's length when the record was set.
struct TPositionInfo {
  int32_t Line = 0;
  int32_t Row = 0;
  int32_t Col = 0;
  int32_t Len = 0;
  bool operator==(const TPositionInfo&) const = default;
};

/// A rectangle in pixels, bounds inclusive, wide enough for far-scrolled positions.
struct TMemoRect {
  int64_t Left = 0;
  int64_t Top = 0;
  int64_t Right = 0;
  int64_t Bottom = 0;
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
