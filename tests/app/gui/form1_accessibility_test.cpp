// The window to assistive tools, walked in-process (the offscreen platform has no bridge to the
// desktop's accessibility bus): every control named, the gauges' values, the memo's text.
#include <QAccessible>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/gui/form1.h"
#include "controls/gauge/cgauge.h"
#include "controls/jumpmemo/jumpmemo.h"

using mirnax::TCGauge;
using mirnax::TForm1;
using mirnax::TJumpMemo;

namespace {
// Every interface below root with the object it stands for.
void Walk(QAccessibleInterface* root, QHash<QObject*, QAccessibleInterface*>& found) {
  for (int i = 0; i < root->childCount(); ++i) {
    QAccessibleInterface* child = root->child(i);
    if (!child) continue;
    found.insert(child->object(), child);
    Walk(child, found);
  }
}
}  // namespace

class Form1AccessibilityTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString oldCwd_;

 private slots:
  void initTestCase() {
    QVERIFY(QDir(dir_.path()).mkdir("STATICS"));
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
  }
  void cleanupTestCase() { QDir::setCurrent(oldCwd_); }

  void everyControlIsNamed_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("described");
    QTest::newRow("Files") << "GroupBox2" << "Files" << false;
    QTest::newRow("Staidx0 field") << "Edit1" << "Statics index file (Staidx0)" << true;
    QTest::newRow("Staidx0 ...") << "Button1" << "Choose the statics index file" << false;
    QTest::newRow("Statics0 field") << "Edit2" << "Statics data file (Statics0)" << true;
    QTest::newRow("Statics0 ...") << "Button2" << "Choose the statics data file" << false;
    QTest::newRow("list") << "ListBox1" << "World files" << true;
    QTest::newRow("Search") << "Button6" << "Search" << true;
    QTest::newRow("All") << "Button3" << "All" << true;
    QTest::newRow("None") << "Button5" << "None" << true;
    QTest::newRow("Statics box") << "GroupBox1" << "Statics" << false;
    QTest::newRow("log") << "Memo1" << "Run log" << true;
    QTest::newRow("step gauge") << "CGauge1" << "Progress of the current step" << false;
    QTest::newRow("Start") << "Button4" << "Start" << true;
    QTest::newRow("Total box") << "GroupBox3" << "Total" << false;
    QTest::newRow("total gauge") << "CGauge2" << "Progress of the whole run" << false;
  }
  void everyControlIsNamed() {
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(bool, described);
    TForm1 form;
    form.show();
    QHash<QObject*, QAccessibleInterface*> found;
    Walk(QAccessible::queryAccessibleInterface(&form), found);
    QAccessibleInterface* iface = found.value(form.findChild<QWidget*>(control));
    QVERIFY2(iface, "not in the window's accessibility tree");
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(!iface->text(QAccessible::Description).isEmpty(), described);
  }

  void noVisibleControlIsUnnamed() {
    TForm1 form;
    form.show();
    QHash<QObject*, QAccessibleInterface*> found;
    Walk(QAccessible::queryAccessibleInterface(&form), found);
    QVERIFY(found.size() >= 15);
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
      auto* w = qobject_cast<QWidget*>(it.key());
      // Scroll bars, the list's entries and the editors' insides are named by Qt itself.
      if (!w || !w->isVisible() || w->parentWidget() == nullptr || w->objectName().isEmpty() ||
          w->objectName().startsWith("qt_"))
        continue;
      QVERIFY2(!it.value()->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
    }
  }

  void gaugeReportsItsValue() {
    TCGauge gauge;
    gauge.SetMaxValue(40);
    gauge.SetProgress(10);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&gauge);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::ProgressBar);
    QAccessibleValueInterface* value = iface->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->currentValue().toInt(), 10);
    QCOMPARE(value->minimumValue().toInt(), 0);
    QCOMPARE(value->maximumValue().toInt(), 40);
    QCOMPARE(iface->text(QAccessible::Value), QString("25%"));
    gauge.SetProgress(30);
    QCOMPARE(value->currentValue().toInt(), 30);
  }

  void memoExposesItsText() {
    TJumpMemo memo;
    memo.Lines().Add("first line");
    memo.Lines().Add("\xcf\xf0\xe8\xe2\xe5\xf2");  // "Привет" in Windows-1251
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&memo);
    QVERIFY(iface);
    QVERIFY(iface->state().readOnly);
    QAccessibleTextInterface* text = iface->textInterface();
    QVERIFY(text);
    const QString expected = QString::fromUtf8("first line\nПривет");
    QCOMPARE(text->characterCount(), static_cast<int>(expected.size()));
    QCOMPARE(text->text(0, text->characterCount()), expected);
    QCOMPARE(text->text(11, 17), QString::fromUtf8("Привет"));
    QCOMPARE(iface->text(QAccessible::Value), expected);
  }
};

QTEST_MAIN(Form1AccessibilityTest)
#include "form1_accessibility_test.moc"
