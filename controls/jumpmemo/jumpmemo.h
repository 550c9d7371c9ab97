// TJumpMemo: a read-only, line-oriented viewer of Windows-1251 text in a fixed-pitch font. A word
// written behind "~" is a jump (a link), a name written behind "^" a picture reference; optional
// page-marker lines open every block of 50 text lines.
//
// The class is split by concern over several sources: jumpmemo_text.cpp holds the text model and
// the markup (construction, loading, scanning, page markers, look-ups); jumpmemo_view.cpp the
// grid metrics, scrolling state, caret placement and painting.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/jumpmemo/text_metrics.h"
#include "toolkit/classes.h"
#include "toolkit/graphics.h"
#include "util/s_strlst.h"

// A colour as 0x00BBGGRR: red + green * 256 + blue * 65536.

struct TLongPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TLongPoint&) const = default;
};

// A place in the text: Line indexes Lines, Row is Line minus the first visible line, Col counts
// the characters left of the place, Len is the line's length when the record was set.
struct TPositionInfo {
  int32_t Line = 0;
  int32_t Row = 0;
  int32_t Col = 0;
  int32_t Len = 0;
  bool operator==(const TPositionInfo&) const = default;
};

// A marked word and its rectangle in document coordinates (no scrolling applied): Left is the
// width of the line up to and including the marker, Top the line's index times the line height.
class TMarkedWord : public TObject {
 public:
  TMarkedWord(std::string text, int32_t line, int32_t left, int32_t top, int32_t width, int32_t height);

  // True when the client point (X, Y) lies on the word as it is shown at scroll position
  // ScrollPos with character cells of CharSize; all four bounds are inclusive.
  bool OnMe(int X, int Y, const TLongPoint& ScrollPos, const QPoint& CharSize) const;

  int32_t Line;
  std::string Text;
  int32_t Left;
  int32_t Top;
  int32_t Right;
  int32_t Bottom;
};

// A jump: the word behind a "~".
class TJump final : public TMarkedWord {
 public:
  using TMarkedWord::TMarkedWord;
};

// A picture reference: the name behind a "^" (word characters, "." and "_").
class TPict final : public TMarkedWord {
 public:
  using TMarkedWord::TMarkedWord;
};

using TJumpClick = std::function<void(QObject* Sender, std::string JumpString)>;
using TPictClick = std::function<void(QObject* Sender, std::string PictString)>;
using TCopyToClipboard = std::function<void(QObject* Sender, int32_t Count)>;

class TJumpMemo : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool Border READ Border WRITE SetBorder)
  Q_PROPERTY(QFont Font READ font WRITE SetFont)
  Q_PROPERTY(uint Color READ Color WRITE SetColor)
  Q_PROPERTY(uint SelectColor READ SelectColor WRITE SetSelColor)
  Q_PROPERTY(uint JumpColor READ JumpColor WRITE SetJumpColor)
  Q_PROPERTY(uint TextColor READ TextColor WRITE SetTextColor)
  Q_PROPERTY(int JumpPointLength READ JumpPointLength WRITE SetJumpPointLength)
  Q_PROPERTY(bool UseJumpPointLength READ UseJumpPointLength WRITE SetUseJumpPointLength)
  Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)
  Q_PROPERTY(std::string Pagemarker READ Pagemarker WRITE SetPageMarker)
  Q_PROPERTY(TScrollStyle ScrollBars READ ScrollBars WRITE ChangeScrollBars)
  Q_PROPERTY(bool ShowPages READ ShowPages WRITE SetShowPages)
  Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

 public:
  enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
  Q_ENUM(TScrollStyle)

  using TNotifyEvent = std::function<void(QObject* Sender)>;
  using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
  using TMouseEvent =
      std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;

  // Left text margin in pixels: every line starts at LeftMargin - ScrollPos.X * CharSize.X.
  static constexpr int LeftMargin = 4;
  // Text lines per page; each page is opened by one marker line, so a page holds 51 lines.
  static constexpr int PageTextLines = 50;
  static constexpr TColor MarkerColor = 0xFF0000;  // blue: page-marker lines and picture names

  explicit TJumpMemo(QWidget* parent = nullptr);
  ~TJumpMemo() override;

  // ---- the text ----
  // The lines themselves. Changing them directly loads lines only: no scan, no page markers, no
  // repaint (the application's world-file loader works so). Raises EOutOfMemory when the list
  // could not be created.
  TS_StringList& Lines();
  const TS_StringList& Lines() const;

  // Replaces the text by the file's lines, then page markers (when shown), caret to the start,
  // markup scan and repaint. A file that cannot be read is reported in a box; what was read stays.
  void LoadFromFile(const std::string& fileName);
  // Appends a line, then page markers, scan and repaint as LoadFromFile.
  void Add(const std::string& s);
  // Empties the text, the jumps, the pictures and SelWords.
  void Clear();

  // Rebuilds Jumps, Picts and JumpWords from Lines.
  void ReadJumps();
  // Inserts the marker line of page k + 1 at index k * 51, for k = 0 .. line count div 50.
  void InsertPages();
  // Deletes every line that holds "- " + Pagemarker + " ".
  void RemovePages();

  // The word (separated by space and ".,:;-()_#[]{}") under the client point, or " ".
  std::string GetWord(int X, int Y);
  // The first line from `from` that holds word (folded, anywhere in the line), else from.
  int GetPos(const std::string& word, int from) const;
  // The first visible line.
  int GetCurPos() const { return scrollPos_.Y; }

  // Width in pixels of s in the control's font, on the off-screen buffer.
  int32_t TextWidth(std::string_view s) const { return metrics_.Width(s); }

  // ---- the scan's results ----
  const std::vector<TJump>& Jumps() const;
  const std::vector<TPict>& Picts() const;
  // Every distinct jump word, sorted, letter case ignored.
  const TStringList& JumpWords() const;

  // ---- published properties ----
  bool Border() const { return border_; }
  void SetBorder(bool value);
  void SetFont(const QFont& font);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  // The words to highlight (a trailing "*" matches a prefix).
  const TStringList& SelWords() const;
  void SetSelWords(const TStrings& words);
  TColor SelectColor() const { return selectColor_; }
  void SetSelColor(TColor value);
  TColor JumpColor() const { return jumpColor_; }
  void SetJumpColor(TColor value);
  // The text colour, which is also the font's colour.
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor value);
  int32_t JumpPointLength() const { return jumpPointLength_; }
  void SetJumpPointLength(int32_t value);
  bool UseJumpPointLength() const { return useJumpPointLength_; }
  void SetUseJumpPointLength(bool value);
  int32_t HelpContext() const { return helpContext_; }
  void SetHelpContext(int32_t value) { helpContext_ = value; }
  const std::string& Pagemarker() const { return pagemarker_; }
  void SetPageMarker(const std::string& value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void ChangeScrollBars(TScrollStyle value);
  bool ShowPages() const { return showPages_; }
  void SetShowPages(bool value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);

  TNotifyEvent OnDeSelect;
  TCopyToClipboard OnCopyToClipboard;
  TJumpClick OnJumpClick;
  // Raised by the key and mouse handlers.
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TMouseEvent OnMouseDown;
  TPictClick OnPictureClick;
  // Raised while a selection is extended.
  TNotifyEvent OnSelect;

  // ---- state ----
  int32_t MaxLineLength() const { return maxLineLength_; }
  bool MaxLenValid() const { return maxLenValid_; }
  const TLongPoint& ScrollPos() const { return scrollPos_; }
  // X: the font's average character width, Y: the line height, in pixels.
  const QPoint& CharSize() const { return charSize_; }
  const TPositionInfo& Caret() const { return caret_; }
  const TPositionInfo& SelStart() const { return selStart_; }
  const TPositionInfo& SelEnd() const { return selEnd_; }
  bool Selecting() const { return selecting_; }
  bool Selected() const { return selected_; }
  bool OverJump() const { return overJump_; }
  bool OverPict() const { return overPict_; }
  const std::string& CurJump() const { return curJump_; }
  const std::string& CurPict() const { return curPict_; }
  int JumpCursor() const { return jumpCursor_; }
  int PictCursor() const { return pictCursor_; }
  int DefaultCursor() const { return defaultCursor_; }
  // The off-screen image painting draws into; it also carries the resolution text is measured at.
  const QImage& Buffer() const { return buffer_; }

  // ---- view ----
  const TLongPoint& Range() const { return range_; }
  int32_t VisibleCols() const { return visibleCols_; }
  int32_t VisibleRows() const { return visibleRows_; }
  int32_t LinesPerPage() const { return linesPerPage_; }
  int32_t PixelOffset() const { return pixelOffset_; }
  // Where the caret stands, in client pixels.
  QPoint CaretPos() const { return caretPos_; }

  // Reads the font's metrics into CharSize, then grid, scan and scroll position follow.
  void FontChanged();
  // Recomputes the longest line (when stale), the visible grid, the scroll range and the buffer.
  void RecalcRange();
  // Makes column X and line Y the first visible ones, within the range.
  void ScrollTo(int X, int Y);
  // Places the caret at Caret and keeps the selection's ends up to date.
  void UpdateCaret(bool Full);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

  // True once every list exists (construction can stop early when memory runs out).
  bool ListsReady() const { return lines_ && selWords_ && jumpWords_ && jumps_ && picts_; }
  // Caret, SelStart and SelEnd to the start of the text; Selecting and Selected cleared.
  void ResetPositions();
  void ResetCursor();
  // The page operations without the markup scan, for callers that scan once afterwards.
  void InsertPagesCore(bool scan);
  void RemovePagesCore(bool scan);
  std::string MarkerPattern() const { return "- " + pagemarker_ + " "; }
  int32_t LineLength(int line) const;

  std::unique_ptr<TS_StringList> lines_;
  std::unique_ptr<TStringList> selWords_;
  std::unique_ptr<TStringList> jumpWords_;
  std::unique_ptr<std::vector<TJump>> jumps_;
  std::unique_ptr<std::vector<TPict>> picts_;
  QImage buffer_;
  TTextMetrics metrics_;

  std::string pagemarker_ = "Page";
  bool showPages_ = false;
  int32_t jumpPointLength_ = 7;
  bool useJumpPointLength_ = false;
  int32_t maxLineLength_ = 0;
  bool maxLenValid_ = false;
  TLongPoint scrollPos_;
  QPoint charSize_;
  TPositionInfo caret_;
  TPositionInfo selStart_;
  TPositionInfo selEnd_;
  bool selecting_ = false;
  bool selected_ = false;
  bool overJump_ = false;
  bool overPict_ = false;
  std::string curJump_;
  std::string curPict_;
  int jumpCursor_ = 0;
  int pictCursor_ = 0;
  int defaultCursor_ = 0;

  bool border_ = true;
  TColor color_ = 0xFFFFFF;
  TColor selectColor_ = 0x0000FF;
  TColor jumpColor_ = 0x008000;
  TColor textColor_ = 0;
  int32_t helpContext_ = 0;
  TScrollStyle scrollBars_ = ssNone;
  bool tabStop_ = false;

  TLongPoint range_;
  int32_t visibleCols_ = 0;
  int32_t visibleRows_ = 0;
  int32_t linesPerPage_ = 0;
  int32_t pixelOffset_ = 0;
  QPoint caretPos_;

 private:
  bool constructed_ = false;  // font changes before the end of construction are not followed
  bool settingFont_ = false;  // SetFont follows its own change once
};

// Qt's colour for a 0x00BBGGRR value.
QColor ToQColor(TColor color);
