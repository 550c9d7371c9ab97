// Add, Delete and Extract through the two libraries, and the file helpers: checks before any
// work, the options, passwords, a cancelled Add, and extraction that never leaves its folder.
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "zip/zip_messages.h"
#include "zip_fixture.h"
#include "zip_test_support.h"

using mirnax::AddDirNames;
using mirnax::AddDiskSpan;
using mirnax::AddDiskSpanErase;
using mirnax::AddEncrypt;
using mirnax::AddForceDOS;
using mirnax::AddFreshen;
using mirnax::AddHiddenFiles;
using mirnax::AddMove;
using mirnax::AddOpts;
using mirnax::AddRecurseDirs;
using mirnax::AddSeparateDirs;
using mirnax::AddUpdate;
using mirnax::AddZipTime;
using mirnax::ExtrDirNames;
using mirnax::ExtrFreshen;
using mirnax::ExtrOverWrite;
using mirnax::ExtrTest;
using mirnax::ProgressType;
using mirnax::TObject;
using mirnax::TZipBuilder;
using mirnax::ZipDirEntry;
using mirnax::ZipMessageText;
using mirnax::htdAllowUndo;
using mirnax::htdFinal;
using mirnax::ptNewFile;
using mirnax::ptTotalFiles;
using mirnax::ptUpdate;

using namespace zipfixture;

namespace {

QStringList Names(const TZipBuilder& zip) {
  QStringList names;
  for (const ZipDirEntry& e : zip.ZipContents()) names << QString::fromStdString(e.FileName);
  names.sort();
  return names;
}

void SetTime(const QString& path, time_t when) {
  const struct timespec times[2] = {{when, 0}, {when, 0}};
  QVERIFY(::utimensat(AT_FDCWD, S(path).c_str(), times, 0) == 0);
}

time_t TimeOf(const QString& path) {
  struct stat st {};
  ::stat(S(path).c_str(), &st);
  return st.st_mtime;
}

}  // namespace

class TestZipOperations : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<TDialogsScope> dialogs_;
  std::unique_ptr<TZipBuilder> zip_;
  TZipRecorder rec_;
  QString previousDir_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  TZipBuilder& Zip() { return *zip_; }
  void Masks(const QStringList& masks) {
    for (const QString& s : masks) zip_->FSpecArgs().Add(S(s));
  }
  // A small tree in the test folder, which is the current directory.
  void MakeTree() {
    PutFile(Path("in/a.txt"), "alpha");
    PutFile(Path("in/b.log"), "bravo log");
    PutFile(Path("in/.hidden"), "hidden");
    PutFile(Path("in/longername.text"), "long name");
    PutFile(Path("in/sub/c.txt"), "charlie");
    PutFile(Path("in/sub/deep/d.txt"), QByteArray(20000, 'd'));
  }

 private slots:
  void initTestCase() { previousDir_ = QDir::currentPath(); }
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir::setCurrent(dir_->path()));
    dialogs_ = std::make_unique<TDialogsScope>();
    zip_ = std::make_unique<TZipBuilder>();
    rec_ = TZipRecorder();
    rec_.Attach(*zip_);
    zip_->SetUnattended(true);
    zip_->SetHowToDelete(htdFinal);
  }
  void cleanup() {
    zip_.reset();
    dialogs_.reset();  // before the next test installs its own
    QDir::setCurrent(previousDir_);
  }

  void refusedBeforeWork_data();
  void refusedBeforeWork();
  void addOptions_data();
  void addOptions();
  void freshenUpdateMoveAndTime();
  void deleteMembers();
  void extractOptions();
  void encryption();
  void promptedAddPassword();
  void cancelledAddKeepsArchive();
  void nestedCallsReturnAtOnce();
  void extractionStaysInFolder();
  void copyBuffer();
  void copyFile();
  void eraseFile();
};

void TestZipOperations::refusedBeforeWork_data() {
  QTest::addColumn<QString>("operation");
  QTest::addColumn<QString>("archive");
  QTest::addColumn<QStringList>("masks");
  QTest::addColumn<int>("options");
  QTest::addColumn<int>("errCode");
  const QStringList some{"in/a.txt"};
  QTest::newRow("add, no file masks") << "add" << "old.zip" << QStringList() << 0 << 10301;
  QTest::newRow("add, no archive name") << "add" << "" << some << 0 << 10102;
  QTest::newRow("add, encrypt unattended without password") << "add" << "old.zip" << some << int(AddOpts{AddEncrypt}.ToBits()) << 10302;
  QTest::newRow("add, spanning with update") << "add" << "old.zip" << some << int(AddOpts{AddDiskSpan, AddUpdate}.ToBits()) << 10303;
  QTest::newRow("add, spanning with freshen") << "add" << "old.zip" << some << int(AddOpts{AddDiskSpanErase, AddFreshen}.ToBits()) << 10303;
  QTest::newRow("add, spanning a self-extractor") << "add" << "old.EXE" << some << int(AddOpts{AddDiskSpan}.ToBits()) << 11041;
  QTest::newRow("delete, no file masks") << "delete" << "old.zip" << QStringList() << 0 << 10401;
  QTest::newRow("delete, missing archive") << "delete" << "absent.zip" << some << 0 << 10102;
  QTest::newRow("extract, missing archive") << "extract" << "absent.zip" << some << 0 << 10102;
}

void TestZipOperations::refusedBeforeWork() {
  QFETCH(QString, operation);
  QFETCH(QString, archive);
  QFETCH(QStringList, masks);
  QFETCH(int, options);
  QFETCH(int, errCode);
  MakeTree();
  Zip().FSpecArgs().Add("in/a.txt");
  Zip().SetZipFileName(S(Path("old.zip")));
  Zip().Add();
  QCOMPARE(Zip().SuccessCnt(), 1);
  QFile::copy(Path("old.zip"), Path("old.EXE"));
  const QByteArray before = GetFile(Path("old.zip"));

  Zip().SetZipFileName(archive.isEmpty() ? "" : S(Path(archive)));
  Masks(masks);
  Zip().SetAddOptions(AddOpts::FromBits(static_cast<uint16_t>(options)));
  if (operation == "add") Zip().Add();
  if (operation == "delete") Zip().Delete();
  if (operation == "extract") Zip().Extract();
  QVERIFY2(Zip().ErrCode() == errCode, qPrintable(rec_.All()));
  QCOMPARE(Zip().SuccessCnt(), 0);
  QCOMPARE(GetFile(Path("old.zip")), before);
  QVERIFY(!QFile::exists(Path("new.exe")));
  if (errCode == 10301) QCOMPARE(Zip().FSpecArgs().Count(), 0);
}

void TestZipOperations::addOptions_data() {
  QTest::addColumn<QStringList>("masks");
  QTest::addColumn<int>("options");
  QTest::addColumn<QStringList>("members");
  QTest::newRow("names only") << QStringList{"in/*.txt"} << 0 << QStringList{"a.txt"};
  QTest::newRow("recursive") << QStringList{"in/*.txt"} << int(AddOpts{AddRecurseDirs}.ToBits())
                             << QStringList{"a.txt", "c.txt", "d.txt"};
  QTest::newRow("recursive with folders")
      << QStringList{"in\\*.txt"} << int(AddOpts{AddRecurseDirs, AddDirNames}.ToBits())
      << QStringList{"in\\a.txt", "in\\sub\\c.txt", "in\\sub\\deep\\d.txt"};
  QTest::newRow("a folder") << QStringList{"in"} << int(AddOpts{AddDirNames}.ToBits())
                            << QStringList{"in\\a.txt", "in\\b.log", "in\\longername.text"};
  QTest::newRow("hidden files") << QStringList{"in/*"} << int(AddOpts{AddHiddenFiles}.ToBits())
                                << QStringList{".hidden", "a.txt", "b.log", "longername.text"};
  QTest::newRow("every file, dotted or not") << QStringList{"in/sub/*.*"} << 0 << QStringList{"c.txt"};
  QTest::newRow("folder entries") << QStringList{"in/sub/*"} << int(AddOpts{AddRecurseDirs, AddDirNames, AddSeparateDirs}.ToBits())
                                  << QStringList{"in\\", "in\\sub\\", "in\\sub\\c.txt", "in\\sub\\deep\\", "in\\sub\\deep\\d.txt"};
  QTest::newRow("DOS names") << QStringList{"in/longername.text", "in/sub/c.txt"}
                             << int(AddOpts{AddForceDOS, AddDirNames}.ToBits())
                             << QStringList{"IN\\LONGERNA.TEX", "IN\\SUB\\C.TXT"};
  QTest::newRow("two file masks") << QStringList{"in/a.txt", "in/b.log"} << 0 << QStringList{"a.txt", "b.log"};
}

void TestZipOperations::addOptions() {
  QFETCH(QStringList, masks);
  QFETCH(int, options);
  QFETCH(QStringList, members);
  MakeTree();
  Zip().SetZipFileName(S(Path("new.zip")));
  Zip().SetAddOptions(AddOpts::FromBits(static_cast<uint16_t>(options)));
  Masks(masks);
  Zip().Add();
  const int files = static_cast<int>(std::count_if(members.begin(), members.end(), [](const QString& m) { return !m.endsWith('\\'); }));
  QVERIFY2(Zip().SuccessCnt() == files, qPrintable(rec_.All()));
  QCOMPARE(Names(Zip()), members);
  QCOMPARE(Zip().FSpecArgs().Count(), 0);
}

void TestZipOperations::freshenUpdateMoveAndTime() {
  MakeTree();
  const time_t old = 1600000000;
  for (const char* f : {"in/a.txt", "in/b.log"}) SetTime(Path(f), old);
  Zip().SetZipFileName(S(Path("t.zip")));
  Masks({"in/a.txt"});
  Zip().Add();
  QCOMPARE(Zip().Count(), 1);

  // Freshen replaces newer copies of members and adds nothing new.
  PutFile(Path("in/a.txt"), "alpha, newer");
  SetTime(Path("in/a.txt"), old + 100);
  Zip().SetAddOptions({AddFreshen});
  Masks({"in/a.txt", "in/b.log"});
  Zip().Add();
  QCOMPARE(Zip().SuccessCnt(), 1);
  QCOMPARE(Names(Zip()), QStringList{"a.txt"});
  QCOMPARE(Zip().ZipContents()[0].UncompressedSize, 12u);

  // Update adds new files and skips members that are not older.
  Zip().SetAddOptions({AddUpdate, AddFreshen});
  Masks({"in/a.txt", "in/b.log"});
  Zip().Add();
  QCOMPARE(Zip().SuccessCnt(), 1);
  QCOMPARE(Names(Zip()), (QStringList{"a.txt", "b.log"}));

  // Move deletes what it added; the archive takes its newest member's time.
  SetTime(Path("in/sub/c.txt"), old + 5000);
  Zip().SetAddOptions({AddMove, AddZipTime});
  Masks({"in/sub/c.txt"});
  Zip().Add();
  QCOMPARE(Zip().SuccessCnt(), 1);
  QVERIFY(!QFile::exists(Path("in/sub/c.txt")));
  QVERIFY(QFile::exists(Path("in/a.txt")));
  QVERIFY(std::abs(TimeOf(Path("t.zip")) - (old + 5000)) <= 2);
}

void TestZipOperations::deleteMembers() {
  MakeTree();
  Zip().SetZipFileName(S(Path("t.zip")));
  Zip().SetAddOptions({AddRecurseDirs, AddDirNames});
  Masks({"in/*"});
  Zip().Add();
  QCOMPARE(Zip().Count(), 5);
  Masks({"in\\*.txt", "nothing.here"});
  Zip().Delete();
  QCOMPARE(Zip().SuccessCnt(), 3);  // the mask matches into folders
  QCOMPARE(Names(Zip()), (QStringList{"in\\b.log", "in\\longername.text"}));
  QCOMPARE(Zip().FSpecArgs().Count(), 0);

  Masks({"*"});
  Zip().Delete();
  QCOMPARE(Zip().SuccessCnt(), 2);
  QCOMPARE(Zip().Count(), 0);
  QCOMPARE(GetFile(Path("t.zip")).size(), 22);  // an empty archive stays

  Masks({"x"});
  Zip().Delete();  // nothing matches: the library says so, nothing changes
  QCOMPARE(Zip().SuccessCnt(), 0);
  QVERIFY(Zip().ErrCode() != 0);
}

void TestZipOperations::extractOptions() {
  MakeTree();
  Zip().SetZipFileName("t.zip");  // relative to the current folder, which stays the caller's
  Zip().SetAddOptions({AddRecurseDirs, AddDirNames});
  Masks({"in/a.txt", "in/sub/*.txt"});
  Zip().Add();
  QCOMPARE(Zip().Count(), 3);
  QDir().mkpath(Path("out"));
  Zip().SetExtrBaseDir(S(Path("out")));

  Zip().SetExtrOptions({ExtrDirNames});
  Zip().Extract();
  QCOMPARE(Zip().SuccessCnt(), 3);
  QCOMPARE(GetFile(Path("out/in/sub/deep/d.txt")), QByteArray(20000, 'd'));
  QCOMPARE(GetFile(Path("out/in/a.txt")), QByteArray("alpha"));
  QCOMPARE(QDir::currentPath(), dir_->path());

  // Existing files stay unless overwriting is asked for.
  PutFile(Path("out/in/a.txt"), "changed");
  Masks({"in/a.txt"});
  Zip().Extract();
  QCOMPARE(Zip().SuccessCnt(), 0);
  QCOMPARE(GetFile(Path("out/in/a.txt")), QByteArray("changed"));
  Zip().SetExtrOptions({ExtrDirNames, ExtrOverWrite});
  Masks({"in/a.txt"});
  Zip().Extract();
  QCOMPARE(Zip().SuccessCnt(), 1);
  QCOMPARE(GetFile(Path("out/in/a.txt")), QByteArray("alpha"));

  // Freshen: only files that exist and are older.
  QDir(Path("out")).removeRecursively();
  QDir().mkpath(Path("out"));
  PutFile(Path("out/c.txt"), "stale");
  SetTime(Path("out/c.txt"), 1000000000);
  Zip().SetExtrOptions({ExtrFreshen});
  Zip().Extract();
  QCOMPARE(Zip().SuccessCnt(), 1);
  QCOMPARE(GetFile(Path("out/c.txt")), QByteArray("charlie"));
  QVERIFY(!QFile::exists(Path("out/a.txt")));

  // Without folder names every member lands in the base folder; a test writes nothing.
  Zip().SetExtrOptions({ExtrTest});
  Zip().Extract();
  QCOMPARE(Zip().SuccessCnt(), 3);
  QVERIFY(!QFile::exists(Path("out/a.txt")));
  Zip().SetExtrOptions({});
  Masks({"d.txt"});
  Zip().Extract();
  QCOMPARE(Zip().SuccessCnt(), 1);
  QCOMPARE(GetFile(Path("out/d.txt")).size(), 20000);
}

void TestZipOperations::encryption() {
  MakeTree();
  Zip().SetZipFileName(S(Path("secret.zip")));
  Zip().SetAddOptions({AddEncrypt});
  Zip().SetPassword("Open Sesame");
  Masks({"in/a.txt", "in/sub/deep/d.txt"});
  Zip().Add();
  QCOMPARE(Zip().SuccessCnt(), 2);
  QVERIFY(std::all_of(Zip().ZipContents().begin(), Zip().ZipContents().end(), [](const ZipDirEntry& e) { return e.Flag & 1; }));
  QVERIFY(!GetFile(Path("secret.zip")).contains("alpha"));

  QDir().mkpath(Path("out"));
  Zip().SetExtrBaseDir(S(Path("out")));
  Zip().SetPassword("open sesame");  // wrong: letter case counts
  Zip().Extract();
  QCOMPARE(Zip().SuccessCnt(), 0);
  QVERIFY(!QFile::exists(Path("out/a.txt")));
  QVERIFY2(Zip().ErrCode() != 0, qPrintable(rec_.All()));

  Zip().SetPassword("Open Sesame");
  Zip().Extract();
  QCOMPARE(Zip().SuccessCnt(), 2);
  QCOMPARE(GetFile(Path("out/a.txt")), QByteArray("alpha"));

  // Unattended without a password: a placeholder is used and said, and nothing is written.
  QDir(Path("out")).removeRecursively();
  QDir().mkpath(Path("out"));
  Zip().SetPassword("");
  Zip().Extract();
  QVERIFY(rec_.Said(*ZipMessageText(10502)));
  QCOMPARE(Zip().SuccessCnt(), 0);
  QVERIFY(!QFile::exists(Path("out/a.txt")));
}

void TestZipOperations::promptedAddPassword() {
  MakeTree();
  Zip().SetUnattended(false);
  dialogs_->dialogs.AnswerInput(true, "pw");
  dialogs_->dialogs.AnswerInput(true, "pw");
  Zip().SetZipFileName(S(Path("p.zip")));
  Zip().SetAddOptions({AddEncrypt});
  Masks({"in/a.txt"});
  Zip().Add();
  QVERIFY2(Zip().SuccessCnt() == 1, qPrintable(rec_.All()));
  QCOMPARE(Zip().Password(), std::string("pw"));
  QVERIFY(Zip().ZipContents()[0].Flag & 1);
}

void TestZipOperations::cancelledAddKeepsArchive() {
  MakeTree();
  Zip().SetZipFileName(S(Path("keep.zip")));
  Masks({"in/a.txt", "in/b.log"});
  Zip().Add();
  QCOMPARE(Zip().Count(), 2);
  const QByteArray before = GetFile(Path("keep.zip"));
  const QStringList filesBefore = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden);

  PutFile(Path("big.bin"), QByteArray(3 << 20, 'z'));
  int updates = 0;
  Zip().OnProgress = [&](TObject*, ProgressType type, const std::string&, int64_t) {
    if (type == ptUpdate && ++updates == 3) Zip().SetCancel(true);
  };
  Masks({"in/sub/c.txt", "big.bin"});
  Zip().Add();
  QVERIFY(updates >= 3);
  QCOMPARE(Zip().SuccessCnt(), 0);
  QVERIFY(!Zip().Cancel());  // reset for the next call
  QCOMPARE(GetFile(Path("keep.zip")), before);
  QCOMPARE(Zip().Count(), 2);
  // No temporary file is left behind.
  QStringList filesAfter = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden);
  filesAfter.removeAll("big.bin");
  QCOMPARE(filesAfter, filesBefore);
}

void TestZipOperations::nestedCallsReturnAtOnce() {
  MakeTree();
  Zip().SetZipFileName(S(Path("n.zip")));
  int batches = 0;
  bool nested = false;
  Zip().OnProgress = [&](TObject*, ProgressType type, const std::string&, int64_t) {
    if (type == ptTotalFiles) ++batches;
    if (type == ptNewFile && !nested) {
      // An event handler starting another Add while one runs: it returns without effect.
      nested = true;
      Zip().FSpecArgs().Add("in/b.log");
      Zip().Add();
    }
  };
  Masks({"in/a.txt"});
  Zip().Add();
  QVERIFY(nested);
  QCOMPARE(batches, 1);
  QCOMPARE(Zip().SuccessCnt(), 1);
  QCOMPARE(Names(Zip()), QStringList{"a.txt"});
}

void TestZipOperations::extractionStaysInFolder() {
  QDir().mkpath(Path("outside"));
  QDir().mkpath(Path("out"));
  PutFile(Path("outside/victim.txt"), "original");
  // Links planted in the target folder before the extraction.
  QVERIFY(QFile::link(Path("outside"), Path("out/pre")));
  QVERIFY(QFile::link(Path("outside/victim.txt"), Path("out/leaf.txt")));

  TMember link{"link", "../outside", "", 0};
  link.unixMode = 0120777;
  const std::string archive = MakeArchive({
      {"../escape1.txt", "x", "", 0},
      {S(Path("outside/abs.txt")), "x", "", 0},
      {"a/../../escape2.txt", "x", "", 0},
      {"..\\escape3.txt", "x", "", 0},
      {"C:/escape4.txt", "x", "", 0},
      link,
      {"link/planted.txt", "x", "", 0},
      {"pre/through-link.txt", "x", "", 0},
      {"leaf.txt", "replaced", "", 0},
      {"good/ok.txt", "fine", "", 0},
  });
  PutFile(Path("evil.zip"), B(archive));
  Zip().SetZipFileName(S(Path("evil.zip")));
  QCOMPARE(Zip().Count(), 10);
  Zip().SetExtrBaseDir(S(Path("out")));
  Zip().SetExtrOptions({ExtrDirNames, ExtrOverWrite});
  Zip().Extract();

  // good/ok.txt, leaf.txt, and link/planted.txt in a real folder, the link member being refused
  QVERIFY2(Zip().SuccessCnt() == 3, qPrintable(rec_.All()));
  QVERIFY(QFileInfo(Path("out/link")).isDir() && !QFileInfo(Path("out/link")).isSymLink());
  QCOMPARE(GetFile(Path("out/good/ok.txt")), QByteArray("fine"));
  QCOMPARE(QDir(Path("outside")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"victim.txt"});
  QCOMPARE(GetFile(Path("outside/victim.txt")), QByteArray("original"));
  // The planted leaf link was replaced by the file, not followed.
  QVERIFY(!QFileInfo(Path("out/leaf.txt")).isSymLink());
  QCOMPARE(GetFile(Path("out/leaf.txt")), QByteArray("replaced"));
  QVERIFY(!QFile::exists(Path("escape1.txt")) && !QFile::exists(Path("escape2.txt")));
  QVERIFY(!QFile::exists(Path("escape3.txt")) && !QFile::exists(Path("out/C:/escape4.txt")));
  int refusals = 0;
  for (const auto& m : rec_.messages) refusals += m.second.rfind("Refused", 0) == 0;
  QVERIFY2(refusals == 7, qPrintable(rec_.All()));
}

void TestZipOperations::copyBuffer() {
  QByteArray data;
  for (int i = 0; i < 20000; ++i) data += char('a' + i % 26);
  PutFile(Path("src"), data);
  struct Case {
    int readLen;
    int copied;
  };
  for (const Case c : {Case{0, 0}, Case{10000, 10000}, Case{8192, 8192}, Case{-1, 20000}, Case{50000, 20000}}) {
    int in = ::open(S(Path("src")).c_str(), O_RDONLY);
    int out = ::open(S(Path("dst")).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QCOMPARE(Zip().CopyBuffer(in, out, c.readLen), 0);
    QCOMPARE(::lseek(in, 0, SEEK_CUR), off_t(c.copied));  // nothing read beyond what was asked
    ::close(in);
    ::close(out);
    QCOMPARE(GetFile(Path("dst")), data.left(c.copied));
  }
  int in = ::open(S(Path("src")).c_str(), O_RDONLY);
  int out = ::open(S(Path("src")).c_str(), O_RDONLY);  // not writable
  QCOMPARE(Zip().CopyBuffer(in, out, -1), -2);
  ::close(in);
  ::close(out);
}

void TestZipOperations::copyFile() {
  PutFile(Path("in.bin"), QByteArray(30000, 'q'));
  SetTime(Path("in.bin"), 1234567890);
  PutFile(Path("out.bin"), "older and different");
  QCOMPARE(Zip().CopyFile(S(Path("in.bin")), S(Path("out.bin"))), 0);
  QCOMPARE(GetFile(Path("out.bin")), QByteArray(30000, 'q'));
  QCOMPARE(TimeOf(Path("out.bin")), time_t(1234567890));
  QCOMPARE(Zip().CopyFile(S(Path("absent")), S(Path("x"))), -3);
  QVERIFY(!QFile::exists(Path("x")));
  QCOMPARE(Zip().CopyFile(S(Path("in.bin")), S(Path("no/such/folder/x"))), -1);
}

void TestZipOperations::eraseFile() {
  QCOMPARE(Zip().EraseFile(S(Path("absent")), htdFinal), -1);
  QCOMPARE(Zip().EraseFile(S(Path("absent")), htdAllowUndo), -1);
  PutFile(Path("gone"), "x");
  QCOMPARE(Zip().EraseFile(S(Path("gone")), htdFinal), 0);
  QVERIFY(!QFile::exists(Path("gone")));

  // Undoable deletion moves the file to the desktop's trash.
  const QByteArray home = qgetenv("XDG_DATA_HOME");
  QDir().mkpath(Path("data"));
  qputenv("XDG_DATA_HOME", Path("data").toUtf8());
  PutFile(Path("undoable"), "keep me");
  QCOMPARE(Zip().EraseFile(S(Path("undoable")), htdAllowUndo), 0);
  home.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", home);
  QVERIFY(!QFile::exists(Path("undoable")));
  QCOMPARE(GetFile(Path("data/Trash/files/undoable")), QByteArray("keep me"));
}

QTEST_GUILESS_MAIN(TestZipOperations)
#include "tst_zip_operations.moc"
