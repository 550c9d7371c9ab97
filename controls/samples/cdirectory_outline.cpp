#include "controls/samples/cdirectory_outline.h"
#include "toolkit/core/palette.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QCollator>
#include <filesystem>
#include <memory>

namespace mirnax {

void* TCDirectoryOutline::APointer = nullptr;

namespace {

// The listing marker: the address of APointer, never null.
void* Listed() { return &TCDirectoryOutline::APointer; }

std::string AsciiCase(std::string s, bool upper) {
  for (char& c : s) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool IsFolder(const std::string& parent, const dirent* entry) {
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return false;
  // A link counts as what it points to.
  struct stat st {};
  return stat((parent + entry->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Case-insensitive order of the user's locale; each name is keyed once. Names are folded first,
// since the plain "C" collation keeps letter case apart.
class TNameOrder {
 public:
  TNameOrder() { collator_.setCaseSensitivity(Qt::CaseInsensitive); }
  bool operator()(const std::string& a, const std::string& b) { return Key(a).compare(Key(b)) < 0; }

 private:
  const QCollatorSortKey& Key(const std::string& name) {
    auto it = keys_.find(name);
    if (it == keys_.end())
      it = keys_.emplace(name, std::make_unique<QCollatorSortKey>(
                                   collator_.sortKey(QString::fromStdString(name).toCaseFolded())))
               .first;
    return *it->second;
  }

  QCollator collator_;
  std::unordered_map<std::string, std::unique_ptr<QCollatorSortKey>> keys_;
};

}  // namespace

TCDirectoryOutline::TCDirectoryOutline(QWidget* parent) : TCustomOutline(parent) {
  SetItemSeparator("/");
  SetOutlineStyle(osTreePictureText);
  SetOutlineOptions(ooDrawFocusRect | ooStretchBitmaps);
  // A folder not listed yet looks like a closed folder.
  SetPictureLeaf(PictureClosed());
  CreateWnd();
}

std::string TCDirectoryOutline::ForceCase(const std::string& name) const {
  switch (textCase_) {
    case tcLowerCase: return AsciiCase(name, false);
    case tcUpperCase: return AsciiCase(name, true);
    default: return name;
  }
}

std::string TCDirectoryOutline::CurDir() {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::current_path(error);
  return error ? std::string() : path.string();
}

std::string TCDirectoryOutline::DiskPath(int32_t index) {
  const TOutlineNode* node = &Items(index);
  std::string path;
  for (; node->Parent() && node->Parent()->Parent(); node = node->Parent()) {
    const auto stored = diskNames_.find(node);
    path = "/" + (stored != diskNames_.end() ? stored->second : node->Text) + path;
  }
  return path.empty() ? "/" : path;
}

void TCDirectoryOutline::BuildOneLevel(int32_t index) {
  std::string path = DiskPath(index);
  if (path.back() != '/') path += '/';
  std::vector<std::string> stored;
  // A folder that cannot be read lists as empty.
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.' && IsFolder(path, entry)) stored.emplace_back(entry->d_name);
    closedir(dir);
  }
  std::vector<std::string> shown(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) shown[i] = ForceCase(stored[i]);
  TNameOrder less;
  const std::vector<TOutlineNode*> added =
      AddChildrenSorted(index, std::move(shown), [&](const std::string& a, const std::string& b) {
        return less(a, b);
      });
  for (size_t i = 0; i < added.size(); ++i)
    if (added[i]->Text != stored[i]) diskNames_.emplace(added[i], std::move(stored[i]));
  Items(index).Data = Listed();
}

void TCDirectoryOutline::BuildTree() {
  Clear();
  diskNames_.clear();
  AddChild(0, ForceCase(std::string(1, drive_ ? drive_ : '/')));
  WalkTree(directory_);
  Change();
}

void TCDirectoryOutline::BuildSubTree(int32_t index) {
  BuildOneLevel(index);
  TOutlineNode& node = Items(index);
  for (int32_t i = 0; i < node.ChildCount(); ++i) BuildSubTree(node.Child(i).Index());
}

void TCDirectoryOutline::Expand(int32_t index) {
  if (!Items(index).Data) BuildOneLevel(index);
  TCustomOutline::Expand(index);
}

void TCDirectoryOutline::WalkTree(const std::string& path) {
  std::string p = ForceCase(path);
  int32_t current = RootIndex;
  if (!p.empty()) {
    if (p[0] == '/')
      p.erase(0, 1);
    else
      current = GetChildNamed("", current);  // a path not from the root matches nothing
  }
  while (!p.empty()) {
    const size_t slash = p.find('/');
    const std::string name = p.substr(0, slash);
    p = slash == std::string::npos ? std::string() : p.substr(slash + 1);
    current = GetChildNamed(name, current);
  }
  SetSelectedItem(current);
}

int32_t TCDirectoryOutline::GetChildNamed(const std::string& name, int32_t index) {
  TOutlineNode& node = Items(index);
  node.SetExpanded(true);
  const std::string wanted = AsciiCase(name, true);
  for (int32_t i = 0; i < node.ChildCount(); ++i)
    if (AsciiCase(node.Child(i).Text, true) == wanted) return node.Child(i).Index();
  return InvalidIndex;
}

void TCDirectoryOutline::SetDirectory(const std::string& path) {
  if (path.empty()) return;
  std::error_code error;
  std::string full = std::filesystem::absolute(path, error).lexically_normal().string();
  if (full.size() > 1 && full.back() == '/') full.pop_back();
  const std::string d = ForceCase(full);
  if (d == directory_) return;
  directory_ = d;
  // The folder as given, not as shown: names on this file system keep their case. A folder that
  // cannot be entered stays the shown one; the walk below tells whether it exists.
  std::filesystem::current_path(full, error);
  if (d[0] == drive_) {
    WalkTree(d);
    Change();
  } else {
    SetDrive(d[0]);
  }
}

void TCDirectoryOutline::SetDrive(char letter) {
  if (letter != '/' || letter == drive_) return;
  drive_ = letter;
  directory_ = ForceCase(CurDir());
  BuildTree();
}

void TCDirectoryOutline::SetTextCase(TTextCase value) {
  if (value == textCase_) return;
  textCase_ = value;
  if (value == tcAsIs) {
    // The names shown so far lost their stored case: take the folder afresh.
    const std::string d = CurDir();
    if (!d.empty()) drive_ = d[0];
    directory_ = d;
  } else {
    directory_ = ForceCase(directory_);
  }
  BuildTree();
}

void TCDirectoryOutline::CreateWnd() {
  if (drive_ == '\0') {
    const std::string d = ForceCase(CurDir());
    if (!d.empty()) {
      drive_ = d[0];
      directory_ = d;
    }
  }
  BuildTree();
}

void TCDirectoryOutline::Click() {
  TCustomOutline::Click();
  if (SelectedItem() > 0) SetDirectory(DiskPath(SelectedItem()));
}

void TCDirectoryOutline::Change() {
  if (OnChange) OnChange(this);
}

void cdirectory_outline::Register() {
  RegisterComponents(
      SamplesPage,
      {{.ClassName = "mirnax::TCDirectoryOutline",
        .Header = "controls/samples/cdirectory_outline.h",
        .ToolTip = "Folder tree of a drive",
        .Description = "An outline of the folders from the root down to Directory, expanded as the user opens them.",
        .Create = [](QWidget* parent) -> QWidget* { return new TCDirectoryOutline(parent); }}});
}

}  // namespace mirnax
