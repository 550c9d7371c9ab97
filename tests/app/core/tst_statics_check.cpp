#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include "app/core/statics_check.h"
#include "statics_fixture.h"
#include "toolkit/core/exceptions.h"

using mirnax::TMapSize;
using mirnax::TStaticsCheck;
using mirnax::support::ErrorOf;

using namespace fixture;

namespace {
constexpr TMapSize CheckedMap{64, 40};  // 40 blocks
}  // namespace

class TestStaticsCheck : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QByteArray index_, data_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  TStaticsCheck Check() {
    Write(Path("idx.mul"), index_);
    Write(Path("dat.mul"), data_);
    const QStringList before = Snapshot(dir_->path());
    const TStaticsCheck check =
        mirnax::CheckStaticsPair(mirnax::TStaticsPair::Resolve(Std(Path("idx.mul")), Std(Path("dat.mul"))), CheckedMap);
    [&] { QCOMPARE(Snapshot(dir_->path()), before); }();  // nothing written, no lock, nothing settled
    return check;
  }
  // Block b's entry: its records appended to the data file.
  void AddBlock(int b, const QByteArray& records) {
    SetEntry(index_, b, int32_t(data_.size()), int32_t(records.size()));
    data_ += records;
  }
  static QStringList Texts(const std::vector<std::string>& lines) {
    QStringList l;
    for (const std::string& s : lines) l << QString::fromStdString(s);
    return l;
  }

 private slots:
  // Blocks 0, 3, 7 and 39, their data in block order without gaps: 6 statics.
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    index_.clear();
    data_.clear();
    for (int b = 0; b < CheckedMap.BlockCount(); ++b) index_ += Entry(-1, -1);
    AddBlock(0, Record(1, 0, 0, 0, 0));
    AddBlock(3, Record(2, 7, 7, -1, 5) + Record(3, 1, 2, 3, 4));
    AddBlock(7, Record(4, 0, 7, 9, 0) + Record(5, 7, 0, 9, 0));
    AddBlock(39, Record(6, 4, 4, 4, 4));
  }

  void consistentPair() {
    const TStaticsCheck c = Check();
    QCOMPARE(Texts(c.Faults), QStringList());
    QCOMPARE(Texts(c.Notes), QStringList());
    QCOMPARE(c.FaultCount, 0);
    QCOMPARE(c.Entries, 40);
    QCOMPARE(c.BlocksWithStatics, 4);
    QCOMPARE(c.Statics, 6);
    QCOMPARE(c.DataBytes, 42);
  }

  // One planted fault of each kind is found and described.
  void plantedFaults_data() {
    QTest::addColumn<QString>("plant");
    QTest::addColumn<QString>("fault");
    QTest::newRow("index one entry short")
        << "short index"
        << "The statics index file %dir/idx.mul is 468 bytes long: 39 blocks. The statics index of a map of 64x40 "
           "tiles has exactly 480 bytes (40 blocks of 8x8 tiles, an entry of 12 bytes each).";
    QTest::newRow("entry past the data's end")
        << "past end"
        << "The statics index file %dir/idx.mul is damaged: entry 9 points outside the statics data file "
           "%dir/dat.mul (offset 40, length 7; the data file has 42 bytes).";
    QTest::newRow("negative length") << "negative length" << "entry 9 points outside";
    QTest::newRow("length not a multiple of 7")
        << "odd length" << "Block 3 has 10 bytes of statics, not a whole number of 7-byte records.";
    QTest::newRow("blocks sharing data")
        << "overlap" << "Blocks 3 and 9 share data: bytes 14 to 20 of the data file belong to both.";
    QTest::newRow("static outside its block")
        << "cell" << "Block 7: static 2 (tile 0x0005) lies at cell (8, 0), outside 0 to 7.";
  }
  void plantedFaults() {
    QFETCH(QString, plant);
    QFETCH(QString, fault);
    fault.replace("%dir", dir_->path());
    if (plant == "short index") index_.chop(EntrySize);
    if (plant == "past end") SetEntry(index_, 9, 40, 7);
    if (plant == "negative length") SetEntry(index_, 9, 7, -7);
    if (plant == "odd length") SetEntry(index_, 3, 7, 10);
    if (plant == "overlap") SetEntry(index_, 9, 14, 7);
    if (plant == "cell") data_[3 * 7 + 7 + 2] = 8;
    const TStaticsCheck c = Check();
    QCOMPARE(c.FaultCount, 1);
    QCOMPARE(Texts(c.Faults).size(), 1);
    QVERIFY2(Texts(c.Faults).first().contains(fault), qPrintable(Texts(c.Faults).first()));
  }

  // Legal but unusual: noted, not a fault.
  void unusualButLegal_data() {
    QTest::addColumn<QString>("plant");
    QTest::addColumn<QString>("note");
    QTest::newRow("data out of block order")
        << "reorder"
        << "The data of the blocks is not in block order: 2 blocks have their data before that of the previous "
           "block with statics, the first of them block 3 (before block 0). A freeze writes them in order.";
    QTest::newRow("bytes no block refers to")
        << "gaps" << "10 bytes of the data file, in 2 places, belong to no block. A freeze drops them.";
    QTest::newRow("interrupted freeze") << "journal" << "A freeze of these statics did not finish and left %dir/idx.mul.freeze;";
  }
  void unusualButLegal() {
    QFETCH(QString, plant);
    QFETCH(QString, note);
    note.replace("%dir", dir_->path());
    if (plant == "reorder") {
      SetEntry(index_, 39, 0, 7);
      SetEntry(index_, 0, 35, 7);
      data_ = data_.mid(35) + data_.mid(7, 28) + data_.left(7);
    }
    if (plant == "gaps") {
      data_.prepend("JUNK");
      for (int b : {0, 3, 7, 39}) SetEntry(index_, b, qFromLittleEndian<int32_t>(EntryAt(index_, b).constData()) + 4,
                                           qFromLittleEndian<int32_t>(EntryAt(index_, b).constData() + 4));
      data_ += "TAIL!!";
    }
    if (plant == "journal") Write(Path("idx.mul.freeze"), "moving\n");
    const TStaticsCheck c = Check();
    QCOMPARE(c.FaultCount, 0);
    QCOMPARE(Texts(c.Notes).size(), 1);
    QVERIFY2(Texts(c.Notes).first().startsWith(note), qPrintable(Texts(c.Notes).first()));
    QCOMPARE(c.Statics, 6);
  }

  // Past ten faults of a kind the rest are counted, not listed.
  void manyFaultsAreCounted() {
    for (int b = 10; b < 30; ++b) SetEntry(index_, b, 1000, 7);
    const TStaticsCheck c = Check();
    QCOMPARE(c.FaultCount, 20);
    QCOMPARE(Texts(c.Faults).size(), 11);
    QCOMPARE(Texts(c.Faults).last(), QString("... and 10 more like it"));
  }

  void unreadablePairRaises() {
    Write(Path("idx.mul"), index_);
    const QString message = ErrorOf<mirnax::EFOpenError>([&] {
      mirnax::CheckStaticsPair(mirnax::TStaticsPair::Resolve(Std(Path("idx.mul")), Std(Path("none.mul"))), CheckedMap);
    });
    QVERIFY2(message.startsWith("Cannot open file " + Path("none.mul")), qPrintable(message));
  }
};

QTEST_APPLESS_MAIN(TestStaticsCheck)
#include "tst_statics_check.moc"
