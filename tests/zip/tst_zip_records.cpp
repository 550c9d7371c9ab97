// The records shared with the archive libraries: the layout of this build, field by field. A
// 32-bit build has the classic offsets; a 64-bit one widens every address to 8 bytes.
#include <QtTest>

#include <cstddef>

#include "toolkit/core/library.h"
#include "zip/zip_records.h"

using mirnax::TLibrary;

class TestZipRecords : public QObject {
  Q_OBJECT

 private slots:
  void layout_data();
  void layout();
  void libraryNames_data();
  void libraryNames();
};

void TestZipRecords::layout_data() {
  QTest::addColumn<int>("actual");
  QTest::addColumn<int>("classic");  // 4-byte addresses
  QTest::addColumn<int>("wide");     // 8-byte addresses
#define ROW(type, field, a, b) QTest::newRow(#type "." #field) << int(offsetof(type, field)) << (a) << (b)
#define SIZE(type, a, b) QTest::newRow("sizeof " #type) << int(sizeof(type)) << (a) << (b)
  ROW(ZCallBackStruct, Caller, 4, 8);
  ROW(ZCallBackStruct, ActionCode, 16, 24);
  ROW(ZCallBackStruct, ErrorCode, 20, 28);
  ROW(ZCallBackStruct, Size, 24, 32);
  ROW(ZCallBackStruct, Text, 28, 36);

  ROW(ZipCommandHead, Caller, 4, 8);
  ROW(ZipCommandHead, Version, 8, 16);
  ROW(ZipCommandHead, Callback, 12, 24);
  ROW(ZipCommandHead, fTraceEnabled, 16, 32);
  ROW(ZipCommandHead, pZipPassword, 20, 40);
  ROW(ZipCommandHead, fEncrypt, 28, 52);
  ROW(ZipCommandHead, fSystem, 32, 56);
  ROW(ZipCommandHead, fNoDirEntries, 44, 68);
  ROW(ZipCommandHead, fVerbose, 52, 76);
  ROW(ZipCommandHead, fQuiet, 56, 80);
  ROW(ZipCommandHead, fLevel, 60, 84);
  ROW(ZipCommandHead, fJunkDir, 72, 96);
  ROW(ZipCommandHead, fRecurse, 76, 100);
  ROW(ZipCommandHead, fForce, 80, 104);
  ROW(ZipCommandHead, fForceDOS, 84, 108);
  ROW(ZipCommandHead, fMove, 88, 112);
  ROW(ZipCommandHead, fDeleteEntries, 92, 116);
  ROW(ZipCommandHead, fUpdate, 96, 120);
  ROW(ZipCommandHead, fFreshen, 100, 124);
  ROW(ZipCommandHead, fLatestTime, 108, 132);
  ROW(ZipCommandHead, argc, 120, 144);
  ROW(ZipCommandHead, pZipFN, 124, 152);
  ROW(ZipCommandCompact, pTempDir, 128, 160);
  ROW(ZipCommandCompact, FDefs, 140, 176);
  ROW(ZipCommandCompact, Seven, 212, 252);
  SIZE(ZipCommandCompact, 216, 256);
  SIZE(ZipFileSpec, 104, 112);
  ROW(ZipCommandLong, Seven, 128, 160);
  ROW(ZipCommandLong, FNV, 132, 168);
  SIZE(ZipCommandLong, 16520, 32944);

  ROW(UnzipCommandHead, Version, 8, 16);
  ROW(UnzipCommandHead, Callback, 12, 24);
  ROW(UnzipCommandHead, fCodePage, 20, 36);
  ROW(UnzipCommandHead, pZipPassword, 24, 40);
  ROW(UnzipCommandHead, fTest, 28, 48);
  ROW(UnzipCommandHead, fQuiet, 40, 60);
  ROW(UnzipCommandHead, fVerbose, 44, 64);
  ROW(UnzipCommandHead, fUpdate, 48, 68);
  ROW(UnzipCommandHead, fFreshen, 52, 72);
  ROW(UnzipCommandHead, fDirectories, 56, 76);
  ROW(UnzipCommandHead, fOverwrite, 60, 80);
  ROW(UnzipCommandHead, argc, 64, 84);
  ROW(UnzipCommandHead, pZipFN, 68, 88);
  ROW(UnzipCommandCompact, FDefs, 72, 96);
  ROW(UnzipCommandCompact, Seven, 144, 172);
  SIZE(UnzipCommandCompact, 148, 176);
  SIZE(UnzipFileSpec, 72, 80);
  ROW(UnzipCommandLong, Seven, 72, 96);
  ROW(UnzipCommandLong, FNV, 76, 104);
  SIZE(UnzipCommandLong, 16464, 32880);
#undef ROW
#undef SIZE
}

void TestZipRecords::layout() {
  QFETCH(int, actual);
  QFETCH(int, classic);
  QFETCH(int, wide);
  QCOMPARE(actual, sizeof(void*) == 4 ? classic : wide);
}

void TestZipRecords::libraryNames_data() {
  QTest::addColumn<QString>("given");
  QTest::addColumn<QString>("mapped");
  QTest::newRow("bare") << "ZIPDLL.DLL" << "libzipdll.so";
  QTest::newRow("lower case") << "unzdll.dll" << "libunzdll.so";
  QTest::newRow("folder with backslashes") << "C:\\dlls\\ZIPDLL.DLL" << "C:/dlls/libzipdll.so";
  QTest::newRow("folder") << "/opt/mirnax/UNZDLL.DLL" << "/opt/mirnax/libunzdll.so";
  QTest::newRow("already native") << "/usr/lib/libz.so.1" << "/usr/lib/libz.so.1";
}

void TestZipRecords::libraryNames() {
  QFETCH(QString, given);
  QFETCH(QString, mapped);
  QCOMPARE(QString::fromStdString(TLibrary::PlatformName(given.toStdString())), mapped);
}

QTEST_GUILESS_MAIN(TestZipRecords)
#include "tst_zip_records.moc"
