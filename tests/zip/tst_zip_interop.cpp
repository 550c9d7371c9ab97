// Interoperability with independent peers: archives written by Add pass the standard unzip
// tool's test and read back byte-identical with Python's zipfile; archives written by the zip
// tool and by Python list and extract byte-identical through the component.
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

#include "zip_test_support.h"

using mirnax::AddDirNames;
using mirnax::AddEncrypt;
using mirnax::AddOpts;
using mirnax::AddRecurseDirs;
using mirnax::ExtrDirNames;
using mirnax::TZipBuilder;
using mirnax::ZipDirEntry;

namespace {

struct TRun {
  int exitCode = -1;
  QByteArray output;
};

TRun Run(const QString& program, const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  if (!p.waitForStarted()) return {};
  p.write(input);
  p.closeWriteChannel();
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll()};
}

// Every file below root, by relative name.
QMap<QString, QByteArray> Tree(const QString& root) {
  QMap<QString, QByteArray> files;
  QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files[QDir(root).relativeFilePath(path)] = GetFile(path);
  }
  return files;
}

const char* kPythonExtract = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    z.extractall(sys.argv[2], pwd=sys.argv[3].encode() if len(sys.argv) > 3 else None)
)";

// Writes an archive with comments, folders, a UTF-8 name and deflated members; "streamed" goes
// to an unseekable output, so every member gets a data descriptor.
const char* kPythonWrite = R"(
import io, os, sys, zipfile
src, mode = sys.argv[1], sys.argv[2]
class Unseekable(io.RawIOBase):
    def writable(self): return True
    def write(self, b): sys.stdout.buffer.write(b); return len(b)
out = Unseekable() if mode == "streamed" else open(sys.argv[3], "wb")
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    z.comment = b"python archive comment"
    for folder, dirs, files in sorted(os.walk(src)):
        dirs.sort()
        rel = os.path.relpath(folder, src)
        if rel != ".":
            z.write(folder, rel + "/")
        for f in sorted(files):
            path = os.path.join(folder, f)
            if mode == "streamed":
                with open(path, "rb") as fin, z.open(os.path.relpath(path, src), "w") as fout:
                    fout.write(fin.read())
            else:
                z.write(path, os.path.relpath(path, src))
                z.getinfo(os.path.relpath(path, src)).comment = b"member comment"
)";

}  // namespace

class TestZipInterop : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString previousDir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  // Text and binary files in folders, the same in every run.
  void MakeCorpus() {
    QRandomGenerator random(11);
    QByteArray text;
    while (text.size() < 150000) text += "The quick brown fox " + QByteArray::number(random.bounded(1000)) + " jumps.\n";
    QByteArray binary(120000, '\0');
    for (char& c : binary) c = static_cast<char>(random.bounded(256));
    PutFile(Path("src/readme.txt"), text);
    PutFile(Path("src/data/noise.bin"), binary);
    PutFile(Path("src/data/deeper/mixed.dat"), text.left(5000) + binary.left(5000));
    PutFile(Path("src/data/empty.txt"), "");
    PutFile(Path("src/\xc3\xbcml\xc3\xa4ut.txt"), "umlaut name");
  }

  static bool Have(const char* tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); }
  // The system's interpreter where there is one: a version manager's shim costs a second a call.
  static QString Python() {
    return QFileInfo(QStringLiteral("/usr/bin/python3")).isExecutable() ? QStringLiteral("/usr/bin/python3")
                                                                       : QStandardPaths::findExecutable("python3");
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(dir_->path());
    MakeCorpus();
  }
  void cleanup() { QDir::setCurrent(previousDir_); }

  void ourArchivesReadByPeers_data();
  void ourArchivesReadByPeers();
  void peerArchivesReadByUs_data();
  void peerArchivesReadByUs();
};

void TestZipInterop::ourArchivesReadByPeers_data() {
  QTest::addColumn<int>("level");
  QTest::addColumn<QString>("password");
  QTest::newRow("stored") << 0 << "";
  QTest::newRow("deflated, level 1") << 1 << "";
  QTest::newRow("deflated, level 9") << 9 << "";
  QTest::newRow("encrypted") << 6 << "s3cret pass";
}

void TestZipInterop::ourArchivesReadByPeers() {
  QFETCH(int, level);
  QFETCH(QString, password);
  if (!Have("unzip") || Python().isEmpty()) QSKIP("unzip or python3 is not installed");
  TDialogsScope scope;
  TZipBuilder zip;
  zip.SetUnattended(true);
  zip.SetAddCompLevel(level);
  zip.SetPassword(S(password));
  zip.SetAddOptions(password.isEmpty() ? AddOpts{AddDirNames, AddRecurseDirs} : AddOpts{AddDirNames, AddRecurseDirs, AddEncrypt});
  QDir::setCurrent(Path("src"));
  zip.SetZipFileName(S(Path("ours.zip")));
  zip.FSpecArgs().Add("*.*");
  zip.Add();
  QCOMPARE(zip.SuccessCnt(), 5);

  QStringList args{"-t", "-q"};
  if (!password.isEmpty()) args << "-P" << password;
  const TRun test = Run("unzip", args << Path("ours.zip"));
  QVERIFY2(test.exitCode == 0, test.output.constData());

  QStringList py{"-c", kPythonExtract, Path("ours.zip"), Path("py")};
  if (!password.isEmpty()) py << password;
  const TRun extract = Run(Python(), py);
  QVERIFY2(extract.exitCode == 0, extract.output.constData());
  QCOMPARE(Tree(Path("py")), Tree(Path("src")));
}

void TestZipInterop::peerArchivesReadByUs_data() {
  QTest::addColumn<QString>("writer");
  QTest::addColumn<QString>("comment");
  QTest::newRow("zip tool, deflated, with comment") << "zip -9" << "zip tool comment";
  QTest::newRow("zip tool, stored") << "zip -0" << "";
  QTest::newRow("zip tool, encrypted") << "zip -P" << "";
  QTest::newRow("python, comments and folders") << "python file" << "python archive comment";
  QTest::newRow("python, data descriptors") << "python streamed" << "python archive comment";
}

void TestZipInterop::peerArchivesReadByUs() {
  QFETCH(QString, writer);
  QFETCH(QString, comment);
  const QString archive = Path("peer.zip");
  if (writer.startsWith("zip")) {
    if (!Have("zip")) QSKIP("zip is not installed");
    QDir::setCurrent(Path("src"));
    QStringList args{"-r", "-q", "-X"};
    if (writer == "zip -P") args << "-P" << "peerpw";
    else args << writer.mid(4);
    if (!comment.isEmpty()) args << "-z";
    const TRun made = Run("zip", args << archive << ".", comment.toUtf8() + "\n");
    QVERIFY2(made.exitCode == 0, made.output.constData());
    QDir::setCurrent(dir_->path());
  } else {
    if (Python().isEmpty()) QSKIP("python3 is not installed");
    const bool streamed = writer.endsWith("streamed");
    const TRun made = Run(Python(), {"-c", kPythonWrite, Path("src"), streamed ? "streamed" : "file", archive});
    QVERIFY2(made.exitCode == 0, made.output.constData());
    if (streamed) PutFile(archive, made.output);
  }

  TDialogsScope scope;
  TZipBuilder zip;
  TZipRecorder rec;
  rec.Attach(zip);
  zip.SetUnattended(true);
  zip.SetZipFileName(S(archive));
  QVERIFY2(zip.ErrCode() == 0, qPrintable(rec.All()));
  QCOMPARE(QString::fromStdString(zip.ZipComment()), comment);
  QStringList names;
  for (const ZipDirEntry& e : zip.ZipContents()) names << QString::fromStdString(e.FileName);
  QVERIFY2(names.contains("data\\deeper\\mixed.dat") || names.contains(".\\data\\deeper\\mixed.dat") ||
               names.contains("data/deeper/mixed.dat"),
           qPrintable(names.join(", ")));
  if (writer == "python file") {
    QVERIFY(names.contains("data\\"));
    for (const ZipDirEntry& e : zip.ZipContents())
      if (!e.FileName.ends_with('\\')) QCOMPARE(e.FileComment, std::string("member comment"));
  }
  if (writer.endsWith("streamed"))
    QVERIFY(std::all_of(zip.ZipContents().begin(), zip.ZipContents().end(), 
                            [](const ZipDirEntry& e) { return e.FileName.ends_with('\\') || (e.Flag & 8); }));

  QDir().mkpath(Path("out"));
  zip.SetExtrBaseDir(S(Path("out")));
  zip.SetExtrOptions({ExtrDirNames});
  if (writer == "zip -P") zip.SetPassword("peerpw");
  zip.Extract();
  QVERIFY2(zip.SuccessCnt() == 5, qPrintable(rec.All()));
  QCOMPARE(Tree(Path("out")), Tree(Path("src")));
}

QTEST_GUILESS_MAIN(TestZipInterop)
#include "tst_zip_interop.moc"
