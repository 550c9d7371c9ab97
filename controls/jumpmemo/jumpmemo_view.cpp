// TJumpMemo's view: the character grid from the font, the scroll range and position, where the
// caret stands, the published looks, and painting the text through the off-screen buffer.
#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <limits>

#include "toolkit/cp1251.h"
#include "controls/jumpmemo/jumpmemo.h"

namespace {

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

// ---- font and grid ----

void TJumpMemo::SetFont(const QFont& font) {
  settingFont_ = true;
  setFont(OnPixelGrid(font));
  settingFont_ = false;
  FontChanged();
  update();
}

void TJumpMemo::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::FontChange || !constructed_ || settingFont_) return;
  if (font().hintingPreference() != QFont::PreferFullHinting) {
    setFont(OnPixelGrid(font()));  // its own change event follows the font
    return;
  }
  FontChanged();
}

void TJumpMemo::FontChanged() {
  metrics_.SetFont(font(), &buffer_);
  charSize_ = QPoint(metrics_.AverageCharWidth(), metrics_.Height());
  RecalcRange();
  ReadJumps();
  pixelOffset_ = 0;
  ScrollTo(0, scrollPos_.Y);
}

void TJumpMemo::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RecalcRange();
}

void TJumpMemo::RecalcRange() {
  if (!ListsReady()) return;
  try {
    const int count = lines_->Count();
    if (!maxLenValid_) {
      size_t longest = 0;
      for (int i = 0; i < count; ++i) longest = std::max(longest, lines_->View(i).size());
      maxLineLength_ = static_cast<int32_t>(std::min<size_t>(longest, std::numeric_limits<int32_t>::max()));
      maxLenValid_ = true;
    }
    const int cellWidth = std::max(1, charSize_.x());
    const int cellHeight = std::max(1, charSize_.y());
    visibleCols_ = width() / cellWidth;
    visibleRows_ = height() / cellHeight;
    // The painter clips what lies outside the image, so the buffer never needs to be wider than
    // the control; sizing it to the longest line would ask 800,000 pixels per row for a line of
    // 100,000 characters.
    const QSize size(std::max(1, width()), std::max(1, height()));
    if (buffer_.size() != size) {
      QImage resized(size, QImage::Format_RGB32);
      if (!resized.isNull()) buffer_.swap(resized);
    }
    linesPerPage_ = visibleRows_;
    range_.X = std::max(0, ClampToInt(int64_t{maxLineLength_} - visibleCols_ + 1));
    range_.Y = std::max(0, count - visibleRows_);
    if (count > 0) {
      if (caret_.Row > linesPerPage_ - 1) {
        // Keep the caret on its line: scroll down by as many rows as it moves up.
        const int up = caret_.Row - (linesPerPage_ - 1);
        caret_.Row = linesPerPage_ - 1;
        selEnd_ = caret_;
        ScrollTo(std::min(scrollPos_.X, range_.X), ClampToInt(int64_t{scrollPos_.Y} + up));
      } else {
        ScrollTo(std::min(scrollPos_.X, range_.X), std::min(scrollPos_.Y, range_.Y));
      }
      UpdateCaret(true);
    }
  } catch (const std::exception&) {
    // The view stays as far as it got; a later change recomputes it.
  }
}

void TJumpMemo::ScrollTo(int X, int Y) {
  const int x = std::clamp(X, 0, std::max(0, range_.X));
  const int y = std::clamp(Y, 0, std::max(0, range_.Y));
  if (x == scrollPos_.X && y == scrollPos_.Y) return;
  const int dx = scrollPos_.X - x;
  scrollPos_ = TLongPoint{x, y};
  pixelOffset_ = ClampToInt(int64_t{pixelOffset_} + int64_t{dx} * (charSize_.x() - 1));
  update();
  UpdateCaret(true);
}

void TJumpMemo::UpdateCaret(bool Full) {
  // Full would choose which lines a growing selection redraws into the buffer; this view repaints
  // the whole buffer instead, so both cases take the same path.
  (void)Full;
  const int64_t originX = LeftMargin - int64_t{scrollPos_.X} * charSize_.x();
  if (!lines_ || lines_->Count() == 0) {
    caretPos_ = QPoint(ClampToInt(originX), 1);
    return;
  }
  // The caret may point past a text that was changed through Lines directly.
  const bool lineExists = caret_.Line >= 0 && caret_.Line < lines_->Count();
  const std::string_view line = lineExists ? lines_->View(caret_.Line) : std::string_view();
  const int64_t col = std::clamp<int64_t>(std::min(caret_.Col, caret_.Len), 0, static_cast<int64_t>(line.size()));
  const int64_t x = originX + metrics_.Width(line.substr(0, static_cast<size_t>(col)));
  const int64_t y = (int64_t{caret_.Line} - scrollPos_.Y) * charSize_.y() + 1;
  caretPos_ = QPoint(ClampToInt(x), ClampToInt(y));
  caret_.Row = ClampToInt(int64_t{caret_.Line} - scrollPos_.Y);
  if (selecting_ && (caret_.Line != selEnd_.Line || caret_.Col != selEnd_.Col)) {
    selEnd_ = caret_;
    update();
    if (OnSelect) OnSelect(this);
  } else if (!selected_) {
    selStart_ = caret_;
  }
}

// ---- published looks ----

void TJumpMemo::SetBorder(bool value) {
  if (value == border_) return;
  border_ = value;
  update();
}

void TJumpMemo::ChangeScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  update();
}

void TJumpMemo::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  update();
}

void TJumpMemo::SetSelColor(TColor value) {
  if (value == selectColor_) return;
  selectColor_ = value;
  update();
}

void TJumpMemo::SetJumpColor(TColor value) {
  if (value == jumpColor_) return;
  jumpColor_ = value;
  update();
}

void TJumpMemo::SetTextColor(TColor value) {
  if (value == textColor_) return;
  textColor_ = value;
  update();
}

void TJumpMemo::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---- painting ----

void TJumpMemo::paintEvent(QPaintEvent*) {
  QPainter canvas(&buffer_);
  if (!canvas.isActive()) return;
  canvas.fillRect(QRect(0, 0, width(), height()), ColorToQColor(color_));
  // Without text the window keeps the background the system drew.
  if (!lines_ || lines_->Count() == 0) return;
  canvas.setFont(font());
  const std::string pattern = MarkerPattern();
  const int originX = ClampToInt(LeftMargin - int64_t{scrollPos_.X} * charSize_.x());
  const int count = lines_->Count();
  for (int row = 0; row <= linesPerPage_; ++row) {
    const int64_t i = int64_t{scrollPos_.Y} + row;
    if (i >= count) break;
    const std::string_view line = lines_->View(static_cast<int>(i));
    const bool marker = line.find(pattern) != std::string_view::npos;
    canvas.setPen(ColorToQColor(marker ? MarkerColor : textColor_));
    canvas.drawText(originX, row * charSize_.y() + metrics_.Ascent(), Cp1251ToDisplay(line));
  }
  canvas.end();
  QPainter window(this);
  window.drawImage(0, 0, buffer_);
}
