// The memo's behaviour towards the user, without a widget: the caret and the selection, the keys,
// the mouse with its hover state and the scrolling while a drag runs past an edge. It reads the
// document and moves the view; what only a window can do (paint, show a cursor, take the focus,
// run a timer, fire the memo's events) it asks of its host.
#pragma once

#include <Qt>
#include <cstdint>
#include <optional>
#include <string>

#include "controls/jumpmemo/jumpmemo_document.h"
#include "controls/jumpmemo/jumpmemo_layout.h"
#include "controls/jumpmemo/jumpmemo_types.h"
#include "controls/jumpmemo/jumpmemo_view.h"
#include "controls/jumpmemo/text_metrics.h"

namespace mirnax {

// What the control asks of the window it serves; each does nothing unless the host says otherwise.
class TMemoHost {
 public:
  virtual ~TMemoHost() = default;
  virtual void Repaint() {}
  // Range or ScrollPos changed: the scroll bars follow.
  virtual void ScrollBarsChanged() {}
  // The caret stands elsewhere: its blinking starts over.
  virtual void CaretMoved() {}
  virtual void Select() {}
  virtual void DeSelect() {}
  virtual void JumpClick() {}
  virtual void PictClick() {}
  virtual void CopyToClipboard() {}
  virtual void Help() {}
  virtual void TakeFocus() {}
  virtual void ShowCursor(int index) { (void)index; }
  // Scrolling while the pointer stays past an edge runs from a timer that calls AutoScrollStep.
  virtual void AutoScroll(bool on) { (void)on; }
  // A key or a click that went through the memo's own rules, for OnKeyDown and OnMouseDown.
  virtual void KeyDone(int& key, Qt::KeyboardModifiers shift) { (void)key, (void)shift; }
  virtual void MouseDone(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    (void)button, (void)shift, (void)x, (void)y;
  }
};

class TMemoControl {
 public:
  TMemoControl(const TJumpDocument& doc, const TTextMetrics& metrics, TMemoHost& host);

  // The scroll model; the caret's operations keep it, everything else reads it.
  TMemoView& View() { return view_; }
  const TMemoView& View() const { return view_; }
  TMemoLayout Layout() const;

  const TPositionInfo& Caret() const { return caret_; }
  const TPositionInfo& SelStart() const { return selStart_; }
  const TPositionInfo& SelEnd() const { return selEnd_; }
  bool Selecting() const { return selecting_; }
  bool Selected() const { return selected_; }
  // Where the caret stands, in client pixels.
  QPoint CaretPos() const { return caretPos_; }
  bool OverJump() const { return overJump_; }
  bool OverPict() const { return overPict_; }
  const std::string& CurJump() const { return curJump_; }
  const std::string& CurPict() const { return curPict_; }

  // The cursor table's indexes of the hover cursors and of the one shown now.
  void SetCursors(int jumpCursor, int pictCursor, int defaultCursor);
  int JumpCursor() const { return jumpCursor_; }
  int PictCursor() const { return pictCursor_; }
  int DefaultCursor() const { return defaultCursor_; }
  int CursorIndex() const { return cursorIndex_; }
  void ResetCursor();

  // The grid for a client area of that size over the document's longest line, the view kept
  // within the new range and the caret on its line.
  void RecalcRange(QSize client, int32_t longest);
  void ScrollTo(int X, int Y);
  void DoScroll(int Bar, int Code, int Pos);
  // Places the caret at Caret and keeps the selection's ends up to date.
  void UpdateCaret(bool Full);
  // Caret and both selection ends to the start of the text, nothing selected.
  void ResetPositions();
  // After the selection was copied: none is left, the caret stays.
  void SelectionCopied();

  void KeyDown(int& Key, Qt::KeyboardModifiers Shift);
  void KeyUp(int& Key, Qt::KeyboardModifiers Shift);
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  // One step of each direction whose edge band holds the pointer, as the keys with Shift make it.
  void AutoScrollStep();
  // The pointer left the control's reach (the focus went): no more scrolling past an edge.
  void StopAutoScroll();

  // The word (separated by space and ".,:;-()_#[]{}") under the client point, or " ".
  std::string GetWord(int X, int Y);
  // Finds the next occurrence of text from the caret and selects it; the caret ends after it.
  bool Search(const std::string& text, bool forward);
  // Puts the caret in front of the first line from `from` that holds word as a word.
  int GotoWord(const std::string& word, int from, bool forward);

 private:
  bool HasText() const { return doc_.Ready() && doc_.Count() > 0; }
  void SetCursorIndex(int index);
  void FixColumn();
  void Deselect();
  void DeselectAll();
  void ShowColumnZero();
  void BringCaretRowIntoView();
  bool Activate(int& key, Qt::KeyboardModifiers shift);
  void KeyStep(int key, Qt::KeyboardModifiers shift);
  void LineDown(Qt::KeyboardModifiers shift);
  void LineUp(Qt::KeyboardModifiers shift);
  void KeyPage(bool down, Qt::KeyboardModifiers shift);
  void KeyLeft(Qt::KeyboardModifiers shift);
  void KeyRight(Qt::KeyboardModifiers shift);
  void KeyHomeEnd(bool home, Qt::KeyboardModifiers shift);
  void ClampToLastLine();
  void PlaceCaretAt(int row, int x);
  void Hover(int X, int Y);
  bool AutoScrollBand(bool starting) const;

  const TJumpDocument& doc_;
  const TTextMetrics& metrics_;
  TMemoHost& host_;
  TMemoView view_;

  TPositionInfo caret_;
  TPositionInfo selStart_;
  TPositionInfo selEnd_;
  bool selecting_ = false;
  bool selected_ = false;
  QPoint caretPos_;
  bool overJump_ = false;
  bool overPict_ = false;
  std::string curJump_;
  std::string curPict_;
  int jumpCursor_ = 0;
  int pictCursor_ = 0;
  int defaultCursor_ = 0;
  int cursorIndex_ = 0;
  bool autoScrolling_ = false;
  QPoint pointer_;  // where the pointer was last seen while dragging, client pixels
};

}  // namespace mirnax
