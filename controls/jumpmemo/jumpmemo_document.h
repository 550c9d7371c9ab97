// The memo's document: the lines, the page-marker lines, the jumps and pictures found by the markup
// scan, and the look-ups and searches over the text. No widgets: widths come from the text metrics
// of the font in use.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/jumpmemo/jumpmemo_marks.h"
#include "controls/jumpmemo/jumpmemo_types.h"
#include "controls/jumpmemo/text_metrics.h"
#include "mirnax/mirnax_export.h"
#include "toolkit/core/classes.h"
#include "util/s_strlst.h"

namespace mirnax {

/// A match of a search: the line and the 1-based position of the match in it.
struct TTextMatch {
  int Line = 0;  ///< The line the match is on.
  int Pos = 0;  ///< The 1-based position of the match in the line.
};

/// The memo's text without a widget: lines, page markers, the jumps and pictures of the markup scan, and the
/// searches.
class MIRNAX_EXPORT TJumpDocument {
 public:
  /// Text lines per page; each page is opened by one marker line, so a page holds 51 lines.
  static constexpr int PageTextLines = 50;
  static constexpr int PageLines = PageTextLines + 1;  ///< Lines per page, the marker line included.

  /// The lists in the order they are made; CreateLists() names the first one that could not be.
  enum TListKind { lkLines, lkSelWords, lkJumpWords, lkJumps, lkPicts, lkNone };
  /// Creates the five lists; lkNone when all were made, else the first that could not be.
  TListKind CreateLists();
  /// Whether all five lists exist.
  bool Ready() const { return lines_ && selWords_ && jumpWords_ && jumps_ && picts_; }

  TS_StringList& Lines();  ///< The lines.
  const TS_StringList& Lines() const;  ///< The lines, to read.
  int Count() const { return lines_ ? lines_->Count() : 0; }  ///< The number of lines.
  std::string_view Line(int i) const { return lines_->View(i); }  ///< Line i, which must exist.
  /// Line i, or an empty line where there is none.
  std::string_view LineOrEmpty(int i) const { return i >= 0 && i < Count() ? Line(i) : std::string_view(); }
  /// The length of line i, 0 for a line that does not exist.
  int32_t LineLength(int i) const;

  TStringList& SelWords() { return *selWords_; }  ///< The words to highlight.
  const TStringList& SelWords() const;  ///< The words to highlight, to read.
  const TStringList& JumpWords() const;  ///< Every distinct jump word, sorted, letter case ignored.
  const std::vector<TJump>& Jumps() const;  ///< The jumps, in line order.
  const std::vector<TPict>& Picts() const;  ///< The picture references, in line order.

  /// The longest line in characters, recounted only after Invalidate().
  int32_t MaxLineLength();
  bool MaxLenValid() const { return maxLenValid_; }  ///< Whether MaxLineLength's count is up to date.
  void Invalidate() { maxLenValid_ = false; }  ///< Marks the longest line's count stale.

  /// Empties the text, the scan's results and the highlighted words.
  void Clear();
  /// Rebuilds the jumps, pictures and jump words; rectangles measured with metrics, rows lineHeight high.
  void ReadJumps(const TTextMetrics& metrics, int32_t lineHeight);
  /// Puts a marker line in front of every 50 text lines (an empty text gets one); all or nothing.
  void InsertPages(const std::string& marker);
  /// Deletes every page-marker line; all or nothing.
  void RemovePages(const std::string& marker);
  /// The page-marker line of page number `page`: "- " marker " " page " -".
  static std::string MarkerLine(const std::string& marker, int page);
  /// Whether the line is a page-marker line exactly as MarkerLine writes it, for some page. Only such
  /// lines are removed, painted blue and left out of a copy: a text line that merely holds the
  /// words ("see - Page 7 of the book") is text.
  static bool IsMarkerLine(std::string_view line, const std::string& marker);

  /// The first line from `from` that holds word (folded, anywhere in the line), else from.
  int GetPos(const std::string& word, int from) const;
  /// The next occurrence of text that the bounded word search accepts, from column col of line
  /// `line`, going down (forward) or up the lines; each line is searched left to right, the first
  /// one from col, the others from 0.
  std::optional<TTextMatch> Search(const std::string& text, int line, int col, bool forward) const;
  /// The first line from `from` whose first occurrence of word stands as a word (a trailing "*"
  /// drops the test after it); backwards line 0 is never looked at.
  std::optional<TTextMatch> FindWord(const std::string& word, int from, bool forward) const;

  /// The text between two places as the clipboard gets it: the pieces of each line with "~" and "^"
  /// as spaces, the pieces of page-marker lines left out, several lines each opened by CR LF. count is the
  /// number of bytes the copy takes with its terminating zero.
  std::string Excerpt(const TPositionInfo& first, const TPositionInfo& last, const std::string& marker,
                      int32_t& count) const;

 private:
  std::unique_ptr<TS_StringList> lines_;
  std::unique_ptr<TStringList> selWords_;
  std::unique_ptr<TStringList> jumpWords_;
  std::unique_ptr<std::vector<TJump>> jumps_;
  std::unique_ptr<std::vector<TPict>> picts_;
  int32_t maxLineLength_ = 0;
  bool maxLenValid_ = false;
};

/// The piece of a line that a selection from column first to column last covers (characters
/// first + 1 .. last), with every "~" and "^" turned into a space.
MIRNAX_EXPORT std::string SelectionPiece(std::string_view line, int64_t first, int64_t last);

}  // namespace mirnax
