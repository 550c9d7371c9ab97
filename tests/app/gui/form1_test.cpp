// The main window: layout, the stored paths, the world file list and the run's outer flow.
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/core/config.h"
#include "app/core/world_writer.h"
#include "app/gui/form1.h"
#include "controls/gauge/cgauge.h"
#include "controls/jumpmemo/jumpmemo.h"
#include "mirnax/version.h"
#include "support/statics_builder.h"
#include "tests/support/file_helpers.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/core/inifile.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/qt_dialogs.h"

namespace support = mirnax::support;
using mirnax::ConfigKeyStaidx;
using mirnax::ConfigKeyStatics;
using mirnax::ConfigSection;
using mirnax::SetDialogs;
using mirnax::TApplication;
using mirnax::TCGauge;
using mirnax::TForm1;
using mirnax::TIniFile;
using mirnax::TJumpMemo;
using mirnax::TOpenDialogOptions;
using mirnax::TQtDialogs;
using mirnax::TScriptedDialogs;
using mirnax::mtError;
using mirnax::support::Bytes;
using mirnax::support::ReadBytes;
using mirnax::support::Str;
using mirnax::support::WriteBytes;

namespace {
std::string ReadFile(const QString& path) { return Str(ReadBytes(path.toStdString())); }
void WriteFile(const QString& path, const std::string& data) { WriteBytes(path.toStdString(), Bytes(data)); }

// The window's controls, found by their designer names.
struct TControls {
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QListWidget* ListBox1;
  QPlainTextEdit* Memo1;
  QPushButton* Button4;
  QPushButton* Button5;
  TCGauge* CGauge1;
  TCGauge* CGauge2;
  TJumpMemo* JumpMemo1;
};

template <class T>
T* Child(const TForm1& form, const char* name) {
  T* child = form.findChild<T*>(name);
  if (!child) qFatal("the window has no %s", name);
  return child;
}

TControls Controls(const TForm1& form) {
  return {Child<QLineEdit>(form, "Edit1"),      Child<QLineEdit>(form, "Edit2"),
          Child<QListWidget>(form, "ListBox1"), Child<QPlainTextEdit>(form, "Memo1"),
          Child<QPushButton>(form, "Button4"),  Child<QPushButton>(form, "Button5"),
          Child<TCGauge>(form, "CGauge1"),      Child<TCGauge>(form, "CGauge2"),
          Child<TJumpMemo>(form, "JumpMemo1")};
}

QStringList LogLines(const TForm1& form) { return Controls(form).Memo1->toPlainText().split('\n'); }

std::string Record(uint16_t tile, int x, int y, int z) {
  std::string r;
  mirnax::AppendWorldItem(r, {.Tile = tile, .X = x, .Y = y, .Z = z, .Serial = false, .Id = true});
  return r;
}
}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir* dir_ = nullptr;
  QString oldCwd_;
  TScriptedDialogs* dialogs_ = nullptr;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  std::string IniValue(const char* key) const {
    return TIniFile(Path("mirnax.ini").toStdString()).ReadString(ConfigSection, key, "<missing>");
  }
  // A cleared statics pair in the workspace, its paths stored in mirnax.ini.
  void MakeStatics() {
    WriteFile(Path("staidx0.mul"), support::EmptyIndex());
    WriteFile(Path("statics0.mul"), "");
    TIniFile ini(Path("mirnax.ini").toStdString());
    ini.WriteString(ConfigSection, ConfigKeyStaidx, Path("staidx0.mul").toStdString());
    ini.WriteString(ConfigSection, ConfigKeyStatics, Path("statics0.mul").toStdString());
  }
  void MakeWorldFiles(const QStringList& names) {
    QDir(dir_->path()).mkpath("STATICS");
    int k = 0;
    for (const QString& name : names) {
      WriteFile(Path("STATICS/" + name), Record(0x0eed, 1430 + k, 1700, 0) + Record(0x0481, 1431 + k, 1701, 2));
      ++k;
    }
  }

 private slots:
  void init() {
    dir_ = new QTemporaryDir;
    QVERIFY(dir_->isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_->path());
    // A server's folder, where the window works as designed (form1_folder_test: elsewhere).
    QVERIFY(QDir(dir_->path()).mkdir("STATICS"));
    dialogs_ = new TScriptedDialogs;
    SetDialogs(dialogs_);
  }
  void cleanup() {
    SetDialogs(nullptr);
    delete dialogs_;
    QDir::setCurrent(oldCwd_);
    delete dir_;
  }

  void layoutMatchesTheWindowTable() {
    TForm1 form;
    QCOMPARE(form.size(), QSize(636, 332));
    QCOMPARE(form.minimumSize(), QSize(636, 332));  // it grows (form1_layout_test), never below
    // The caption carries the build's version, minor and patch in two digits ("V1.00.00" for 1.0.0).
    QCOMPARE(form.windowTitle(), QString::asprintf("Kevo - MIRNAX SPECIAL EDITION - V%d.%02d.%02d", MIRNAX_VERSION_MAJOR,
                                                   MIRNAX_VERSION_MINOR, MIRNAX_VERSION_PATCH));
    QCOMPARE(form.font().family(), QString("MS Sans Serif"));
    QCOMPARE(form.font().pointSize(), 8);
    const struct {
      const char* name;
      QRect rect;
      const char* caption;
    } table[] = {
        {"GroupBox2", {0, 0, 633, 65}, "Files"},     {"Edit1", {56, 16, 529, 21}, nullptr},
        {"Button1", {592, 16, 33, 21}, "..."},      {"Edit2", {56, 40, 529, 21}, nullptr},
        {"Button2", {592, 40, 33, 21}, "..."},      {"ListBox1", {0, 72, 201, 161}, nullptr},
        {"Button6", {0, 238, 65, 19}, "Search"},    {"Button3", {68, 238, 65, 19}, "All"},
        {"Button5", {138, 238, 65, 19}, "None"},    {"GroupBox1", {208, 70, 425, 187}, "Statics"},
        {"Memo1", {8, 16, 409, 161}, nullptr},      {"CGauge1", {0, 264, 561, 20}, nullptr},
        {"Button4", {568, 264, 67, 20}, "Start"},   {"GroupBox3", {0, 288, 633, 41}, "Total"},
        {"CGauge2", {8, 16, 617, 17}, nullptr},     {"JumpMemo1", {16, 344, 200, 200}, nullptr},
    };
    for (const auto& row : table) {
      auto* w = form.findChild<QWidget*>(row.name);
      QVERIFY2(w, row.name);
      QCOMPARE(w->geometry(), row.rect);
      if (row.caption) {
        if (auto* b = qobject_cast<QPushButton*>(w)) QCOMPARE(b->text(), QString(row.caption));
        if (auto* g = qobject_cast<QGroupBox*>(w)) QCOMPARE(g->title(), QString(row.caption));
      }
    }
    QCOMPARE(form.findChild<QLabel*>("Label1")->text(), QString("Staidx0"));
    QCOMPARE(form.findChild<QLabel*>("Label2")->text(), QString("Statics0"));
    QCOMPARE(form.findChild<QLabel*>("Label1")->pos(), QPoint(8, 20));
    QCOMPARE(form.findChild<QLabel*>("Label2")->pos(), QPoint(8, 44));
    QVERIFY(Controls(form).JumpMemo1->isHidden());
    QCOMPARE(Controls(form).ListBox1->selectionMode(), QAbstractItemView::MultiSelection);
    QCOMPARE(form.BaseDir(), (QDir::currentPath() + "/").toStdString());
  }

  void badConfigurationGivesEmptyFieldsAndIsNotDamaged_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("no section") << QByteArray("[OTHER]\r\nStaidx0=x\r\n");
    QTest::newRow("not ini") << QByteArray("\x00\x01\xff garbage [[[ ===\n\x7f", 21);
  }
  void badConfigurationGivesEmptyFieldsAndIsNotDamaged() {
    QFETCH(QByteArray, content);
    const bool exists = QTest::currentDataTag() != QString("missing");
    if (exists) WriteFile(Path("mirnax.ini"), content.toStdString());
    TForm1 form;
    form.FormActivate();
    QCOMPARE(Controls(form).Edit1->text(), QString());
    QCOMPARE(Controls(form).Edit2->text(), QString());
    QCOMPARE(QFile::exists(Path("mirnax.ini")), exists);
    if (exists) QCOMPARE(ReadFile(Path("mirnax.ini")), content.toStdString());
    // The first change adds the key and keeps every byte that was there.
    Controls(form).Edit1->setText("/x");
    QCOMPARE(IniValue(ConfigKeyStaidx), std::string("/x"));
    QVERIFY(ReadFile(Path("mirnax.ini")).find(content.toStdString()) == 0);
  }

  void pathIsStoredAfterEveryKeystroke() {
    TForm1 form;
    form.show();
    form.FormActivate();
    const QString typed = "C:\\game\\Staidx0.mul";
    for (int i = 0; i < typed.size(); ++i) {
      QTest::keyClick(Controls(form).Edit1, typed[i].toLatin1());
      QCOMPARE(IniValue(ConfigKeyStaidx), typed.left(i + 1).toStdString());
    }
    QTest::keyClick(Controls(form).Edit2, 'q');
    QCOMPARE(IniValue(ConfigKeyStatics), std::string("q"));
    QCOMPARE(IniValue(ConfigKeyStaidx), typed.toStdString());
  }

  // A mirnax.ini the user made read-only stays as it is; the window says once that it cannot
  // store the path, not at every keystroke.
  void readOnlyConfigurationIsNotReplaced() {
    MakeStatics();
    const std::string before = ReadFile(Path("mirnax.ini"));
    QVERIFY(QFile::setPermissions(Path("mirnax.ini"), QFile::ReadOwner | QFile::ReadGroup));
    TForm1 form;
    form.FormActivate();
    QTest::keyClicks(Controls(form).Edit1, "xy");
    QCOMPARE(ReadFile(Path("mirnax.ini")), before);
    QCOMPARE(dialogs_->Calls.size(), size_t{1});
    QCOMPARE(dialogs_->Calls[0].Text,
             "The path cannot be stored: Cannot create file " + Path("mirnax.ini").toStdString() +
                 ": the file is read-only");
  }

  void chosenFileIsStoredAndShownAfterRestart() {
    const std::string chosen = Path("Ünïcode dir/статика0.mul").toStdString();
    {
      TForm1 form;
      form.FormActivate();
      Controls(form).Edit2->setText(Path("old folder/statics0.mul"));
      dialogs_->AnswerOpenFile(chosen);
      form.Button2Click();
      QCOMPARE(dialogs_->Calls.back().Kind, std::string("OpenFile"));
      const TOpenDialogOptions& o = dialogs_->Calls.back().Options;
      QCOMPARE(o.InitialDir, Path("old folder").toStdString());
      QCOMPARE(o.Filter, std::string("MUL Files|*.mul|All files|*.*"));
      QCOMPARE(o.DefaultExt, std::string("*.mul"));
      QCOMPARE(IniValue(ConfigKeyStatics), chosen);
      // Cancelling changes nothing.
      dialogs_->AnswerOpenFile("");
      form.Button1Click();
      QCOMPARE(IniValue(ConfigKeyStaidx), std::string("<missing>"));
    }
    TForm1 again;
    again.FormActivate();
    QCOMPARE(Controls(again).Edit2->text().toStdString(), chosen);
    QCOMPARE(Controls(again).Edit1->text(), QString());
  }

  void searchListsWorldFilesAndASecondSearchClearsTheSelection() {
    MakeWorldFiles({"b.scp", "A.SCP", "c.Scp"});
    WriteFile(Path("STATICS/.hidden.scp"), "");
    WriteFile(Path("STATICS/notes.txt"), "");
    QDir(dir_->path()).mkpath("STATICS/folder.scp");
    TForm1 form;
    form.Button6Click();
    QStringList names;
    for (int i = 0; i < Controls(form).ListBox1->count(); ++i) names << Controls(form).ListBox1->item(i)->text();
    QCOMPARE(names, QStringList({"A.SCP", "b.scp", "c.Scp"}));
    form.Button3Click();
    QCOMPARE(Controls(form).ListBox1->selectedItems().size(), 3);
    form.Button5Click();
    QCOMPARE(Controls(form).ListBox1->selectedItems().size(), 0);
    Controls(form).ListBox1->item(1)->setSelected(true);
    form.Button6Click();
    QCOMPARE(Controls(form).ListBox1->count(), 3);
    QCOMPARE(Controls(form).ListBox1->selectedItems().size(), 0);
  }

  void startWithoutSelectionTouchesNothing() {
    MakeStatics();
    MakeWorldFiles({"a.scp", "b.scp"});
    const std::string index = ReadFile(Path("staidx0.mul")), data = ReadFile(Path("statics0.mul"));
    TForm1 form;
    form.FormActivate();
    form.Button4Click();
    QCOMPARE(LogLines(form), QStringList({"No items found"}));
    QVERIFY(dialogs_->Calls.empty());
    QVERIFY(Controls(form).Button4->isEnabled());
    QCOMPARE(ReadFile(Path("staidx0.mul")), index);
    QCOMPARE(ReadFile(Path("statics0.mul")), data);
    QVERIFY(!QFile::exists(Path("staidx0.xxx")));
  }

  void twoFilesAnsweredYesLogThirteenLinesAndFreeze() {
    MakeStatics();
    MakeWorldFiles({"a.scp", "b.scp"});
    TForm1 form;
    form.FormActivate();
    form.Button3Click();
    dialogs_->AnswerYesNo(true);
    form.Button4Click();
    QCOMPARE(LogLines(form), QStringList({"", "Loading ... a.scp", "Parsing ... a.scp",
                                          "The Worldfile contains ... 2 Items", "", "Loading ... b.scp",
                                          "Parsing ... b.scp", "The Worldfile contains ... 2 Items", "",
                                          "Clean statics.... OK", "", "Start freezing.... OK",
                                          "Process finished"}));
    QCOMPARE(dialogs_->Calls.size(), size_t{1});
    QCOMPARE(dialogs_->Calls[0].Text, std::string("Clear current statics"));
    QCOMPARE(dialogs_->Calls[0].Caption, std::string(""));
    // The map beside the question (map_picture_test says what it shows).
    QVERIFY(QImage::fromData(QByteArray::fromStdString(dialogs_->Calls[0].Picture), "PNG").width() > 0);
    QCOMPARE(ReadFile(Path("statics0.mul")).size(), size_t{4 * 7});
    QCOMPARE(ReadFile(Path("staidx0.mul")).size(), size_t{4718592});
    QVERIFY(!QFile::exists(Path("staidx0.xxx")) && !QFile::exists(Path("statics0.xxx")));
    QCOMPARE(Controls(form).CGauge2->Progress(), 3);
    QCOMPARE(Controls(form).CGauge2->PercentDone(), 100);
    QCOMPARE(Controls(form).CGauge1->Progress(), 393216);
    QVERIFY(Controls(form).Button4->isEnabled());
    // The hidden memo let each file's lines go once they were read.
    QCOMPARE(Controls(form).JumpMemo1->Lines().Count(), 0);
  }

  void totalGaugeEndsShortWhenSomeFilesAreNotSelected() {
    MakeStatics();
    MakeWorldFiles({"a.scp", "b.scp", "c.scp"});
    TForm1 form;
    form.FormActivate();
    Controls(form).ListBox1->item(2)->setSelected(true);
    dialogs_->AnswerYesNo(false);
    form.Button4Click();
    QCOMPARE(Controls(form).CGauge2->Progress(), 2);   // selected + 1
    QCOMPARE(Controls(form).CGauge2->MaxValue(), 4);   // listed + 1
    QVERIFY(!LogLines(form).contains("Clean statics.... OK"));
    QCOMPARE(LogLines(form).mid(4), QStringList({"", "Start freezing.... OK", "Process finished"}));
  }

  void windowTakesNoInputDuringARun() {
    MakeStatics();
    MakeWorldFiles({"a.scp", "b.scp"});
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));  // activation reloads the list: let it happen first
    form.Button3Click();
    const QString path = Controls(form).Edit1->text();
    // The question comes in the middle of the run: poke the window while it is up.
    struct TPokingDialogs : TScriptedDialogs {
      TForm1* form = nullptr;
      bool sawRunning = false;
      bool YesNo(const std::string& text, const std::string& caption, int defaultButton) override {
        sawRunning = form->Running() && !Controls(*form).Button4->isEnabled();
        QTest::mouseClick(Controls(*form).Button5, Qt::LeftButton);  // "None"
        QTest::keyClicks(Controls(*form).Edit1, "zz");
        QTest::mouseClick(Controls(*form).Button4, Qt::LeftButton);  // a second Start
        return TScriptedDialogs::YesNo(text, caption, defaultButton);
      }
    } poking;
    poking.form = &form;
    poking.AnswerYesNo(true);
    SetDialogs(&poking);
    form.Button4Click();
    SetDialogs(dialogs_);
    QVERIFY(poking.sawRunning);
    QCOMPARE(poking.Calls.size(), size_t{1});  // one question: the second Start never ran
    QCOMPARE(Controls(form).ListBox1->selectedItems().size(), 2);
    QCOMPARE(Controls(form).Edit1->text(), path);
    QCOMPARE(LogLines(form).size(), 13);
    QVERIFY(Controls(form).Button4->isEnabled());
  }

  // The window answers the window system while a run holds the thread: an event posted before
  // the run is handled before the run's question, not after the run.
  void windowStaysLiveDuringARun() {
    MakeStatics();
    MakeWorldFiles({"a.scp"});
    TForm1 form;
    form.FormActivate();
    form.Button3Click();
    bool handled = false;
    QMetaObject::invokeMethod(&form, [&] { handled = true; }, Qt::QueuedConnection);
    struct TAskingDialogs : TScriptedDialogs {
      const bool* handled = nullptr;
      bool handledBeforeQuestion = false;
      bool YesNo(const std::string& text, const std::string& caption, int defaultButton) override {
        handledBeforeQuestion = *handled;
        return TScriptedDialogs::YesNo(text, caption, defaultButton);
      }
    } asking;
    asking.handled = &handled;
    SetDialogs(&asking);
    form.Button4Click();
    SetDialogs(dialogs_);
    QCOMPARE(asking.Calls.size(), size_t{1});
    QVERIFY(asking.handledBeforeQuestion);
  }

  // The window becoming active during a run (a box closed) reloads the paths and the list only
  // once the run is over: the run's fields and selection stay as they were until then.
  void activationDuringARunReloadsAfterIt() {
    MakeStatics();
    MakeWorldFiles({"a.scp"});
    TForm1 form;
    form.FormActivate();
    form.Button3Click();
    const QString path = Controls(form).Edit1->text();
    struct TActivatingDialogs : TScriptedDialogs {
      TForm1* form = nullptr;
      QString dir;
      QString pathDuringRun;
      int selectedDuringRun = -1;
      bool YesNo(const std::string& text, const std::string& caption, int defaultButton) override {
        // Meanwhile another program changed the configuration and added a world file.
        TIniFile(QDir(dir).filePath("mirnax.ini").toStdString()).WriteString(ConfigSection, ConfigKeyStaidx, "/moved");
        WriteFile(QDir(dir).filePath("STATICS/b.scp"), "");
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(form, &activate);
        pathDuringRun = Controls(*form).Edit1->text();
        selectedDuringRun = int(Controls(*form).ListBox1->selectedItems().size());
        return TScriptedDialogs::YesNo(text, caption, defaultButton);
      }
    } activating;
    activating.form = &form;
    activating.dir = dir_->path();
    activating.AnswerYesNo(false);
    SetDialogs(&activating);
    form.Button4Click();
    SetDialogs(dialogs_);
    QCOMPARE(activating.pathDuringRun, path);
    QCOMPARE(activating.selectedDuringRun, 1);
    QCOMPARE(LogLines(form).last(), QString("Process finished"));
    QCOMPARE(Controls(form).Edit1->text(), QString("/moved"));
    QCOMPARE(Controls(form).ListBox1->count(), 2);
    QCOMPARE(Controls(form).ListBox1->selectedItems().size(), 0);
    // Once idle, an activation reloads at once.
    TIniFile(Path("mirnax.ini").toStdString()).WriteString(ConfigSection, ConfigKeyStaidx, "/again");
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&form, &activate);
    QCOMPARE(Controls(form).Edit1->text(), QString("/again"));
  }

  // A keyboard user starts a run with Space on Start: afterwards the focus is on Start again, and
  // no path field got it with its text selected (one stray key would replace the stored path).
  void focusComesBackToStartAfterARun() {
    MakeStatics();
    MakeWorldFiles({"a.scp"});
    TForm1 form;
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Button3Click();
    const TControls c = Controls(form);
    c.Button4->setFocus(Qt::TabFocusReason);
    QTest::keyClick(c.Button4, Qt::Key_Space);
    QCOMPARE(LogLines(form).last(), QString("Process finished"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c.Button4));
    QVERIFY(!c.Edit1->hasSelectedText() && !c.Edit2->hasSelectedText());
  }

  // The question before the freeze, as the real box asks it: no caption of its own, Return
  // answers No, and closing the box answers No; the statics are then extended, not cleared.
  void clearQuestionAnswersNoByReturnAndByClosing_data() {
    QTest::addColumn<bool>("close");
    QTest::newRow("Return") << false;
    QTest::newRow("closed") << true;
  }
  void clearQuestionAnswersNoByReturnAndByClosing() {
    QFETCH(bool, close);
    MakeStatics();
    MakeWorldFiles({"a.scp"});
    TQtDialogs qt;
    SetDialogs(&qt);
    TForm1 form;
    form.FormActivate();
    form.Button3Click();
    QString title = "<no box>";
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      answer.stop();
      title = box->windowTitle();
      if (close)
        box->close();
      else
        QTest::keyClick(box, Qt::Key_Return);
    });
    answer.start(5);
    form.Button4Click();
    SetDialogs(dialogs_);
    QCOMPARE(title.trimmed(), QString());
    QVERIFY(!title.isEmpty());  // an empty one would show the program's name
    QVERIFY(!LogLines(form).contains("Clean statics.... OK"));
    QCOMPARE(LogLines(form).last(), QString("Process finished"));
  }

  void unreadableWorldFileShowsItsErrorAndLeavesTheWindowUsable() {
    MakeStatics();
    MakeWorldFiles({"a.scp"});
    TForm1 form;
    form.show();
    form.FormActivate();
    form.Button3Click();
    QFile::remove(Path("STATICS/a.scp"));
    QTest::mouseClick(Controls(form).Button4, Qt::LeftButton);
    QCOMPARE(dialogs_->Calls.size(), size_t{1});
    QCOMPARE(dialogs_->Calls[0].Kind, std::string("Message"));
    QCOMPARE(dialogs_->Calls[0].Type, mtError);
    QVERIFY2(QString::fromStdString(dialogs_->Calls[0].Text).startsWith("Cannot open file "),
             dialogs_->Calls[0].Text.c_str());
    QVERIFY(dialogs_->Calls[0].Text.find("a.scp") != std::string::npos);
    QVERIFY(Controls(form).Button4->isEnabled());
    QVERIFY(!form.Running());
  }
};

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  app.SetTitle("KEVO - MIRNAX SPECIAL EDITION");
  Form1Test test;
  return QTest::qExec(&test, argc, argv);
}

#include "form1_test.moc"
