// The folder the window works in: started where no server's folder is, it says so, asks for one
// through the dialogs service, stores nothing meanwhile, and remembers the folders chosen.
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/core/config.h"
#include "app/gui/form1.h"
#include "app/gui/server_folder.h"
#include "mirnax/version.h"
#include "tests/support/file_helpers.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/inifile.h"

using mirnax::ConfigSection;
using mirnax::Exception;
using mirnax::SetDialogs;
using mirnax::TForm1;
using mirnax::TIniFile;
using mirnax::TRecentFolders;
using mirnax::TScriptedDialogs;

namespace {
const QString Caption = QStringLiteral("Kevo - MIRNAX SPECIAL EDITION - " MIRNAX_CAPTION_VERSION);

int FolderDialogs(const TScriptedDialogs& dialogs) {
  return static_cast<int>(std::count_if(dialogs.Calls.begin(), dialogs.Calls.end(),
                                        [](const TScriptedDialogs::Call& c) { return c.Kind == "ChooseFolder"; }));
}
}  // namespace

class Form1FolderTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir* home_ = nullptr;  // where the desktop starts the program
  QTemporaryDir* shard_ = nullptr;  // a server's folder: STATICS with a world file, mirnax.ini
  QTemporaryDir* settings_ = nullptr;
  QString oldCwd_;
  TScriptedDialogs* dialogs_ = nullptr;

  void MakeShard() {
    QVERIFY(QDir(shard_->path()).mkdir("STATICS"));
    QFile world(shard_->filePath("STATICS/w.scp"));
    QVERIFY(world.open(QIODevice::WriteOnly));
    TIniFile(shard_->filePath("mirnax.ini").toStdString()).WriteString(ConfigSection, "Staidx0", "/srv/staidx0.mul");
  }

 private slots:
  void init() {
    home_ = new QTemporaryDir;
    shard_ = new QTemporaryDir;
    settings_ = new QTemporaryDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_->path());
    MakeShard();
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(home_->path());
    dialogs_ = new TScriptedDialogs;
    SetDialogs(dialogs_);
  }
  void cleanup() {
    SetDialogs(nullptr);
    delete dialogs_;
    QDir::setCurrent(oldCwd_);
    delete home_;
    delete shard_;
    delete settings_;
  }

  void serverFolderIsRecognised_data() {
    QTest::addColumn<QString>("made");
    QTest::addColumn<bool>("server");
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("STATICS folder") << "dir:STATICS" << true;
    QTest::newRow("statics folder in lower case") << "dir:statics" << true;
    QTest::newRow("mirnax.ini") << "file:mirnax.ini" << true;
    QTest::newRow("a file named STATICS") << "file:STATICS" << false;
    QTest::newRow("a folder named mirnax.ini") << "dir:mirnax.ini" << false;
  }
  void serverFolderIsRecognised() {
    QFETCH(QString, made);
    QFETCH(bool, server);
    const QString name = made.section(':', 1);
    if (made.startsWith("dir:")) QVERIFY(QDir(home_->path()).mkdir(name));
    if (made.startsWith("file:")) QVERIFY(QFile(home_->filePath(name)).open(QIODevice::WriteOnly));
    QCOMPARE(mirnax::IsServerFolder(home_->path().toStdString()), server);
  }

  void elsewhereTheWindowSaysSoAndStoresNothing() {
    TForm1 form;
    form.FormActivate();
    QVERIFY(!form.FolderKnown());
    QCOMPARE(FolderDialogs(*dialogs_), 1);
    QVERIFY(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText().startsWith(
        "There is neither a STATICS folder nor mirnax.ini in " + QDir::toNativeSeparators(home_->path())));
    form.findChild<QLineEdit*>("Edit1")->setText("/typed");
    QVERIFY(!QFile::exists(home_->filePath("mirnax.ini")));
    QCOMPARE(form.windowTitle(), Caption);
    // Asked once: activating again does not ask again.
    form.FormActivate();
    QCOMPARE(FolderDialogs(*dialogs_), 1);
  }

  void theChosenFolderIsWorkedInAndRemembered() {
    dialogs_->AnswerFolder(shard_->path().toStdString());
    {
      TForm1 form;
      form.FormActivate();
      QVERIFY(form.FolderKnown());
      QCOMPARE(QDir::currentPath(), QDir(shard_->path()).canonicalPath());
      QCOMPARE(form.BaseDir(), (QDir(shard_->path()).canonicalPath() + "/").toStdString());
      QCOMPARE(form.windowTitle(), Caption + " - " + shard_->path());
      QCOMPARE(form.findChild<QLineEdit*>("Edit1")->text(), QString("/srv/staidx0.mul"));
      QCOMPARE(form.findChild<QListWidget*>("ListBox1")->count(), 1);
      QCOMPARE(form.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), QString());
      form.findChild<QLineEdit*>("Edit2")->setText("/srv/statics0.mul");
      QCOMPARE(TIniFile(shard_->filePath("mirnax.ini").toStdString()).ReadString(ConfigSection, "Statics0", ""),
               std::string("/srv/statics0.mul"));
    }
    QVERIFY(!QFile::exists(home_->filePath("mirnax.ini")));
    // Started in the home folder again, the dialog opens on the folder chosen last and offers it.
    QDir::setCurrent(home_->path());
    TForm1 again;
    again.FormActivate();
    const TScriptedDialogs::Call& asked = dialogs_->Calls.back();
    QCOMPARE(asked.Kind, std::string("ChooseFolder"));
    QCOMPARE(asked.Folder.InitialDir, shard_->path().toStdString());
    QCOMPARE(asked.Folder.Offered, std::vector<std::string>{shard_->path().toStdString()});
  }

  void inAServersFolderNothingIsAsked() {
    QDir::setCurrent(shard_->path());
    TForm1 form;
    form.FormActivate();
    QVERIFY(form.FolderKnown());
    QCOMPARE(FolderDialogs(*dialogs_), 0);
    QCOMPARE(form.windowTitle(), Caption);
  }

  void ctrlOChoosesAnotherFolder() {
    TForm1 form;
    form.FormActivate();
    auto* action = form.findChild<QAction*>("ChooseFolderAction");
    QVERIFY(action);
    QCOMPARE(action->shortcut(), QKeySequence(QKeySequence::Open));
    QVERIFY(form.actions().contains(action));  // the window's context menu
    dialogs_->AnswerFolder(shard_->path().toStdString());
    action->trigger();
    QVERIFY(form.FolderKnown());
    QCOMPARE(form.findChild<QListWidget*>("ListBox1")->count(), 1);
  }

  void aFolderThatCannotBeOpenedChangesNothing() {
    TForm1 form;
    form.FormActivate();
    dialogs_->AnswerFolder(home_->filePath("gone").toStdString());
    bool raised = false;
    try {
      form.ChooseFolderClick();
    } catch (const Exception& e) {
      raised = true;
      QCOMPARE(QString::fromStdString(e.Message),
               "Cannot work in " + home_->filePath("gone") + ": it is not a folder that can be opened");
    }
    QVERIFY(raised);
    QVERIFY(!form.FolderKnown());
    QCOMPARE(QDir::currentPath(), QDir(home_->path()).canonicalPath());
    QCOMPARE(form.windowTitle(), Caption);
  }

  void recentFoldersKeepTheLastFew() {
    TRecentFolders recent;
    std::vector<QTemporaryDir*> dirs;
    for (int i = 0; i < TRecentFolders::Kept + 2; ++i) {
      dirs.push_back(new QTemporaryDir);
      recent.Add(dirs.back()->path().toStdString());
    }
    recent.Add(dirs[3]->path().toStdString());  // chosen again: first, not twice
    const std::vector<std::string> list = recent.List();
    QCOMPARE(static_cast<int>(list.size()), TRecentFolders::Kept);
    QCOMPARE(list.front(), dirs[3]->path().toStdString());
    QCOMPARE(list[1], dirs.back()->path().toStdString());
    delete dirs.back();  // a folder gone is not offered
    dirs.pop_back();
    QCOMPARE(static_cast<int>(recent.List().size()), TRecentFolders::Kept - 1);
    qDeleteAll(dirs);
  }
};

QTEST_MAIN(Form1FolderTest)
#include "form1_folder_test.moc"
