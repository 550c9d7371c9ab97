#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

#include "app/core/block_store.h"
#include "app/core/config.h"
#include "app/core/index_scan.h"
#include "app/core/map_size.h"
#include "app/core/run.h"
#include "app/core/statics_io.h"
#include "app/core/world_reader.h"
#include "statics_fixture.h"
#include "tests/support/recording_host.h"
#include "toolkit/core/exceptions.h"

using mirnax::EConvertError;
using mirnax::Exception;
using mirnax::TBlockStore;
using mirnax::TMapSize;
using mirnax::TRunRequest;
using mirnax::support::ErrorOf;
using mirnax::support::TRecordingHost;

using namespace fixture;

namespace {
// A map of 8 block columns and 5 block rows: not square, so a swapped column and row shows.
constexpr TMapSize Small{64, 40};

// Deterministic numbers for generated worlds.
class TNumbers {
 public:
  uint32_t Below(uint32_t n) {
    state_ = state_ * 1103515245u + 12345u;
    return (state_ >> 8) % n;
  }

 private:
  uint32_t state_ = 7;
};

// The bytes of block b's records, and its Extra, in a pair.
QByteArray BlockBytes(const QByteArray& index, const QByteArray& data, int b) {
  const QByteArray e = EntryAt(index, b);
  const auto offset = qFromLittleEndian<int32_t>(e.constData()), length = qFromLittleEndian<int32_t>(e.constData() + 4);
  const QByteArray extra = e.mid(8);
  if (offset == -1 || length == 0 || length == -1) return "none " + extra.toHex();
  return data.mid(offset, length).toHex() + " " + extra.toHex();
}
}  // namespace

class TestMapSize : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  // Freezes world into the pair named prefix (kept, not cleared) on map.
  void Freeze(const QString& prefix, const TMapSize& map) {
    TRunRequest request;
    request.WorldFiles.push_back({"w.scp", Std(Path("w.scp"))});
    request.IndexPath = Std(Path(prefix + "idx.mul"));
    request.DataPath = Std(Path(prefix + "dat.mul"));
    request.Map = map;
    TRecordingHost host;
    mirnax::RunFreeze(request, host);
    QCOMPARE(host.log.last(), QString("Process finished"));
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
  }

  void parsesSizes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("default") << "6144x4096" << 6144 << 4096;
    QTest::newRow("upper-case X") << "2304X1600" << 2304 << 1600;
    QTest::newRow("smallest") << "8x8" << 8 << 8;
    QTest::newRow("largest") << "32768x32768" << 32768 << 32768;
    for (const char* bad : {"", "6144", "6144x", "x4096", "6144x4097", "6140x4096", "0x8", "32776x8", "-8x8",
                            "6144 x 4096", "6144x4096x8", "+8x8", "8x8 "})
      QTest::addRow("bad: '%s'", bad) << bad << 0 << 0;
  }
  void parsesSizes() {
    QFETCH(QString, text);
    QFETCH(int, width);
    if (width == 0) {
      QCOMPARE(ErrorOf<EConvertError>([&] { mirnax::ParseMapSize(Std(text)); }),
               "'" + text + "' is not a map size: give WIDTHxHEIGHT in tiles, each a multiple of 8 from 8 to 32768 "
                            "(6144x4096 by default)");
      return;
    }
    QFETCH(int, height);
    const TMapSize map = mirnax::ParseMapSize(Std(text));
    QCOMPARE(map.Width, width);
    QCOMPARE(map.Height, height);
  }

  // Areas are four decimal corners inside the map, the first not past the second.
  void parsesAreas_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("one tile") << "5,6,5,6" << "5,6,5,6";
    QTest::newRow("whole map") << "0,0,63,39" << "0,0,63,39";
    const QString form = "give X1,Y1,X2,Y2 in tiles, the corners of a rectangle";
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "1,2,3,", "-1,0,4,4", "1, 2,3,4", "a,1,2,3", "1,2,3,4 "})
      QTest::addRow("bad: '%s'", bad) << bad << form;
    QTest::newRow("X reversed") << "5,0,4,9" << "X1 must not be greater than X2, nor Y1 than Y2";
    QTest::newRow("Y reversed") << "0,5,9,4" << "X1 must not be greater than X2, nor Y1 than Y2";
    QTest::newRow("past the map's right") << "0,0,64,39" << "the map of 64x40 tiles ends at 63,39";
    QTest::newRow("past the map's bottom") << "0,0,63,40" << "the map of 64x40 tiles ends at 63,39";
  }
  void parsesAreas() {
    QFETCH(QString, text);
    QFETCH(QString, result);
    const QString error = ErrorOf<EConvertError>([&] {
      QCOMPARE(QString::fromStdString(mirnax::MapAreaText(mirnax::ParseMapArea(Std(text), TMapSize{64, 40}))), result);
    });
    if (error != "<no error>") QCOMPARE(error, "'" + text + "' is not an area of the map: " + result);
  }

  // MapSize= is optional; a value that is no size names the file.
  void configuredSize() {
    const std::string base = Std(dir_->path()) + "/";
    const mirnax::TStaticsConfig config(base);
    QVERIFY(config.MapSize() == mirnax::DefaultMapSize);
    Write(Path("mirnax.ini"), "[KEVOMIRNAX]\r\nMapSize=2304x1600\r\n");
    QVERIFY((config.MapSize() == TMapSize{2304, 1600}));
    Write(Path("mirnax.ini"), "[KEVOMIRNAX]\r\nMapSize=big\r\n");
    QVERIFY(ErrorOf<EConvertError>([&] { config.MapSize(); })
                .startsWith(Path("mirnax.ini") + ", key MapSize: 'big' is not a map size"));
  }

  // An index of the wrong size names both block counts and the known maps that have its count.
  void wrongIndexNamesTheMapsItFits_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("message");
    const QString head = "The statics index file idx is %1 bytes long: %2. The statics index of a map of 64x40 tiles "
                         "has exactly 480 bytes (40 blocks of 8x8 tiles, an entry of 12 bytes each).";
    QTest::newRow("two known maps") << qint64(81920 * 12)
                                    << head.arg(81920 * 12).arg("81920 blocks") +
                                           " 81920 blocks are those of a map of 2560x2048 or 1280x4096 tiles; give its "
                                           "size with --map-size or MapSize= in mirnax.ini.";
    QTest::newRow("the default map") << qint64(0x60000 * 12)
                                     << head.arg(0x60000 * 12).arg("393216 blocks") +
                                            " 393216 blocks are those of a map of 6144x4096 tiles; give its size with "
                                            "--map-size or MapSize= in mirnax.ini.";
    QTest::newRow("no known map") << qint64(41 * 12) << head.arg(41 * 12).arg("41 blocks");
    QTest::newRow("part of an entry") << qint64(81920 * 12 + 5)
                                      << head.arg(81920 * 12 + 5).arg("81920 blocks and 5 bytes more");
  }
  void wrongIndexNamesTheMapsItFits() {
    QFETCH(qint64, bytes);
    QFETCH(QString, message);
    const std::string index(size_t(bytes), '\xFF');
    const mirnax::TMemoryStaticsInput input(index, "idx");
    QCOMPARE(ErrorOf<Exception>([&] { mirnax::CheckIndexSize(input, Small); }), message);
  }

  // Positions past the small map's edges are outside it; its corners are inside.
  void outsideFollowsTheMap() {
    TBlockStore store(Small);
    mirnax::TWorldParser parser(store);
    QByteArray text = WorldItem(1, 63, 39, 0) + WorldItem(2, 64, 0, 0) + WorldItem(3, 0, 40, 0) + WorldItem(4, 0, 0, 0);
    for (const QByteArray& line : text.split('\n')) parser.Line(View(line.endsWith('\r') ? line.chopped(1) : line));
    const mirnax::TWorldFileResult read = parser.Finish();
    QCOMPARE(read.Taken, 2);
    QCOMPARE(read.Skipped, 2);
    QCOMPARE(store.Count(Small.BlockCount() - 1), 1u);  // column 7, row 4
    QCOMPARE(store.Count(0), 1u);
    QCOMPARE(ErrorOf<mirnax::ERangeError>([&] { store.Count(40); }), "Block 40 is outside the map");
  }

  // Past 2^19 blocks the store keeps more than two lists of appended items; each block still gets
  // its own items in order.
  void largeMapKeepsEveryBlocksOrder() {
    const TMapSize large{16384, 16384};  // 4,194,304 blocks
    TBlockStore store(large);
    const int32_t blocks[] = {0, (1 << 18) - 1, 1 << 18, 1 << 19, (1 << 20) + 5, large.BlockCount() - 1};
    for (uint16_t round = 0; round < 3; ++round)
      for (const int32_t b : blocks) store.Append(b, {.TileId = uint16_t(b * 3 + round)});
    for (const int32_t b : blocks) {
      const auto chain = store.Chain(b);
      QCOMPARE(chain.size(), size_t(3));
      for (uint16_t round = 0; round < 3; ++round) QCOMPARE(chain[round].TileId, uint16_t(b * 3 + round));
    }
  }

  // A small map's pair, frozen from a generated world on top of old statics, holds in each block
  // (by column and row) exactly what the default map's pair holds in that block; with every item
  // and every old block inside the small map, both data files are the same bytes.
  void smallMapFreezesAsTheDefaultMapDoes_data() {
    QTest::addColumn<bool>("outside");
    QTest::newRow("every item inside the small map") << false;
    QTest::newRow("items outside the small map too") << true;
  }
  void smallMapFreezesAsTheDefaultMapDoes() {
    QFETCH(bool, outside);
    TNumbers n;
    QByteArray world;
    for (int i = 0; i < 600; ++i)
      world += WorldItem(uint16_t(n.Below(0x4000)), int(n.Below(64)), int(n.Below(40)), int(n.Below(256)) - 128,
                         uint16_t(n.Below(3000)));
    if (outside)
      for (int i = 0; i < 100; ++i) world += WorldItem(9, 64 + int(n.Below(6000)), int(n.Below(4000)), 0);
    Write(Path("w.scp"), world);
    // The same old statics in both: a few blocks of records, each in the small map, with an Extra.
    QByteArray smallIndex(Small.BlockCount() * EntrySize, '\0'), bigIndex = EmptyIndex(), oldData;
    for (int b = 0; b < Small.BlockCount(); ++b) SetEntry(smallIndex, b, -1, -1);
    for (const auto& [column, row] : {std::pair{0, 0}, {3, 4}, {7, 1}, {7, 4}}) {
      const QByteArray records = Record(uint16_t(column), 1, 2, 3, uint16_t(row)) + Record(7, 7, 7, 7, 7);
      const QByteArray extra = QByteArray::number(column * 10 + row).rightJustified(4, '0');
      SetEntry(smallIndex, column * Small.BlockRows() + row, int32_t(oldData.size()), 14, extra);
      SetEntry(bigIndex, column * 512 + row, int32_t(oldData.size()), 14, extra);
      oldData += records;
    }
    Write(Path("sidx.mul"), smallIndex);
    Write(Path("sdat.mul"), oldData);
    Write(Path("bidx.mul"), bigIndex);
    Write(Path("bdat.mul"), oldData);
    Freeze("s", Small);
    Freeze("b", mirnax::DefaultMapSize);
    const QByteArray si = Read(Path("sidx.mul")), sd = Read(Path("sdat.mul"));
    const QByteArray bi = Read(Path("bidx.mul")), bd = Read(Path("bdat.mul"));
    QCOMPARE(si.size(), Small.BlockCount() * EntrySize);
    for (int column = 0; column < Small.BlockColumns(); ++column)
      for (int row = 0; row < Small.BlockRows(); ++row)
        QCOMPARE(BlockBytes(si, sd, column * Small.BlockRows() + row), BlockBytes(bi, bd, column * 512 + row));
    if (!outside) QCOMPARE(sd, bd);
    QVERIFY(sd.size() >= 600 * 7);
  }
};

QTEST_APPLESS_MAIN(TestMapSize)
#include "tst_map_size.moc"
