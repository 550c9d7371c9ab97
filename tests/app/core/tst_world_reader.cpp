#include <QTemporaryDir>
#include <QTest>

#include "app/core/world_reader.h"
#include "statics_fixture.h"
#include "tests/support/file_helpers.h"
#include "tests/support/recording_host.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"

using mirnax::BlockCount;
using mirnax::EConvertError;
using mirnax::ParseHex;
using mirnax::ReadWorldFile;
using mirnax::StaticItem;
using mirnax::TMapArea;
using mirnax::TBlockStore;
using mirnax::TFileStream;
using mirnax::TNullProgress;
using mirnax::TStringList;
using mirnax::TWorldFileResult;
using mirnax::TileIdBase;
using mirnax::fmOpenRead;
using mirnax::support::Bytes;
using mirnax::support::ErrorOf;
using mirnax::support::TRecordingGauge;
using mirnax::support::WriteBytes;

namespace {
// The store's items, block by block in chain order: "block:cellx,celly,z,tile,hue", tile and hue
// in hex, tile without the 0x4000 the store adds.
QString Dump(const TBlockStore& store) {
  QStringList out;
  for (int32_t b = 0; b < BlockCount; ++b) {
    if (store.Count(b) == 0) continue;
    for (const StaticItem& it : store.Chain(b)) {
      out << QString("%1:%2,%3,%4,%5,%6")
                 .arg(b)
                 .arg(it.CellX)
                 .arg(it.CellY)
                 .arg(it.Z)
                 .arg(static_cast<uint16_t>(it.TileId - TileIdBase), 0, 16)
                 .arg(it.Hue, 0, 16);
    }
  }
  return out.join(';');
}

// Reads text as the terminal does, from a file in pieces; the store's dump, or the error.
QString ReadStreamed(const std::string& text, TBlockStore& store, TWorldFileResult* result = nullptr) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("WORLD.SCP").toStdString();
  WriteBytes(path, Bytes(text));
  TFileStream file(path, fmOpenRead);
  TNullProgress gauge;
  try {
    const TWorldFileResult read = ReadWorldFile(file, store, gauge);
    if (result) *result = read;
  } catch (const EConvertError& e) {
    return "error: " + QString::fromStdString(e.Message);
  }
  return Dump(store);
}

// The same through the line list, as the window reads it.
QString ReadListed(const std::string& text, TBlockStore& store, TWorldFileResult* result = nullptr) {
  TStringList lines;
  lines.SetText(text);
  TNullProgress gauge;
  try {
    const TWorldFileResult read = ReadWorldFile(lines, store, gauge);
    if (result) *result = read;
  } catch (const EConvertError& e) {
    return "error: " + QString::fromStdString(e.Message);
  }
  return Dump(store);
}
}  // namespace

class TestWorldReader : public QObject {
  Q_OBJECT
 private slots:
  void parseHex_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("value");
    QTest::newRow("lower-case digits") << "0eed" << 0xEEDu;
    QTest::newRow("leading blank is a zero digit") << " 0eed" << 0xEEDu;
    QTest::newRow("upper-case letters count as 0") << "0EED" << 0u;
    QTest::newRow("other characters keep their place") << "1x2" << 0x102u;
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("all digits") << "0123456789abcdef" << 0x89abcdefu;
    QTest::newRow("kept modulo 2^32") << "1ffffffff" << 0xffffffffu;
    QTest::newRow("longer than 16 characters") << "10000000000000000002" << 2u;
  }
  void parseHex() {
    QFETCH(QString, text);
    QFETCH(uint, value);
    QCOMPARE(ParseHex(text.toStdString()), value);
  }

  void records_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("items");
    QTest::addColumn<int>("taken");
    QTest::addColumn<int>("skipped");

    QTest::newRow("one item: block and cell") << "[WORLDITEM 0eed]\nP=1430,1700,0\n\n"
                                              << "91348:6,4,0,eed,0" << 1 << 0;
    QTest::newRow("13-character header") << "[WORLDITEM 4]\n\n" << "0:0,0,0,4,0" << 1 << 0;
    QTest::newRow("11-character line is no header") << "[WORLDITEM]\nP=8,8,0\n\n" << "" << 0 << 0;
    QTest::newRow("header is case-sensitive") << "[worlditem 0eed]\nP=8,8,0\n\n" << "" << 0 << 0;
    QTest::newRow("ID with upper-case digits") << "[WORLDITEM 0eed]\nID=0EED\n\n" << "0:0,0,0,0,0" << 1 << 0;
    QTest::newRow("ID overrides the header") << "[WORLDITEM 0eed]\nID=0196\nP=0,9,1\n\n" << "1:0,1,1,196,0" << 1 << 0;
    QTest::newRow("COLOR") << "[WORLDITEM 0001]\nCOLOR=0481\n\n" << "0:0,0,0,1,481" << 1 << 0;
    QTest::newRow("keys are case-sensitive") << "[WORLDITEM 0001]\nid=0002\ncolor=0003\np=8,8,8\n\n"
                                             << "0:0,0,0,1,0" << 1 << 0;
    QTest::newRow("second P wins") << "[WORLDITEM 0001]\nP=0,0,5\nP=9,10,6\n\n" << "513:1,2,6,1,0" << 1 << 0;
    QTest::newRow("last record without empty line") << "[WORLDITEM 0001]\n\n[WORLDITEM 0002]\nP=1,1,1\n"
                                                    << "0:0,0,0,1,0" << 1 << 0;
    QTest::newRow("blank after the header's bracket") << "[WORLDITEM 0eed] \n\n" << "0:0,0,0,eed0,0" << 1 << 0;
    QTest::newRow("new header drops the unfinished record")
        << "[WORLDITEM 0001]\nP=8,0,0\n[WORLDITEM 0002]\nP=16,0,0\n\n" << "1024:0,0,0,2,0" << 1 << 0;
    QTest::newRow("a line of blanks does not end a record") << "[WORLDITEM 0001]\n \nP=0,3,0\n\n"
                                                            << "0:0,3,0,1,0" << 1 << 0;
    QTest::newRow("empty lines outside records") << "\n\nSERIAL=1\n\n" << "" << 0 << 0;
    QTest::newRow("record without P sits at 0,0,0") << "[WORLDITEM 0001]\nCOLOR=0002\n\n" << "0:0,0,0,1,2" << 1 << 0;
    QTest::newRow("each record starts from the defaults")
        << "[WORLDITEM 0001]\nCOLOR=0009\nP=8,0,3\n\n[WORLDITEM 0002]\n\n" << "0:0,0,0,2,0;512:0,0,3,1,9" << 2 << 0;
    QTest::newRow("chain keeps reading order") << "[WORLDITEM 0003]\nP=1,1,0\n\n[WORLDITEM 0001]\nP=2,2,0\n\n"
                                               << "0:1,1,0,3,0;0:2,2,0,1,0" << 2 << 0;
    QTest::newRow("leading blanks and signs in the position") << "[WORLDITEM 0001]\nP= 12,+5, -3\n\n"
                                                              << "512:4,5,-3,1,0" << 1 << 0;
    QTest::newRow("long numbers and signs beside plain ones")
        << "[WORLDITEM 0001]\nP=0000000012,-0,+5\n\n[WORLDITEM 0002]\nP=-1,5,5\n\n[WORLDITEM 0003]\nP=12,5,-0000000003\n\n"
        << "512:4,0,5,1,0;512:4,5,-3,3,0" << 2 << 1;
    QTest::newRow("z keeps its low eight bits") << "[WORLDITEM 0001]\nP=0,0,300\n\n[WORLDITEM 0002]\nP=0,0,-1\n\n"
                                                << "0:0,0,44,1,0;0:0,0,-1,2,0" << 2 << 0;
    QTest::newRow("last tile of the map") << "[WORLDITEM 0001]\nP=6143,4095,0\n\n" << "393215:7,7,0,1,0" << 1 << 0;
    QTest::newRow("outside the map is skipped")
        << "[WORLDITEM 0001]\nP=-3,10,0\n\n[WORLDITEM 0002]\nP=7000,10,0\n\n[WORLDITEM 0003]\nP=10,4096,0\n\n"
           "[WORLDITEM 0004]\nP=10,-1,0\n\n[WORLDITEM 0005]\nP=6144,0,0\n\n[WORLDITEM 0006]\nP=9,9,9\n\n"
        << "513:1,1,9,6,0" << 1 << 5;
  }
  void records() {
    QFETCH(QString, text);
    QFETCH(QString, items);
    QFETCH(int, taken);
    QFETCH(int, skipped);
    TStringList lines;
    lines.SetText(text.toStdString());
    TBlockStore store;
    TRecordingGauge gauge;
    const TWorldFileResult result = ReadWorldFile(lines, store, gauge);
    QCOMPARE(Dump(store), items);
    QCOMPARE(result.Taken, taken);
    QCOMPARE(result.Skipped, skipped);
    QCOMPARE(store.TotalCount(), uint64_t(taken));

    // Read from a file in pieces, the same items come out.
    TBlockStore streamed;
    TWorldFileResult streamedResult;
    QCOMPARE(ReadStreamed(text.toStdString(), streamed, &streamedResult), items);
    QCOMPARE(streamedResult.Taken, taken);
    QCOMPARE(streamedResult.Skipped, skipped);
  }

  // Only the items inside an area are taken, its corners included; those outside the map count as
  // before, the others outside the area apart.
  void areaTakesOnlyItsItems() {
    std::string text;
    int tile = 1;
    for (const auto& [x, y] : {std::pair{10, 20}, {30, 40}, {10, 40}, {30, 20}, {9, 30}, {31, 30}, {20, 19},
                               {20, 41}, {20, 30}, {-1, 30}, {7000, 30}}) {
      char record[80];
      std::snprintf(record, sizeof record, "[WORLDITEM %04x]\nP=%d,%d,0\n\n", tile++, x, y);
      text += record;
    }
    const TMapArea area{10, 20, 30, 40};
    QTemporaryDir dir;
    const std::string path = dir.filePath("WORLD.SCP").toStdString();
    WriteBytes(path, Bytes(text));
    TFileStream file(path, fmOpenRead);
    TBlockStore store;
    TNullProgress gauge;
    const TWorldFileResult read = ReadWorldFile(file, store, gauge, {}, {&area, nullptr});
    QCOMPARE(read.Taken, 5);
    QCOMPARE(read.OutsideArea, 4);
    QCOMPARE(read.Skipped, 2);
    QCOMPARE(Dump(store).count(';') + 1, 5);
  }

  // Lines, and CR LF pairs, cut by the end of a piece are joined again; the last line counts
  // without an end. Every line end and every cut near the piece boundary gives what the line list
  // gives.
  void streamedPiecesJoinLines_data() {
    QTest::addColumn<QString>("end");
    QTest::newRow("CR LF") << "\r\n";
    QTest::newRow("LF") << "\n";
    QTest::newRow("CR") << "\r";
  }
  void streamedPiecesJoinLines() {
    QFETCH(QString, end);
    const std::string eol = end.toStdString();
    constexpr size_t Piece = size_t{1} << 20;
    for (size_t shift = 0; shift < 24; ++shift) {
      std::string text(Piece - 40 + shift, 'x');  // one long line outside any record
      text += eol;
      for (int i = 0; i < 3; ++i) {
        text += "[WORLDITEM 0" + std::to_string(i + 1) + "a]" + eol + "COLOR=0" + std::to_string(i) + eol;
        text += "P=" + std::to_string(100 + i) + ",7," + std::to_string(i) + eol + eol;
      }
      text += "[WORLDITEM 0002]" + eol + "P=9,9,9" + eol;  // no empty line: not taken
      TBlockStore listed, streamed;
      const QString expected = ReadListed(text, listed);
      QCOMPARE(ReadStreamed(text, streamed), expected);
      QCOMPARE(listed.TotalCount(), 3u);
    }
  }

  void streamedBadPositionStopsAsListed() {
    const std::string text = "[WORLDITEM 0001]\nP=x,1,1\n[WORLDITEM 0002]\nP=1,1,1\n\n"  // dropped: no error
                             "[WORLDITEM 0003]\nP=1,1\nP=2,2,2\n\n";  // the first bad P counts
    TBlockStore listed, streamed;
    QCOMPARE(ReadListed(text, listed), QString("error: '' is not a valid integer value"));
    QCOMPARE(ReadStreamed(text, streamed), QString("error: '' is not a valid integer value"));
  }

  void badPositions_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("one comma: y is empty") << "P=5,6" << "'' is not a valid integer value";
    QTest::newRow("no comma: y is empty") << "P=5" << "'' is not a valid integer value";
    QTest::newRow("empty value") << "P=" << "'' is not a valid integer value";
    QTest::newRow("three commas: y holds one") << "P=1,2,3,4" << "'2,3' is not a valid integer value";
    QTest::newRow("last character is no separator") << "P=1,2,3," << "'3,' is not a valid integer value";
    QTest::newRow("x not a number") << "P=a,1,2" << "'a' is not a valid integer value";
    QTest::newRow("trailing blank") << "P=12 ,5,3" << "'12 ' is not a valid integer value";
    QTest::newRow("z beyond 32 bits") << "P=1,2,4294967296" << "'4294967296' is not a valid integer value";
  }
  void badPositions() {
    QFETCH(QString, line);
    QFETCH(QString, message);
    TStringList lines;
    lines.SetText(("[WORLDITEM 0001]\nP=1,1,1\n\n[WORLDITEM 0002]\n" + line + "\n\n").toStdString());
    TBlockStore store;
    TNullProgress gauge;
    QCOMPARE(ErrorOf<EConvertError>([&] { ReadWorldFile(lines, store, gauge); }), message);
    // Nothing of the bad record is filed; the record before it may be (the run drops the store).
    QVERIFY(store.TotalCount() <= 1u);
  }

  void gaugeCountsLinesWithoutForcedRepaints() {
    TStringList lines;
    lines.SetText("[WORLDITEM 0001]\nP=1,1,1\n\nx\ny\n");
    TBlockStore store;
    TRecordingGauge gauge;
    gauge.done = 50;
    ReadWorldFile(lines, store, gauge);
    QCOMPARE(gauge.begins, 1);  // from none done
    QCOMPARE(gauge.total, 5);
    QCOMPARE(gauge.done, 5);
    QCOMPARE(gauge.adds, 0);  // Add is shown every time; a line must not be
  }
};

QTEST_APPLESS_MAIN(TestWorldReader)
#include "tst_world_reader.moc"
