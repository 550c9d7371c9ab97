#include "controls/jumpmemo/jumpmemo_scrollbars.h"

#include <QScrollBar>
#include <algorithm>

#include "controls/jumpmemo/jumpmemo_control.h"

namespace mirnax {

TMemoScrollBars::TMemoScrollBars(QWidget* parent, TMemoControl& control)
    : control_(control), hBar_(new QScrollBar(Qt::Horizontal, parent)), vBar_(new QScrollBar(Qt::Vertical, parent)) {
  hBar_->hide();
  vBar_->hide();
  QObject::connect(hBar_, &QScrollBar::actionTriggered, parent, [this](int action) { Action(sbHorz, action); });
  QObject::connect(vBar_, &QScrollBar::actionTriggered, parent, [this](int action) { Action(sbVert, action); });
}

void TMemoScrollBars::Place(const QRect& inner, bool horizontal, bool vertical) {
  const int barWidth = vBar_->sizeHint().width();
  const int barHeight = hBar_->sizeHint().height();
  vBar_->setVisible(vertical);
  hBar_->setVisible(horizontal);
  if (vertical)
    vBar_->setGeometry(inner.right() - barWidth + 1, inner.top(), barWidth,
                       inner.height() - (horizontal ? barHeight : 0));
  if (horizontal)
    hBar_->setGeometry(inner.left(), inner.bottom() - barHeight + 1, inner.width() - (vertical ? barWidth : 0),
                       barHeight);
}

QRect TMemoScrollBars::Client(QRect inner) const {
  if (!vBar_->isHidden()) inner.setRight(inner.right() - vBar_->sizeHint().width());
  if (!hBar_->isHidden()) inner.setBottom(inner.bottom() - hBar_->sizeHint().height());
  return inner;
}

void TMemoScrollBars::Push() {
  const auto push = [](QScrollBar* bar, int range, int pos, int page) {
    const QSignalBlocker quiet(bar);
    bar->setRange(0, std::max(1, range));
    bar->setPageStep(std::max(1, page));
    bar->setValue(pos);
  };
  const TMemoView& view = control_.View();
  push(hBar_, view.Range.X, view.ScrollPos.X, view.VisibleCols / 2);
  push(vBar_, view.Range.Y, view.ScrollPos.Y, view.VisibleRows);
}

void TMemoScrollBars::Action(int bar, int action) {
  QScrollBar* const scrollBar = bar == sbHorz ? hBar_ : vBar_;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: control_.DoScroll(bar, sbLineDown, 0); break;
    case QAbstractSlider::SliderSingleStepSub: control_.DoScroll(bar, sbLineUp, 0); break;
    case QAbstractSlider::SliderPageStepAdd: control_.DoScroll(bar, sbPageDown, 0); break;
    case QAbstractSlider::SliderPageStepSub: control_.DoScroll(bar, sbPageUp, 0); break;
    case QAbstractSlider::SliderToMinimum: control_.DoScroll(bar, sbTop, 0); break;
    case QAbstractSlider::SliderToMaximum: control_.DoScroll(bar, sbBottom, 0); break;
    case QAbstractSlider::SliderMove: control_.DoScroll(bar, sbThumbTrack, scrollBar->sliderPosition()); break;
    default: break;
  }
  // The bar shows where the view went, not where its own step would have put it.
  const TLongPoint& pos = control_.View().ScrollPos;
  scrollBar->setSliderPosition(bar == sbHorz ? pos.X : pos.Y);
}

}  // namespace mirnax
