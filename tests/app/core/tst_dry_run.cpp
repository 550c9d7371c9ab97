#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "app/core/dry_run.h"
#include "statics_fixture.h"
#include "tests/support/recording_host.h"
#include "toolkit/core/exceptions.h"

using mirnax::TMapSize;
using mirnax::TRunRequest;
using mirnax::support::ErrorOf;
using mirnax::support::TRecordingHost;

using namespace fixture;

namespace {
constexpr TMapSize DryMap{64, 40};  // 40 blocks: an index of 480 bytes

// Every file of the folder with its bytes, mode and modification time to the nanosecond.
QStringList Untouched(const QString& dir) {
  QStringList files = Snapshot(dir);
  for (QString& f : files) {
    struct stat st {};
    const QString path = dir + "/" + f.section(' ', 0, 0);
    if (::stat(qPrintable(path), &st) != 0) return {"cannot stat " + path};
    f += QString(", modified %1.%2").arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec, 9, 10, QChar('0'));
  }
  return files;
}
}  // namespace

class TestDryRun : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  TRecordingHost host_;
  TRunRequest request_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  // The dry run, which must leave every file of the folder as it was; the error it raises, if any.
  QString DryRun(bool clear) {
    const QStringList before = Untouched(dir_->path());
    const QString error = ErrorOf<mirnax::Exception>([&] { mirnax::DryRunFreeze(request_, clear, host_); });
    [&] { QCOMPARE(Untouched(dir_->path()), before); }();
    return error;
  }
  // The lines after the world files' own.
  QStringList Plan() const { return host_.log.mid(host_.log.indexOf("Dry run: nothing is written, locked, settled or kept.")); }

 private slots:
  // Old statics in block 1; a world file with two items in block 1, one in block 39 and one
  // outside the map.
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    host_ = TRecordingHost();
    request_ = TRunRequest();
    request_.Map = DryMap;
    request_.IndexPath = Std(Path("idx.mul"));
    request_.DataPath = Std(Path("dat.mul"));
    request_.WorldFiles.push_back({"w.scp", Std(Path("w.scp"))});
    QByteArray index;
    for (int b = 0; b < DryMap.BlockCount(); ++b) index += Entry(-1, -1);
    SetEntry(index, 1, 0, 14);
    Write(Path("idx.mul"), index);
    Write(Path("dat.mul"), Record(1, 1, 1, 1, 1) + Record(2, 2, 2, 2, 2));
    Write(Path("w.scp"), WorldItem(5, 1, 9, 0) + WorldItem(6, 2, 10, 0) + WorldItem(7, 63, 39, 0) +
                             WorldItem(8, 64, 0, 0));
  }

  void saysWhatAFreezeWouldDo_data() {
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("data");
    QTest::newRow("keep") << false
                          << "A freeze would keep the current statics and add 3 items to 2 blocks, 1 of which have "
                             "statics now."
                          << 35;
    QTest::newRow("clear") << true << "A freeze would clear the current statics and write 3 items into 2 blocks." << 21;
  }
  void saysWhatAFreezeWouldDo() {
    QFETCH(bool, clear);
    QFETCH(QString, what);
    QFETCH(int, data);
    QCOMPARE(DryRun(clear), QString("<no error>"));
    QCOMPARE(host_.log.mid(0, 5), QStringList({"", "Loading ... w.scp", "Parsing ... w.scp",
                                               "The Worldfile contains ... 3 Items",
                                               "Skipped 1 items outside the map"}));
    const QStringList plan = Plan();
    QCOMPARE(plan.size(), 6);
    QCOMPARE(plan[1], what);
    QCOMPARE(plan[2], "Statics index file " + Path("idx.mul") +
                          ": 480 bytes now, 480 bytes after the freeze (40 blocks of a map of 64x40 tiles).");
    QCOMPARE(plan[3], QString("Statics data file %1: 14 bytes now, %2 bytes after the freeze.").arg(Path("dat.mul")).arg(data));
    QVERIFY2(plan[4].startsWith(QString("Free space needed: %1 bytes beside %2 (").arg(480 + data).arg(Path("idx.mul"))),
             qPrintable(plan[4]));
    QCOMPARE(plan[5], "The replaced statics would be kept as " + Path("idx.mul.bak") + " and " + Path("dat.mul.bak") + ".");
    QCOMPARE(host_.questions, QStringList());
    QCOMPARE(host_.total.done, host_.total.total);
  }

  // An interrupted freeze is mentioned, not settled: its journal and kept files stay.
  void leavesAnInterruptedFreezeAlone() {
    Write(Path("idx.mul.freeze"), "moving\n");
    Write(Path("idx.xxx"), Read(Path("idx.mul")));
    QCOMPARE(DryRun(false), QString("<no error>"));
    QCOMPARE(Plan()[1], "A freeze of these statics did not finish: its journal " + Path("idx.mul.freeze") +
                            " is there. A freeze would settle it first; the figures below are for the files as they "
                            "are now.");
  }

  // A world file frozen before is said as a run says it, from the record the dry run only reads.
  void saysAWorldFileWasFrozenBefore() {
    mirnax::RunFreeze(request_, host_);
    QCOMPARE(host_.log.last(), QString("Process finished"));
    host_ = TRecordingHost();
    QCOMPARE(DryRun(false), QString("<no error>"));
    QCOMPARE(host_.log.filter("was frozen into these statics before").size(), 1);
    QVERIFY(host_.log[4].startsWith("w.scp was frozen into these statics before, on "));
  }

  // What would stop the freeze stops the dry run, with the freeze's own reason.
  void saysWhyAFreezeWouldStop_data() {
    QTest::addColumn<QString>("plant");
    QTest::addColumn<QString>("message");
    QTest::newRow("index of another map")
        << "wrong map" << "A freeze would stop: The statics index file %dir/idx.mul is 4718592 bytes long: 393216 blocks.";
    QTest::newRow("read-only data file")
        << "read-only" << "A freeze would stop: Cannot create file %dir/dat.mul: the file is read-only";
    QTest::newRow("kept file without a journal") << "xxx" << "A freeze would stop: The file %dir/dat.xxx is left";
  }
  void saysWhyAFreezeWouldStop() {
    QFETCH(QString, plant);
    QFETCH(QString, message);
    message.replace("%dir", dir_->path());
    if (plant == "wrong map") Write(Path("idx.mul"), EmptyIndex());
    if (plant == "read-only") QVERIFY(::chmod(qPrintable(Path("dat.mul")), 0444) == 0);
    if (plant == "xxx") Write(Path("dat.xxx"), "old");
    const QString error = DryRun(false);
    QVERIFY2(error.startsWith(message), qPrintable(error));
  }

  void noItemsFound() {
    Write(Path("w.scp"), "");
    QCOMPARE(DryRun(true), QString("<no error>"));
    QCOMPARE(host_.log.last(), QString("No items found"));
  }
};

QTEST_APPLESS_MAIN(TestDryRun)
#include "tst_dry_run.moc"
