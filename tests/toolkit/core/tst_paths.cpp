#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <string>

#include "tests/support/file_helpers.h"
#include "toolkit/core/paths.h"

using mirnax::ChangeFileExt;
using mirnax::ExtractFileDir;
using mirnax::ExtractFileExt;
using mirnax::ExtractFileName;
using mirnax::GetCurrentDir;
using mirnax::IncludeTrailingPathDelimiter;
using mirnax::NativePath;
using mirnax::TFolderNames;
using mirnax::support::CurrentDir;
using mirnax::support::WriteBytes;

class TestPaths : public QObject {
  Q_OBJECT

 private slots:
  void extractFileDir_data();
  void extractFileDir();
  void extractFileNameAndExt_data();
  void extractFileNameAndExt();
  void changeFileExt_data();
  void changeFileExt();
  void includeTrailingPathDelimiter();
  void nativePathResolvesLetterCase();
  void nativePathRelative();
  void nativePathKeepsExistingNames();
};

void TestPaths::extractFileDir_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("dir");
  QTest::newRow("drive folder") << "C:\\game\\staidx0.mul" << "C:\\game";
  QTest::newRow("drive root") << "C:\\staidx0.mul" << "C:\\";
  QTest::newRow("posix folder") << "/a/b" << "/a";
  QTest::newRow("posix root") << "/b" << "/";
  QTest::newRow("name only") << "name" << "";
  QTest::newRow("drive relative") << "C:name" << "C:";
  QTest::newRow("mixed separators") << "C:\\game/statics\\a.scp" << "C:\\game/statics";
  QTest::newRow("relative folder") << "STATICS\\*.SCP" << "STATICS";
  QTest::newRow("trailing separator") << "C:\\game\\" << "C:\\game";
  QTest::newRow("empty") << "" << "";
}

void TestPaths::extractFileDir() {
  QFETCH(QString, path);
  QFETCH(QString, dir);
  QCOMPARE(QString::fromStdString(ExtractFileDir(path.toStdString())), dir);
}

void TestPaths::extractFileNameAndExt_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("ext");
  QTest::newRow("drive path") << "C:\\game\\staidx0.mul" << "staidx0.mul" << ".mul";
  QTest::newRow("dotted folder") << "/a.b/c" << "c" << "";
  QTest::newRow("two dots") << "x/a.tar.gz" << "a.tar.gz" << ".gz";
  QTest::newRow("drive relative") << "C:a.scp" << "a.scp" << ".scp";
  QTest::newRow("trailing dot") << "a." << "a." << ".";
  QTest::newRow("folder only") << "C:\\game\\" << "" << "";
}

void TestPaths::extractFileNameAndExt() {
  QFETCH(QString, path);
  QFETCH(QString, name);
  QFETCH(QString, ext);
  QCOMPARE(QString::fromStdString(ExtractFileName(path.toStdString())), name);
  QCOMPARE(QString::fromStdString(ExtractFileExt(path.toStdString())), ext);
}

void TestPaths::changeFileExt_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("result");
  QTest::newRow("index file") << "C:\\game\\staidx0.mul" << "C:\\game\\staidx0.xxx";
  QTest::newRow("data file") << "/srv/game/statics0.mul" << "/srv/game/statics0.xxx";
  QTest::newRow("no extension") << "C:\\game\\staidx0" << "C:\\game\\staidx0.xxx";
  QTest::newRow("dot in folder") << "/a.b/c" << "/a.b/c.xxx";
  QTest::newRow("dot in drive folder") << "C:\\v1.0\\staidx0" << "C:\\v1.0\\staidx0.xxx";
  QTest::newRow("two dots") << "a.b.mul" << "a.b.xxx";
  QTest::newRow("empty") << "" << ".xxx";
}

void TestPaths::changeFileExt() {
  QFETCH(QString, path);
  QFETCH(QString, result);
  QCOMPARE(QString::fromStdString(ChangeFileExt(path.toStdString(), ".xxx")), result);
}

void TestPaths::includeTrailingPathDelimiter() {
  QCOMPARE(IncludeTrailingPathDelimiter("/a"), std::string("/a/"));
  QCOMPARE(IncludeTrailingPathDelimiter("/a/"), std::string("/a/"));
  QCOMPARE(IncludeTrailingPathDelimiter("C:\\game\\"), std::string("C:\\game\\"));
}

namespace {
// Creates dir/Statics/Sub/File.SCP and returns dir with a trailing '/'.
std::string MakeTree(const QTemporaryDir& tmp) {
  QDir(tmp.path()).mkpath("Statics/Sub");
  WriteBytes(tmp.filePath("Statics/Sub/File.SCP").toStdString(), "x");
  return tmp.path().toStdString() + "/";
}
}  // namespace

void TestPaths::nativePathResolvesLetterCase() {
  QTemporaryDir tmp;
  const std::string base = MakeTree(tmp);
  QCOMPARE(NativePath(base + "STATICS\\sub\\FILE.scp"), base + "Statics/Sub/File.SCP");
  QCOMPARE(NativePath(base + "statics/SUB/file.scp"), base + "Statics/Sub/File.SCP");
  // A missing part ends the matching; what follows it stays as given.
  QCOMPARE(NativePath(base + "statics\\Missing\\sub"), base + "Statics/Missing/sub");
  QCOMPARE(NativePath(base + "STATICS\\sub\\"), base + "Statics/Sub/");
  // Only the last part spelled otherwise, and several names looked up in one folder's listing.
  TFolderNames listed;
  QCOMPARE(NativePath(base + "Statics/Sub/file.scp", &listed), base + "Statics/Sub/File.SCP");
  QCOMPARE(NativePath(base + "Statics/Sub/none.scp", &listed), base + "Statics/Sub/none.scp");
  QCOMPARE(NativePath(base + "Statics/Sub\\FILE.SCP", &listed), base + "Statics/Sub/File.SCP");
  // Several spellings side by side: the first in byte order, whatever order the folder lists them
  // in (made before and after it, so neither the first nor the last listed is it by chance).
  for (const char* other : {"sTatics", "STatICS", "statics", "StatIcs"}) QVERIFY(QDir(tmp.path()).mkdir(other));
  QVERIFY(QDir(tmp.path()).mkdir("STATIcs"));
  for (const char* other : {"statiCS", "stATICs"}) QVERIFY(QDir(tmp.path()).mkdir(other));
  QCOMPARE(NativePath(base + "STATICS"), base + "STATIcs");
}

void TestPaths::nativePathRelative() {
  QTemporaryDir tmp;
  MakeTree(tmp);
  CurrentDir cd(tmp.path());
  QCOMPARE(NativePath("STATICS\\SUB\\file.scp"), std::string("Statics/Sub/File.SCP"));
  QCOMPARE(NativePath("statics"), std::string("Statics"));
  QCOMPARE(GetCurrentDir(), QDir::currentPath().toStdString());
}

void TestPaths::nativePathKeepsExistingNames() {
  QTemporaryDir tmp;
  const std::string base = MakeTree(tmp);
  QCOMPARE(NativePath(""), std::string());
  QCOMPARE(NativePath(base + "Statics/Sub/File.SCP"), base + "Statics/Sub/File.SCP");
  // A POSIX name may hold a backslash; when it exists it is the file meant.
  WriteBytes(base + "a\\b", "y");
  QCOMPARE(NativePath(base + "a\\b"), base + "a\\b");
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
