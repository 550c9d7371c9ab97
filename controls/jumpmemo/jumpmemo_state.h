// The memo window's private parts: the host it gives its control (the window's side of what the
// control asks for) and the state behind its pointer. Included by the window's own sources only.
#pragma once

#include <QImage>
#include <QTimer>

#include "controls/jumpmemo/jumpmemo.h"
#include "controls/jumpmemo/jumpmemo_control.h"
#include "controls/jumpmemo/jumpmemo_layout.h"
#include "controls/jumpmemo/jumpmemo_painter.h"
#include "controls/jumpmemo/jumpmemo_scrollbars.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/cursor_table.h"

namespace mirnax {

// The window's side of what the control asks for.
class MIRNAX_NO_EXPORT TJumpMemo::THost final : public TMemoHost {
 public:
  explicit THost(TJumpMemo& memo) : memo_(memo) {}
  void Repaint() override { memo_.update(); }
  void ScrollBarsChanged() override { memo_.SetScrollBars(); }
  void CaretMoved() override { memo_.RestartBlink(); }
  void Select() override {
    if (memo_.OnSelect) memo_.OnSelect(&memo_);
  }
  void DeSelect() override {
    if (memo_.OnDeSelect) memo_.OnDeSelect(&memo_);
  }
  void JumpClick() override { memo_.JumpClick(); }
  void PictClick() override { memo_.PictClick(); }
  void CopyToClipboard() override { memo_.CopyToClipboard(); }
  void Help() override {
    if (Application) Application->ShowHelp(memo_.HelpContext());
  }
  void TakeFocus() override {
    if (!memo_.hasFocus()) memo_.setFocus(Qt::MouseFocusReason);
  }
  void ShowCursor(int index) override { memo_.setCursor(Cursors().Cursor(index)); }
  void AutoScroll(bool on) override;
  void KeyDone(int& key, Qt::KeyboardModifiers shift) override {
    if (memo_.OnKeyDown) memo_.OnKeyDown(&memo_, key, shift);
  }
  void MouseDone(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override {
    if (memo_.OnMouseDown) memo_.OnMouseDown(&memo_, button, shift, x, y);
  }

 private:
  TJumpMemo& memo_;
};

struct MIRNAX_NO_EXPORT TJumpMemo::TState {
  explicit TState(TJumpMemo& memo) : host(memo), control(doc, metrics, host), bars(&memo, control) {}

  TJumpDocument doc;
  QImage buffer{1, 1, QImage::Format_RGB32};
  TTextMetrics metrics;
  THost host;
  TMemoControl control;
  TMemoScrollBars bars;
  TMemoLook look;

  bool showPages = false;
  int32_t jumpPointLength = 7;
  bool useJumpPointLength = false;
  bool border = true;
  int32_t helpContext = 0;
  TScrollStyle scrollBars = ssNone;
  bool tabStop = false;

  bool caretCreated = false;  // the control has the focus
  bool caretOn = false;       // the blinking caret's current phase
  QTimer blink;
  QTimer autoScroll;

  bool constructed = false;  // font changes before the end of construction are not followed
  bool settingFont = false;  // SetFont follows its own change once
};

}  // namespace mirnax
