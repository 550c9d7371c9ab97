// The zip records codec: each record read from bytes made by the test's own archive builder
// (zip_fixture.h, written apart from the codec), truncated records, wrong signatures, the Zip64
// forms, round trips of every field, the end record search, the self-extractor's header and the
// bounds-checked reader itself.
#include <QtTest>

#include <string>
#include <string_view>

#include "zip/zip_codec.h"
#include "zip_fixture.h"

namespace codec = mirnax::zip_codec;
using codec::TReadResult;
using namespace zipfixture;

Q_DECLARE_METATYPE(std::string)

namespace {

QString ResultName(TReadResult result) {
  switch (result) {
    case TReadResult::Ok: return "ok";
    case TReadResult::Truncated: return "truncated";
    case TReadResult::BadSignature: return "bad signature";
  }
  return "?";
}

QString Describe(const codec::TLocalHeader& h) {
  return QString("version %1 flag %2 method %3 time %4 date %5 crc %6 sizes %7/%8 name %9 extra %10")
      .arg(h.Version).arg(h.Flag).arg(h.Method).arg(h.ModTime, 0, 16).arg(h.ModDate, 0, 16).arg(h.Crc, 0, 16)
      .arg(h.CompressedSize).arg(h.UncompressedSize).arg(h.NameLength).arg(h.ExtraLength);
}

QString Describe(const codec::TCentralHeader& h) {
  return QString("made by %1 host %2 version %3 flag %4 method %5 crc %6 sizes %7/%8 name %9 extra %10 comment %11 "
                 "disk %12 attributes %13/%14 offset %15")
      .arg(h.MadeByVersion).arg(h.HostSystem).arg(h.Version).arg(h.Flag).arg(h.Method).arg(h.Crc, 0, 16)
      .arg(h.CompressedSize).arg(h.UncompressedSize).arg(h.NameLength).arg(h.ExtraLength).arg(h.CommentLength)
      .arg(h.StartDisk).arg(h.InternalAttributes).arg(h.ExternalAttributes, 0, 16).arg(h.LocalHeaderOffset);
}

QString Describe(const codec::TEndRecord& r) {
  return QString("disk %1 directory disk %2 entries %3/%4 directory %5 at %6 comment %7%8")
      .arg(r.ThisDisk).arg(r.CentralDisk).arg(r.CentralEntries).arg(r.TotalEntries).arg(r.CentralSize)
      .arg(r.CentralOffset).arg(r.CommentLength).arg(r.PointsToZip64() ? ", Zip64" : "");
}

QString Describe(const codec::TZip64EndRecord& r) {
  return QString("size %1 made by %2 version %3 disk %4 directory disk %5 entries %6/%7 directory %8 at %9")
      .arg(r.RecordSize).arg(r.MadeByVersion).arg(r.Version).arg(r.ThisDisk).arg(r.CentralDisk)
      .arg(r.CentralEntries).arg(r.TotalEntries).arg(r.CentralSize).arg(r.CentralOffset);
}

QString Describe(const codec::TZip64Locator& l) {
  return QString("end record disk %1 at %2 disks %3").arg(l.EndRecordDisk).arg(l.EndRecordOffset).arg(l.TotalDisks);
}

QString Describe(const codec::TDataDescriptor& d) {
  return QString("%1 crc %2 sizes %3/%4 length %5")
      .arg(d.Signed ? "signed" : "unsigned").arg(d.Crc, 0, 16).arg(d.CompressedSize).arg(d.UncompressedSize)
      .arg(d.Size());
}

// The record of the kind read from bytes: its result, and what it holds when read.
template <class Record>
QString Read(const std::string& bytes) {
  Record record;
  const TReadResult result = codec::Decode(bytes, record);
  return result == TReadResult::Ok ? Describe(record) : ResultName(result);
}

QString ReadAs(const QString& kind, const std::string& bytes) {
  if (kind == "local") return Read<codec::TLocalHeader>(bytes);
  if (kind == "central") return Read<codec::TCentralHeader>(bytes);
  if (kind == "end") return Read<codec::TEndRecord>(bytes);
  if (kind == "zip64 end") return Read<codec::TZip64EndRecord>(bytes);
  if (kind == "locator") return Read<codec::TZip64Locator>(bytes);
  if (kind == "descriptor") return Read<codec::TDataDescriptor>(bytes);
  return "no such kind";
}

template <class Record>
std::string RoundTrip(const std::string& bytes) {
  Record record;
  return codec::Decode(bytes, record) == TReadResult::Ok ? codec::Encode(record) : "<unread>";
}

std::string RoundTripAs(const QString& kind, const std::string& bytes) {
  if (kind == "local") return RoundTrip<codec::TLocalHeader>(bytes);
  if (kind == "central") return RoundTrip<codec::TCentralHeader>(bytes);
  if (kind == "end") return RoundTrip<codec::TEndRecord>(bytes);
  if (kind == "zip64 end") return RoundTrip<codec::TZip64EndRecord>(bytes);
  if (kind == "locator") return RoundTrip<codec::TZip64Locator>(bytes);
  if (kind == "descriptor") return RoundTrip<codec::TDataDescriptor>(bytes);
  return "no such kind";
}

std::string Sig(uint32_t signature) {
  std::string s;
  Put32(s, signature);
  return s;
}

// The signature followed by distinct bytes, so that a field read from or written to the wrong
// place shows.
std::string Pattern(uint32_t signature, size_t size) {
  std::string s = Sig(signature);
  for (size_t i = s.size(); i < size; ++i) s += static_cast<char>(i * 7 + 1);
  return s;
}

// An archive of one member, "hello.txt" holding "hello", made by the fixture.
const TMember kMember{"hello.txt", "hello", "", 0x0808, 3, 30, 0100640};
std::string Archive() { return MakeArchive({kMember}, "c!"); }
size_t CentralAt() { return 30 + kMember.name.size() + kMember.data.size(); }

}  // namespace

class TestZipCodec : public QObject {
  Q_OBJECT

 private slots:
  void read_data();
  void read();
  void roundTrip_data();
  void roundTrip();
  void written_data();
  void written();
  void findEndRecord_data();
  void findEndRecord();
  void descriptorLength();
  void sfxHeader_data();
  void sfxHeader();
  void reader();
};

void TestZipCodec::read_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<std::string>("bytes");
  QTest::addColumn<QString>("read");
  const std::string archive = Archive();
  const std::string local = archive.substr(0, 30);
  const std::string central = archive.substr(CentralAt(), 46);
  const std::string end = archive.substr(archive.size() - 24);
  const std::string zip64 = Zip64End(70000, 5000000000ull, 4294967296ull);
  std::string descriptor = Sig(codec::kDataDescriptorSig);
  Put32(descriptor, 0xCAFEF00D);
  Put32(descriptor, 1234);
  Put32(descriptor, 5678);

  QTest::newRow("local header") << "local" << local
                                << "version 20 flag 2056 method 0 time 6000 date 5a21 crc 3610a686 sizes 5/5 name 9 extra 0";
  QTest::newRow("local header and more") << "local" << archive << QString("version 20 flag 2056 method 0 time 6000 date "
                                                                          "5a21 crc 3610a686 sizes 5/5 name 9 extra 0");
  QTest::newRow("local header, 29 bytes") << "local" << local.substr(0, 29) << "truncated";
  QTest::newRow("local header, nothing") << "local" << std::string() << "truncated";
  QTest::newRow("local header, central signature") << "local" << central.substr(0, 30) << "bad signature";
  QTest::newRow("local header, signature only") << "local" << Sig(codec::kLocalHeaderSig) << "truncated";

  QTest::newRow("central header") << "central" << central
                                  << "made by 30 host 3 version 20 flag 2056 method 0 crc 3610a686 sizes 5/5 name 9 "
                                     "extra 0 comment 0 disk 0 attributes 0/81a00000 offset 0";
  QTest::newRow("central header, 45 bytes") << "central" << central.substr(0, 45) << "truncated";
  QTest::newRow("central header, local signature") << "central" << archive.substr(0, 46) << "bad signature";
  QTest::newRow("central header, end signature") << "central" << Pattern(codec::kEndRecordSig, 46) << "bad signature";

  QTest::newRow("end record") << "end" << end << "disk 0 directory disk 0 entries 1/1 directory 55 at 44 comment 2";
  QTest::newRow("end record, 21 bytes") << "end" << end.substr(0, 21) << "truncated";
  QTest::newRow("end record, PK 5 7") << "end" << "PK\x05\x07" + end.substr(4) << "bad signature";
  QTest::newRow("end record of a Zip64 archive")
      << "end" << EndRecord(0xFFFF, 100, 200, "") << "disk 0 directory disk 0 entries 65535/65535 directory 100 at 200 comment 0, Zip64";
  QTest::newRow("end record, directory beyond 4 GiB")
      << "end" << EndRecord(3, 100, 0xFFFFFFFF, "") << "disk 0 directory disk 0 entries 3/3 directory 100 at 4294967295 comment 0, Zip64";

  QTest::newRow("Zip64 end record") << "zip64 end" << zip64
                                    << "size 44 made by 45 version 45 disk 0 directory disk 0 entries 70000/70000 "
                                       "directory 5000000000 at 4294967296";
  QTest::newRow("Zip64 end record, 55 bytes") << "zip64 end" << zip64.substr(0, 55) << "truncated";
  QTest::newRow("Zip64 end record, locator signature") << "zip64 end" << zip64.substr(56) + zip64 << "bad signature";
  QTest::newRow("Zip64 locator") << "locator" << zip64.substr(56) << "end record disk 0 at 9294967296 disks 1";
  QTest::newRow("Zip64 locator, 19 bytes") << "locator" << zip64.substr(56, 19) << "truncated";
  QTest::newRow("Zip64 locator, Zip64 end signature") << "locator" << zip64.substr(0, 20) << "bad signature";

  QTest::newRow("descriptor, signed") << "descriptor" << descriptor << "signed crc cafef00d sizes 1234/5678 length 16";
  QTest::newRow("descriptor, unsigned") << "descriptor" << descriptor.substr(4) << "unsigned crc cafef00d sizes 1234/5678 length 12";
  QTest::newRow("descriptor, signed, 15 bytes") << "descriptor" << descriptor.substr(0, 15) << "truncated";
  QTest::newRow("descriptor, 11 bytes") << "descriptor" << descriptor.substr(5) << "truncated";
  // Without a signature any bytes are a descriptor: there is none to be wrong.
  QTest::newRow("descriptor, a local header's bytes") << "descriptor" << local.substr(0, 12)
                                                      << QString("unsigned crc 4034b50 sizes 134742036/1610612736 length 12");
}

void TestZipCodec::read() {
  QFETCH(QString, kind);
  QFETCH(std::string, bytes);
  QFETCH(QString, read);
  QCOMPARE(ReadAs(kind, bytes), read);
}

void TestZipCodec::roundTrip_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<std::string>("bytes");
  const std::string archive = Archive();
  QTest::newRow("local header, every byte distinct") << "local" << Pattern(codec::kLocalHeaderSig, 30);
  QTest::newRow("central header, every byte distinct") << "central" << Pattern(codec::kCentralHeaderSig, 46);
  QTest::newRow("end record, every byte distinct") << "end" << Pattern(codec::kEndRecordSig, 22);
  QTest::newRow("Zip64 end record, every byte distinct") << "zip64 end" << Pattern(codec::kZip64EndSig, 56);
  QTest::newRow("Zip64 locator, every byte distinct") << "locator" << Pattern(codec::kZip64LocatorSig, 20);
  QTest::newRow("descriptor, signed") << "descriptor" << Pattern(codec::kDataDescriptorSig, 16);
  QTest::newRow("descriptor, unsigned") << "descriptor" << Pattern(0x01020304, 16).substr(0, 12);
  QTest::newRow("fixture's local header") << "local" << archive.substr(0, 30);
  QTest::newRow("fixture's central header") << "central" << archive.substr(CentralAt(), 46);
  QTest::newRow("fixture's end record") << "end" << archive.substr(archive.size() - 24, 22);
  QTest::newRow("fixture's Zip64 end record") << "zip64 end" << Zip64End(1, 2, 3).substr(0, 56);
  QTest::newRow("fixture's Zip64 locator") << "locator" << Zip64End(1, 2, 3).substr(56);
}

void TestZipCodec::roundTrip() {
  QFETCH(QString, kind);
  QFETCH(std::string, bytes);
  QCOMPARE(RoundTripAs(kind, bytes), bytes);
}

// Records made from fields are what the fixture, written from the format's description, makes.
void TestZipCodec::written_data() {
  QTest::addColumn<std::string>("encoded");
  QTest::addColumn<std::string>("expected");
  codec::TEndRecord end;
  end.CentralEntries = end.TotalEntries = 7;
  end.CentralSize = 300;
  end.CentralOffset = 4000;
  end.CommentLength = 2;
  QTest::newRow("end record") << codec::Encode(end) << EndRecord(7, 300, 4000, "ab").substr(0, 22);
  codec::TZip64EndRecord zip64;
  zip64.CentralEntries = zip64.TotalEntries = 70000;
  zip64.CentralSize = 5000000000ull;
  zip64.CentralOffset = 4294967296ull;
  codec::TZip64Locator locator;
  locator.EndRecordOffset = zip64.CentralOffset + zip64.CentralSize;
  QTest::newRow("Zip64 end record and locator") << codec::Encode(zip64) + codec::Encode(locator)
                                                << Zip64End(70000, 5000000000ull, 4294967296ull);
  codec::TDataDescriptor unsigned_;
  unsigned_.Signed = false;
  unsigned_.Crc = 1;
  QTest::newRow("unsigned descriptor") << codec::Encode(unsigned_) << std::string("\x01\0\0\0\0\0\0\0\0\0\0\0", 12);
}

void TestZipCodec::written() {
  QFETCH(std::string, encoded);
  QFETCH(std::string, expected);
  QCOMPARE(encoded, expected);
}

void TestZipCodec::findEndRecord_data() {
  QTest::addColumn<std::string>("bytes");
  QTest::addColumn<qulonglong>("from");
  QTest::addColumn<qlonglong>("found");  // -1: none
  const std::string plain = MakeArchive({kMember});
  const std::string commented = MakeArchive({kMember}, "a comment");
  const auto npos = static_cast<qulonglong>(std::string::npos);
  QTest::newRow("no comment") << plain << npos << qlonglong(plain.size() - 22);
  QTest::newRow("behind a comment") << commented << npos << qlonglong(commented.size() - 22 - 9);
  QTest::newRow("only an end record") << EndRecord(0, 0, 0, "") << npos << qlonglong(0);
  QTest::newRow("21 bytes") << EndRecord(0, 0, 0, "").substr(0, 21) << npos << qlonglong(-1);
  QTest::newRow("nothing") << std::string() << npos << qlonglong(-1);
  QTest::newRow("no record") << std::string(100, 'P') << npos << qlonglong(-1);
  // A signature whose record would run past the bytes is not one.
  QTest::newRow("signature too near the end") << std::string(30, 'x') + "PK\x05\x06" + std::string(10, 'x') << npos
                                              << qlonglong(-1);
  QTest::newRow("search from before the last") << plain + plain << qulonglong(plain.size()) << qlonglong(plain.size() - 22);
  QTest::newRow("search from beyond the end") << plain << qulonglong(plain.size() * 2) << qlonglong(plain.size() - 22);
}

void TestZipCodec::findEndRecord() {
  QFETCH(std::string, bytes);
  QFETCH(qulonglong, from);
  QFETCH(qlonglong, found);
  const size_t at = codec::FindEndRecord(bytes, static_cast<size_t>(from));
  QCOMPARE(at == std::string::npos ? qlonglong(-1) : qlonglong(at), found);
}

void TestZipCodec::descriptorLength() {
  QCOMPARE(codec::DataDescriptorLength(Sig(codec::kDataDescriptorSig)), size_t{16});
  QCOMPARE(codec::DataDescriptorLength(Sig(0x12345678)), size_t{12});
  QCOMPARE(codec::DataDescriptorLength("PK\x07"), size_t{12});  // too short to be the signature
  QVERIFY(codec::StartsWith(Sig(codec::kSpanMarkerSig) + "x", codec::kDataDescriptorSig));
  QVERIFY(!codec::StartsWith("PK\x07", codec::kSpanMarkerSig));
}

void TestZipCodec::sfxHeader_data() {
  QTest::addColumn<std::string>("bytes");
  QTest::addColumn<QString>("read");
  codec::TSfxHeader h;
  h.Flags = codec::kSfxAskFiles | codec::kSfxAutoRun | codec::kSfxOverwriteNever;
  h.Caption = "Cap";
  h.DefaultDir = "dir";
  h.CommandLine = "run";
  const std::string header = codec::EncodeSfxHeader(h);
  QTest::newRow("written") << header << "flags 52 Cap|dir|run";
  std::string noMark = header;
  noMark[0] = 'N';
  QTest::newRow("no MPU") << noMark << "bad signature";
  QTest::newRow("255 bytes") << header.substr(0, 255) << "truncated";
  std::string tooLong = header;
  tooLong[4] = tooLong[5] = tooLong[6] = static_cast<char>(200);
  QTest::newRow("texts beyond 256 bytes") << tooLong << "truncated";
  codec::TSfxHeader full;
  full.Caption = std::string(249, 'c');
  QTest::newRow("249 bytes of text") << codec::EncodeSfxHeader(full) << "flags 0 " + QString(249, 'c') + "||";
}

void TestZipCodec::sfxHeader() {
  QFETCH(std::string, bytes);
  QFETCH(QString, read);
  codec::TSfxHeader h;
  const TReadResult result = codec::DecodeSfxHeader(bytes, h);
  const QString got = result == TReadResult::Ok
                          ? QString("flags %1 %2|%3|%4")
                                .arg(h.Flags, 0, 16)
                                .arg(QString::fromStdString(h.Caption), QString::fromStdString(h.DefaultDir),
                                     QString::fromStdString(h.CommandLine))
                          : ResultName(result);
  QCOMPARE(got, read);
  if (result == TReadResult::Ok) QCOMPARE(codec::EncodeSfxHeader(h), bytes);
}

void TestZipCodec::reader() {
  const std::string bytes("\x01\x02\x03\x04\x05\x06\x07\x08\x09", 9);
  codec::TByteReader in(bytes);
  QCOMPARE(in.U8(), uint8_t{1});
  QCOMPARE(in.U16(), uint16_t{0x0302});
  QCOMPARE(in.U64(), uint64_t{0});  // six bytes left: nothing read, the reader failed
  QVERIFY(!in.Ok());
  QCOMPARE(in.Position(), size_t{3});
  QCOMPARE(in.U8(), uint8_t{0});  // failed for good
  QCOMPARE(in.Bytes(1), std::string_view());

  codec::TByteReader again(bytes);
  QVERIFY(again.Skip(1));
  QCOMPARE(again.U64(), uint64_t{0x0908070605040302});
  QCOMPARE(again.Remaining(), size_t{0});
  QVERIFY(again.Ok());
  QVERIFY(!again.Skip(1));
  QVERIFY(!again.Ok());

  codec::TByteReader view(bytes);
  QCOMPARE(view.Bytes(4), std::string_view("\x01\x02\x03\x04"));
  QVERIFY(!view.Has(6));
  QCOMPARE(view.U32(), uint32_t{0x08070605});

  std::string out;
  codec::TByteWriter writer(out);
  writer.U8(1);
  writer.U16(0x0302);
  writer.U32(0x07060504);
  writer.U64(0x0F0E0D0C0B0A0908);
  writer.Bytes("\x10");
  QCOMPARE(out, std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10", 16));
}

QTEST_GUILESS_MAIN(TestZipCodec)
#include "tst_zip_codec.moc"
