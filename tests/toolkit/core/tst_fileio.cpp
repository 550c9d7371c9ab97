#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"

namespace support = mirnax::support;
using mirnax::EFCreateError;
using mirnax::EFOpenError;
using mirnax::EInOutError;
using mirnax::EStreamError;
using mirnax::FileExists;
using mirnax::ReadWholeFile;
using mirnax::TFileMode;
using mirnax::TFileStream;
using mirnax::WriteWholeFile;
using mirnax::fmCreate;
using mirnax::fmOpenRead;
using mirnax::fmOpenReadWrite;
using mirnax::support::Bytes;
using mirnax::support::ErrorOf;
using mirnax::support::ReadBytes;
using mirnax::support::WriteBytes;

namespace {
bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }
}  // namespace

class TestFileIo : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
  }

  void readWholeFile_data();
  void readWholeFile();
  void openErrors_data();
  void openErrors();
  void writeWholeFileReplaces();
  void fileExists();
  void streamReadsAndSeeks();
  void shortReadNamesTheFile();
  void readWriteKeepsContent();
  void writeToReadOnlyStreamFails();
  void writeLimitRaisesInsteadOfKilling();

 private:
  std::string Path(const char* name) const { return dir_->filePath(QString::fromUtf8(name)).toStdString(); }
  std::unique_ptr<QTemporaryDir> dir_;
};

void TestFileIo::readWholeFile_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("empty") << QByteArray();
  QTest::newRow("small with NUL") << QByteArray("a\0b", 3);
  QByteArray big;
  for (int i = 0; i < 300000; ++i) big.append(static_cast<char>(i * 7));
  QTest::newRow("several read chunks") << big;
}

void TestFileIo::readWholeFile() {
  QFETCH(QByteArray, bytes);
  const std::string file = Path("data.bin");
  WriteBytes(file, bytes);
  QCOMPARE(Bytes(ReadWholeFile(file)), bytes);
}

void TestFileIo::openErrors_data() {
  QTest::addColumn<int>("mode");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("message");
  // Each with the system's reason, for the user to act on.
  QTest::newRow("read missing") << int(fmOpenRead) << "missing.bin" << "Cannot open file %1: No such file or directory";
  QTest::newRow("read-write missing") << int(fmOpenReadWrite) << "missing.bin"
                                      << "Cannot open file %1: No such file or directory";
  QTest::newRow("read folder") << int(fmOpenRead) << "folder" << "Cannot open file %1: Is a directory";
  QTest::newRow("create in missing folder") << int(fmCreate) << "no-such/new.bin"
                                            << "Cannot create file %1: No such file or directory";
  QTest::newRow("create over folder") << int(fmCreate) << "folder" << "Cannot create file %1: Is a directory";
}

void TestFileIo::openErrors() {
  QFETCH(int, mode);
  QFETCH(QString, name);
  QFETCH(QString, message);
  QVERIFY(QDir(dir_->path()).mkdir("folder"));
  const std::string file = Path(name.toUtf8().constData());
  try {
    TFileStream stream(file, static_cast<TFileMode>(mode));
    QFAIL("no exception");
  } catch (const EStreamError& e) {
    QCOMPARE(QString::fromStdString(e.Message), message.arg(QString::fromStdString(file)));
    QCOMPARE(dynamic_cast<const EFCreateError*>(&e) != nullptr, mode == fmCreate);
  }
  if (mode == fmOpenRead)
    QCOMPARE(ErrorOf<EFOpenError>([&] { ReadWholeFile(file); }), message.arg(QString::fromStdString(file)));
  else if (mode == fmCreate)
    QCOMPARE(ErrorOf<EFCreateError>([&] { WriteWholeFile(file, "x"); }), message.arg(QString::fromStdString(file)));
}

void TestFileIo::writeWholeFileReplaces() {
  const std::string file = Path("out.bin");
  WriteBytes(file, QByteArray(1000, 'o'));
  WriteWholeFile(file, std::string("new\0data", 8));
  QCOMPARE(ReadBytes(file), QByteArray("new\0data", 8));
  WriteWholeFile(file, "");
  QCOMPARE(ReadBytes(file), QByteArray());
}

void TestFileIo::fileExists() {
  QVERIFY(QDir(dir_->path()).mkpath("Sub/folder"));
  const std::string file = Path("Sub/File.bin");
  WriteBytes(file, "x");
  QVERIFY(::symlink("File.bin", Path("Sub/link").c_str()) == 0);
  QVERIFY(::symlink("nowhere", Path("Sub/dangling").c_str()) == 0);
  QVERIFY(FileExists(file));
  QVERIFY(FileExists(dir_->path().toStdString() + "\\SUB\\file.BIN"));
  QVERIFY(FileExists(Path("Sub/link")));
  QVERIFY(!FileExists(Path("Sub/dangling")));
  QVERIFY(!FileExists(Path("Sub/folder")));
  QVERIFY(!FileExists(Path("Sub/missing")));
  QVERIFY(!FileExists(""));
}

void TestFileIo::streamReadsAndSeeks() {
  const std::string file = Path("ten.bin");
  WriteBytes(file, "0123456789");
  TFileStream s(file, fmOpenRead);
  QCOMPARE(s.FileName(), file);
  QCOMPARE(s.Size(), int64_t{10});
  char buf[16] = {};
  s.ReadBuffer(buf, 4);
  QCOMPARE(std::string(buf, 4), std::string("0123"));
  QCOMPARE(s.Position(), int64_t{4});
  s.Seek(8);
  QCOMPARE(s.Read(buf, sizeof buf), size_t{2});
  QCOMPARE(std::string(buf, 2), std::string("89"));
  QCOMPARE(s.Read(buf, sizeof buf), size_t{0});
  QCOMPARE(s.Position(), int64_t{10});
  try {
    s.Seek(-1);
    QFAIL("no exception");
  } catch (const EInOutError& e) {
    QVERIFY(StartsWith(e.Message, "Seek error on " + file + ": "));
  }
}

void TestFileIo::shortReadNamesTheFile() {
  const std::string file = Path("short.bin");
  WriteBytes(file, "0123456789");
  TFileStream s(file, fmOpenRead);
  s.Seek(6);
  char buf[16];
  try {
    s.ReadBuffer(buf, 12);
    QFAIL("no exception");
  } catch (const EInOutError& e) {
    QVERIFY2(StartsWith(e.Message, "Read error on " + file + ": "), e.Message.c_str());
    QVERIFY2(e.Message.find("8 bytes short") != std::string::npos, e.Message.c_str());
  }
}

void TestFileIo::readWriteKeepsContent() {
  const std::string file = Path("rw.bin");
  WriteBytes(file, "0123456789");
  {
    TFileStream s(file, fmOpenReadWrite);
    s.Seek(3);
    s.WriteBuffer("abc", 3);
    QCOMPARE(s.Position(), int64_t{6});
    s.Seek(12);  // past the end: the gap reads as zeros
    s.WriteBuffer("Z", 1);
    s.Flush();
    s.Close();
    s.Close();  // a second close does nothing
  }
  QCOMPARE(ReadBytes(file), QByteArray("012abc6789\0\0Z", 13));
  {
    TFileStream s(file, fmCreate);
    QCOMPARE(s.Size(), int64_t{0});
  }
  QCOMPARE(ReadBytes(file), QByteArray());
}

void TestFileIo::writeToReadOnlyStreamFails() {
  const std::string file = Path("ro.bin");
  WriteBytes(file, "abc");
  TFileStream s(file, fmOpenRead);
  try {
    s.WriteBuffer("x", 1);
    QFAIL("no exception");
  } catch (const EInOutError& e) {
    QVERIFY(StartsWith(e.Message, "Write error on " + file + ": "));
    QCOMPARE(e.ErrorCode, EBADF);
  }
  QCOMPARE(ReadBytes(file), QByteArray("abc"));
}

void TestFileIo::writeLimitRaisesInsteadOfKilling() {
  const std::string file = Path("limited.bin");
  const int code = support::RunInChild([&](int) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
    TFileStream s(file, fmCreate);
    const std::string data(5000, 'd');
    try {
      s.WriteBuffer(data.data(), data.size());
    } catch (const EInOutError& e) {
      if (e.ErrorCode != EFBIG) return 4;
      return StartsWith(e.Message, "Write error on " + file + ": ") ? 0 : 2;
    }
    return 1;
  }).ExitCode;
  QCOMPARE(code, 0);
  QCOMPARE(ReadBytes(file).size(), 1000);
}

QTEST_GUILESS_MAIN(TestFileIo)
#include "tst_fileio.moc"
