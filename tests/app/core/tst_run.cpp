#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include "app/core/config.h"
#include "app/core/run.h"
#include "app/core/statics.h"
#include "statics_fixture.h"
#include "tests/support/recording_host.h"
#include "toolkit/exceptions.h"

using namespace fixture;

class TestRun : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  TRecordingHost host_;
  TRunRequest request_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  std::string BaseDir() const { return Std(dir_->path()) + "/"; }
  void World(const QString& name, const QByteArray& text) { Write(Path("STATICS/" + name), text); }
  QByteArray Index() const { return Read(QString::fromStdString(request_.IndexPath)); }
  QByteArray Data() const { return Read(QString::fromStdString(request_.DataPath)); }
  // The world files as the window's list offers them: chosen ones are read from its STATICS folder.
  void Offer(const QList<QPair<QString, bool>>& entries) {
    for (const auto& [name, chosen] : entries) {
      if (chosen)
        request_.WorldFiles.push_back({Std(name), WorldFilePath(BaseDir(), Std(name))});
      else
        ++request_.Unchosen;
    }
  }
  void Run() { RunFreeze(request_, host_); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid() && QDir(dir_->path()).mkdir("STATICS"));
    host_ = TRecordingHost();
    request_ = TRunRequest();
    request_.IndexPath = Std(Path("staidx0.mul"));
    request_.DataPath = Std(Path("statics0.mul"));
    QByteArray index = EmptyIndex();
    SetEntry(index, 1, 0, 7, "\x09\x09\x09\x09");
    Write(Path("staidx0.mul"), index);
    Write(Path("statics0.mul"), Record(5, 5, 5, 5, 5));
    host_.log << "left from the last run";
  }

  void twoFilesAnsweredYes() {
    World("a.scp", WorldItem(0x0eed, 1430, 1700, 0, 0x481) + WorldItem(0x0196, 0, 0, -1));
    World("b.scp", WorldItem(0x0001, 1430, 1701, 5));
    Offer({{"a.scp", true}, {"b.scp", true}});
    host_.answer = true;
    Run();
    QCOMPARE(host_.log, QStringList({"", "Loading ... a.scp", "Parsing ... a.scp", "The Worldfile contains ... 2 Items",
                                     "", "Loading ... b.scp", "Parsing ... b.scp", "The Worldfile contains ... 1 Items",
                                     "", "Clean statics.... OK", "", "Start freezing.... OK", "Process finished"}));
    QCOMPARE(host_.questions, QStringList({"Clear current statics"}));
    // Cleared first: only the run's items, every Extra 0.
    QByteArray index = EmptyIndex();
    SetEntry(index, 0, 0, 7);
    SetEntry(index, 91348, 7, 14);
    QCOMPARE(Index(), index);
    QCOMPARE(Data(), Record(0x0196, 0, 0, -1, 0) + Record(0x0eed, 6, 4, 0, 0x481) + Record(0x0001, 6, 5, 5, 0));
    QCOMPARE(host_.total.done, 3);
    QCOMPARE(host_.total.total, 3);
    QCOMPARE(host_.step.done, BlockCount);
    // Each file's lines went once read: the freeze ran without any of them.
    QCOMPARE(host_.lines.Count(), 0);
  }

  void answerNoAddsToTheCurrentStatics() {
    World("a.scp", WorldItem(0x0002, 1, 8, 0));
    Offer({{"a.scp", true}});
    Run();
    QCOMPARE(host_.log, QStringList({"", "Loading ... a.scp", "Parsing ... a.scp", "The Worldfile contains ... 1 Items",
                                     "", "Start freezing.... OK", "Process finished"}));
    QCOMPARE(host_.questions, QStringList({"Clear current statics"}));
    QCOMPARE(Data(), Record(5, 5, 5, 5, 5) + Record(2, 1, 0, 0, 0));
    QCOMPARE(EntryAt(Index(), 1), Entry(0, 14, "\x09\x09\x09\x09"));
  }

  void nothingToFreezeTouchesNothing_data() {
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("nothing selected") << false << QStringList({"No items found"});
    QTest::newRow("files without records")
        << true
        << QStringList({"", "Loading ... a.scp", "Parsing ... a.scp", "The Worldfile contains ... 0 Items", "",
                        "Loading ... b.scp", "Parsing ... b.scp", "The Worldfile contains ... 0 Items", "No items found"});
  }
  void nothingToFreezeTouchesNothing() {
    QFETCH(bool, selected);
    QFETCH(QStringList, log);
    World("a.scp", "[WORLDITEM 0001]\r\nP=1,1,1\r\n");  // never ended by an empty line
    World("b.scp", "");
    Offer({{"a.scp", selected}, {"b.scp", selected}});
    const QByteArray index = Index(), data = Data();
    Run();
    QCOMPARE(host_.log, log);
    QVERIFY(host_.questions.isEmpty());
    QCOMPARE(Index(), index);
    QCOMPARE(Data(), data);
    QCOMPARE(host_.total.total, 3);
    QCOMPARE(host_.total.done, selected ? 2 : 0);
  }

  void someFilesSelected() {
    World("a.scp", WorldItem(1, 1, 1, 1));
    World("b.scp", WorldItem(2, 2, 2, 2));
    World("c.scp", WorldItem(3, 3, 3, 3));
    Offer({{"a.scp", false}, {"b.scp", true}, {"c.scp", false}});
    Run();
    QCOMPARE(host_.log.mid(0, 4), QStringList({"", "Loading ... b.scp", "Parsing ... b.scp",
                                               "The Worldfile contains ... 1 Items"}));
    QCOMPARE(host_.total.done, 2);  // (selected + 1) of (listed + 1)
    QCOMPARE(host_.total.total, 4);
  }

  void itemsOutsideTheMapAreSkippedAndLogged() {
    World("a.scp", WorldItem(1, -3, 10, 0) + WorldItem(2, 16, 0, 0) + WorldItem(3, 7000, 10, 0));
    Offer({{"a.scp", true}});
    Run();
    QCOMPARE(host_.log.mid(3, 2),
             QStringList({"The Worldfile contains ... 1 Items", "Skipped 2 items outside the map"}));
    QCOMPARE(Data(), Record(5, 5, 5, 5, 5) + Record(2, 0, 0, 0, 0));
  }

  void stopsOnAPositionThatIsNoNumber() {
    World("a.scp", WorldItem(1, 1, 1, 1));
    World("b.scp", "[WORLDITEM 0001]\r\nP=5,6\r\n\r\n");
    Offer({{"a.scp", true}, {"b.scp", true}});
    host_.answer = true;
    const QByteArray index = Index(), data = Data();
    QCOMPARE(ErrorOf<EConvertError>([&] { Run(); }), QString("'' is not a valid integer value"));
    QCOMPARE(host_.log.last(), QString("Parsing ... b.scp"));
    QVERIFY(host_.questions.isEmpty());
    QCOMPARE(Index(), index);
    QCOMPARE(Data(), data);
  }

  void stopsOnAWorldFileThatCannotBeOpened() {
    Offer({{"gone.scp", true}});
    QCOMPARE(ErrorOf<EFOpenError>([&] { Run(); }),
             QString::fromStdString("Cannot open file " + BaseDir() + "STATICS\\gone.scp"));
    QCOMPARE(host_.log.last(), QString("Loading ... gone.scp"));
  }

  void loadsFromTheStaticsFolderInAnyLetterCase() {
    QVERIFY(QDir(dir_->path()).rename("STATICS", "statics"));
    Write(Path("statics/A.SCP"), WorldItem(1, 1, 1, 1));
    Offer({{"a.scp", true}});
    Run();
    QCOMPARE(host_.log.at(3), QString("The Worldfile contains ... 1 Items"));
  }

  void aWorldFileMayComeFromAPathOfItsOwn() {
    Write(Path("elsewhere.txt"), WorldItem(1, 1, 1, 1) + WorldItem(1, 2, 1, 1));
    request_.WorldFiles.push_back({"my world", Std(Path("elsewhere.txt"))});
    Run();
    QCOMPARE(host_.log.mid(1, 3), QStringList({"Loading ... my world", "Parsing ... my world",
                                               "The Worldfile contains ... 2 Items"}));
  }

  // Yes decides the clear, but nothing is written until the freeze writes the new pair: a freeze
  // that fails (here on a real write limit that the new data file passes, but an index does not)
  // leaves the previous statics, not an empty pair.
  void aFailedFreezeAfterYesLeavesThePreviousStatics() {
    constexpr int Items = 700000;
    const rlim_t limit = rlim_t(IndexFileSize) + (64 << 10);
    QVERIFY(rlim_t(Items) * StaticRecordSize > limit);
    World("a.scp", QByteArray("[WORLDITEM 1]\nP=1,1,1\n\n").repeated(Items));
    Offer({{"a.scp", true}});
    host_.answer = true;
    const QByteArray index = Index(), data = Data();
    const support::TChildResult child = RunInChild(
        [&](int fd) {
          IgnoreFileSizeSignal();
          rlimit rl{limit, limit};
          ::setrlimit(RLIMIT_FSIZE, &rl);
          try {
            Run();
          } catch (const Exception& e) {
            Send(fd, Std(host_.log.join('|')) + "\n" + e.Message);
            return 0;
          }
          return 1;
        });
    const QByteArray message = Q(child.Output);
    QVERIFY2(child.ExitCode == 0, message.constData());
    const QList<QByteArray> parts = message.split('\n');
    QVERIFY(parts.first().endsWith("|Clean statics.... OK||Start freezing...."));
    QVERIFY2(message.contains("File too large") && message.contains("were put back"), message.constData());
    QCOMPARE(Index(), index);
    QCOMPARE(Data(), data);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList({"staidx0.mul", "statics0.mul"}));
  }

  void aLeftoverIsRefusedBeforeTheClear() {
    World("a.scp", WorldItem(1, 1, 1, 1));
    Write(Path("staidx0.xxx"), "previous index");
    Offer({{"a.scp", true}});
    host_.answer = true;
    const QByteArray index = Index(), data = Data();
    QVERIFY_THROWS_EXCEPTION(Exception, Run());
    QCOMPARE(host_.log.last(), QString("Clean statics...."));
    QCOMPARE(Index(), index);
    QCOMPARE(Data(), data);
  }
};

QTEST_APPLESS_MAIN(TestRun)
#include "tst_run.moc"
