// Volumes and spanning: the disk prompts on a simulated removable drive, numbered volume files
// on a fixed drive, an archive cut into volumes and joined back equal to what was cut.
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

#include <random>

#include "support/little_endian.h"
#include "toolkit/core/simulated_drive.h"
#include "zip/disk_format.h"
#include "zip_fixture.h"
#include "zip_test_support.h"

namespace support = mirnax::support;
using mirnax::AddDiskSpanErase;
using mirnax::ProgressType;
using mirnax::TObject;
using mirnax::TSHFormatThread;
using mirnax::TScriptedDialogs;
using mirnax::TSimulatedDrive;
using mirnax::TZipBuilder;
using mirnax::mbCancel;
using mirnax::mbOK;
using mirnax::mbRetry;
using mirnax::ptNewFile;
using mirnax::support::Str;

using namespace zipfixture;
using support::GetLE32;

namespace {

std::string Noise(size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

// A stored archive of exactly total bytes: ten members, the last one taking up the rest.
std::string ArchiveOfSize(size_t total) {
  std::vector<TMember> members;
  for (int i = 0; i < 10; ++i) members.push_back({"dir/member" + std::to_string(i) + ".bin", Noise(1000, i), "", 0, 3, 20, 0100644});
  const size_t without = MakeArchive(members).size() - 1000;
  members.back().data = Noise(total - without, 99);
  return MakeArchive(members);
}

// One stored member whose local header leaves its sizes to a data descriptor (local size 0).
std::string DescriptorArchive(const std::string& data) {
  const auto crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
  const std::string name = "described.bin";
  std::string s;
  auto local = [&](std::string& out, bool central) {
    Put32(out, central ? 0x02014B50 : 0x04034B50);
    if (central) Put16(out, 0x0314);
    Put16(out, 20);
    Put16(out, 8);
    Put16(out, 0);
    Put16(out, 0x6000);
    Put16(out, 0x5A21);
    Put32(out, central ? crc : 0);
    Put32(out, central ? static_cast<uint32_t>(data.size()) : 0);
    Put32(out, central ? static_cast<uint32_t>(data.size()) : 0);
    Put16(out, static_cast<uint32_t>(name.size()));
    Put16(out, 0);
  };
  local(s, false);
  s += name + data;
  Put32(s, 0x08074B50);
  Put32(s, crc);
  Put32(s, static_cast<uint32_t>(data.size()));
  Put32(s, static_cast<uint32_t>(data.size()));
  const auto cdOffset = static_cast<uint32_t>(s.size());
  std::string central;
  local(central, true);
  Put16(central, 0);  // comment
  Put16(central, 0);  // disk
  Put16(central, 0);
  Put32(central, 0100644u << 16);
  Put32(central, 0);
  central += name;
  return s + central + EndRecord(1, static_cast<uint32_t>(central.size()), cdOffset, "");
}

int UnzipTest(const QString& archive) {
  QProcess p;
  p.start("unzip", {"-tqq", archive});
  if (!p.waitForFinished(60000)) return -1;
  return p.exitCode();
}

uint16_t Get16At(const QByteArray& b, qsizetype at) { return support::GetLE16(reinterpret_cast<const uint8_t*>(b.constData() + at)); }

}  // namespace

class TestZipVolumes : public QObject, TZipScene {
  Q_OBJECT

  TScriptedDialogs& Boxes() { return dialogs_->dialogs; }
  QStringList AskTexts() const {
    QStringList texts;
    for (const auto& c : dialogs_->dialogs.Calls)
      if (c.Kind == "Ask") texts << QString::fromStdString(c.Text);
    return texts;
  }
  // Spans the bytes, written as the source archive, onto output.
  int Span(const std::string& archive, const QString& output) {
    PutFile(Path("source.zip"), B(archive));
    return zip_->WriteSpan(S(Path("source.zip")), S(output));
  }

 private slots:
  void init() {
    Start();
  }
  void cleanup() { Finish(); }

  void volumeNames() {
    QCOMPARE(TZipBuilder::VolumeLabelFor(0), std::string("PKBACK# 001"));
    QCOMPARE(TZipBuilder::VolumeLabelFor(11), std::string("PKBACK# 012"));
    QCOMPARE(TZipBuilder::VolumeFileForWriting("/d/A.zip", 0), std::string("/d/A001.zip"));
    QCOMPARE(TZipBuilder::VolumeFileForWriting("/d.x/A", 2), std::string("/d.x/A003"));
    QCOMPARE(TZipBuilder::VolumeFileForReading("/d/A003.zip", 1), std::string("/d/A002.zip"));
  }

  // The documented example: 1,000,000 bytes at 400,000 a volume are three numbered files, and they
  // join back into the very bytes that were cut.
  void fixedDriveSpanAndJoin() {
    const std::string archive = ArchiveOfSize(1000000);
    QCOMPARE(archive.size(), size_t{1000000});
    zip_->SetMaxVolumeSize(400000);
    QCOMPARE(Span(archive, Path("A.zip")), 0);
    QVERIFY2(zip_->ErrCode() == 0, qPrintable(rec_.All()));
    QStringList files = QDir(dir_->path()).entryList({"A*.zip"}, QDir::Files, QDir::Name);
    QCOMPARE(files, QStringList({"A001.zip", "A002.zip", "A003.zip"}));
    const QByteArray first = GetFile(Path("A001.zip"));
    QCOMPARE(GetLE32(Str(first), 0), 0x08074B50u);
    qint64 total = 0;
    for (const QString& f : files) {
      QVERIFY(QFileInfo(Path(f)).size() <= 400000);
      total += QFileInfo(Path(f)).size();
    }
    QCOMPARE(total, qint64{1000004});
    QVERIFY(Boxes().Calls.empty());
    const QByteArray last = GetFile(Path("A003.zip"));
    QCOMPARE(Get16At(last, last.size() - 22 + 4), uint16_t{2});  // this disk: the third

    // Joining from the last volume opens A001.zip and A002.zip through their numbers.
    QDir().mkpath(Path("out"));
    std::string joined = S(Path("out")) + "/";
    QCOMPARE(zip_->ReadSpan(S(Path("A003.zip")), joined), 0);
    QVERIFY2(zip_->ErrCode() == 0, qPrintable(rec_.All()));
    QVERIFY(QString::fromStdString(joined).endsWith(".zip"));
    QCOMPARE(GetFile(QString::fromStdString(joined)), B(archive));
    QCOMPARE(UnzipTest(QString::fromStdString(joined)), 0);

    // A volume that is not the last one is refused by its number.
    std::string again = S(Path("out/again.zip"));
    QCOMPARE(zip_->ReadSpan(S(Path("A002.zip")), again), -7);
    QCOMPARE(zip_->ErrCode(), 11038);
    QVERIFY(again.empty());
    QVERIFY(!QFile::exists(Path("out/again.zip")));
  }

  // A local header that would not fit whole begins the next volume, and its central header
  // names that volume and offset 0.
  void headerMovesToNextVolume() {
    std::vector<TMember> members{{"first.bin", Noise(5000, 1), "", 0, 3, 20, 0100644},
                                 {"second.bin", Noise(100, 2), "", 0, 3, 20, 0100644}};
    const std::string archive = MakeArchive(members);
    // The first volume ends 10 bytes into where the second header would begin.
    const int64_t firstEnd = 4 + 30 + 9 + 5000;
    zip_->SetMaxVolumeSize(firstEnd + 10);
    zip_->SetMinFreeVolumeSize(1);
    QCOMPARE(Span(archive, Path("H.zip")), 0);
    QCOMPARE(QFileInfo(Path("H001.zip")).size(), firstEnd);
    const QByteArray second = GetFile(Path("H002.zip"));
    QCOMPARE(GetLE32(Str(second), 0), 0x04034B50u);
    // The central directory: find the second header by its name.
    const qsizetype at = second.lastIndexOf("second.bin") - 46;
    QCOMPARE(GetLE32(Str(second), static_cast<size_t>(at)), 0x02014B50u);
    QCOMPARE(Get16At(second, at + 34), uint16_t{1});
    QCOMPARE(GetLE32(Str(second), static_cast<size_t>(at + 42)), 0u);
    std::string joined = S(Path("joined.zip"));
    QCOMPARE(zip_->ReadSpan(S(Path("H002.zip")), joined), 0);
    QCOMPARE(GetFile(Path("joined.zip")), B(archive));
  }

  void descriptorWithLocalSizeZero() {
    const std::string archive = DescriptorArchive(Noise(30000, 7));
    zip_->SetMaxVolumeSize(20000);
    zip_->SetMinFreeVolumeSize(1);
    QCOMPARE(Span(archive, Path("D.zip")), 0);
    QVERIFY(QFile::exists(Path("D002.zip")));
    std::string joined = S(Path("joined.zip"));
    QCOMPARE(zip_->ReadSpan(S(Path("D002.zip")), joined), 0);
    QCOMPARE(GetFile(Path("joined.zip")), B(archive));
    QCOMPARE(UnzipTest(Path("joined.zip")), 0);
  }

  void cancelStopsAtNextWrite() {
    zip_->SetMaxVolumeSize(100000);
    zip_->OnProgress = [this](TObject*, ProgressType type, const std::string&, int64_t) {
      if (type == ptNewFile) zip_->SetCancel(true);
    };
    QCOMPARE(Span(ArchiveOfSize(300000), Path("C.zip")), -7);
    QCOMPARE(zip_->ErrCode(), 11007);
    QVERIFY(Boxes().Calls.empty());
  }

  void unattendedStopsAtExistingVolume() {
    PutFile(Path("U001.zip"), "keep me");
    zip_->SetUnattended(true);
    zip_->SetMaxVolumeSize(100000);
    QCOMPARE(Span(ArchiveOfSize(150000), Path("U.zip")), -7);
    QCOMPARE(zip_->ErrCode(), 11025);
    QCOMPARE(GetFile(Path("U001.zip")), QByteArray("keep me"));
    QVERIFY(Boxes().Calls.empty());
  }

  void existingVolumeAsksToOverwrite() {
    PutFile(Path("O001.zip"), "old");
    zip_->SetMaxVolumeSize(100000);
    Boxes().AnswerAsk(mbCancel);
    QCOMPARE(Span(ArchiveOfSize(150000), Path("O.zip")), -7);
    QCOMPARE(zip_->ErrCode(), 11007);
    QCOMPARE(AskTexts(), QStringList({"Overwrite previous file " + Path("O001.zip")}));
    QCOMPARE(Boxes().Calls.back().Caption, std::string("Confirm"));
    QCOMPARE(GetFile(Path("O001.zip")), QByteArray("old"));
  }

  // A removable disk with 40 KB free is below the 64 KB a volume needs: the free-space box,
  // and Retry asks for another disk, which takes the volume and its label.
  void tooLittleFreeSpaceAsksForAnotherDisk() {
    TSimulatedDrive drive(S(Path("floppy")), "", 360 * 1024);
    PutFile(Path("floppy/junk.bin"), QByteArray(320 * 1024, 'j'));
    const int spare = drive.AddMedium("", 1440 * 1024);
    drive.QueueInsert(0);
    drive.QueueInsert(spare);
    Boxes().AnswerAsk(mbOK);
    Boxes().AnswerAsk(mbRetry);
    Boxes().AnswerAsk(mbOK);
    QCOMPARE(Span(ArchiveOfSize(20000), Path("floppy/F.zip")), 0);
    QVERIFY2(zip_->ErrCode() == 0, qPrintable(rec_.All()));
    const QStringList asks = AskTexts();
    QCOMPARE(asks.size(), 3);
    QCOMPARE(asks[1], QString("This disk has not enough free space available"));
    QVERIFY2(asks[0].startsWith("Please insert disk volume 1 of 1\nin drive: "), qPrintable(asks[0]));
    QCOMPARE(drive.Current(), spare);
    QCOMPARE(drive.Label(spare), std::string("PKBACK# 001"));
    QCOMPARE(drive.Label(0), std::string(""));
    QVERIFY(!QFile::exists(QString::fromStdString(drive.FilesOf(0)) + "F.zip"));
  }

  // Three disks written and read back, the user putting in each disk the prompts ask for.
  void removableSpanAndJoin() {
    TSimulatedDrive drive(S(Path("floppy")), "", 120000);
    const std::string archive = ArchiveOfSize(300000);
    for (int i = 0; i < 20; ++i) Boxes().AnswerAsk(mbOK);
    QVERIFY2(Span(archive, Path("floppy/R.zip")) == 0, qPrintable(rec_.All()));
    QVERIFY2(zip_->ErrCode() == 0, qPrintable(rec_.All()));
    QCOMPARE(drive.MediumCount(), 4);  // the first disk was blank too; the set is on 1 to 3
    QCOMPARE(drive.Label(1), std::string("PKBACK# 001"));
    QCOMPARE(drive.Label(3), std::string("PKBACK# 003"));
    QVERIFY(AskTexts().contains("Please insert disk volume 2 of 3\nin drive: " + QString::fromStdString(drive.Root())));

    dialogs_->dialogs.Calls.clear();
    for (int i = 0; i < 20; ++i) Boxes().AnswerAsk(mbOK);
    drive.Insert(1);  // a disk of the set other than the last
    std::string joined = S(Path("joined.zip"));
    QCOMPARE(zip_->ReadSpan(S(Path("floppy/R.zip")), joined), 0);
    QVERIFY2(zip_->ErrCode() == 0, qPrintable(rec_.All()));
    QCOMPARE(GetFile(Path("joined.zip")), B(archive));
    QVERIFY(AskTexts().contains("Please insert last disk in set\nin drive: " + QString::fromStdString(drive.Root())));

    // Unattended, a disk that has to be asked for stops the join.
    zip_->SetUnattended(true);
    drive.Insert(1);
    joined = S(Path("joined2.zip"));
    QCOMPARE(zip_->ReadSpan(S(Path("floppy/R.zip")), joined), -7);
    QCOMPARE(zip_->ErrCode(), 11025);
    QVERIFY(!QFile::exists(Path("joined2.zip")));
  }

  // With AddDiskSpanErase every disk is formatted first: what it held goes, the label is the
  // volume's. Only one format runs at a time.
  void formatsEachDisk() {
    TSimulatedDrive drive(S(Path("floppy")), "OLD", 120000);
    PutFile(Path("floppy/old.txt"), "old");
    drive.QueueInsert(0);
    for (int i = 0; i < 20; ++i) Boxes().AnswerAsk(mbOK);
    zip_->SetAddOptions({AddDiskSpanErase});
    QVERIFY2(Span(ArchiveOfSize(200000), Path("floppy/E.zip")) == 0, qPrintable(rec_.All()));
    QCOMPARE(drive.Formats(), 2);
    QCOMPARE(drive.Label(0), std::string("PKBACK# 001"));
    QVERIFY(!QFile::exists(QString::fromStdString(drive.FilesOf(0)) + "old.txt"));
    QVERIFY(QFile::exists(QString::fromStdString(drive.FilesOf(0)) + "E.zip"));

    TSHFormatThread first(drive.Root(), "A");
    TSHFormatThread second(drive.Root(), "B");
    QVERIFY(first.Admitted());
    QVERIFY(!second.Admitted());
  }

  // A disk that cannot be formatted (mounted again elsewhere, say) stops the span, and the box
  // says why.
  void failedFormatSaysWhy() {
    struct TStubbornDrive : TSimulatedDrive {
      using TSimulatedDrive::TSimulatedDrive;
      bool Format(const std::string&, const std::string&, bool, std::string& error) override {
        error = "now mounted at /media/elsewhere/";
        return false;
      }
    } drive(S(Path("floppy")), "OLD", 120000);
    drive.QueueInsert(0);
    Boxes().AnswerAsk(mbOK);
    zip_->SetAddOptions({AddDiskSpanErase});
    QCOMPARE(Span(ArchiveOfSize(20000), Path("floppy/E.zip")), -7);
    QCOMPARE(zip_->ErrCode(), 11007);
    QCOMPARE(Boxes().Calls.back().Kind, std::string("Message"));
    QCOMPARE(Boxes().Calls.back().Text, "Cancelled by the user\nnow mounted at /media/elsewhere/");
  }

  // A set whose end record claims more volumes than there are fails without leaving output.
  void joinOfMissingVolumesFails() {
    std::string archive = MakeArchive({{"a.txt", "alpha", "", 0, 3, 20, 0100644}});
    archive.insert(0, std::string("PK\x07\x08", 4));
    // This disk 2, directory on disk 0: volumes 001 and 002 are missing.
    archive[archive.size() - 22 + 4] = 2;
    PutFile(Path("M003.zip"), B(archive));
    std::string joined = S(Path("out.zip"));
    QVERIFY(zip_->ReadSpan(S(Path("M003.zip")), joined) < 0);
    QVERIFY(joined.empty());
    QVERIFY(!QFile::exists(Path("out.zip")));
  }

  // A set split by the installed zip ("S.z01", "S.z02", ..., "S.zip") is joined from its last
  // part, and extracted from it.
  void joinsSplitSetOfOtherTools() {
    PutFile(Path("in/big.bin"), B(Noise(200000, 5)));
    PutFile(Path("in/small.txt"), "small");
    QProcess zip;
    zip.setWorkingDirectory(dir_->path());
    zip.start("zip", {"-q", "-0", "-D", "-s", "64k", "-r", "S.zip", "in"});
    QVERIFY(zip.waitForFinished(60000) && zip.exitCode() == 0);
    QVERIFY(QFile::exists(Path("S.z03")));
    std::string joined = S(Path("J.zip"));
    QVERIFY2(zip_->ReadSpan(S(Path("S.zip")), joined) == 0, qPrintable(rec_.All()));
    QCOMPARE(QString::fromStdString(joined), Path("J.zip"));
    QCOMPARE(UnzipTest(Path("J.zip")), 0);

    zip_->SetZipFileName(S(Path("S.zip")));
    QCOMPARE(zip_->Count(), 2);
    QDir().mkpath(Path("out"));
    zip_->SetExtrBaseDir(S(Path("out")));
    zip_->SetExtrOptions({mirnax::ExtrDirNames});
    zip_->Extract();
    QVERIFY2(zip_->SuccessCnt() == 2, qPrintable(rec_.All()));
    QCOMPARE(GetFile(Path("out/in/big.bin")), B(Noise(200000, 5)));
    QCOMPARE(GetFile(Path("out/in/small.txt")), QByteArray("small"));
  }
};

QTEST_GUILESS_MAIN(TestZipVolumes)
#include "tst_zip_volumes.moc"
