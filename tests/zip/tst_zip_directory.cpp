// Reading an archive's directory: finding the end record, comments, bytes before and after the
// archive, names, and archives that lie about themselves.
#include <QtTest>

#include "zip_fixture.h"
#include "zip_test_support.h"

using mirnax::TZipBuilder;
using mirnax::ZipDirEntry;

using namespace zipfixture;

class TestZipDirectory : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  TDialogsScope* dialogs_ = nullptr;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  // Lists bytes written to a file of their own; the recorder holds what was reported.
  std::unique_ptr<TZipBuilder> ListBytes(const std::string& bytes, TZipRecorder& rec) {
    PutFile(Path("t.zip"), B(bytes));
    auto zip = std::make_unique<TZipBuilder>();
    zip->SetUnattended(true);
    rec.Attach(*zip);
    zip->SetZipFileName(S(Path("t.zip")));
    return zip;
  }

  static std::vector<TMember> Two() { return {{"first.txt", "one", "", 0}, {"second.txt", "second member", "", 0}}; }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
  }

  void emptyArchive();
  void membersAndFields();
  void commentFoundByScan();
  void trailingBytes_data();
  void trailingBytes();
  void stubInFront();
  void noEndRecord();
  void missingFile();
  void longNames();
  void manyMembers();
  void hostileArchives_data();
  void hostileArchives();
};

void TestZipDirectory::emptyArchive() {
  TZipRecorder rec;
  auto zip = ListBytes(EndRecord(0, 0, 0, ""), rec);
  QCOMPARE(zip->Count(), 0);
  QCOMPARE(zip->ZipSOC(), int64_t(0));
  QCOMPARE(zip->ZipFileName(), S(Path("t.zip")));
  QVERIFY2(rec.messages.empty(), qPrintable(rec.All()));
  QCOMPARE(rec.dirUpdates, 1);
}

void TestZipDirectory::membersAndFields() {
  TZipRecorder rec;
  auto zip = ListBytes(MakeArchive({{"dir/sub/a.txt", "alpha", "first comment", 0}, {"b.bin", std::string(300, 'b'), "", 0}}), rec);
  QCOMPARE(zip->Count(), 2);
  const ZipDirEntry& a = zip->ZipContents()[0];
  QCOMPARE(a.FileName, std::string("dir\\sub\\a.txt"));  // shown with backslashes
  QCOMPARE(a.FileComment, std::string("first comment"));
  QCOMPARE(a.UncompressedSize, 5u);
  QCOMPARE(a.FileNameLength, uint16_t(13));
  QCOMPARE(a.ModifDate, uint16_t(0x5A21));
  QCOMPARE(zip->ZipContents()[1].RelOffLocalHdr, uint32_t(30 + 13 + 5));
  QCOMPARE(zip->ZipSOC(), int64_t(0));
  QVERIFY(!zip->OffsetsShifted());
}

void TestZipDirectory::commentFoundByScan() {
  TZipRecorder rec;
  auto zip = ListBytes(MakeArchive(Two(), "Archive comment\r\nsecond line PK\x05\x06 inside"), rec);
  QCOMPARE(zip->Count(), 2);
  QCOMPARE(zip->ZipComment(), std::string("Archive comment\r\nsecond line PK\x05\x06 inside"));
  QVERIFY2(rec.messages.empty(), qPrintable(rec.All()));
}

void TestZipDirectory::trailingBytes_data() {
  QTest::addColumn<char>("fill");
  QTest::addColumn<bool>("roundTo512");
  QTest::addColumn<int>("count");
  QTest::addColumn<bool>("warned");
  QTest::newRow("zero padding to 512") << char(0) << true << 100 << false;
  QTest::newRow("non-zero bytes") << char('x') << true << 100 << true;
  QTest::newRow("zeros, not a multiple of 512") << char(0) << false << 100 << true;
  QTest::newRow("512 zero bytes") << char(0) << true << 512 << true;
}

void TestZipDirectory::trailingBytes() {
  QFETCH(char, fill);
  QFETCH(bool, roundTo512);
  QFETCH(int, count);
  QFETCH(bool, warned);
  std::string bytes = MakeArchive(Two());
  const size_t archiveSize = bytes.size();
  if (roundTo512) {
    // Grow the first member so that archive plus trailer ends on a multiple of 512.
    const size_t total = archiveSize + static_cast<size_t>(count);
    const size_t grow = (512 - total % 512) % 512;
    std::vector<TMember> members = Two();
    members[0].data += std::string(grow, '.');
    bytes = MakeArchive(members);
  }
  const int64_t effective = static_cast<int64_t>(bytes.size());
  bytes += std::string(static_cast<size_t>(count), fill);
  QCOMPARE(bytes.size() % 512 == 0, roundTo512);
  TZipRecorder rec;
  auto zip = ListBytes(bytes, rec);
  QCOMPARE(zip->Count(), 2);
  QCOMPARE(zip->FileSize(), effective);
  QCOMPARE(zip->RealFileSize(), static_cast<int64_t>(bytes.size()));
  QCOMPARE(zip->ErrCode() == 10204, warned);
  QCOMPARE(rec.messages.size(), size_t(warned ? 1 : 0));
}

void TestZipDirectory::stubInFront() {
  const std::string stub(1000, '\x90');
  TZipRecorder rec;
  auto zip = ListBytes(stub + MakeArchive(Two()), rec);
  QCOMPARE(zip->Count(), 2);
  QCOMPARE(zip->ErrCode(), 10203);
  QVERIFY(zip->OffsetsShifted());
  QCOMPARE(zip->ZipSOC(), int64_t(1000));
}

void TestZipDirectory::noEndRecord() {
  TZipRecorder rec;
  auto zip = ListBytes(std::string(5000, 'n'), rec);
  QCOMPARE(zip->ErrCode(), 11036);
  QCOMPARE(zip->Count(), 0);
  QCOMPARE(zip->ZipFileName(), std::string());
  QCOMPARE(rec.dirUpdates, 1);

  // A short file takes the same road.
  auto tiny = ListBytes("PK", rec);
  QCOMPARE(tiny->ErrCode(), 11036);
}

void TestZipDirectory::missingFile() {
  TZipBuilder zip;
  TZipRecorder rec;
  rec.Attach(zip);
  zip.SetZipFileName(S(Path("absent.zip")));
  QCOMPARE(zip.Count(), 0);
  QCOMPARE(zip.ZipFileName(), S(Path("absent.zip")));  // a new archive may be made there
  QCOMPARE(rec.dirUpdates, 1);
  QVERIFY(rec.messages.empty());
}

void TestZipDirectory::longNames() {
  // Names are not cut to any buffer: 260 bytes and far beyond come back whole.
  const std::string name260 = std::string(255, 'a') + ".long";
  const std::string name5000 = std::string(4990, 'b') + "/tail.name";
  TZipRecorder rec;
  auto zip = ListBytes(MakeArchive({{name260, "1", "", 0}, {name5000, "2", "", 0}}), rec);
  QCOMPARE(zip->Count(), 2);
  QCOMPARE(zip->ZipContents()[0].FileName, name260);
  QCOMPARE(zip->ZipContents()[1].FileName, std::string(4990, 'b') + "\\tail.name");
}

void TestZipDirectory::manyMembers() {
  // Beyond 65535 members the counts live in the 64-bit end record.
  std::vector<TMember> members;
  for (int i = 0; i < 70000; ++i) members.push_back({"m" + std::to_string(i), "", "", 0});
  TZipRecorder rec;
  auto zip = ListBytes(MakeArchive(members), rec);
  QCOMPARE(zip->Count(), 70000);
  QCOMPARE(zip->ZipContents().back().FileName, std::string("m69999"));
  QVERIFY2(rec.messages.empty(), qPrintable(rec.All()));

  // A small archive written the same way, with a stub in front and a comment.
  auto small = ListBytes(std::string(64, 's') + MakeArchive(Two(), "wide", true), rec);
  QCOMPARE(small->Count(), 2);
  QCOMPARE(small->ZipComment(), std::string("wide"));
  QCOMPARE(small->ZipSOC(), int64_t(64));
  QCOMPARE(small->ErrCode(), 10203);
}

void TestZipDirectory::hostileArchives_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<int>("errCode");
  QTest::addColumn<int>("entriesKept");
  const std::string good = MakeArchive(Two(), "note");
  const size_t eocAt = good.size() - 22 - 4;
  auto patched = [&](size_t at, std::string with) {
    std::string s = good;
    s.replace(at, with.size(), with);
    return B(s);
  };
  std::string count(2, '\0');
  count[0] = count[1] = '\xFF';
  QTest::newRow("entry count far beyond the directory") << patched(eocAt + 10, count) << 11013 << 2;
  std::string size(4, '\xFF');
  QTest::newRow("directory larger than the file") << patched(eocAt + 12, size) << 10201 << 0;
  // The second header's name length runs past the end of the file.
  const size_t secondHeader = good.find(std::string("PK\x01\x02", 4), good.find(std::string("PK\x01\x02", 4)) + 4);
  QTest::newRow("name past the end") << patched(secondHeader + 28, std::string("\xFF\xFF", 2)) << 11017 << 1;
  QTest::newRow("comment past the end") << patched(secondHeader + 32, std::string("\xFF\xFF", 2)) << 11022 << 1;
  QTest::newRow("wrong header signature") << patched(secondHeader, "XX") << 11015 << 1;
  std::string cut = good.substr(0, secondHeader + 20) + good.substr(eocAt);
  QTest::newRow("directory cut short") << B(cut) << 11015 << 0;
  // A truncated comment is a warning: the members are all there.
  QTest::newRow("archive comment longer than the file") << patched(good.size() - 6, std::string("\xFF\xFF", 2)) << 10204 << 2;
  QTest::newRow("end record alone, claiming members") << B(EndRecord(3, 46, 0, "")) << 10201 << 0;
  // A 64-bit end record claiming a trillion members: nothing is reserved for them.
  const std::string central = good.substr(good.find(std::string("PK\x01\x02", 4)), eocAt - good.find(std::string("PK\x01\x02", 4)));
  const std::string wide = good.substr(0, eocAt) + Zip64End(uint64_t(1) << 40, central.size(), eocAt - central.size()) +
                           EndRecord(0xFFFF, static_cast<uint32_t>(central.size()), static_cast<uint32_t>(eocAt - central.size()), "note");
  QTest::newRow("64-bit count far beyond the file") << B(wide) << 11015 << 2;
}

void TestZipDirectory::hostileArchives() {
  QFETCH(QByteArray, bytes);
  QFETCH(int, errCode);
  QFETCH(int, entriesKept);
  TZipRecorder rec;
  auto zip = ListBytes(std::string(bytes.constData(), static_cast<size_t>(bytes.size())), rec);
  QVERIFY2(zip->ErrCode() == errCode, qPrintable(rec.All()));
  QCOMPARE(static_cast<int>(zip->ZipContents().size()), entriesKept);
  QCOMPARE(zip->ZipFileName().empty(), errCode != 10204);
  QCOMPARE(rec.dirUpdates, 1);
}

QTEST_GUILESS_MAIN(TestZipDirectory)
#include "tst_zip_directory.moc"
