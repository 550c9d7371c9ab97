// Faults found using the component as a user would: Add of everything in the archive's own folder,
// a directory that cannot be read again after a delete, and the separators messages name files with.
#include <QDir>
#include <QtTest>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "toolkit/core/disks.h"
#include "zip_test_support.h"

using mirnax::TZipBuilder;
using mirnax::support::CurrentDir;

namespace {
// The machine's disks, except that no mount can be found for any path while it lives.
class TNoMounts : public mirnax::TLinuxDisks {
 public:
  TNoMounts() : previous_(mirnax::SetDisks(this)) {}
  ~TNoMounts() override { mirnax::SetDisks(previous_); }
  std::string DriveRoot(const std::string&) override { return {}; }

 private:
  mirnax::TDiskService* previous_;
};

QStringList Names(const TZipBuilder& zip) {
  QStringList names;
  for (const auto& e : zip.ZipContents()) names << QString::fromStdString(e.FileName);
  return names;
}
}  // namespace

class TestZipFaults : public QObject, TZipScene {
  Q_OBJECT

  void AddSpec(const std::string& spec) {
    zip_->FSpecArgs().Add(spec);
    zip_->Add();
  }

 private slots:
  void init() {
    Start();
    zip_->SetUnattended(true);
    zip_->SetAddOptions({mirnax::AddDirNames});
  }
  void cleanup() { Finish(); }

  // Adding "*" again and again never puts the archive inside itself.
  void addAllLeavesOutTheArchive() {
    PutFile(Path("a.txt"), "alpha");
    PutFile(Path("b.txt"), "beta");
    CurrentDir here(dir_->path());
    zip_->SetZipFileName(S(Path("all.zip")));
    AddSpec("*");
    QCOMPARE(Names(*zip_), QStringList({"a.txt", "b.txt"}));
    AddSpec("*");
    QVERIFY2(zip_->ErrCode() == 0, qPrintable(rec_.All()));
    QCOMPARE(Names(*zip_), QStringList({"a.txt", "b.txt"}));
    // Under another name a copy of it is a file like any other.
    QFile::copy(Path("all.zip"), Path("copy.zip"));
    AddSpec("*");
    QCOMPARE(Names(*zip_), QStringList({"a.txt", "b.txt", "copy.zip"}));
  }

  // The delete is done even when the directory cannot be read again, and the message says so.
  void deleteDoneThoughDirectoryUnreadable() {
    PutFile(Path("in/a.txt"), "alpha");
    PutFile(Path("in/b.txt"), "beta");
    CurrentDir here(dir_->path());
    zip_->SetZipFileName(S(Path("d.zip")));
    AddSpec("in/*");
    QCOMPARE(zip_->Count(), 2);
    TNoMounts noMounts;
    zip_->FSpecArgs().Add("in/a.txt");
    zip_->Delete();
    QCOMPARE(zip_->SuccessCnt(), 1);
    QCOMPARE(zip_->ErrCode(), 11050);
    const std::string said = zip_->Message();
    QVERIFY2(said.starts_with("1 member(s) deleted from " + S(Path("d.zip")) + ", but its directory cannot be read again"),
             said.c_str());
    QVERIFY2(said.find("The drive " + S(dir_->path()) + "/ does not exist") != std::string::npos, said.c_str());
  }

  // Messages name files with '/'; progress names and the contents keep the archive's '\'.
  void messagesUseSlashes() {
    PutFile(Path("in/sub/a.txt"), "alpha");
    CurrentDir here(dir_->path());
    zip_->SetZipFileName("nonexist/a.zip");
    AddSpec("in/sub/a.txt");
    QVERIFY(!rec_.messages.empty());
    QVERIFY2(rec_.Said("nonexist/a.zip"), qPrintable(rec_.All()));
    QVERIFY2(!rec_.All().contains('\\'), qPrintable(rec_.All()));

    zip_->SetZipFileName(S(Path("s.zip")));
    AddSpec("in/sub/a.txt");
    QCOMPARE(Names(*zip_), QStringList({"in\\sub\\a.txt"}));
    bool named = false;
    for (const auto& p : rec_.progress) named |= p.type == mirnax::ptNewFile && p.name == "in\\sub\\a.txt";
    QVERIFY(named);
  }

  // An Add killed while it writes leaves its temporary under a name that says whose it is; the
  // next operation on the archive says it may be deleted, and deletes nothing itself.
  void killedAddLeavesNamedTemporary() {
    PutFile(Path("in/a.txt"), "alpha");
    QByteArray big(4 << 20, '\0');
    for (qsizetype i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 5);
    PutFile(Path("in/big.bin"), big);
    CurrentDir here(dir_->path());
    zip_->SetZipFileName(S(Path("k.zip")));
    AddSpec("in/a.txt");
    const QByteArray before = GetFile(Path("k.zip"));
    const pid_t child = ::fork();
    if (child == 0) {
      zip_->OnProgress = [](mirnax::TObject*, mirnax::ProgressType type, const std::string&, int64_t) {
        if (type == mirnax::ptUpdate) ::raise(SIGKILL);
      };
      AddSpec("in/big.bin");
      ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(GetFile(Path("k.zip")), before);
    const QStringList left = QDir(dir_->path()).entryList({"k.zip.~zipping-*"}, QDir::Files);
    QCOMPARE(left.size(), 1);

    rec_ = {};
    rec_.Attach(*zip_);
    AddSpec("in/big.bin");
    QVERIFY2(rec_.Said("A temporary file left by an earlier run that did not finish may be deleted: " + S(Path(left[0]))),
             qPrintable(rec_.All()));
    QCOMPARE(zip_->Count(), 2);
    QVERIFY(QFile::exists(Path(left[0])));
    QCOMPARE(QDir(dir_->path()).entryList({"k.zip.~zipping-*"}, QDir::Files), left);
  }
};

QTEST_GUILESS_MAIN(TestZipFaults)
#include "tst_zip_faults.moc"
