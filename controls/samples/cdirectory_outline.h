// TCDirectoryOutline: the folder tree of the file system as an outline. The top item is the root
// "/", the one drive of this platform; each level is listed when it is first opened. The control
// follows one current folder, opens the tree along its path and selects it; clicking an item
// makes its folder the process's current folder. Folders whose names begin with a dot are never
// listed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "mirnax/mirnax_export.h"
#include "toolkit/widgets/outline.h"

namespace mirnax {

/// A folder tree that opens along the current folder and lists each level when it is expanded.
class MIRNAX_EXPORT TCDirectoryOutline : public TCustomOutline {
  Q_OBJECT
  Q_PROPERTY(TTextCase TextCase READ TextCase WRITE SetTextCase)
  Q_PROPERTY(QString Directory READ DirectoryText WRITE SetDirectoryText)

 public:
  /// How the folder names are shown: lower case, upper case or as they are on disk.
  enum TTextCase { tcLowerCase, tcUpperCase, tcAsIs };
  Q_ENUM(TTextCase)

  /// An item whose folders have been listed carries the address of this member as its data.
  static void* APointer;
  static constexpr int32_t InvalidIndex = -1;  ///< The index no item has.
  static constexpr int32_t RootIndex = 1;  ///< The index of the root item, "/".

  /// A folder tree with names in lower case.
  explicit TCDirectoryOutline(QWidget* parent = nullptr);

  /// The drive of the tree: '/' once known, '\0' before.
  char Drive() const { return drive_; }
  /// The current folder as shown (after the case conversion), without a trailing "/" except "/".
  const std::string& Directory() const { return directory_; }
  TTextCase TextCase() const { return textCase_; }  ///< How the folder names are shown.

  /// Sets the drive; only "/" is a drive here, anything else is ignored.
  void SetDrive(char letter);
  /// Opens the tree at path and selects it. Relative paths are taken from the current folder; an
  /// empty one is ignored. The same folder again does nothing. A folder that does not exist raises
  /// EOutlineError while the tree walks to it.
  void SetDirectory(const std::string& path);
  void SetTextCase(TTextCase value);  ///< Sets TextCase and shows every name anew.
  // The published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does.
  void setTextCase(TTextCase value) { SetTextCase(value); }  ///< Sets TextCase, as SetTextCase.
  /// Sets Directory from a form's text, as SetDirectory.
  void setDirectory(const QString& value) { SetDirectoryText(value); }

  /// The name in the chosen case (letters A..Z only: names are UTF-8).
  std::string ForceCase(const std::string& name) const;
  /// The process's current folder, "" when it cannot be read.
  static std::string CurDir();
  /// The folder of item index as stored on disk, whatever the shown case.
  std::string DiskPath(int32_t index);

  /// Lists the folders of item index among its children, sorted case-insensitively.
  virtual void BuildOneLevel(int32_t index);
  /// Rebuilds the tree down to the current folder.
  virtual void BuildTree();
  /// Lists everything below item index.
  virtual void BuildSubTree(int32_t index);
  /// Opens the tree along path and selects its last folder.
  void WalkTree(const std::string& path);
  /// The child of index named name (letter case ignored), -1 when none; lists index first.
  int32_t GetChildNamed(const std::string& name, int32_t index);

  std::function<void(TCDirectoryOutline* sender)> OnChange;  ///< Called after the current folder changed.

 protected:
  virtual void Change();
  /// Takes the current folder when the drive is not known yet, then builds the tree.
  void CreateWnd();
  void Expand(int32_t index) override;
  void Click() override;

 private:
  QString DirectoryText() const { return QString::fromStdString(directory_); }
  void SetDirectoryText(const QString& value) { SetDirectory(value.toStdString()); }

  char drive_ = '\0';
  std::string directory_;
  TTextCase textCase_ = tcLowerCase;
  /// Names as stored on disk of the items whose shown name may differ.
  std::unordered_map<const TOutlineNode*, std::string> diskNames_;
};

namespace cdirectory_outline {
/// Adds TCDirectoryOutline to the component palette, page "Samples".
MIRNAX_EXPORT void Register();
}  // namespace cdirectory_outline

}  // namespace mirnax
