#include "toolkit/widgets/outline.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "toolkit/core/exceptions.h"

namespace mirnax {

namespace {

// Horizontal space of one tree level, in pixels.
constexpr int kIndent = 18;

bool IsLastChild(const TOutlineNode* node, const std::vector<std::unique_ptr<TOutlineNode>>& siblings) {
  return !siblings.empty() && siblings.back().get() == node;
}

}  // namespace

// ---- TOutlineNode ----

TOutlineNode::TOutlineNode(TCustomOutline* owner, TOutlineNode* parent, std::string text)
    : Text(std::move(text)), owner_(owner), parent_(parent) {}

int32_t TOutlineNode::Index() const {
  owner_->Reindex();
  return index_;
}

int TOutlineNode::Level() const {
  int level = 0;
  for (const TOutlineNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

void TOutlineNode::SetExpanded(bool value) {
  if (!parent_) return;  // the root is always open
  if (value) {
    parent_->SetExpanded(true);
    if (expanded_) return;
    owner_->Expand(Index());
    expanded_ = true;
  } else {
    if (!expanded_) return;
    expanded_ = false;
    owner_->Collapse(Index());
  }
  owner_->Changed();
}

void TOutlineNode::FullExpand() {
  SetExpanded(true);
  // Children may appear while an item opens, so walk by position.
  for (size_t i = 0; i < children_.size(); ++i) children_[i]->FullExpand();
}

std::string TOutlineNode::FullPath() const {
  if (!parent_ || !parent_->parent_) return Text;
  std::string path = parent_->FullPath();
  // A top item that already ends with the separator (a root folder "/") is not doubled.
  const std::string& sep = owner_->ItemSeparator();
  if (path.size() < sep.size() || path.compare(path.size() - sep.size(), sep.size(), sep) != 0) path += sep;
  return path + Text;
}

int32_t TOutlineNode::GetFirstChild() const { return children_.empty() ? -1 : children_.front()->Index(); }

int32_t TOutlineNode::GetLastChild() const { return children_.empty() ? -1 : children_.back()->Index(); }

int32_t TOutlineNode::GetNextChild(int32_t child) const {
  for (size_t i = 0; i + 1 < children_.size(); ++i)
    if (children_[i]->Index() == child) return children_[i + 1]->Index();
  return -1;
}

// ---- TCustomOutline ----

TCustomOutline::TCustomOutline(QWidget* parent)
    : TCustomGrid(parent), root_(std::make_unique<TOutlineNode>(this, nullptr, std::string())) {
  SetFixedCols(0);
  SetFixedRows(0);
  SetColCount(1);
  SetRowCount(1);
  SetGridLineWidth(0);
  SetDefaultRowHeight(std::max(fontMetrics().height() + 4, 20));
  SetOptions(goDrawFocusSelected);
  pictureOpen_ = style()->standardIcon(QStyle::SP_DirOpenIcon);
  pictureClosed_ = style()->standardIcon(QStyle::SP_DirClosedIcon);
  pictureLeaf_ = style()->standardIcon(QStyle::SP_FileIcon);
}

TCustomOutline::~TCustomOutline() = default;

void TCustomOutline::Changed() {
  stale_ = true;
  Reindex();
  update();
}

void TCustomOutline::Reindex() {
  if (!stale_) return;
  stale_ = false;
  items_.clear();
  rows_.clear();
  // Pre-order walk; a node takes a row when every ancestor up to the root is open.
  std::vector<std::pair<TOutlineNode*, bool>> stack{{root_.get(), true}};
  while (!stack.empty()) {
    auto [node, shown] = stack.back();
    stack.pop_back();
    node->index_ = static_cast<int32_t>(items_.size());
    items_.push_back(node);
    if (shown && node != root_.get()) rows_.push_back(node);
    const bool childrenShown = shown && (node == root_.get() || node->expanded_);
    for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it)
      stack.emplace_back(it->get(), childrenShown);
  }
  SetRowCount(static_cast<int>(std::max<size_t>(rows_.size(), 1)));
  // The selected item keeps the selection; when it went into a closed branch, its shown ancestor.
  TOutlineNode* shown = selected_;
  while (shown && shown->parent_ && !std::count(rows_.begin(), rows_.end(), shown)) shown = shown->parent_;
  const auto at = std::find(rows_.begin(), rows_.end(), shown);
  if (at != rows_.end() && at - rows_.begin() != Row()) MoveColRow(0, static_cast<int>(at - rows_.begin()), true, true);
}

int32_t TCustomOutline::ItemCount() {
  Reindex();
  return static_cast<int32_t>(items_.size()) - 1;
}

TOutlineNode& TCustomOutline::Items(int32_t index) {
  Reindex();
  if (index < 0 || index >= static_cast<int32_t>(items_.size())) throw EOutlineError(ExceptionText(SOutlineIndexError));
  return *items_[static_cast<size_t>(index)];
}

int32_t TCustomOutline::Attach(TOutlineNode* parent, size_t position, const std::string& text) {
  auto node = std::make_unique<TOutlineNode>(this, parent, text);
  TOutlineNode* added = node.get();
  parent->children_.insert(parent->children_.begin() + static_cast<std::ptrdiff_t>(position), std::move(node));
  Changed();
  return added->Index();
}

int32_t TCustomOutline::AddChild(int32_t index, const std::string& text) {
  TOutlineNode& parent = Items(index);
  return Attach(&parent, parent.children_.size(), text);
}

int32_t TCustomOutline::Add(int32_t index, const std::string& text) {
  TOutlineNode& node = Items(index);
  TOutlineNode* parent = node.parent_ ? node.parent_ : root_.get();
  return Attach(parent, parent->children_.size(), text);
}

int32_t TCustomOutline::Insert(int32_t index, const std::string& text) {
  TOutlineNode& node = Items(index);
  if (!node.parent_) return Attach(root_.get(), root_->children_.size(), text);
  auto& siblings = node.parent_->children_;
  const auto at = std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == &node; });
  return Attach(node.parent_, static_cast<size_t>(at - siblings.begin()), text);
}

std::vector<TOutlineNode*> TCustomOutline::AddChildrenSorted(
    int32_t index, std::vector<std::string> names,
    const std::function<bool(const std::string&, const std::string&)>& less) {
  TOutlineNode& parent = Items(index);
  auto& children = parent.children_;
  std::vector<TOutlineNode*> added(names.size());
  const bool sorted = std::is_sorted(children.begin(), children.end(),
                                     [&](const auto& a, const auto& b) { return less(a->Text, b->Text); });
  if (!sorted) {
    // An unsorted level (filled by other means): the first child that does not compare less, one
    // name at a time.
    for (size_t i = 0; i < names.size(); ++i) {
      const auto at =
          std::find_if(children.begin(), children.end(), [&](const auto& c) { return !less(c->Text, names[i]); });
      added[i] = children.insert(at, std::make_unique<TOutlineNode>(this, &parent, std::move(names[i])))->get();
    }
    Changed();
    return added;
  }
  // Inserted one by one, a later name goes before an earlier equal one: sort the reversed arrivals
  // stably, then merge with new names ahead of equal old ones. Same order, n log n.
  std::vector<size_t> order(names.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = order.size() - 1 - i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return less(names[a], names[b]); });
  std::vector<std::unique_ptr<TOutlineNode>> merged;
  merged.reserve(children.size() + names.size());
  auto old = children.begin();
  for (size_t i : order) {
    while (old != children.end() && less((*old)->Text, names[i])) merged.push_back(std::move(*old++));
    merged.push_back(std::make_unique<TOutlineNode>(this, &parent, std::move(names[i])));
    added[i] = merged.back().get();
  }
  while (old != children.end()) merged.push_back(std::move(*old++));
  children = std::move(merged);
  Changed();
  return added;
}

void TCustomOutline::Clear() {
  root_->children_.clear();
  selected_ = nullptr;
  Changed();
  MoveColRow(0, 0, true, true);
}

int32_t TCustomOutline::SelectedItem() {
  Reindex();
  if (rows_.empty()) return 0;
  return rows_[static_cast<size_t>(std::clamp(Row(), 0, static_cast<int>(rows_.size()) - 1))]->index_;
}

void TCustomOutline::SetSelectedItem(int32_t index) {
  Reindex();
  if (index < 0 || (index == 0 && rows_.empty())) throw EOutlineError(ExceptionText(SInvalidSelection));
  TOutlineNode& node = Items(index == 0 ? 1 : index);
  if (node.parent_) node.parent_->SetExpanded(true);
  Reindex();
  const auto at = std::find(rows_.begin(), rows_.end(), &node);
  selected_ = &node;
  MoveColRow(0, static_cast<int>(at - rows_.begin()), true, true);
}

void TCustomOutline::CurrentCellMoved() {
  if (!stale_ && Row() < static_cast<int>(rows_.size())) selected_ = rows_[static_cast<size_t>(Row())];
}

void TCustomOutline::SetOutlineOptions(TOutlineOptions value) {
  if (value == outlineOptions_) return;
  outlineOptions_ = value;
  update();
}

void TCustomOutline::SetOutlineStyle(TOutlineStyle value) {
  if (value == style_) return;
  style_ = value;
  update();
}

void TCustomOutline::SetPictureOpen(const QIcon& value) {
  pictureOpen_ = value;
  update();
}

void TCustomOutline::SetPictureClosed(const QIcon& value) {
  pictureClosed_ = value;
  update();
}

void TCustomOutline::SetPictureLeaf(const QIcon& value) {
  pictureLeaf_ = value;
  update();
}

void TCustomOutline::Expand(int32_t index) {
  if (OnExpand) OnExpand(this, index);
}

void TCustomOutline::Collapse(int32_t index) {
  if (OnCollapse) OnCollapse(this, index);
}

void TCustomOutline::DrawCell(QPainter& canvas, int, int row, const QRect& rect, TGridDrawState state) {
  canvas.fillRect(rect, palette().color(QPalette::Base));
  if (row >= static_cast<int>(rows_.size())) return;
  const TOutlineNode* node = rows_[static_cast<size_t>(row)];
  const int level = node->Level();
  // With the tree root drawn, top items hang on a line of their own.
  const int shift = (outlineOptions_ & ooDrawTreeRoot) ? 1 : 0;
  const int midY = rect.top() + rect.height() / 2;
  auto columnX = [&](int lvl) { return rect.left() + (lvl - 1 + shift) * kIndent - kIndent / 2; };
  const bool tree = style_ == osTreeText || style_ == osTreePictureText;
  if (tree) {
    canvas.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DotLine));
    // Lines of the ancestors' levels that go on below this row.
    const TOutlineNode* child = node;
    for (const TOutlineNode* a = node->parent_; a && a->parent_; child = a, a = a->parent_) {
      if (child != node && !IsLastChild(child, a->children_)) {
        const int x = columnX(a->Level() + 1);
        canvas.drawLine(x, rect.top(), x, rect.bottom());
      }
    }
    if (level > 1 || shift) {
      const int x = columnX(level);
      const bool last = IsLastChild(node, node->parent_->children_);
      canvas.drawLine(x, rect.top(), x, last ? midY : rect.bottom());
      canvas.drawLine(x, midY, x + kIndent / 2, midY);
    }
  }
  int x = rect.left() + (level - 1 + shift) * kIndent;
  if (style_ == osPictureText || style_ == osTreePictureText || style_ == osPlusMinusPictureText) {
    const QIcon& picture = !node->HasItems() ? pictureLeaf_ : node->expanded_ ? pictureOpen_ : pictureClosed_;
    const int side = std::min(rect.height() - 2, 16);
    picture.paint(&canvas, QRect(x + 1, midY - side / 2, side, side));
    x += side + 4;
  }
  const QString text = QString::fromStdString(node->Text);
  const QRect textRect(x, rect.top() + 1, canvas.fontMetrics().horizontalAdvance(text) + 4, rect.height() - 2);
  const bool selected = state & gdSelected;
  if (selected) canvas.fillRect(textRect, palette().color(QPalette::Highlight));
  canvas.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
  canvas.drawText(textRect, Qt::AlignCenter, text);
  if ((state & gdFocused) && (outlineOptions_ & ooDrawFocusRect)) {
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    canvas.drawRect(textRect.adjusted(0, 0, -1, -1));
  }
}

void TCustomOutline::WMSize(int width, int) { SetDefaultColWidth(width); }

void TCustomOutline::paintEvent(QPaintEvent* event) {
  Reindex();
  TCustomGrid::paintEvent(event);
}

void TCustomOutline::mousePressEvent(QMouseEvent* event) {
  Reindex();
  TCustomGrid::mousePressEvent(event);
}

void TCustomOutline::DblClick() {
  TCustomGrid::DblClick();
  const int32_t index = SelectedItem();
  if (index > 0) Items(index).SetExpanded(!Items(index).expanded_);
}

void TCustomOutline::keyPressEvent(QKeyEvent* event) {
  Reindex();
  const int32_t index = SelectedItem();
  if (index <= 0) {
    TCustomGrid::keyPressEvent(event);
    return;
  }
  TOutlineNode& node = Items(index);
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: node.SetExpanded(!node.expanded_); break;
    case Qt::Key_Plus: node.SetExpanded(true); break;
    case Qt::Key_Minus: node.SetExpanded(false); break;
    case Qt::Key_Asterisk: node.FullExpand(); break;
    default: TCustomGrid::keyPressEvent(event); return;
  }
  Reindex();
}

}  // namespace mirnax
