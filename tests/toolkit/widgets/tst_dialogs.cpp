#include <QtTest>

#include <string>

#include "toolkit/core/dialogs.h"
#include "toolkit/widgets/qt_dialogs.h"

using mirnax::Dialogs;
using mirnax::QtFilterFromPlatform;
using mirnax::SetDialogs;
using mirnax::TDialogs;
using mirnax::TScriptedDialogs;
using mirnax::mtError;

class TestDialogs : public QObject {
  Q_OBJECT

 private slots:
  void scriptedAnswersInOrder();
  void scriptedDefaultsAreSafe();
  void scriptedFolderDialog();
  void scriptedRecordsCalls();
  void serviceInstallation();
  void qtFilter_data();
  void qtFilter();
  void allFilesMatchNamesWithoutExtension();
};

void TestDialogs::scriptedAnswersInOrder() {
  TScriptedDialogs d;
  d.AnswerYesNo(true);
  d.AnswerYesNo(false);
  d.AnswerYesNo(true);
  QCOMPARE(d.YesNo("q1", ""), true);
  QCOMPARE(d.YesNo("q2", ""), false);
  QCOMPARE(d.YesNo("q3", ""), true);

  d.AnswerInput(true, "typed");
  d.AnswerInput(false, "ignored");
  std::string value = "start";
  QVERIFY(d.InputQuery("c", "p", value));
  QCOMPARE(value, std::string("typed"));
  QVERIFY(!d.InputQuery("c", "p", value));
  QCOMPARE(value, std::string("typed"));  // a cancelled box leaves the value alone

  d.AnswerOpenFile("/srv/game/staidx0.mul");
  d.AnswerOpenFile("");
  std::string file = "before";
  QVERIFY(d.OpenFile({}, file));
  QCOMPARE(file, std::string("/srv/game/staidx0.mul"));
  QVERIFY(!d.OpenFile({}, file));
  QCOMPARE(file, std::string("/srv/game/staidx0.mul"));
}

void TestDialogs::scriptedFolderDialog() {
  TScriptedDialogs d;
  d.AnswerFolder("/srv/shard");
  d.AnswerFolder("");
  std::string folder = "before";
  mirnax::TFolderDialogOptions options{"Choose", "/home", {"/srv/a", "/srv/b"}};
  QVERIFY(d.ChooseFolder(options, folder));
  QCOMPARE(folder, std::string("/srv/shard"));
  QVERIFY(!d.ChooseFolder(options, folder));  // an empty answer cancels
  QVERIFY(!d.ChooseFolder(options, folder));  // none scripted: cancel
  QCOMPARE(folder, std::string("/srv/shard"));
  QCOMPARE(d.Calls.size(), size_t{3});
  QCOMPARE(d.Calls[0].Kind, std::string("ChooseFolder"));
  QCOMPARE(d.Calls[0].Folder.Offered, (std::vector<std::string>{"/srv/a", "/srv/b"}));
}

void TestDialogs::scriptedDefaultsAreSafe() {
  TScriptedDialogs d;
  QVERIFY(!d.YesNo("Clear current statics", ""));
  std::string value = "kept";
  QVERIFY(!d.InputQuery("c", "p", value));
  QCOMPARE(value, std::string("kept"));
  std::string file = "kept";
  QVERIFY(!d.OpenFile({}, file));
  QCOMPARE(file, std::string("kept"));
  // Answers run out the same way.
  d.AnswerYesNo(true);
  QVERIFY(d.YesNo("a", ""));
  QVERIFY(!d.YesNo("b", ""));
}

void TestDialogs::scriptedRecordsCalls() {
  TScriptedDialogs d;
  d.YesNo("Clear current statics", "");
  d.Message("Cannot open file x", "KEVO - MIRNAX SPECIAL EDITION", mtError);
  std::string v;
  d.InputQuery("Caption", "Prompt", v);
  d.OpenFile({"Open", "C:\\game", "MUL Files|*.mul|All files|*.*", "*.mul"}, v);
  QCOMPARE(d.Calls.size(), size_t{4});
  QCOMPARE(d.Calls[0].Kind, std::string("YesNo"));
  QCOMPARE(d.Calls[0].Text, std::string("Clear current statics"));
  QCOMPARE(d.Calls[0].Caption, std::string());
  QCOMPARE(d.Calls[1].Kind, std::string("Message"));
  QCOMPARE(d.Calls[1].Text, std::string("Cannot open file x"));
  QCOMPARE(d.Calls[1].Caption, std::string("KEVO - MIRNAX SPECIAL EDITION"));
  QCOMPARE(d.Calls[1].Type, mtError);
  QCOMPARE(d.Calls[2].Kind, std::string("InputQuery"));
  QCOMPARE(d.Calls[2].Text, std::string("Prompt"));
  QCOMPARE(d.Calls[2].Caption, std::string("Caption"));
  QCOMPARE(d.Calls[3].Kind, std::string("OpenFile"));
  QCOMPARE(d.Calls[3].Options.InitialDir, std::string("C:\\game"));
  QCOMPARE(d.Calls[3].Options.Filter, std::string("MUL Files|*.mul|All files|*.*"));
  QCOMPARE(d.Calls[3].Options.DefaultExt, std::string("*.mul"));
}

void TestDialogs::serviceInstallation() {
  // Without an installed service a silent one answers No.
  QVERIFY(!Dialogs().YesNo("q", ""));
  TScriptedDialogs mine;
  mine.AnswerYesNo(true);
  TDialogs* before = SetDialogs(&mine);
  QVERIFY(Dialogs().YesNo("q", ""));
  QCOMPARE(mine.Calls.size(), size_t{1});
  QCOMPARE(SetDialogs(before), static_cast<TDialogs*>(&mine));
  QVERIFY(&Dialogs() != &mine);
  QVERIFY(!Dialogs().YesNo("q", ""));
  QCOMPARE(mine.Calls.size(), size_t{1});
}

void TestDialogs::qtFilter_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QString>("qt");
  QTest::newRow("statics files") << "MUL Files|*.mul|All files|*.*" << "MUL Files (*.mul);;All files (*)";
  QTest::newRow("several masks") << "Worlds|*.scp;*.wsc" << "Worlds (*.scp *.wsc)";
  QTest::newRow("every file among others") << "Any|*.mul;*.*" << "Any (*.mul *)";
  QTest::newRow("empty") << "" << "";
}

void TestDialogs::qtFilter() {
  QFETCH(QString, filter);
  QFETCH(QString, qt);
  QCOMPARE(QString::fromStdString(QtFilterFromPlatform(filter.toStdString())), qt);
}

void TestDialogs::allFilesMatchNamesWithoutExtension() {
  const QString qt = QString::fromStdString(QtFilterFromPlatform("MUL Files|*.mul|All files|*.*"));
  const QString all = qt.split(QStringLiteral(";;")).at(1);
  const QStringList masks = all.mid(all.indexOf('(') + 1).chopped(1).split(' ');
  QVERIFY(QDir::match(masks, QStringLiteral("staidx0")));
  QVERIFY(QDir::match(masks, QStringLiteral("staidx0.mul")));
}

QTEST_GUILESS_MAIN(TestDialogs)
#include "tst_dialogs.moc"
