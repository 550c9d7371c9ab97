// Files the component makes in place of others (conversions, a join, a copy, an archive put back
// behind its program): the previous file stays byte for byte until the new one is whole, a failed
// erase of it leaves the new one under its side name with a message saying so, and leftover side
// files stand in nobody's way.
#include <QDir>
#include <QtTest>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <random>

#include "tests/support/child_process.h"
#include "toolkit/core/posix_files.h"
#include "zip_fixture.h"
#include "zip_test_support.h"

using mirnax::TZipBuilder;
using mirnax::htdFinal;
using mirnax::support::CurrentDir;

using namespace zipfixture;

namespace {
const std::vector<TMember> kReplaceMembers{{"readme.txt", "read me\n", "", 0, 3, 20, 0100644},
                                           {"data/zeros.bin", std::string(5000, '\0'), "", 0, 3, 20, 0100644}};

std::string NoiseArchive(size_t members, size_t size) {
  std::mt19937 rng(7);
  std::vector<TMember> list;
  for (size_t i = 0; i < members; ++i) {
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(rng());
    list.push_back({"m" + std::to_string(i) + ".bin", data, "", 0, 3, 20, 0100644});
  }
  return MakeArchive(list);
}

// The side files left beside the file.
size_t SidesOf(const QString& path) { return mirnax::SideFilesOf(path.toStdString()).size(); }

// Runs body in a child process that the system kills (SIGXFSZ) once it writes past limit bytes
// into any file: a process killed in the middle of a write.
mirnax::support::TChildResult KilledWhileWriting(rlim_t limit, const std::function<void()>& body) {
  return mirnax::support::RunInChild([&](int) {
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const rlimit sizeLimit{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &sizeLimit);
    body();
    return 0;
  });
}

}  // namespace

class TestZipReplace : public QObject, TZipScene {
  Q_OBJECT

 private slots:
  void init() {
    Start();
    zip_->SetHowToDelete(htdFinal);
    zip_->SetUnattended(true);
  }
  void cleanup() { Finish(); }

  // A conversion that fails part way leaves the file it would have replaced as it was.
  void failedConvertSfxKeepsPrevious() {
    PutFile(Path("a.zip"), B(MakeArchive(kReplaceMembers)));
    PutFile(Path("a.exe"), "previous program");
    zip_->SetZipFileName(S(Path("a.zip")));
    // The archive loses its end record after it was read.
    PutFile(Path("a.zip"), "this is no archive at all, it only has the name of one");
    QCOMPARE(zip_->ConvertSFX(), -3);
    QCOMPARE(GetFile(Path("a.exe")), QByteArray("previous program"));
    QCOMPARE(SidesOf(Path("a.exe")), size_t{0});
  }

  void failedConvertZipKeepsPrevious() {
    PutFile(Path("a.zip"), B(MakeArchive(kReplaceMembers)));
    zip_->SetZipFileName(S(Path("a.zip")));
    QVERIFY2(zip_->ConvertSFX() == 0, qPrintable(rec_.All()));
    PutFile(Path("a.zip"), "previous archive");
    // The program loses its end record after it was read.
    QByteArray exe = GetFile(Path("a.exe"));
    exe.chop(22);
    PutFile(Path("a.exe"), exe);
    QVERIFY(zip_->ConvertZIP() != 0);
    QCOMPARE(GetFile(Path("a.zip")), QByteArray("previous archive"));
    QCOMPARE(GetFile(Path("a.exe")), exe);
    QCOMPARE(SidesOf(Path("a.zip")), size_t{0});
  }

  // Done, the conversion has replaced the previous file and left no side file.
  void convertReplacesPrevious() {
    const std::string archive = MakeArchive(kReplaceMembers);
    PutFile(Path("a.zip"), B(archive));
    PutFile(Path("a.exe"), "previous program");
    zip_->SetZipFileName(S(Path("a.zip")));
    QVERIFY2(zip_->ConvertSFX() == 0, qPrintable(rec_.All()));
    QVERIFY(GetFile(Path("a.exe")).size() > qsizetype(archive.size()) + 256);
    QVERIFY(QFileInfo(Path("a.exe")).isExecutable());
    PutFile(Path("a.zip"), "previous archive");
    QVERIFY2(zip_->ConvertZIP() == 0, qPrintable(rec_.All()));
    QCOMPARE(GetFile(Path("a.zip")), B(archive));
    QCOMPARE(SidesOf(Path("a.exe")) + SidesOf(Path("a.zip")), size_t{0});
  }

  // The previous file cannot be erased (a folder has its name): it stays, and the new one waits
  // under its side name, which the message gives.
  void eraseFailureKeepsNewAside() {
    PutFile(Path("a.zip"), B(MakeArchive(kReplaceMembers)));
    PutFile(Path("a.exe/inside"), "previous");
    zip_->SetZipFileName(S(Path("a.zip")));
    QCOMPARE(zip_->ConvertSFX(), -1);
    QCOMPARE(GetFile(Path("a.exe/inside")), QByteArray("previous"));
    const auto sides = mirnax::SideFilesOf(S(Path("a.exe")));
    QCOMPARE(sides.size(), size_t{1});
    QVERIFY2(rec_.Said(S(Path("a.exe")) + " cannot be erased; the new file is kept as " + sides[0]), qPrintable(rec_.All()));
    QCOMPARE(QString::fromStdString(zip_->ZipFileName()), Path("a.zip"));
    QVERIFY(QFile::exists(Path("a.zip")));

    PutFile(Path("in.bin"), "new bytes");
    PutFile(Path("out.bin/inside"), "old bytes");
    QCOMPARE(zip_->CopyFile(S(Path("in.bin")), S(Path("out.bin"))), -1);
    QCOMPARE(GetFile(Path("out.bin/inside")), QByteArray("old bytes"));
    const auto copies = mirnax::SideFilesOf(S(Path("out.bin")));
    QCOMPARE(copies.size(), size_t{1});
    QCOMPARE(GetFile(QString::fromStdString(copies[0])), QByteArray("new bytes"));
  }

  // A join that fails, or is killed, leaves a previous file of the output's name as it was.
  void failedJoinKeepsPrevious() {
    std::string archive = MakeArchive({{"a.txt", "alpha", "", 0, 3, 20, 0100644}});
    archive.insert(0, std::string("PK\x07\x08", 4));
    archive[archive.size() - 22 + 4] = 2;  // this disk 2: volumes 001 and 002 are missing
    PutFile(Path("M003.zip"), B(archive));
    PutFile(Path("out.zip"), "previous join");
    std::string joined = S(Path("out.zip"));
    QVERIFY(zip_->ReadSpan(S(Path("M003.zip")), joined) < 0);
    QVERIFY(joined.empty());
    QCOMPARE(GetFile(Path("out.zip")), QByteArray("previous join"));
    QCOMPARE(SidesOf(Path("out.zip")), size_t{0});
  }

  void killedJoinKeepsPrevious() {
    PutFile(Path("source.zip"), B(NoiseArchive(6, 50000)));
    zip_->SetMaxVolumeSize(120000);
    QCOMPARE(zip_->WriteSpan(S(Path("source.zip")), S(Path("V.zip"))), 0);
    QVERIFY(QFile::exists(Path("V003.zip")));
    PutFile(Path("out.zip"), "previous join");
    const pid_t child = ::fork();
    if (child == 0) {
      zip_->OnProgress = [](mirnax::TObject*, mirnax::ProgressType type, const std::string&, int64_t) {
        if (type == mirnax::ptUpdate) ::raise(SIGKILL);
      };
      std::string joined = S(Path("out.zip"));
      zip_->ReadSpan(S(Path("V003.zip")), joined);
      ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(GetFile(Path("out.zip")), QByteArray("previous join"));
    // What the killed join wrote is recognisably its own.
    QCOMPARE(SidesOf(Path("out.zip")), size_t{1});

    std::string joined = S(Path("out.zip"));
    QVERIFY2(zip_->ReadSpan(S(Path("V003.zip")), joined) == 0, qPrintable(rec_.All()));
    QCOMPARE(GetFile(Path("out.zip")), GetFile(Path("source.zip")));
  }

  // A conversion killed while it writes leaves the file it would have replaced byte for byte, and
  // what it wrote under a side name of its own; the next conversion replaces the file.
  void killedConversionKeepsPrevious_data() {
    QTest::addColumn<bool>("toSfx");
    QTest::newRow("ConvertSFX") << true;
    QTest::newRow("ConvertZIP") << false;
  }
  void killedConversionKeepsPrevious() {
    QFETCH(bool, toSfx);
    const std::string archive = NoiseArchive(6, 50000);
    PutFile(Path("a.zip"), B(archive));
    zip_->SetZipFileName(S(Path("a.zip")));
    if (!toSfx) QVERIFY2(zip_->ConvertSFX() == 0, qPrintable(rec_.All()));
    const QString target = Path(toSfx ? "a.exe" : "a.zip");
    PutFile(target, "previous file");
    const auto child = KilledWhileWriting(100000, [&] { toSfx ? zip_->ConvertSFX() : zip_->ConvertZIP(); });
    QCOMPARE(child.Signal, SIGXFSZ);
    QCOMPARE(GetFile(target), QByteArray("previous file"));
    QCOMPARE(SidesOf(target), size_t{1});

    QVERIFY2((toSfx ? zip_->ConvertSFX() : zip_->ConvertZIP()) == 0, qPrintable(rec_.All()));
    if (toSfx) QVERIFY(GetFile(target).size() > qsizetype(archive.size()) + 256);
    else QCOMPARE(GetFile(target), B(archive));
  }

  // A side file a killed Add left beside a self-extractor does not stop the next Add.
  void leftoverSideFileDoesNotBlockAdd() {
    PutFile(Path("a.zip"), B(MakeArchive(kReplaceMembers)));
    zip_->SetZipFileName(S(Path("a.zip")));
    QVERIFY2(zip_->ConvertSFX() == 0, qPrintable(rec_.All()));
    PutFile(Path("a.exe.new"), "left by an earlier run");
    PutFile(Path("in/b.txt"), "beta");
    CurrentDir here(dir_->path());
    zip_->FSpecArgs().Add("in/b.txt");
    zip_->Add();
    QVERIFY2(zip_->SuccessCnt() == 1, qPrintable(rec_.All()));
    QCOMPARE(zip_->Count(), 3);
    QCOMPARE(GetFile(Path("a.exe.new")), QByteArray("left by an earlier run"));
    QCOMPARE(SidesOf(Path("a.exe")), size_t{0});
  }
};

QTEST_GUILESS_MAIN(TestZipReplace)
#include "tst_zip_replace.moc"
