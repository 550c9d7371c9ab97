#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/core/world_writer.h"
#include "app/gui/form1.h"
#include "support/statics_builder.h"
#include "tests/support/file_helpers.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/widgets/application.h"

using mirnax::TForm1;
using mirnax::TScriptedDialogs;

namespace {
void Put(const QString& path, const std::string& bytes) { mirnax::support::WriteBytes(path.toStdString(), mirnax::support::Bytes(bytes)); }
std::string Get(const QString& path) { return mirnax::support::Str(mirnax::support::ReadBytes(path.toStdString())); }
}  // namespace

// The window takes the map's size from MapSize= of mirnax.ini at every run and never writes it.
class Form1MapSizeTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString oldCwd_;
  std::unique_ptr<TScriptedDialogs> dialogs_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  // A cleared pair of a 64x40 map (40 blocks), a world file with one item inside it and one
  // outside, and mirnax.ini naming the pair with mapSize.
  void MakeWorkspace(const std::string& mapSize) {
    std::string index;
    for (int b = 0; b < 40; ++b) index += mirnax::support::IndexEntry(-1, -1);
    Put(Path("idx.mul"), index);
    Put(Path("dat.mul"), "");
    QVERIFY(QDir(dir_->path()).mkdir("STATICS"));
    std::string world;
    mirnax::AppendWorldItem(world, {.Tile = 1, .X = 63, .Y = 39, .Z = 0});
    mirnax::AppendWorldItem(world, {.Tile = 2, .X = 64, .Y = 0, .Z = 0});
    Put(Path("STATICS/w.scp"), world);
    Put(Path("mirnax.ini"), "[KEVOMIRNAX]\r\nStaidx0=" + Path("idx.mul").toStdString() + "\r\nStatics0=" +
                                Path("dat.mul").toStdString() + "\r\nMapSize=" + mapSize + "\r\n");
  }
  void Run() {
    TForm1 form;
    form.FormActivate();
    form.Button3Click();
    dialogs_->AnswerYesNo(false);
    // As a click runs it: an error ends the handler and shows its box.
    mirnax::Application->Guard([&] { form.Button4Click(); });
    QVERIFY(form.findChild<QPushButton*>("Button4")->isEnabled());
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(dir_->path());
    dialogs_ = std::make_unique<TScriptedDialogs>();
    mirnax::SetDialogs(dialogs_.get());
  }
  void cleanup() {
    mirnax::SetDialogs(nullptr);
    QDir::setCurrent(oldCwd_);
  }

  void runFollowsMapSize() {
    MakeWorkspace("64x40");
    const std::string ini = Get(Path("mirnax.ini"));
    Run();
    QCOMPARE(Get(Path("dat.mul")), mirnax::support::StaticRecord(1, 7, 7, 0, 0));
    std::string index;
    for (int b = 0; b < 39; ++b) index += mirnax::support::IndexEntry(-1, -1);
    QCOMPARE(Get(Path("idx.mul")), index + mirnax::support::IndexEntry(0, 7));
    QCOMPARE(Get(Path("mirnax.ini")), ini);
  }

  void badMapSizeIsShownAndTouchesNothing() {
    MakeWorkspace("64x");
    const std::string index = Get(Path("idx.mul"));
    Run();
    QCOMPARE(dialogs_->Calls.size(), size_t{1});  // the error comes before the question
    QCOMPARE(dialogs_->Calls.back().Type, mirnax::mtError);
    QCOMPARE(QString::fromStdString(dialogs_->Calls.back().Text),
             Path("mirnax.ini") + ", key MapSize: '64x' is not a map size: give WIDTHxHEIGHT in tiles, each a "
                                  "multiple of 8 from 8 to 32768 (6144x4096 by default)");
    QCOMPARE(Get(Path("idx.mul")), index);
  }
};

int main(int argc, char** argv) {
  mirnax::TApplication app(argc, argv);
  Form1MapSizeTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "form1_map_size_test.moc"
