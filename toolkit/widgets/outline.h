// TCustomOutline: a tree shown as a one-column grid. Items are addressed by their index in
// display order over the whole tree (collapsed branches included); index 0 is the invisible root,
// the first real item is 1. Only items whose ancestors are all expanded take a row.
#pragma once

#include <QIcon>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mirnax/mirnax_export.h"
#include "toolkit/widgets/grids.h"

namespace mirnax {

class TCustomOutline;

/// One item of an outline: its text, its data, its children and whether they are shown.
class MIRNAX_EXPORT TOutlineNode {
 public:
  /// An item of owner's tree with the given text, a child of parent (nullptr for the root).
  TOutlineNode(TCustomOutline* owner, TOutlineNode* parent, std::string text);

  std::string Text;  ///< The shown text.
  void* Data = nullptr;  ///< What the program keeps with the item; not owned.

  TOutlineNode* Parent() const { return parent_; }  ///< The parent, nullptr for the root.
  int32_t Index() const;  ///< The index in display order over the whole tree.
  /// The depth: 0 for the root, 1 for top items.
  int Level() const;
  bool HasItems() const { return !children_.empty(); }  ///< Whether the item has children.
  bool Expanded() const { return expanded_; }  ///< Whether the children are shown.
  /// Shows or hides the children. Expanding first expands every ancestor, then calls the outline's
  /// Expand hook.
  void SetExpanded(bool value);
  void FullExpand();  ///< Expands this item and every item below it.
  /// The texts from the top item down to this one, joined by the outline's item separator.
  std::string FullPath() const;
  int32_t GetFirstChild() const;  ///< The index of the first child; -1 when none.
  int32_t GetNextChild(int32_t child) const;  ///< The index of the child after child; -1 when none.
  int32_t GetLastChild() const;  ///< The index of the last child; -1 when none.
  int32_t ChildCount() const { return static_cast<int32_t>(children_.size()); }  ///< The number of children.
  /// The i-th child, 0 first.
  TOutlineNode& Child(int32_t i) const { return *children_[static_cast<size_t>(i)]; }

 private:
  friend class TCustomOutline;
  TCustomOutline* owner_;
  TOutlineNode* parent_;
  std::vector<std::unique_ptr<TOutlineNode>> children_;
  bool expanded_ = false;
  int32_t index_ = 0;
};

/// A tree shown as a one-column grid, its items addressed by their index in display order; the base of the
/// directory outline.
class MIRNAX_EXPORT TCustomOutline : public TCustomGrid {
  Q_OBJECT
  Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
  Q_PROPERTY(int SelectedItem READ SelectedItem WRITE SetSelectedItem)

 public:
  /// How the tree is drawn, as bits: the lines to the root, the focus frame, pictures stretched to the row.
  enum TOutlineOption { ooDrawTreeRoot = 1, ooDrawFocusRect = 2, ooStretchBitmaps = 4 };
  using TOutlineOptions = int;  ///< TOutlineOption bits.
  /// What each row shows: text only, or with plus and minus boxes, pictures or tree lines.
  enum TOutlineStyle { osText, osPlusMinusText, osPictureText, osPlusMinusPictureText, osTreeText,
                       osTreePictureText };

  /// An empty outline drawn with tree lines, pictures and the focus frame.
  explicit TCustomOutline(QWidget* parent = nullptr);
  ~TCustomOutline() override;

  /// Items without the root.
  int32_t ItemCount();
  /// Item index. Raises EOutlineError "Outline index not found" for an index that does not exist.
  TOutlineNode& Items(int32_t index);
  TOutlineNode& operator[](int32_t index) { return Items(index); }  ///< Items(index).

  /// Appends text as the last child of index; returns the new item's index.
  int32_t AddChild(int32_t index, const std::string& text);
  /// Appends text after the last sibling of index (index 0 appends a top item).
  int32_t Add(int32_t index, const std::string& text);
  /// Inserts text before index, as its sibling (index 0 appends a top item).
  int32_t Insert(int32_t index, const std::string& text);
  /// Adds names as children of index, each before the first child that does not compare less,
  /// so a sorted level stays sorted and an equal name goes before the ones already there. Returns
  /// the new items in the order of names.
  std::vector<TOutlineNode*> AddChildrenSorted(int32_t index, std::vector<std::string> names,
                         const std::function<bool(const std::string&, const std::string&)>& less);
  void Clear();  ///< Deletes every item but the root.

  /// The item of the current row; 0 when the outline is empty.
  int32_t SelectedItem();
  /// Shows the item (expanding its ancestors), scrolls to it and selects it. A negative index, or 0
  /// in an empty outline, raises EOutlineError "Invalid selection"; 0 selects item 1 otherwise.
  void SetSelectedItem(int32_t index);

  /// What FullPath puts between the names.
  const std::string& ItemSeparator() const { return itemSeparator_; }
  void SetItemSeparator(const std::string& value) { itemSeparator_ = value; }  ///< Sets ItemSeparator.
  int ItemHeight() const { return DefaultRowHeight(); }  ///< Height of a row in pixels.
  void SetItemHeight(int value) { SetDefaultRowHeight(value); }  ///< Sets ItemHeight.
  // The published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does.
  void setItemHeight(int value) { SetItemHeight(value); }             ///< Sets ItemHeight, as SetItemHeight.
  void setSelectedItem(int value) { SetSelectedItem(value); }         ///< Sets SelectedItem, as SetSelectedItem.
  TOutlineOptions OutlineOptions() const { return outlineOptions_; }  ///< TOutlineOption bits.
  void SetOutlineOptions(TOutlineOptions value);  ///< Sets OutlineOptions.
  TOutlineStyle OutlineStyle() const { return style_; }  ///< What each row shows.
  void SetOutlineStyle(TOutlineStyle value);  ///< Sets OutlineStyle.
  /// The picture of an expanded item with children.
  const QIcon& PictureOpen() const { return pictureOpen_; }
  /// The picture of a collapsed item with children.
  const QIcon& PictureClosed() const { return pictureClosed_; }
  const QIcon& PictureLeaf() const { return pictureLeaf_; }  ///< The picture of an item without children.
  void SetPictureOpen(const QIcon& value);  ///< Sets PictureOpen.
  void SetPictureClosed(const QIcon& value);  ///< Sets PictureClosed.
  void SetPictureLeaf(const QIcon& value);  ///< Sets PictureLeaf.

  /// Called after an item was expanded, with its index.
  std::function<void(TCustomOutline* sender, int32_t index)> OnExpand;
  /// Called after an item was collapsed, with its index.
  std::function<void(TCustomOutline* sender, int32_t index)> OnCollapse;

 protected:
  friend class TOutlineNode;
  /// Called before the item opens, after its ancestors are open.
  virtual void Expand(int32_t index);
  virtual void Collapse(int32_t index);

  void DrawCell(QPainter& canvas, int col, int row, const QRect& rect, TGridDrawState state) override;
  void DblClick() override;
  void WMSize(int width, int height) override;
  void CurrentCellMoved() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  MIRNAX_NO_EXPORT void Changed();  ///< the tree's shape changed: indexes and rows are stale
  MIRNAX_NO_EXPORT void Reindex();  ///< rebuilds the index and row tables when stale, keeps the selected item current
  MIRNAX_NO_EXPORT int32_t Attach(TOutlineNode* parent, size_t position, const std::string& text);

  std::unique_ptr<TOutlineNode> root_;
  std::string itemSeparator_ = "\\";
  TOutlineOptions outlineOptions_ = ooDrawTreeRoot | ooDrawFocusRect;
  TOutlineStyle style_ = osTreePictureText;
  QIcon pictureOpen_;
  QIcon pictureClosed_;
  QIcon pictureLeaf_;
  bool stale_ = true;
  std::vector<TOutlineNode*> items_;  ///< by index, root first
  std::vector<TOutlineNode*> rows_;   ///< shown items, top first
  TOutlineNode* selected_ = nullptr;
};

}  // namespace mirnax
