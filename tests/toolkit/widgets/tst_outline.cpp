#include <QtTest>
#include <random>

#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/widgets/outline.h"

using mirnax::EOutlineError;
using mirnax::TCustomOutline;
using mirnax::TOutlineNode;
using mirnax::support::ErrorOf;

namespace {

class TTestOutline : public TCustomOutline {
 public:
  std::vector<std::string> Log;  // "expand <text>" as the hook sees it

 protected:
  void Expand(int32_t index) override {
    TOutlineNode& node = Items(index);
    const bool parentOpen = node.Parent()->Expanded() || !node.Parent()->Parent();
    Log.push_back("expand " + node.Text + (parentOpen ? "" : " (parent shut)"));
    TCustomOutline::Expand(index);
  }
};

// a (b (d), c), e
void Fill(TCustomOutline& o) {
  const int32_t a = o.AddChild(0, "a");
  const int32_t b = o.AddChild(a, "b");
  o.Add(b, "c");
  o.AddChild(b, "d");
  o.Add(a, "e");
}

std::string Texts(TCustomOutline& o) {
  std::string s;
  for (int32_t i = 1; i <= o.ItemCount(); ++i) s += o[i].Text;
  return s;
}

}  // namespace

class TstOutline : public QObject {
  Q_OBJECT

 private slots:
  void indexesFollowDisplayOrder() {
    TTestOutline o;
    Fill(o);
    QCOMPARE(Texts(o), std::string("abdce"));
    QCOMPARE(o.Insert(4, "x"), 4);
    QCOMPARE(Texts(o), std::string("abdxce"));
    QCOMPARE(o[1].GetFirstChild(), 2);
    QCOMPARE(o[1].GetNextChild(2), 4);
    QCOMPARE(o[1].GetNextChild(5), -1);
    QCOMPARE(o[1].GetLastChild(), 5);
    QCOMPARE(o[3].GetFirstChild(), -1);
    o.SetItemSeparator("/");
    QCOMPARE(o[3].FullPath(), std::string("a/b/d"));
    QCOMPARE(o[1].FullPath(), std::string("a"));
    QCOMPARE(o[0].Level(), 0);
    QCOMPARE(o[3].Level(), 3);
    // A top item that is the separator itself is not doubled.
    o.Clear();
    QCOMPARE(o.ItemCount(), 0);
    o.AddChild(o.AddChild(0, "/"), "usr");
    QCOMPARE(o[2].FullPath(), std::string("/usr"));
  }

  void errors() {
    TTestOutline o;
    QCOMPARE(ErrorOf<EOutlineError>([&] { o.SetSelectedItem(0); }), QString("Invalid selection"));
    Fill(o);
    QCOMPARE(ErrorOf<EOutlineError>([&] { o.Items(6); }), QString("Outline index not found"));
    QCOMPARE(ErrorOf<EOutlineError>([&] { o.Items(-1); }), QString("Outline index not found"));
    QCOMPARE(ErrorOf<EOutlineError>([&] { o.SetSelectedItem(-1); }), QString("Invalid selection"));
    o.SetSelectedItem(0);
    QCOMPARE(o.SelectedItem(), 1);
  }

  // Expanding a deep item opens its ancestors first, each through the hook; selecting a hidden
  // item shows it; keys open and shut the selected item.
  void expandAndSelect() {
    TTestOutline o;
    Fill(o);
    o[3].SetExpanded(true);
    QCOMPARE(o.Log, (std::vector<std::string>{"expand a", "expand b", "expand d"}));
    o[1].SetExpanded(false);
    QCOMPARE(o.RowCount(), 2);
    o.SetSelectedItem(4);
    QVERIFY(o[1].Expanded());
    QCOMPARE(o.Row(), 3);
    QCOMPARE(o.SelectedItem(), 4);
    o.SetSelectedItem(2);
    QTest::keyClick(&o, Qt::Key_Minus);
    QVERIFY(!o[2].Expanded());
    QCOMPARE(o.SelectedItem(), 2);
    QCOMPARE(o.RowCount(), 4);  // a b c e
    o[1].SetExpanded(false);
    QCOMPARE(o.SelectedItem(), 1);  // the selection falls back to the shown ancestor
    o.Log.clear();
    QTest::keyClick(&o, Qt::Key_Asterisk);
    QCOMPARE(o.RowCount(), 5);
    QTest::keyClick(&o, Qt::Key_Return);
    QCOMPARE(o.RowCount(), 2);
  }

  // The batch insertion gives exactly the order of inserting one name at a time before the first
  // child that does not compare less, also with equal names and a level already filled.
  void sortedInsertionMatchesOneByOne() {
    std::mt19937 random(7);
    auto less = [](const std::string& a, const std::string& b) {
      return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
    };
    for (int round = 0; round < 20; ++round) {
      std::vector<std::string> first, second;
      for (int i = 0; i < 30; ++i) {
        std::string name(1, "aAbBcC"[random() % 6]);
        name += std::to_string(random() % 3);
        name += "#" + std::to_string(i);  // tells equal names apart in the result, not in less
        (i < 15 ? first : second).push_back(name);
      }
      auto keyLess = [&](const std::string& a, const std::string& b) {
        return less(a.substr(0, a.find('#')), b.substr(0, b.find('#')));
      };
      std::vector<std::string> expected;
      for (const auto* batch : {&first, &second})
        for (const std::string& n : *batch)
          expected.insert(std::find_if(expected.begin(), expected.end(),
                                       [&](const std::string& c) { return !keyLess(c, n); }),
                          n);
      TTestOutline o;
      const int32_t top = o.AddChild(0, "top");
      o.AddChildrenSorted(top, first, keyLess);
      o.AddChildrenSorted(top, second, keyLess);
      std::vector<std::string> got;
      for (int32_t i = o[top].GetFirstChild(); i != -1; i = o[top].GetNextChild(i)) got.push_back(o[i].Text);
      QCOMPARE(got, expected);
    }
  }
};

QTEST_MAIN(TstOutline)
#include "tst_outline.moc"
