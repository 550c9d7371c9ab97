// Self-extracting archives: the options header, the conversions both ways, and the stub run as a
// user runs it (extracting, overwrite modes, a name that would leave the target folder).
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

#include "zip_fixture.h"
#include "zip_test_support.h"

using mirnax::OvrAlways;
using mirnax::OvrConfirm;
using mirnax::OvrNever;
using mirnax::OvrOpts;
using mirnax::SFXAskFiles;
using mirnax::SFXAutoRun;
using mirnax::SFXCheckSize;
using mirnax::TZipBuilder;
using mirnax::htdFinal;
using mirnax::support::CurrentDir;

using namespace zipfixture;

namespace {
struct TRun {
  int exitCode = -1;
  QByteArray output;
};

TRun Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.setStandardInputFile(QProcess::nullDevice());
  p.start(program, args);
  if (!p.waitForStarted() || !p.waitForFinished(60000)) return {};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll()};
}

// A program whose own folder and the component library's private folder are of the test's choosing.
class TRelocatedZip : public TZipBuilder {
 public:
  std::string program, install;

 protected:
  std::string ProgramFolder() const override { return program; }
  std::string PrivateFolder() const override { return install; }
};

const std::vector<TMember> kMembers{{"readme.txt", "read me\n", "", 0, 3, 20, 0100644},
                                    {"bin/tool.sh", "#!/bin/sh\necho hi\n", "", 0, 3, 20, 0100755},
                                    {"data/zeros.bin", std::string(5000, '\0'), "a comment", 0, 3, 20, 0100644}};
}  // namespace

class TestZipSfx : public QObject, TZipScene {
  Q_OBJECT

  // The archive written under name and made self-extracting; the program's path.
  QString MakeSfx(const std::string& archive, const QString& name = "a.zip") {
    PutFile(Path(name), B(archive));
    zip_->SetZipFileName(S(Path(name)));
    const int result = zip_->ConvertSFX();
    if (result != 0) return "failed " + QString::number(result) + ": " + rec_.All();
    return QString::fromStdString(zip_->ZipFileName());
  }

 private slots:
  void init() {
    Start();
    zip_->SetHowToDelete(htdFinal);
    zip_->SetUnattended(true);
  }
  void cleanup() { Finish(); }

  void header() {
    zip_->SetSFXOptions({SFXAskFiles, SFXAutoRun});
    zip_->SetSFXOverWriteMode(OvrNever);
    zip_->SetSFXCaption("Cap");
    zip_->SetSFXDefaultDir("dir");
    zip_->SetSFXCommandLine("run");
    const std::string h = zip_->BuildSFXHeader();
    QCOMPARE(h.size(), size_t{256});
    QCOMPARE(h.substr(0, 3), std::string("MPU"));
    QCOMPARE(static_cast<unsigned char>(h[3]), 0x72);
    QCOMPARE(h.substr(4, 3), std::string("\x03\x03\x03"));
    QCOMPARE(h.substr(7, 9), std::string("Capdirrun"));
    QCOMPARE(h.find_first_not_of('\0', 16), std::string::npos);
  }

  void textLimits_data() {
    QTest::addColumn<int>("commandLength");
    QTest::addColumn<int>("result");
    QTest::newRow("249 in all") << 49 << 0;
    QTest::newRow("250 in all") << 50 << -9;
  }
  void textLimits() {
    QFETCH(int, commandLength);
    QFETCH(int, result);
    zip_->SetSFXCaption(std::string(100, 'c'));
    zip_->SetSFXDefaultDir(std::string(100, 'd'));
    zip_->SetSFXCommandLine(std::string(static_cast<size_t>(commandLength), 'x'));
    PutFile(Path("a.zip"), B(MakeArchive(kMembers)));
    zip_->SetZipFileName(S(Path("a.zip")));
    QCOMPARE(zip_->ConvertSFX(), result);
    if (result != 0) {
      QCOMPARE(zip_->ErrCode(), 10801);
      QVERIFY(rec_.Said("SFXCaption + SFXDefaultDir + SFXCommandLine = 250"));
      QVERIFY(QFile::exists(Path("a.zip")));
      QVERIFY(!QFile::exists(Path("a.exe")));
    }
  }

  void onlyZipExtension() {
    PutFile(Path("a.tar"), B(MakeArchive(kMembers)));
    zip_->SetZipFileName(S(Path("a.tar")));
    QCOMPARE(zip_->ConvertSFX(), -9);
    QCOMPARE(zip_->ErrCode(), 10803);
    QVERIFY(!QFile::exists(Path("a.exe")));
  }

  // The stub is looked for in the current folder, the program's folder, the component library's
  // private folder and DLLDirectory, in that order; the first one found becomes SFXPath.
  void stubSearchOrder_data() {
    QTest::addColumn<QStringList>("holding");
    QTest::addColumn<QString>("found");
    QTest::newRow("everywhere") << QStringList{"cwd", "program", "install", "dlls"} << "ZIPSFX.BIN";
    QTest::newRow("beside the program") << QStringList{"program", "install", "dlls"} << "program/ZIPSFX.BIN";
    QTest::newRow("private folder") << QStringList{"install", "dlls"} << "install/ZIPSFX.BIN";
    QTest::newRow("DLLDirectory only") << QStringList{"dlls"} << "dlls/ZIPSFX.BIN";
    QTest::newRow("nowhere") << QStringList{} << "";
  }
  void stubSearchOrder() {
    QFETCH(QStringList, holding);
    QFETCH(QString, found);
    const QByteArray stub = GetFile(QCoreApplication::applicationDirPath() + "/ZIPSFX.BIN");
    for (const QString& folder : QStringList{"cwd", "program", "install", "dlls"}) QVERIFY(QDir().mkpath(Path(folder)));
    for (const QString& folder : holding) PutFile(Path(folder + "/ZIPSFX.BIN"), stub);
    PutFile(Path("a.zip"), B(MakeArchive(kMembers)));
    TRelocatedZip zip;
    zip.program = S(Path("program"));
    zip.install = S(Path("install"));
    zip.SetDLLDirectory(S(Path("dlls/")));
    zip.SetUnattended(true);
    zip.SetHowToDelete(htdFinal);
    zip.SetZipFileName(S(Path("a.zip")));
    CurrentDir here(Path("cwd"));
    if (found.isEmpty()) {
      QCOMPARE(zip.ConvertSFX(), -9);
      QCOMPARE(zip.ErrCode(), 10802);
      return;
    }
    QCOMPARE(zip.ConvertSFX(), 0);
    QCOMPARE(QString::fromStdString(zip.SFXPath()), found == "ZIPSFX.BIN" ? found : Path(found));
    QVERIFY(GetFile(Path("a.exe")).startsWith(stub));
  }

  // Made self-extracting, the archive is still one that unzip and Python read; run, it gives the
  // members back; converted back, it is the archive it was made from.
  void roundTrip() {
    const std::string archive = MakeArchive(kMembers, "archive comment");
    const QString exe = MakeSfx(archive);
    QVERIFY2(exe.endsWith("a.exe"), qPrintable(exe));
    QVERIFY(!QFile::exists(Path("a.zip")));
    QVERIFY(QFileInfo(exe).isExecutable());
    QCOMPARE(zip_->Count(), 3);
    QVERIFY(zip_->ZipSOC() > 256);
    const TRun unzip = Run("unzip", {"-tq", exe});
    QVERIFY2(unzip.exitCode == 0, unzip.output.constData());
    const TRun python = Run("python3", {"-c", "import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); "
                                              "print(z.read('data/zeros.bin')==bytes(5000), z.testzip())", exe});
    QCOMPARE(python.output.trimmed(), QByteArray("True None"));

    const TRun run = Run(exe, {"-d", Path("out")});
    QVERIFY2(run.exitCode == 0, run.output.constData());
    for (const TMember& m : kMembers) QCOMPARE(GetFile(Path("out/" + QString::fromStdString(m.name))), B(m.data));
    QVERIFY(QFileInfo(Path("out/bin/tool.sh")).isExecutable());

    QCOMPARE(zip_->ConvertZIP(), 0);
    QCOMPARE(QString::fromStdString(zip_->ZipFileName()), Path("a.zip"));
    QCOMPARE(GetFile(Path("a.zip")), B(archive));
    QVERIFY(!QFile::exists(exe));
    QCOMPARE(zip_->ConvertZIP(), -3);
    QCOMPARE(zip_->ErrCode(), 10902);
  }

  void stubOverwriteModes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("never") << int(OvrNever) << QByteArray("mine");
    QTest::newRow("always") << int(OvrAlways) << QByteArray("read me\n");
    QTest::newRow("confirm, no one to ask") << int(OvrConfirm) << QByteArray("mine");
  }
  void stubOverwriteModes() {
    QFETCH(int, mode);
    QFETCH(QByteArray, after);
    zip_->SetSFXOverWriteMode(static_cast<OvrOpts>(mode));
    zip_->SetSFXDefaultDir(S(Path("target")));
    const QString exe = MakeSfx(MakeArchive(kMembers));
    PutFile(Path("target/readme.txt"), "mine");
    const TRun run = Run(exe, {});
    QVERIFY2(run.exitCode == 0, run.output.constData());
    QCOMPARE(GetFile(Path("target/readme.txt")), after);
    QCOMPARE(GetFile(Path("target/bin/tool.sh")), QByteArray("#!/bin/sh\necho hi\n"));
  }

  void stubRefusesTraversal() {
    const QString exe = MakeSfx(MakeArchive({{"../escaped.txt", "out", "", 0, 3, 20, 0100644},
                                             {"/abs.txt", "abs", "", 0, 3, 20, 0100644},
                                             {"fine.txt", "fine", "", 0, 3, 20, 0100644}}));
    const TRun run = Run(exe, {"-d", Path("box/inner")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.output.contains("Refused: ../escaped.txt"));
    QVERIFY(!QFile::exists(Path("box/escaped.txt")));
    QVERIFY(!QFile::exists("/abs.txt") || GetFile("/abs.txt") != "abs");
    QCOMPARE(GetFile(Path("box/inner/fine.txt")), QByteArray("fine"));
  }

  void stubRunsCommandLine() {
    zip_->SetSFXOptions({SFXAutoRun, SFXCheckSize});
    zip_->SetSFXCommandLine("sh bin/tool.sh > ran.txt");
    const QString exe = MakeSfx(MakeArchive(kMembers));
    const TRun run = Run(exe, {"-d", Path("cmd")});
    QVERIFY2(run.exitCode == 0, run.output.constData());
    QCOMPARE(GetFile(Path("cmd/ran.txt")), QByteArray("hi\n"));
  }

  // Adding to a self-extracting archive that does not exist makes an empty one first.
  void addToNewSelfExtractor() {
    PutFile(Path("in/a.txt"), "alpha");
    CurrentDir here(dir_->path());
    zip_->SetZipFileName(S(Path("new.EXE")));
    zip_->FSpecArgs().Add("in/a.txt");
    zip_->Add();
    QVERIFY2(zip_->SuccessCnt() == 1, qPrintable(rec_.All()));
    const TRun run = Run(Path("new.EXE"), {"-d", Path("out")});
    QVERIFY2(run.exitCode == 0, run.output.constData());
    QCOMPARE(GetFile(Path("out/a.txt")), QByteArray("alpha"));
  }
};

QTEST_GUILESS_MAIN(TestZipSfx)
#include "tst_zip_sfx.moc"
