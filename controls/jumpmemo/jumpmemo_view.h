// The memo's scroll model as a value: the character grid of the client area, the first visible
// column and line, and how far they may go. It knows nothing of the caret or of the window.
#pragma once

#include <QPoint>
#include <QSize>
#include <cstdint>

#include "controls/jumpmemo/jumpmemo_types.h"

namespace mirnax {

// Scroll-bar commands and the two bars.
enum TScrollCode { sbLineUp = 0, sbLineDown = 1, sbPageUp = 2, sbPageDown = 3, sbThumbPosition = 4,
                   sbThumbTrack = 5, sbTop = 6, sbBottom = 7 };
enum TScrollBarKind { sbHorz = 0, sbVert = 1 };

class TMemoView {
 public:
  // X: the font's average character width, Y: the line height, in pixels.
  QPoint CharSize;
  // X: the first visible column, Y: the first visible line.
  TLongPoint ScrollPos;
  // The largest ScrollPos allowed.
  TLongPoint Range;
  int32_t VisibleCols = 0;
  int32_t VisibleRows = 0;
  int32_t LinesPerPage = 0;
  // The word look-up's horizontal pixel offset; it follows sideways scrolling.
  int32_t PixelOffset = 0;
  // The client area's size in pixels.
  QSize Client;

  // The grid of a client area of that size over a text of `lines` lines, the longest `longest`
  // characters long.
  void SetGrid(QSize client, int32_t longest, int lines);
  // Moves to column X and line Y within the range; false when that is where the view already is.
  bool Scroll(int X, int Y);
  // Where a scroll-bar command on bar 0 (horizontal) or 1 (vertical) takes the view: 0/1 a line
  // back/on, 2/3 a page back/on (half the visible columns across), 4/5 to Pos, 6 to the start, 7 to
  // the end; others, and other bars, leave it.
  TLongPoint Target(int Bar, int Code, int Pos) const;
};

}  // namespace mirnax
