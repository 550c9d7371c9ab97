#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "controls/samples/cdirectory_outline.h"
#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"

using mirnax::EOutlineError;
using mirnax::TCDirectoryOutline;
using mirnax::support::ErrorOf;

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> ChildTexts(TCDirectoryOutline& o, int32_t index) {
  std::vector<std::string> texts;
  for (int32_t i = o[index].GetFirstChild(); i != -1; i = o[index].GetNextChild(i)) texts.push_back(o[i].Text);
  return texts;
}

}  // namespace

class TstCDirectoryOutline : public QObject {
  Q_OBJECT

  QTemporaryDir temp_;
  std::string root_;  // the temporary folder, as stored
  fs::path start_;

 private slots:
  void initTestCase() {
    start_ = fs::current_path();
    root_ = fs::path(temp_.path().toStdString()).lexically_normal().string();
    for (const char* name : {"beta", "Alpha", "gamma", ".config", "Empty", "Mixed/Sub", "Locked/Inside"})
      fs::create_directories(root_ + "/" + name);
    std::ofstream(root_ + "/file.txt") << "x";
  }
  void init() { fs::current_path(root_); }
  void cleanupTestCase() { fs::current_path(start_); }

  // The tree opens along the current folder; names are sorted case-insensitively, dot folders and
  // files never listed, and the root item stays "/".
  void listing() {
    TCDirectoryOutline o;
    QCOMPARE(o.Drive(), '/');
    QCOMPARE(o[1].Text, std::string("/"));
    QCOMPARE(o.Directory(), Lower(root_));
    const int32_t here = o.SelectedItem();
    QCOMPARE(o[here].FullPath(), Lower(root_));
    QVERIFY(!o[here].Data);  // selected, not yet opened
    o[here].SetExpanded(true);
    QCOMPARE(ChildTexts(o, here), (std::vector<std::string>{"alpha", "beta", "empty", "gamma", "locked", "mixed"}));
    o.SetTextCase(TCDirectoryOutline::tcAsIs);
    QCOMPARE(o.Directory(), root_);
    o[o.SelectedItem()].SetExpanded(true);
    QCOMPARE(ChildTexts(o, o.SelectedItem()),
             (std::vector<std::string>{"Alpha", "beta", "Empty", "gamma", "Locked", "Mixed"}));
    o.SetTextCase(TCDirectoryOutline::tcUpperCase);
    o[o.SelectedItem()].SetExpanded(true);
    QCOMPARE(ChildTexts(o, o.SelectedItem()).front(), std::string("ALPHA"));
  }

  // Folders of any case are entered on disk as stored, whatever case they are shown in.
  void settingTheFolder() {
    TCDirectoryOutline o;
    int changes = 0;
    o.OnChange = [&](TCDirectoryOutline*) { ++changes; };
    o.SetDirectory(root_ + "/");
    QCOMPARE(changes, 0);
    o.SetDirectory(root_ + "/Mixed/");
    QCOMPARE(o.Directory(), Lower(root_ + "/mixed"));
    QCOMPARE(fs::current_path().string(), root_ + "/Mixed");
    QCOMPARE(changes, 1);
    o.SetDirectory("Sub");  // relative to the folder just entered
    QCOMPARE(o.Directory(), Lower(root_ + "/mixed/sub"));
    QCOMPARE(o[o.SelectedItem()].Text, std::string("sub"));
    QCOMPARE(fs::current_path().string(), root_ + "/Mixed/Sub");
    o.SetDirectory("/");
    QCOMPARE(o.Directory(), std::string("/"));
    QCOMPARE(o.SelectedItem(), 1);
    QCOMPARE(changes, 3);
    o.SetDirectory("");
    QCOMPARE(changes, 3);
  }

  void missingFolders() {
    TCDirectoryOutline o;
    int changes = 0;
    o.OnChange = [&](TCDirectoryOutline*) { ++changes; };
    QCOMPARE(ErrorOf<EOutlineError>([&] { o.SetDirectory(root_ + "/nope"); }), QString("Invalid selection"));
    QCOMPARE(ErrorOf<EOutlineError>([&] { o.SetDirectory(root_ + "/nope/deeper"); }),
             QString("Outline index not found"));
    QCOMPARE(changes, 0);
    QCOMPARE(fs::current_path().string(), root_);
  }

  // A listed folder is not searched again; one that cannot be read lists as empty.
  void listedOnce() {
    TCDirectoryOutline o;
    o.SetTextCase(TCDirectoryOutline::tcAsIs);
    const int32_t empty = o.GetChildNamed("Empty", o.SelectedItem());
    QVERIFY(empty > 0);
    o[empty].SetExpanded(true);
    QVERIFY(!o[empty].HasItems());
    QVERIFY(o[empty].Data == &TCDirectoryOutline::APointer);
    fs::create_directory(root_ + "/Empty/Late");
    o[empty].SetExpanded(false);
    o[empty].SetExpanded(true);
    QVERIFY(!o[empty].HasItems());
    fs::remove(root_ + "/Empty/Late");
    fs::permissions(root_ + "/Locked", fs::perms::none);
    const int32_t locked = o.GetChildNamed("locked", o.SelectedItem());
    o[locked].SetExpanded(true);
    fs::permissions(root_ + "/Locked", fs::perms::owner_all);
    if (geteuid() != 0) QVERIFY(!o[locked].HasItems());
    QCOMPARE(o[locked].Data, o[empty].Data);
    // A whole subtree is listed at once, every level marked.
    const int32_t mixed = o.GetChildNamed("MIXED", o.SelectedItem());
    o.BuildSubTree(mixed);
    QCOMPARE(ChildTexts(o, mixed), std::vector<std::string>{"Sub"});
    QVERIFY(o[o[mixed].GetFirstChild()].Data != nullptr);
  }

  // A click makes the clicked folder current.
  void clicking() {
    TCDirectoryOutline o;
    o.resize(300, 800);
    o.grab();
    int changes = 0;
    o.OnChange = [&](TCDirectoryOutline*) { ++changes; };
    const int32_t gamma = o.GetChildNamed("gamma", o.SelectedItem());
    o.SetSelectedItem(o.SelectedItem());
    int row = -1;
    for (int r = 0; r < o.RowCount(); ++r) {
      o.MoveColRow(0, r, true, true);
      if (o.SelectedItem() == gamma) row = r;
    }
    QVERIFY(row >= 0);
    o.MoveColRow(0, row, true, true);
    QTest::mouseClick(&o, Qt::LeftButton, {}, o.CellRect(0, row).center());
    QCOMPARE(fs::current_path().string(), root_ + "/gamma");
    QCOMPARE(o.Directory(), Lower(root_ + "/gamma"));
    QCOMPARE(changes, 1);
  }
};

QTEST_MAIN(TstCDirectoryOutline)
#include "tst_cdirectory_outline.moc"
