// A freeze killed at any point: what the next freeze refuses and advises, and what the next run
// settles by itself from the journal.
#include <QRegularExpression>
#include <QTest>

#include <zlib.h>

#include "app/core/freeze_recovery.h"
#include "freeze_fixture.h"
#include "toolkit/core/exceptions.h"

using mirnax::Exception;
using mirnax::RecoverInterruptedFreeze;
using mirnax::TBlockStore;
using mirnax::fpBlockWritten;
using mirnax::fpDataMoved;
using mirnax::fpIndexMoved;
using mirnax::fpIndexTempDeleted;
using mirnax::fpMarkedComplete;
using mirnax::fpNewFilesFlushed;
using mirnax::support::ErrorOf;

using namespace fixture;

class TestFreezeRecovery : public QObject, TFreezeWorkspace {
  Q_OBJECT

 private slots:
  void init() { Begin(); }

  // A freeze killed at any point leaves either the complete new files or the previous ones under
  // ".xxx". The next freeze refuses to go on, names the ".xxx" files and says what to do with them;
  // doing so gives what one freeze gives.
  void killedFreezeIsRecoverable_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<int>("block");
    QTest::addColumn<bool>("complete");
    QTest::newRow("after the index moved") << int(fpIndexMoved) << -1 << false;
    QTest::newRow("after the data moved") << int(fpDataMoved) << -1 << false;
    QTest::newRow("after block 0") << int(fpBlockWritten) << 0 << false;
    QTest::newRow("after block 200000") << int(fpBlockWritten) << 200000 << false;
    QTest::newRow("after the new files are on disk") << int(fpNewFilesFlushed) << -1 << false;
    QTest::newRow("after the new files are marked complete") << int(fpMarkedComplete) << -1 << true;
    QTest::newRow("after the index's .xxx is deleted") << int(fpIndexTempDeleted) << -1 << true;
  }
  void killedFreezeIsRecoverable() {
    QFETCH(bool, complete);
    TBlockStore store;
    const auto [index, data, newIndex, newData] = KillAFreeze(store);

    const QString indexTemp = Path("staidx0.xxx"), dataTemp = Path("statics0.xxx");
    // Marked complete: the new pair is whole. Otherwise the previous pair is, under either name.
    if (complete) {
      QCOMPARE(Read(index_), newIndex);
      QCOMPARE(Read(data_), newData);
    }
    for (const QString& temp : {indexTemp, dataTemp}) {
      if (QFile::exists(temp)) QCOMPARE(Read(temp), temp == indexTemp ? index : data);
    }
    QStringList left;
    for (const QString& temp : {indexTemp, dataTemp})
      if (QFile::exists(temp)) left << temp;
    QVERIFY(!left.isEmpty());

    const QByteArray indexNow = Read(index_), dataNow = Read(data_);
    QString expected;
    if (complete) {
      expected = "A freeze was interrupted after it had completed the new statics files " + index_ + " and " + data_ +
                 ". The previous statics left as " + left.join(" and ") + " are no longer needed: delete " +
                 left.join(" and ") + ", then start again.";
    } else {
      QStringList putBack;
      for (const QString& temp : left) putBack << temp + " as " + (temp == indexTemp ? index_ : data_);
      expected = "A freeze did not finish: the previous statics are kept as " + left.join(" and ") +
                 ", and what it wrote under the configured names is not complete. Put back " + putBack.join(" and ") +
                 ", then start again.";
    }
    QCOMPARE(ErrorOf<Exception>([&] { Freeze(store); }), expected);
    QCOMPARE(Read(index_), indexNow);
    QCOMPARE(Read(data_), dataNow);

    // Doing what the message says gives the previous or the new pair, and the next freeze goes on.
    for (const QString& temp : left) {
      if (complete) {
        QVERIFY(QFile::remove(temp));
        continue;
      }
      const QString path = temp == indexTemp ? index_ : data_;
      QFile::remove(path);
      QVERIFY(QFile::rename(temp, path));
    }
    QCOMPARE(Read(index_), complete ? newIndex : index);
    QCOMPARE(Read(data_), complete ? newData : data);
    Freeze(store);
    if (!complete) {
      QCOMPARE(Read(index_), newIndex);
      QCOMPARE(Read(data_), newData);
    }
    QVERIFY(Leftovers().isEmpty());
  }

  // The next run settles a killed freeze by itself from its journal: the previous pair back before
  // the new one was complete, the new one kept after; the same when the index is configured in
  // another letter case than it has on disk. The freeze then goes on as after no interruption.
  void killedFreezeSettlesByItself_data() {
    killedFreezeIsRecoverable_data();
    QTest::newRow("index moved, configured in capitals") << int(fpIndexMoved) << -1 << false;
    QTest::newRow("marked complete, configured in capitals") << int(fpMarkedComplete) << -1 << true;
  }
  void killedFreezeSettlesByItself() {
    QFETCH(bool, complete);
    TBlockStore store;
    const auto [index, data, newIndex, newData] = KillAFreeze(store);
    // A journal side file left by a freeze killed while writing its journal.
    Write(index_ + ".freeze.~Ab3xYz", "complete: ...\n");
    const std::string configured =
        QString(QTest::currentDataTag()).contains("capitals") ? Std(Path("STAIDX0.MUL")) : Index();

    const std::string note = RecoverInterruptedFreeze(Resolved(configured, Data()));
    QCOMPARE(Read(index_), complete ? newIndex : index);
    QCOMPARE(Read(data_), complete ? newData : data);
    QCOMPARE(Leftovers(), QStringList());
    QVERIFY2(QString::fromStdString(note).contains(complete ? "was finished" : "was undone"), note.c_str());
    QCOMPARE(RecoverInterruptedFreeze(Pair()), std::string());
    if (!complete) {
      Freeze(store);
      QCOMPARE(Read(index_), newIndex);
      QCOMPARE(Read(data_), newData);
    }
  }

  // A journal of format 1 (the step line alone) names no files: the next run settles nothing by
  // itself and the freeze still reads it and gives its advice.
  void aJournalOfFormat1IsStillRead() {
    TBlockStore store;
    MakeBusyPair(store);
    QVERIFY(QFile::rename(index_, Path("staidx0.xxx")) && QFile::copy(Path("staidx0.xxx"), index_));
    Write(index_ + ".freeze", "moving: the .xxx files are the previous statics, the files under the configured names "
                              "are not complete\n");
    const QStringList before = Snapshot();
    QCOMPARE(RecoverInterruptedFreeze(Pair()), std::string());
    QVERIFY(ErrorOf<Exception>([&] { Freeze(store); }).startsWith("A freeze did not finish"));
    QCOMPARE(Snapshot(), before);
  }

  // The journal sums files with XXH3; one of an earlier version, with CRC-32 sums, still settles
  // the freeze it speaks of, and still refuses files unlike the ones it recorded.
  void aJournalOfCrc32SumsIsStillRead_data() {
    QTest::addColumn<bool>("alike");
    QTest::newRow("files as recorded") << true;
    QTest::newRow("a file changed") << false;
  }
  void aJournalOfCrc32SumsIsStillRead() {
    QFETCH(bool, alike);
    TBlockStore store;
    MakeBusyPair(store);
    const auto [newIndex, newData] = Merged(store, Read(index_), Read(data_));
    KillFreezeAt(store, fpMarkedComplete, -1);
    const QString journal = index_ + ".freeze";
    const QStringList lines = QString(Read(journal)).split('\n');
    const QRegularExpression xxh3("^(index|data) \\d+:[0-9a-f]{16} \\d+:[0-9a-f]{16} /");
    QVERIFY2(xxh3.match(lines[1]).hasMatch() && xxh3.match(lines[2]).hasMatch(), qPrintable(lines.join('|')));
    const auto sum = [](const QByteArray& bytes) {
      const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size()));
      return QString("%1:%2").arg(bytes.size()).arg(crc, 8, 16, QChar('0'));
    };
    const auto line = [&](const QString& role, const QString& temp, const QString& now) {
      return QString("%1 %2 %3 %4\n").arg(role, sum(Read(temp)), sum(alike ? Read(now) : Read(now) + "x"), now);
    };
    Write(journal, (lines[0] + "\n" + line("index", Path("staidx0.xxx"), index_) +
                    line("data", Path("statics0.xxx"), data_)).toUtf8());
    QFile::remove(index_ + ".lock");  // the killed freeze's, which the next run takes over
    if (alike) {
      QVERIFY(QString::fromStdString(RecoverInterruptedFreeze(Pair())).contains("was finished"));
      QCOMPARE(Read(index_), newIndex);
      QCOMPARE(Read(data_), newData);
    } else {
      const QString message = ErrorOf<Exception>([&] { RecoverInterruptedFreeze(Pair()); });
      QVERIFY2(message.contains(index_ + " holds"), qPrintable(message));
    }
  }

  // A ".xxx" file that is not what the journal recorded (changed since, or another file under that
  // name) leaves the choice to the operator: nothing is changed, and the advice removes nothing.
  void filesUnlikeTheJournalAreLeftToTheOperator_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<QString>("changed");
    QTest::newRow("before complete, previous data changed") << int(fpDataMoved) << "statics0.xxx";
    QTest::newRow("after complete, new index changed") << int(fpMarkedComplete) << "staidx0.mul";
  }
  void filesUnlikeTheJournalAreLeftToTheOperator() {
    QFETCH(int, point);
    QFETCH(QString, changed);
    TBlockStore store;
    MakeBusyPair(store);
    KillFreezeAt(store, point, -1);
    QFile file(Path(changed));
    QVERIFY(file.open(QIODevice::Append));
    file.write("x");
    file.close();
    QFile::remove(index_ + ".lock");  // the killed freeze's, which the next run takes over
    const QStringList before = Snapshot();
    const QString message = ErrorOf<Exception>([&] { RecoverInterruptedFreeze(Pair()); });
    QVERIFY2(message.contains(Path(changed) + " holds"), qPrintable(message));
    QVERIFY2(message.contains("nothing was changed"), qPrintable(message));
    QVERIFY(!message.contains("delete") && !message.contains("remove"));
    QCOMPARE(Snapshot(), before);
  }
};

QTEST_APPLESS_MAIN(TestFreezeRecovery)

#include "tst_freeze_recovery.moc"
