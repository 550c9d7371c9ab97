// TJumpMemo: a read-only, line-oriented viewer of Windows-1251 text in a fixed-pitch font. A word
// written behind "~" is a jump (a link), a name written behind "^" a picture reference; optional
// page-marker lines open every block of 50 text lines. The text lives in a TJumpDocument, where it
// stands on the control in a TMemoLayout; the caret, the selection, the keys and the mouse are a
// TMemoControl's, painting a TMemoPainter's. This widget wires them to the window: its scroll bars,
// focus, blinking caret, cursor, events and properties.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/jumpmemo/jumpmemo_document.h"
#include "mirnax/mirnax_export.h"
#include "toolkit/core/classes.h"
#include "toolkit/widgets/graphics.h"
#include "util/s_strlst.h"

class QImage;

namespace mirnax {

/// Called with the jump word when a jump is clicked.
using TJumpClick = std::function<void(QObject* Sender, std::string JumpString)>;
/// Called with the picture name when a picture reference is clicked.
using TPictClick = std::function<void(QObject* Sender, std::string PictString)>;
/// Called with the byte count after the selection was copied to the clipboard.
using TCopyToClipboard = std::function<void(QObject* Sender, int32_t Count)>;

/// A read-only viewer of Windows-1251 text with jumps (links), picture references and page markers.
class MIRNAX_EXPORT TJumpMemo : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool Border READ Border WRITE SetBorder)
  Q_PROPERTY(QFont Font READ font WRITE SetFont)
  // Each colour is edited in forms as a QColor; its 0x00BBGGRR number (the "Value" twin) is kept
  // out of Designer and out of .ui files, so that a form holds each colour once.
  Q_PROPERTY(QColor Color READ color WRITE setColor)
  Q_PROPERTY(QColor SelectColor READ selectColor WRITE setSelectColor)
  Q_PROPERTY(QColor JumpColor READ jumpColor WRITE setJumpColor)
  Q_PROPERTY(QColor TextColor READ textColor WRITE setTextColor)
  Q_PROPERTY(uint ColorValue READ Color WRITE SetColor DESIGNABLE false STORED false)
  Q_PROPERTY(uint SelectColorValue READ SelectColor WRITE SetSelColor DESIGNABLE false STORED false)
  Q_PROPERTY(uint JumpColorValue READ JumpColor WRITE SetJumpColor DESIGNABLE false STORED false)
  Q_PROPERTY(uint TextColorValue READ TextColor WRITE SetTextColor DESIGNABLE false STORED false)
  Q_PROPERTY(int JumpPointLength READ JumpPointLength WRITE SetJumpPointLength)
  Q_PROPERTY(bool UseJumpPointLength READ UseJumpPointLength WRITE SetUseJumpPointLength)
  Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)
  Q_PROPERTY(std::string Pagemarker READ Pagemarker WRITE SetPageMarker)
  Q_PROPERTY(TScrollStyle ScrollBars READ ScrollBars WRITE ChangeScrollBars)
  Q_PROPERTY(bool ShowPages READ ShowPages WRITE SetShowPages)
  Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

 public:
  /// Which scroll bars the memo shows.
  enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
  Q_ENUM(TScrollStyle)

  using TNotifyEvent = std::function<void(QObject* Sender)>;  ///< A notification that takes the sender.
  /// A key with its modifiers; the handler may change Key.
  using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
  /// A mouse button with its modifiers at a client point.
  using TMouseEvent =
      std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;

  static const int LeftMargin;  ///< Pixels between the left edge and column 0.
  /// Text lines per page, behind each page-marker line.
  static constexpr int PageTextLines = TJumpDocument::PageTextLines;
  /// Colour of the page-marker lines and picture names (blue), 0x00BBGGRR.
  static const TColor MarkerColor;

  /// An empty memo in a fixed-pitch font, black text on white.
  explicit TJumpMemo(QWidget* parent = nullptr);
  ~TJumpMemo() override;

  // ---- the text ----
  /// The lines themselves. Changing them directly loads lines only: no scan, no page markers, no
  /// repaint (the application's world-file loader works so). Raises EOutOfMemory when the list
  /// could not be created.
  TS_StringList& Lines();
  const TS_StringList& Lines() const;  ///< The lines, to read.
  /// The document: lines, jumps, pictures, page markers and the searches over them.
  const TJumpDocument& Document() const;

  /// Replaces the text by the file's lines, then page markers (when shown), caret and view to the
  /// start, markup scan and repaint. A file that cannot be read is reported in a box; what was
  /// read stays.
  void LoadFromFile(const std::string& fileName);
  /// Appends a line, then page markers, scan and repaint as LoadFromFile.
  void Add(const std::string& s);
  /// Empties the text, the jumps, the pictures and SelWords.
  void Clear();

  void ReadJumps();  ///< Scans the text for jumps ("~word") and pictures ("^name") anew.
  void InsertPages();  ///< Puts a page-marker line in front of every 50 text lines.
  void RemovePages();  ///< Deletes every page-marker line.

  /// The word (separated by space and ".,:;-()_#[]{}") under the client point, or " ".
  std::string GetWord(int X, int Y);
  /// The first line from `from` that holds word (folded, anywhere in the line), else from.
  int GetPos(const std::string& word, int from) const;
  /// The first visible line.
  int GetCurPos() const;

  /// Width in pixels of s in the control's font, on the off-screen buffer.
  int32_t TextWidth(std::string_view s) const;

  const std::vector<TJump>& Jumps() const;  ///< The jumps found by the last scan.
  const std::vector<TPict>& Picts() const;  ///< The picture references found by the last scan.
  /// Every distinct jump word, sorted, letter case ignored.
  const TStringList& JumpWords() const;

  // ---- search, clipboard, printing ----
  /// Finds the next occurrence of Text from the caret and selects it; the caret ends after it.
  bool Search(const std::string& Text, bool Forward);
  /// Puts the caret in front of the first line from From that holds Word as a word ("cat*": any
  /// word that starts so); returns that line, or From when there is none.
  int GotoWord(const std::string& Word, int From, bool Forward);
  /// Prints pages FromPage .. ToPage (or all) of 51 lines to the toolkit's printer, or writes those
  /// lines to the text file Name with CR LF ends. File errors reach the caller.
  void Print(const std::string& Name, int FromPage, int ToPage, bool ToFile, bool AllPages);
  /// Copies the finished selection to the clipboard as text; returns the byte count with the
  /// terminating zero, or 0 when nothing was copied.
  int CopyToClipboard();

  // ---- published properties ----
  bool Border() const;  ///< Whether the memo has a one-pixel frame.
  void SetBorder(bool value);  ///< Sets Border.
  void SetFont(const QFont& font);  ///< Sets the fixed-pitch font; metrics, grid and scan follow.
  TColor Color() const;  ///< Background colour, 0x00BBGGRR.
  void SetColor(TColor value);  ///< Sets Color.
  /// The words to highlight (a trailing "*" matches a prefix).
  const TStringList& SelWords() const;
  void SetSelWords(const TStrings& words);  ///< Sets the words to highlight.
  TColor SelectColor() const;  ///< Colour of the highlighted words, 0x00BBGGRR.
  void SetSelColor(TColor value);  ///< Sets SelectColor.
  TColor JumpColor() const;  ///< Colour of the jumps, 0x00BBGGRR.
  void SetJumpColor(TColor value);  ///< Sets JumpColor.
  /// The text colour, which is also the font's colour.
  TColor TextColor() const;
  void SetTextColor(TColor value);  ///< Sets TextColor.
  // The four colours as QColor, for forms: the names uic calls. A QColor is stored as plain RGB.
  /// Color as a QColor.
  QColor color() const { return ColorToQColor(Color()); }
  QColor selectColor() const { return ColorToQColor(SelectColor()); }  ///< SelectColor as a QColor.
  QColor jumpColor() const { return ColorToQColor(JumpColor()); }  ///< JumpColor as a QColor.
  QColor textColor() const { return ColorToQColor(TextColor()); }  ///< TextColor as a QColor.
  /// Sets Color from a QColor, as plain RGB.
  void setColor(const QColor& value) { SetColor(QColorToColor(value)); }
  /// Sets SelectColor from a QColor, as plain RGB.
  void setSelectColor(const QColor& value) { SetSelColor(QColorToColor(value)); }
  /// Sets JumpColor from a QColor, as plain RGB.
  void setJumpColor(const QColor& value) { SetJumpColor(QColorToColor(value)); }
  /// Sets TextColor from a QColor, as plain RGB.
  void setTextColor(const QColor& value) { SetTextColor(QColorToColor(value)); }
  // The other published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does. setFont hides QWidget::setFont for calls through a TJumpMemo, so
  // that a form's Font goes through SetFont as it does when a form is loaded. Pagemarker is left
  // out: a form cannot hold a std::string.
  void setBorder(bool value) { SetBorder(value); }                   ///< Sets Border, as SetBorder.
  void setFont(const QFont& value) { SetFont(value); }               ///< Sets Font, as SetFont.
  void setJumpPointLength(int value) { SetJumpPointLength(value); }  ///< Sets JumpPointLength, as SetJumpPointLength.
  /// Sets UseJumpPointLength, as SetUseJumpPointLength.
  void setUseJumpPointLength(bool value) { SetUseJumpPointLength(value); }
  void setHelpContext(int value) { SetHelpContext(value); }            ///< Sets HelpContext, as SetHelpContext.
  void setScrollBars(TScrollStyle value) { ChangeScrollBars(value); }  ///< Sets ScrollBars, as ChangeScrollBars.
  void setShowPages(bool value) { SetShowPages(value); }               ///< Sets ShowPages, as SetShowPages.
  void setTabStop(bool value) { SetTabStop(value); }                   ///< Sets TabStop, as SetTabStop.
  int32_t JumpPointLength() const;  ///< The length a jump word is cut to when UseJumpPointLength is on.
  void SetJumpPointLength(int32_t value);  ///< Sets JumpPointLength.
  bool UseJumpPointLength() const;  ///< Whether jump words are cut to JumpPointLength.
  void SetUseJumpPointLength(bool value);  ///< Sets UseJumpPointLength.
  /// The help topic F1 asks the application for.
  int32_t HelpContext() const;
  void SetHelpContext(int32_t value);  ///< Sets HelpContext.
  const std::string& Pagemarker() const;  ///< The text of the page-marker lines ("Page" gives "- Page 3 -").
  void SetPageMarker(const std::string& value);  ///< Sets Pagemarker; shown markers are written anew.
  TScrollStyle ScrollBars() const;  ///< Which scroll bars are shown.
  void ChangeScrollBars(TScrollStyle value);  ///< Sets ScrollBars.
  bool ShowPages() const;  ///< Whether page-marker lines are shown.
  void SetShowPages(bool value);  ///< Inserts or removes the page-marker lines.
  bool TabStop() const;  ///< Whether Tab stops at the memo.
  void SetTabStop(bool value);  ///< Sets TabStop.

  TNotifyEvent OnDeSelect;  ///< Called when the selection is dropped.
  TCopyToClipboard OnCopyToClipboard;  ///< Called after CopyToClipboard copied the selection.
  TJumpClick OnJumpClick;  ///< Called when a jump is clicked, with its word.
  TKeyEvent OnKeyDown;  ///< Called for a key pressed, after the memo's own rules.
  TKeyEvent OnKeyUp;  ///< Called for a key released.
  TMouseEvent OnMouseDown;  ///< Called for a mouse button pressed, after the memo's own rules.
  TPictClick OnPictureClick;  ///< Called when a picture reference is clicked, with its name.
  TNotifyEvent OnSelect;  ///< Called whenever the selection grows.

  // ---- state ----
  int32_t MaxLineLength() const;  ///< The longest line in characters.
  bool MaxLenValid() const;  ///< Whether MaxLineLength is up to date.
  const TLongPoint& ScrollPos() const;  ///< X: the first visible column, Y: the first visible line.
  /// X: the font's average character width, Y: the line height, in pixels.
  const QPoint& CharSize() const;
  const TPositionInfo& Caret() const;  ///< Where the caret stands in the text.
  const TPositionInfo& SelStart() const;  ///< Where the selection starts.
  const TPositionInfo& SelEnd() const;  ///< Where the selection ends.
  bool Selecting() const;  ///< Whether a selection is being dragged or extended now.
  bool Selected() const;  ///< Whether a selection is finished and not empty.
  bool OverJump() const;  ///< Whether the pointer is over a jump.
  bool OverPict() const;  ///< Whether the pointer is over a picture reference.
  const std::string& CurJump() const;  ///< The jump word under the pointer.
  const std::string& CurPict() const;  ///< The picture name under the pointer.
  int JumpCursor() const;  ///< The cursor shown over a jump (an index of the cursor table).
  int PictCursor() const;  ///< The cursor shown over a picture reference.
  int DefaultCursor() const;  ///< The cursor shown elsewhere.
  /// The off-screen image the text is measured on.
  const QImage& Buffer() const;

  // ---- view ----
  const TLongPoint& Range() const;  ///< The largest ScrollPos allowed.
  int32_t VisibleCols() const;  ///< Whole columns that fit across the client area.
  int32_t VisibleRows() const;  ///< Whole lines that fit down the client area.
  int32_t LinesPerPage() const;  ///< Lines one page key moves.
  /// The word look-up's horizontal pixel offset; it follows sideways scrolling.
  int32_t PixelOffset() const;
  /// Where the caret stands, in client pixels.
  QPoint CaretPos() const;
  /// The client area in widget pixels: inside the border, left of and above the scroll bars.
  QRect ClientRect() const;
  /// Whether the caret is drawn now (it blinks while the control has the focus).
  bool CaretShown() const;

  /// Reads the font's metrics into CharSize, then grid, scan and scroll position follow.
  void FontChanged();
  /// Recomputes the longest line (when stale), the visible grid, the scroll range and the bars.
  void RecalcRange();
  /// Makes column X and line Y the first visible ones, within the range.
  void ScrollTo(int X, int Y);
  /// A scroll-bar command on bar 0 (horizontal) or 1 (vertical): 0/1 a line back/on, 2/3 a page
  /// back/on, 4/5 to Pos, 6 to the start, 7 to the end; others change nothing.
  void DoScroll(int Bar, int Code, int Pos);
  /// Pushes Range and ScrollPos to the scroll bars.
  void SetScrollBars();
  /// Places the caret at Caret and keeps the selection's ends up to date.
  void UpdateCaret(bool Full);
  void DrawSelection();  ///< Paints the selection over the text.
  void UnDrawSelection();  ///< Paints the text over the selection again.
  /// Caret and both selection ends to the start of the text, nothing selected.
  void SelectionToZero();
  void SelectionToAll();  ///< Selects the whole text.

  /// A key pressed, in the memo's rules. The key and mouse rules take client coordinates; Key is
  /// a Qt key code.
  void KeyDown(int& Key, Qt::KeyboardModifiers Shift);
  void KeyUp(int& Key, Qt::KeyboardModifiers Shift);  ///< A key released, in the memo's rules.
  /// A mouse button pressed at a client point.
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);  ///< The pointer moved to a client point.
  /// A mouse button released at a client point.
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

 protected:
  /// Fire OnJumpClick / OnPictureClick with CurJump / CurPict.
  virtual void JumpClick();
  virtual void PictClick();

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  class THost;
  struct TState;
  std::unique_ptr<TState> d;

  MIRNAX_NO_EXPORT void ChangePages(bool insert, bool scan);
  MIRNAX_NO_EXPORT void TextChanged();
  MIRNAX_NO_EXPORT void PlaceScrollBars();
  MIRNAX_NO_EXPORT void RestartBlink();
};

namespace jumpmemo {
/// Adds TJumpMemo to the component palette, page "Velmora".
MIRNAX_EXPORT void Register();
}  // namespace jumpmemo

}  // namespace mirnax
