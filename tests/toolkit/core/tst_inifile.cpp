#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <random>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/inifile.h"

namespace support = mirnax::support;
using mirnax::EFCreateError;
using mirnax::EInOutError;
using mirnax::Exception;
using mirnax::TIniFile;
using mirnax::support::Bytes;
using mirnax::support::ErrorOf;
using mirnax::support::ReadBytes;
using mirnax::support::WriteBytes;

namespace {
const std::string kSection = "KEVOMIRNAX";
const std::string kPath = "C:\\game\\staidx0.mul";

QStringList Entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
}  // namespace

class TestIniFile : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    ini_ = dir_->filePath("mirnax.ini").toStdString();
  }

  void missingFileGivesDefaults();
  void emptyFile();
  void fileWithoutTheSection();
  void notAnIniFile_data();
  void notAnIniFile();
  void writeChangesOnlyTheKeyLine();
  void keyAddedInsideItsSection_data();
  void keyAddedInsideItsSection();
  void byteOrderMarkBeforeTheFirstSection();
  void writeThenReadOddFiles_data();
  void writeThenReadOddFiles();
  void valuesKeptLiterally_data();
  void valuesKeptLiterally();
  void firstOfRepeatedKeys();
  void lineBreaksInValue();
  void repeatedWritesLeaveOneLine();
  void failedWriteKeepsOldFile();
  void readOnlyFolder();
  void missingFolder();
  void keepsOwnerGroupAndMode();
  void readOnlyFileIsNotReplaced();
  void writersTakeTurns();
  void staleSideFilesGo();
  void writesThroughSymlink();
  void nameWrittenWithBackslash();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::string ini_;
};

void TestIniFile::missingFileGivesDefaults() {
  TIniFile ini(ini_);
  QCOMPARE(ini.ReadString(kSection, "Staidx0", ""), std::string());
  QCOMPARE(ini.ReadString(kSection, "Staidx0", "def"), std::string("def"));
  TIniFile inMissingFolder(dir_->filePath("nope/mirnax.ini").toStdString());
  QCOMPARE(inMissingFolder.ReadString(kSection, "Staidx0", "def"), std::string("def"));
  // A folder where the file should be reads as missing too.
  QVERIFY(QDir(dir_->path()).mkdir("mirnax.ini"));
  QCOMPARE(ini.ReadString(kSection, "Staidx0", "def"), std::string("def"));
}

void TestIniFile::emptyFile() {
  WriteBytes(ini_, "");
  TIniFile ini(ini_);
  QCOMPARE(ini.ReadString(kSection, "Statics0", "def"), std::string("def"));
  ini.WriteString(kSection, "Staidx0", kPath);
  QCOMPARE(ReadBytes(ini_), QByteArray("[KEVOMIRNAX]\r\nStaidx0=C:\\game\\staidx0.mul\r\n"));
  QCOMPARE(ini.ReadString(kSection, "Staidx0", ""), kPath);
  // A missing file is created the same way.
  TIniFile fresh(dir_->filePath("new.ini").toStdString());
  fresh.WriteString(kSection, "Statics0", "x");
  QCOMPARE(ReadBytes(fresh.FileName()), QByteArray("[KEVOMIRNAX]\r\nStatics0=x\r\n"));
}

void TestIniFile::fileWithoutTheSection() {
  WriteBytes(ini_, "[Other]\r\nStaidx0=elsewhere\r\n");
  TIniFile ini(ini_);
  QCOMPARE(ini.ReadString(kSection, "Staidx0", "def"), std::string("def"));
  ini.WriteString(kSection, "Staidx0", "v");
  QCOMPARE(ReadBytes(ini_), QByteArray("[Other]\r\nStaidx0=elsewhere\r\n[KEVOMIRNAX]\r\nStaidx0=v\r\n"));
  QCOMPARE(ini.ReadString("Other", "Staidx0", ""), std::string("elsewhere"));
}

void TestIniFile::notAnIniFile_data() {
  QTest::addColumn<QByteArray>("bytes");
  std::mt19937 rng(7);
  QByteArray garbage;
  for (int i = 0; i < 65536; ++i) garbage.append(static_cast<char>(rng()));
  QTest::newRow("random bytes") << garbage;
  QTest::newRow("NUL bytes") << QByteArray("\0\0\0\0", 4);
  QTest::newRow("NUL then a section") << QByteArray("abc\0def\r\n[Other]\r\nx=1\r\n", 23);
  QTest::newRow("huge line") << QByteArray(1 << 20, 'q');
  QTest::newRow("huge line with NULs") << QByteArray(100000, '\0').append("tail");
  QTest::newRow("CR only") << QByteArray("a\rb\rc");
  QTest::newRow("unclosed section") << QByteArray("[KEVOMIRNAX\r\nStaidx0=not a key of the section\r\n");
}

void TestIniFile::notAnIniFile() {
  QFETCH(QByteArray, bytes);
  WriteBytes(ini_, bytes);
  TIniFile ini(ini_);
  QCOMPARE(ini.ReadString(kSection, "Staidx0", "def"), std::string("def"));
  ini.WriteString(kSection, "Staidx0", kPath);

  const QByteArray out = ReadBytes(ini_);
  QVERIFY(out.startsWith(bytes));
  QByteArray added = out.mid(bytes.size());
  const bool endedLine = bytes.isEmpty() || bytes.endsWith('\n') || bytes.endsWith('\r');
  if (!endedLine) {
    QVERIFY(added.startsWith('\n') || added.startsWith("\r\n"));
    added.remove(0, added.startsWith('\n') ? 1 : 2);
  }
  QVERIFY2(added == "[KEVOMIRNAX]\r\nStaidx0=C:\\game\\staidx0.mul\r\n" ||
               added == "[KEVOMIRNAX]\nStaidx0=C:\\game\\staidx0.mul\n",
           added.left(200).toHex().constData());
  // What was written is what is read.
  QCOMPARE(ini.ReadString(kSection, "Staidx0", "def"), kPath);
}

void TestIniFile::writeChangesOnlyTheKeyLine() {
  const QByteArray before =
      "; mirnax settings\r\n"
      "[Other]\r\n"
      "Staidx0=not this one\r\n"
      "\r\n"
      "  [ kevomirnax ]  \r\n"
      "# Staidx0 = a comment\r\n"
      "; Staidx0=another comment\r\n"
      "  staidx0 = C:\\old\\staidx0.mul  \r\n"
      "Statics0=C:\\old\\statics0.mul\r\n"
      "\r\n"
      "[Later]\r\n"
      "Staidx0=later\r\n";
  QByteArray after = before;
  after.replace("  staidx0 = C:\\old\\staidx0.mul  \r\n", "Staidx0=C:\\game\\staidx0.mul\r\n");
  WriteBytes(ini_, before);
  TIniFile ini(ini_);
  QCOMPARE(ini.ReadString(kSection, "STAIDX0", ""), std::string("C:\\old\\staidx0.mul"));
  ini.WriteString(kSection, "Staidx0", kPath);
  QCOMPARE(ReadBytes(ini_), after);
  QCOMPARE(ini.ReadString("kevoMirnax", "staidx0", ""), kPath);
  QCOMPARE(ini.ReadString(kSection, "Statics0", ""), std::string("C:\\old\\statics0.mul"));
  QCOMPARE(ini.ReadString("Other", "Staidx0", ""), std::string("not this one"));
  QCOMPARE(ini.ReadString("Later", "Staidx0", ""), std::string("later"));
}

void TestIniFile::keyAddedInsideItsSection_data() {
  QTest::addColumn<QByteArray>("before");
  QTest::addColumn<QByteArray>("after");
  QTest::newRow("another section follows")
      << QByteArray("[KEVOMIRNAX]\r\nStaidx0=a\r\n\r\n[Later]\r\nx=1\r\n")
      << QByteArray("[KEVOMIRNAX]\r\nStaidx0=a\r\nStatics0=b\r\n\r\n[Later]\r\nx=1\r\n");
  QTest::newRow("LF line ends") << QByteArray("[KEVOMIRNAX]\nStaidx0=a\n[Later]\n")
                                << QByteArray("[KEVOMIRNAX]\nStaidx0=a\nStatics0=b\n[Later]\n");
  QTest::newRow("last line without end") << QByteArray("[KEVOMIRNAX]\r\nStaidx0=a")
                                         << QByteArray("[KEVOMIRNAX]\r\nStaidx0=a\r\nStatics0=b\r\n");
  QTest::newRow("empty section") << QByteArray("[kevomirnax]\r\n[Later]\r\n")
                                 << QByteArray("[kevomirnax]\r\nStatics0=b\r\n[Later]\r\n");
  QTest::newRow("key only in a later section")
      << QByteArray("[KEVOMIRNAX]\r\nStaidx0=a\r\n[Later]\r\nStatics0=other\r\n")
      << QByteArray("[KEVOMIRNAX]\r\nStaidx0=a\r\nStatics0=b\r\n[Later]\r\nStatics0=other\r\n");
}

void TestIniFile::keyAddedInsideItsSection() {
  QFETCH(QByteArray, before);
  QFETCH(QByteArray, after);
  WriteBytes(ini_, before);
  TIniFile ini(ini_);
  ini.WriteString(kSection, "Statics0", "b");
  QCOMPARE(ReadBytes(ini_), after);
  QCOMPARE(ini.ReadString(kSection, "Statics0", ""), std::string("b"));
}

// An editor's byte order mark does not hide the section it stands before, and stays in the file.
void TestIniFile::byteOrderMarkBeforeTheFirstSection() {
  WriteBytes(ini_, "\xEF\xBB\xBF[KEVOMIRNAX]\r\nStaidx0=old\r\n");
  TIniFile ini(ini_);
  QCOMPARE(ini.ReadString(kSection, "Staidx0", "def"), std::string("old"));
  ini.WriteString(kSection, "Staidx0", "new");
  QCOMPARE(ReadBytes(ini_), QByteArray("\xEF\xBB\xBF[KEVOMIRNAX]\r\nStaidx0=new\r\n"));
}

void TestIniFile::writeThenReadOddFiles_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[KEVOMIRNAX]\r\nStaidx0=old\r\n");
  QTest::newRow("unclosed header") << QByteArray("[KEVOMIRNAX\r\nStaidx0=old\r\n");
  QTest::newRow("NUL before the section") << QByteArray("x\0y\r\n[KEVOMIRNAX]\r\nStaidx0=old\r\n", 32);
  QTest::newRow("NUL inside the section") << QByteArray("[KEVOMIRNAX]\r\n\0\r\nStaidx0=old\r\n", 30);
  QTest::newRow("section twice") << QByteArray("[KEVOMIRNAX]\r\nx=1\r\n[KEVOMIRNAX]\r\nStaidx0=old\r\n");
  QTest::newRow("key with blanks") << QByteArray("[KEVOMIRNAX]\r\n\t Staidx0 \t= old\r\n");
  QTest::newRow("header with text after it") << QByteArray("[KEVOMIRNAX] ; note\r\nStaidx0=old\r\n");
  QTest::newRow("CR only") << QByteArray("[KEVOMIRNAX]\rStaidx0=old\r[Later]\rStaidx0=later\r");
  QTest::newRow("key before any section") << QByteArray("Staidx0=old\r\n");
  QTest::newRow("empty key") << QByteArray("[KEVOMIRNAX]\r\n=old\r\n");
}

void TestIniFile::writeThenReadOddFiles() {
  QFETCH(QByteArray, bytes);
  WriteBytes(ini_, bytes);
  TIniFile ini(ini_);
  for (const std::string& value : {std::string("first"), kPath, std::string("x")}) {
    ini.WriteString(kSection, "Staidx0", value);
    QCOMPARE(ini.ReadString(kSection, "Staidx0", "def"), value);
  }
  QVERIFY(ReadBytes(ini_).count("Staidx0=x") == 1);
}

void TestIniFile::valuesKeptLiterally_data() {
  QTest::addColumn<QString>("value");
  QTest::newRow("backslashes") << QString::fromStdString(kPath);
  QTest::newRow("escape look-alikes") << "C:\\new\\tab\\x41\\\\server";
  QTest::newRow("UTF-8 path") << QString::fromUtf8("/srv/игра/Ünïcödé/staidx0.mul");
  QTest::newRow("quotes") << "\"C:\\game\"";
  QTest::newRow("equals and semicolon") << "a=b;c#d";
  QTest::newRow("empty") << "";
}

void TestIniFile::valuesKeptLiterally() {
  QFETCH(QString, value);
  const std::string v = value.toStdString();
  TIniFile ini(ini_);
  ini.WriteString(kSection, "Staidx0", v);
  QCOMPARE(ini.ReadString(kSection, "Staidx0", "def"), v);
  QCOMPARE(ReadBytes(ini_), Bytes("[KEVOMIRNAX]\r\nStaidx0=" + v + "\r\n"));
  // A file written by hand is read the same way.
  WriteBytes(ini_, Bytes("[KEVOMIRNAX]\nStatics0=" + v + "\n"));
  QCOMPARE(ini.ReadString(kSection, "Statics0", "def"), v);
}

void TestIniFile::firstOfRepeatedKeys() {
  WriteBytes(ini_, "[KEVOMIRNAX]\r\nStaidx0=1\r\nSTAIDX0=2\r\n");
  TIniFile ini(ini_);
  QCOMPARE(ini.ReadString(kSection, "Staidx0", ""), std::string("1"));
  ini.WriteString(kSection, "Staidx0", "3");
  QCOMPARE(ReadBytes(ini_), QByteArray("[KEVOMIRNAX]\r\nStaidx0=3\r\nSTAIDX0=2\r\n"));
  QCOMPARE(ini.ReadString(kSection, "Staidx0", ""), std::string("3"));
}

void TestIniFile::lineBreaksInValue() {
  TIniFile ini(ini_);
  ini.WriteString(kSection, "Staidx0", "a\r\nb\nc");
  ini.WriteString(kSection, "Statics0", "s");
  QCOMPARE(ReadBytes(ini_), QByteArray("[KEVOMIRNAX]\r\nStaidx0=a  b c\r\nStatics0=s\r\n"));
}

void TestIniFile::repeatedWritesLeaveOneLine() {
  WriteBytes(ini_, "[KEVOMIRNAX]\r\nStatics0=s\r\n");
  TIniFile ini(ini_);
  std::string typed;
  for (int i = 0; i < 1000; ++i) {
    typed.push_back(static_cast<char>('a' + i % 26));
    ini.WriteString(kSection, "Staidx0", typed);
  }
  QCOMPARE(ReadBytes(ini_), Bytes("[KEVOMIRNAX]\r\nStatics0=s\r\nStaidx0=" + typed + "\r\n"));
  QCOMPARE(Entries(dir_->path()), QStringList{"mirnax.ini"});

  // A file of the user's beside it, named as a side file might be, is never touched.
  WriteBytes(ini_ + ".tmp", "mine");
  ini.WriteString(kSection, "Staidx0", "x");
  QCOMPARE(ReadBytes(ini_ + ".tmp"), Bytes("mine"));
  QCOMPARE(Entries(dir_->path()), (QStringList{"mirnax.ini", "mirnax.ini.tmp"}));
}

void TestIniFile::failedWriteKeepsOldFile() {
  // The disk fills (a write limit) half way through the new file.
  const QByteArray old = "[KEVOMIRNAX]\r\nStaidx0=" + QByteArray(4000, 'o') + "\r\n";
  WriteBytes(ini_, old);
  const int code = support::RunInChild([&](int) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{2000, 2000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      TIniFile(ini_).WriteString(kSection, "Staidx0", std::string(4000, 'n'));
    } catch (const EInOutError& e) {
      return e.Message.find(ini_) != std::string::npos ? 0 : 2;
    }
    return 1;
  }).ExitCode;
  QCOMPARE(code, 0);
  QCOMPARE(ReadBytes(ini_), old);
  QCOMPARE(Entries(dir_->path()), QStringList{"mirnax.ini"});
}

void TestIniFile::readOnlyFolder() {
  const QByteArray old = "[KEVOMIRNAX]\r\nStaidx0=old\r\n";
  WriteBytes(ini_, old);
  // The child runs as an ordinary user, so the folder's permissions hold even under root.
  QVERIFY(::chmod(dir_->path().toUtf8().constData(), 0555) == 0);
  QVERIFY(::chmod(ini_.c_str(), 0666) == 0);
  const int code = support::RunInChild([&](int) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
    try {
      TIniFile(ini_).WriteString(kSection, "Staidx0", "new");
    } catch (const EFCreateError& e) {
      return e.Message.starts_with("Cannot create file " + ini_ + ": ") ? 0 : 2;
    } catch (const EInOutError&) {
      return 0;
    }
    return 1;
  }).ExitCode;
  ::chmod(dir_->path().toUtf8().constData(), 0700);
  QCOMPARE(code, 0);
  QCOMPARE(ReadBytes(ini_), old);
  QCOMPARE(Entries(dir_->path()), QStringList{"mirnax.ini"});
}

void TestIniFile::missingFolder() {
  const std::string name = dir_->filePath("no-such-folder/mirnax.ini").toStdString();
  QCOMPARE(ErrorOf<EFCreateError>([&] { TIniFile(name).WriteString(kSection, "Staidx0", "x"); }),
           "Cannot create file " + QString::fromStdString(name) + ": No such file or directory");
}

void TestIniFile::keepsOwnerGroupAndMode() {
  WriteBytes(ini_, "[KEVOMIRNAX]\r\n");
  QVERIFY(::chmod(ini_.c_str(), 0640) == 0);
  // Root writing a file of another user: the owner must still be able to read it afterwards.
  const bool root = ::geteuid() == 0;
  if (root) QVERIFY(::chown(ini_.c_str(), 65534, 65534) == 0);
  TIniFile(ini_).WriteString(kSection, "Staidx0", "x");
  struct stat st {};
  QVERIFY(::stat(ini_.c_str(), &st) == 0);
  QCOMPARE(st.st_mode & 07777, mode_t{0640});
  if (root) {
    QCOMPARE(st.st_uid, uid_t{65534});
    QCOMPARE(st.st_gid, gid_t{65534});
  }
}

void TestIniFile::readOnlyFileIsNotReplaced() {
  const QByteArray old = "[KEVOMIRNAX]\r\nStaidx0=old\r\n";
  WriteBytes(ini_, old);
  QVERIFY(::chmod(ini_.c_str(), 0444) == 0);
  QCOMPARE(ErrorOf<EFCreateError>([&] { TIniFile(ini_).WriteString(kSection, "Staidx0", "new"); }),
           QString::fromStdString("Cannot create file " + ini_ + ": the file is read-only"));
  QCOMPARE(ReadBytes(ini_), old);
  QCOMPARE(Entries(dir_->path()), QStringList{"mirnax.ini"});
}

void TestIniFile::writersTakeTurns() {
  // Two programs storing keys of their own at once: each read-modify-write sees the other's last.
  constexpr int Keys = 60;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    if (children[c] == 0) {
      try {
        for (int k = 0; k < Keys; ++k) TIniFile(ini_).WriteString(kSection, "K" + std::to_string(c * Keys + k), "v");
      } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message.c_str());
        ::_exit(1);
      }
      ::_exit(0);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const TIniFile ini(ini_);
  for (int k = 0; k < 2 * Keys; ++k) QCOMPARE(ini.ReadString(kSection, "K" + std::to_string(k), ""), std::string("v"));
  QCOMPARE(Entries(dir_->path()), QStringList{"mirnax.ini"});
}

void TestIniFile::staleSideFilesGo() {
  // A writer killed before its rename leaves its side file; the next write removes it, and only it.
  WriteBytes(ini_, "[KEVOMIRNAX]\r\n");
  WriteBytes(ini_ + ".~Ab3xYz", "[KEVOMIRNAX]\r\nStaidx0=half");
  WriteBytes(ini_ + ".backup", "mine");
  TIniFile(ini_).WriteString(kSection, "Staidx0", "x");
  QCOMPARE(Entries(dir_->path()), QStringList({"mirnax.ini", "mirnax.ini.backup"}));
}

void TestIniFile::writesThroughSymlink() {
  // An operator may keep the real file elsewhere and link it into the start folder.
  QVERIFY(QDir(dir_->path()).mkdir("real"));
  const std::string real = dir_->filePath("real/mirnax.ini").toStdString();
  WriteBytes(real, "[KEVOMIRNAX]\r\nStaidx0=old\r\n");
  QVERIFY(::symlink("real/mirnax.ini", ini_.c_str()) == 0);
  TIniFile(ini_).WriteString(kSection, "Staidx0", "new");
  QVERIFY(QFileInfo(QString::fromStdString(ini_)).isSymLink());
  QCOMPARE(ReadBytes(real), QByteArray("[KEVOMIRNAX]\r\nStaidx0=new\r\n"));
}

void TestIniFile::nameWrittenWithBackslash() {
  // The start folder and the file name joined with '\', as a user may type the path.
  const std::string folder = dir_->path().toStdString();
  TIniFile ini(folder + "\\mirnax.ini");
  ini.WriteString(kSection, "Staidx0", "x");
  QCOMPARE(Entries(dir_->path()), QStringList{"mirnax.ini"});
  QCOMPARE(ini.ReadString(kSection, "Staidx0", ""), std::string("x"));
  // Another spelling of an existing name is that file.
  TIniFile(folder + "\\MIRNAX.INI").WriteString(kSection, "Statics0", "y");
  QCOMPARE(Entries(dir_->path()), QStringList{"mirnax.ini"});
  QCOMPARE(ReadBytes(ini_), QByteArray("[KEVOMIRNAX]\r\nStaidx0=x\r\nStatics0=y\r\n"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
