// The memo's two scroll bars: placed inside its frame, fed with the view's range and position, and
// turning their actions into the control's scroll commands.
#pragma once

#include <QRect>

class QScrollBar;
class QWidget;

namespace mirnax {

class TMemoControl;

class TMemoScrollBars {
 public:
  // Makes both bars, hidden, as children of parent.
  TMemoScrollBars(QWidget* parent, TMemoControl& control);

  // Shows the bars asked for along the right and bottom edges of inner, hides the others.
  void Place(const QRect& inner, bool horizontal, bool vertical);
  // inner without the room the shown bars take.
  QRect Client(QRect inner) const;
  // Range and position of the view to the bars, without their actions firing.
  void Push();

 private:
  void Action(int bar, int action);

  TMemoControl& control_;
  QScrollBar* hBar_;
  QScrollBar* vBar_;
};

}  // namespace mirnax
