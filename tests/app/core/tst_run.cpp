#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>

#include <sys/resource.h>
#include <zlib.h>

#include <csignal>
#include <functional>
#include <utility>

#include "app/core/config.h"
#include "app/core/freeze_undo.h"
#include "app/core/map.h"
#include "app/core/run.h"
#include "app/core/statics_pair.h"
#include "statics_fixture.h"
#include "tests/support/recording_host.h"
#include "toolkit/core/exceptions.h"

namespace support = mirnax::support;
using mirnax::BlockCount;
using mirnax::EConvertError;
using mirnax::EFOpenError;
using mirnax::Exception;
using mirnax::IgnoreFileSizeSignal;
using mirnax::IndexFileSize;
using mirnax::RunFreeze;
using mirnax::StaticRecordSize;
using mirnax::TRunRequest;
using mirnax::UndoLastFreeze;
using mirnax::WorldFilePath;
using mirnax::support::ErrorOf;
using mirnax::support::TRecordingHost;

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

  // With duplicates skipped, an item whose record its block has (among the statics kept, or added
  // before in the run) is left out and counted per world file; runs after the first add nothing.
  // Cleared statics do not count: the question is asked before the world files are read.
  void duplicatesAreLeftOut_data() {
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QStringList>("counts");
    QTest::newRow("kept") << false
                          << QStringList{"The Worldfile contains ... 1 Items", "Left out 2 duplicates of statics already "
                                         "in their blocks", "The Worldfile contains ... 1 Items",
                                         "Left out 1 duplicates of statics already in their blocks"};
    QTest::newRow("cleared") << true
                             << QStringList{"The Worldfile contains ... 2 Items", "Left out 1 duplicates of statics "
                                            "already in their blocks", "The Worldfile contains ... 1 Items",
                                            "Left out 1 duplicates of statics already in their blocks"};
  }
  void duplicatesAreLeftOut() {
    QFETCH(bool, clear);
    QFETCH(QStringList, counts);
    // The first item is the old record of block 1; the second comes three times, once in b.scp.
    World("a.scp", WorldItem(5, 5, 13, 5, 5) + WorldItem(7, 1, 1, 0) + WorldItem(7, 1, 1, 0));
    World("b.scp", WorldItem(7, 1, 1, 0) + WorldItem(7, 1, 1, 1));
    Offer({{"a.scp", true}, {"b.scp", true}});
    request_.SkipDuplicates = true;
    host_.answer = clear;
    Run();
    const auto counted = [&] {
      return host_.log.filter(QRegularExpression("^(The Worldfile contains|Left out)"));
    };
    QCOMPARE(counted(), counts);
    QCOMPARE(host_.questions, QStringList{"Clear current statics"});
    QCOMPARE(host_.log.last(), QString("Process finished"));
    const QByteArray index = Index(), data = Data();
    QCOMPARE(data.size(), 3 * 7);  // kept: the old record and two; cleared: three
    for (int again = 0; again < 2; ++again) {
      host_ = TRecordingHost();
      Run();
      QCOMPARE(host_.log.last(), QString("No items found"));
      QCOMPARE(Index(), index);
      QCOMPARE(Data(), data);
    }
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

  // A world file saved as UTF-16 text (with its byte-order mark) holds no items the reader sees;
  // the run still ends as "No items found", and the log says what the file looks like.
  void aUtf16WorldFileIsNamed_data() {
    QTest::addColumn<bool>("littleEndian");
    QTest::newRow("little-endian") << true;
    QTest::newRow("big-endian") << false;
  }
  void aUtf16WorldFileIsNamed() {
    QFETCH(bool, littleEndian);
    QByteArray text = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const QChar c : QString::fromLatin1(WorldItem(1, 1, 1, 1)))
      text += littleEndian ? QByteArray{char(c.unicode()), '\0'} : QByteArray{'\0', char(c.unicode())};
    World("u.scp", text);
    World("a.scp", "\xFF\xFE");  // too short to be anything, but marked as UTF-16 all the same
    Offer({{"u.scp", true}, {"a.scp", true}});
    const QStringList before = Snapshot(dir_->path());
    Run();
    const QString note = " looks like UTF-16 text, but world files are 8-bit text: save it as such to freeze its items";
    QCOMPARE(host_.log, QStringList({"", "Loading ... u.scp", "Parsing ... u.scp", "The Worldfile contains ... 0 Items",
                                     "u.scp" + note, "", "Loading ... a.scp", "Parsing ... a.scp",
                                     "The Worldfile contains ... 0 Items", "a.scp" + note, "No items found"}));
    QCOMPARE(Snapshot(dir_->path()), before);
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
    // The message stays as it is; the log says where the text is.
    QCOMPARE(host_.log.mid(host_.log.size() - 2), QStringList({"Parsing ... b.scp", "Error in b.scp, line 2"}));
    QVERIFY(host_.questions.isEmpty());
    QCOMPARE(Index(), index);
    QCOMPARE(Data(), data);
  }

  // A world file frozen into the pair before is named after its count line, with the date; the
  // run goes on and freezes it again. A clear forgets what was frozen, and so does an undo of the
  // freeze that froze it.
  void aWorldFileFrozenBeforeIsNamed() {
    World("a.scp", WorldItem(1, 1, 1, 1));
    World("b.scp", WorldItem(2, 2, 2, 2));
    const auto runWith = [&](const QString& name, bool clear) {
      host_ = TRecordingHost();
      host_.answer = clear;
      request_.WorldFiles.clear();
      Offer({{name, true}});
      Run();
      return host_.log.filter("was frozen into these statics before");
    };
    QCOMPARE(runWith("a.scp", false), QStringList());
    const QStringList again = runWith("a.scp", false);
    QCOMPARE(again.size(), 1);
    QVERIFY2(QRegularExpression("^a\\.scp was frozen into these statics before, on \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$")
                 .match(again[0])
                 .hasMatch(),
             qPrintable(again[0]));
    QCOMPARE(host_.log.indexOf(again[0]), host_.log.indexOf("The Worldfile contains ... 1 Items") + 1);
    QCOMPARE(Data().count(Record(1, 1, 1, 1, 0)), 2);
    QCOMPARE(runWith("b.scp", true), QStringList());
    QCOMPARE(runWith("a.scp", false), QStringList());
    UndoLastFreeze(mirnax::TStaticsPair::Resolve(request_.IndexPath, request_.DataPath));
    QCOMPARE(runWith("a.scp", false), QStringList());
  }

  // A record written before XXH3 holds CRC-32 sums: a world file in it is still named, the old
  // line is kept as it was, and the line added has the new sum, by which the next run names it.
  void aRecordOfCrc32SumsStillNamesItsWorlds() {
    const QByteArray a = WorldItem(1, 1, 1, 1), b = WorldItem(2, 2, 2, 2);
    World("a.scp", a);
    World("b.scp", b);
    const auto crc = [](const QByteArray& bytes) {
      return QString::number(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())), 16)
          .rightJustified(8, '0');
    };
    const QString record = Path("staidx0.mul.frozen");
    // b.scp's size with a sum that is not its own: not named.
    const QString old = QString("%1:%2 2020-01-02 03:04 a.scp\n%3:%4 2020-01-02 03:05 b.scp\n")
                            .arg(a.size()).arg(crc(a)).arg(b.size()).arg(crc(b + "x"));
    Write(record, old.toLatin1());
    Offer({{"a.scp", true}, {"b.scp", true}});
    Run();
    QCOMPARE(host_.log.filter("was frozen into these statics before"),
             QStringList("a.scp was frozen into these statics before, on 2020-01-02 03:04"));
    const QStringList lines = QString(Read(record)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.mid(0, 2).join('\n') + '\n', old);
    for (const QString& added : lines.mid(2))
      QVERIFY2(QRegularExpression("^\\d+:[0-9a-f]{16} ").match(added).hasMatch(), qPrintable(added));
    host_ = TRecordingHost();
    Write(record, lines[2].toLatin1() + "\n");  // the new line alone
    request_.WorldFiles.clear();
    Offer({{"a.scp", true}});
    Run();
    QCOMPARE(host_.log.filter("was frozen into these statics before").size(), 1);
  }

  // Two runs of one pair, the second freezing while the first waits at its question: the record
  // keeps the world files of both, so freezing either again is noticed.
  void overlappingRunsKeepEachOthersRecord() {
    World("a.scp", WorldItem(1, 1, 1, 1));
    World("b.scp", WorldItem(2, 2, 2, 2));
    struct THost : TRecordingHost {
      std::function<void()> atQuestion;
      bool AskYesNo(const std::string& text) override {
        if (atQuestion) std::exchange(atQuestion, {})();
        return TRecordingHost::AskYesNo(text);
      }
    } first;
    first.atQuestion = [&] {
      TRunRequest second = request_;
      second.WorldFiles = {{"b.scp", WorldFilePath(BaseDir(), "b.scp")}};
      TRecordingHost host;
      RunFreeze(second, host);
      QCOMPARE(host.log.last(), QString("Process finished"));
    };
    Offer({{"a.scp", true}});
    RunFreeze(request_, first);
    QCOMPARE(first.log.last(), QString("Process finished"));
    request_.WorldFiles.clear();
    Offer({{"a.scp", true}, {"b.scp", true}});
    Run();
    QCOMPARE(host_.log.filter("was frozen into these statics before").size(), 2);
  }

  // With the terminal's signal handling, a stop that comes after the freeze has completed (while
  // the run logs its end) does not end the process: the run finishes, records its world files, and
  // the stop is noted for the program to report.
  void aStopAfterTheFreezeIsNoted_data() {
    QTest::addColumn<QString>("at");
    QTest::newRow("freeze OK") << " OK";
    QTest::newRow("last line") << "Process finished";
  }
  void aStopAfterTheFreezeIsNoted() {
    QFETCH(QString, at);
    World("a.scp", WorldItem(1, 1, 1, 1));
    Offer({{"a.scp", true}});
    const support::TChildResult child = RunInChild([&](int fd) {
      mirnax::RollBackFreezeOnSignals();
      struct THost : TRecordingHost {
        std::string at;
        void Log(const std::string& line) override {
          TRecordingHost::Log(line);
          if (line == at) ::kill(::getpid(), SIGTERM);
        }
        void AppendToLastLine(const std::string& text) override {
          TRecordingHost::AppendToLastLine(text);
          if (text == at) ::kill(::getpid(), SIGTERM);
        }
      } host;
      host.at = Std(at);
      RunFreeze(request_, host);
      const char* late = mirnax::SignalAfterCompletedFreeze();
      Send(fd, Std(host.log.last()) + "|" + (late ? late : "none"));
      return 0;
    });
    QCOMPARE(child.Signal, 0);
    QCOMPARE(QString::fromStdString(child.Output), QString("Process finished|SIGTERM"));
    QCOMPARE(Data(), Record(1, 1, 1, 1, 0) + Record(5, 5, 5, 5, 5));
    QVERIFY(Read(Path("staidx0.mul.frozen")).endsWith(" a.scp\n"));
  }

  // An empty path field is named, instead of "Cannot open file " with nothing after it.
  void anEmptyPathSaysWhichFieldIsEmpty_data() {
    QTest::addColumn<bool>("index");
    QTest::newRow("Staidx0") << true;
    QTest::newRow("Statics0") << false;
  }
  void anEmptyPathSaysWhichFieldIsEmpty() {
    QFETCH(bool, index);
    World("a.scp", WorldItem(1, 1, 1, 1));
    Offer({{"a.scp", true}});
    (index ? request_.IndexPath : request_.DataPath).clear();
    host_.answer = true;
    QCOMPARE(ErrorOf<EFOpenError>([&] { Run(); }),
             index ? QString("No statics index file is given: the path of Staidx0 is empty.")
                   : QString("No statics data file is given: the path of Statics0 is empty."));
    QVERIFY(host_.questions.isEmpty());
  }

  // While a world file loads the step gauge shows none of it done, not the previous file's end.
  void theStepGaugeStartsFromNoneBeforeEachLoad() {
    struct THost : TRecordingHost {
      QList<QPair<int, int>> atLoad;
      void Log(const std::string& line) override {
        if (line.starts_with("Parsing ... ")) atLoad << qMakePair(step.total, step.done);
        TRecordingHost::Log(line);
      }
    } host;
    World("a.scp", WorldItem(1, 1, 1, 1));
    World("b.scp", WorldItem(2, 2, 2, 2));
    Offer({{"a.scp", true}, {"b.scp", true}});
    RunFreeze(request_, host);
    QCOMPARE(host.atLoad, (QList<QPair<int, int>>{{0, 0}, {0, 0}}));
  }

  void stopsOnAWorldFileThatCannotBeOpened() {
    Offer({{"gone.scp", true}});
    QCOMPARE(ErrorOf<EFOpenError>([&] { Run(); }),
             QString::fromStdString("Cannot open file " + BaseDir() + "STATICS/gone.scp: No such file or directory"));
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
