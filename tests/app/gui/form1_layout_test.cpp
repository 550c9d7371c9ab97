// The window that grows: its designed places at the designed size, the list and the log take the room
// added, the rows above and below stretch, the buttons keep their sizes by their edges.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/gui/form1.h"
#include "app/gui/form1_layout.h"

using mirnax::TForm1;

class Form1LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void placesAtASize_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    const QSize part(636, 332), big(1036, 632);  // 400 wider: the list takes 100, the log 300
    QTest::newRow("part: list") << part << "ListBox1" << QRect(0, 72, 201, 161);
    QTest::newRow("part: log") << part << "GroupBox1" << QRect(208, 70, 425, 187);
    QTest::newRow("part: total") << part << "GroupBox3" << QRect(0, 288, 633, 41);
    QTest::newRow("big: files box") << big << "GroupBox2" << QRect(0, 0, 1033, 65);
    QTest::newRow("big: index field") << big << "Edit1" << QRect(56, 16, 929, 21);
    QTest::newRow("big: index button") << big << "Button1" << QRect(992, 16, 33, 21);
    QTest::newRow("big: data field") << big << "Edit2" << QRect(56, 40, 929, 21);
    QTest::newRow("big: data button") << big << "Button2" << QRect(992, 40, 33, 21);
    QTest::newRow("big: list") << big << "ListBox1" << QRect(0, 72, 301, 461);
    QTest::newRow("big: Search") << big << "Button6" << QRect(0, 538, 65, 19);
    QTest::newRow("big: All") << big << "Button3" << QRect(68, 538, 65, 19);
    QTest::newRow("big: None") << big << "Button5" << QRect(138, 538, 65, 19);
    QTest::newRow("big: log box") << big << "GroupBox1" << QRect(308, 70, 725, 487);
    QTest::newRow("big: log") << big << "Memo1" << QRect(8, 16, 709, 461);
    QTest::newRow("big: step gauge") << big << "CGauge1" << QRect(0, 564, 961, 20);
    QTest::newRow("big: Start") << big << "Button4" << QRect(968, 564, 67, 20);
    QTest::newRow("big: total box") << big << "GroupBox3" << QRect(0, 588, 1033, 41);
    QTest::newRow("big: total gauge") << big << "CGauge2" << QRect(8, 16, 1017, 17);
    QTest::newRow("big: hidden memo") << big << "JumpMemo1" << QRect(16, 344, 200, 200);
    QTest::newRow("3 wider: the log takes all") << QSize(639, 332) << "GroupBox1" << QRect(208, 70, 428, 187);
    QTest::newRow("smaller: the designed size") << QSize(300, 200) << "Button4" << QRect(568, 264, 67, 20);
  }
  void placesAtASize() {
    QFETCH(QSize, size);
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("STATICS"));  // a server's folder: nothing is asked
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
      TForm1 form;
      form.show();
      form.resize(size);
      QCOMPARE(form.size(), size.expandedTo(mirnax::Form1PartSize));
      auto* control = form.findChild<QWidget*>(name);
      QVERIFY(control);
      QCOMPARE(control->geometry(), rect);
    }
    QDir::setCurrent(old);
  }

  void growsAndShrinksBack() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("STATICS"));  // a server's folder: nothing is asked
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
      TForm1 form;
      form.show();
      form.resize(1200, 900);
      form.resize(mirnax::Form1PartSize);
      QCOMPARE(form.findChild<QWidget*>("Memo1")->geometry(), QRect(8, 16, 409, 161));
      QCOMPARE(form.findChild<QWidget*>("Button4")->geometry(), QRect(568, 264, 67, 20));
    }
    QDir::setCurrent(old);
  }
};

QTEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
