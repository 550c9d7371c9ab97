#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/file_helpers.h"
#include "toolkit/core/filesearch.h"

using mirnax::FindFiles;
using mirnax::MatchesMask;
using mirnax::support::CurrentDir;
using mirnax::support::WriteBytes;

namespace {
using Names = std::vector<std::string>;
}  // namespace

class TestFileSearch : public QObject {
  Q_OBJECT

 private slots:
  void matchesMask_data();
  void matchesMask();
  void findsPlainVisibleFiles_data();
  void findsPlainVisibleFiles();
  void noFolderNoNames();
  void absoluteFolder();
  void starDotStarListsEveryFile();
};

void TestFileSearch::matchesMask_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("mask");
  QTest::addColumn<bool>("matches");
  QTest::newRow("extension any case") << "a.scp" << "*.SCP" << true;
  QTest::newRow("mixed case") << "World.Scp" << "*.scp" << true;
  QTest::newRow("other extension") << "a.txt" << "*.SCP" << false;
  QTest::newRow("longer extension") << "a.scpx" << "*.SCP" << false;
  QTest::newRow("extension only") << ".scp" << "*.SCP" << true;
  QTest::newRow("no dot") << "scp" << "*.SCP" << false;
  QTest::newRow("star matches empty") << "abc" << "abc*" << true;
  QTest::newRow("star everything") << "anything.at.all" << "*" << true;
  QTest::newRow("star empty name") << "" << "*" << true;
  QTest::newRow("empty mask") << "a" << "" << false;
  QTest::newRow("question one char") << "a1.scp" << "a?.scp" << true;
  QTest::newRow("question not zero chars") << "a.scp" << "a?.scp" << false;
  QTest::newRow("backtracking") << "abcabcabd" << "*abd" << true;
  QTest::newRow("backtracking fails") << "abcabcabc" << "*abd" << false;
  QTest::newRow("two stars") << "x.y.z" << "*.*" << true;
  QTest::newRow("star in the name") << "a*b" << "*b" << true;
  QTest::newRow("mask star against star") << "*x" << "*" << true;
  QTest::newRow("mask star then name star") << "*x" << "*x" << true;
  QTest::newRow("literal high bytes") << QString::fromUtf8("mir\u00e9.scp") << QString::fromUtf8("MIR\u00e9.*") << true;
}

void TestFileSearch::matchesMask() {
  QFETCH(QString, name);
  QFETCH(QString, mask);
  QFETCH(bool, matches);
  QCOMPARE(MatchesMask(name.toStdString(), mask.toStdString()), matches);
}

void TestFileSearch::findsPlainVisibleFiles_data() {
  QTest::addColumn<QString>("folder");
  QTest::newRow("lower case folder") << "statics";
  QTest::newRow("capitalised folder") << "Statics";
  QTest::newRow("folder as written") << "STATICS";
}

void TestFileSearch::findsPlainVisibleFiles() {
  QFETCH(QString, folder);
  QTemporaryDir tmp;
  QDir root(tmp.path());
  QVERIFY(root.mkdir(folder));
  const std::string dir = root.filePath(folder).toStdString() + "/";
  for (const char* name : {"b.scp", "A.SCP", "c.Scp", ".hidden.scp", "e.txt", "target.bin"})
    WriteBytes(dir + name, "x");
  QVERIFY(root.mkdir(folder + "/d.scp"));
  QVERIFY(::symlink("target.bin", (dir + "link.scp").c_str()) == 0);
  QVERIFY(::symlink("nowhere.bin", (dir + "dangling.scp").c_str()) == 0);

  CurrentDir cd(tmp.path());
  QCOMPARE(FindFiles("STATICS\\*.SCP"), (Names{"A.SCP", "b.scp", "c.Scp", "link.scp"}));
  QCOMPARE(FindFiles("statics/?.scp"), (Names{"A.SCP", "b.scp", "c.Scp"}));
  QCOMPARE(FindFiles("STATICS\\*.none"), Names{});
}

void TestFileSearch::noFolderNoNames() {
  QTemporaryDir tmp;
  CurrentDir cd(tmp.path());
  QCOMPARE(FindFiles("STATICS\\*.SCP"), Names{});
  // A file where the folder should be is no folder either.
  WriteBytes(tmp.filePath("STATICS").toStdString(), "x");
  QCOMPARE(FindFiles("STATICS\\*.SCP"), Names{});
}

void TestFileSearch::absoluteFolder() {
  QTemporaryDir tmp;
  QDir(tmp.path()).mkdir("Statics");
  WriteBytes(tmp.filePath("Statics/one.scp").toStdString(), "x");
  WriteBytes(tmp.filePath("top.scp").toStdString(), "x");
  QCOMPARE(FindFiles(tmp.path().toStdString() + "\\STATICS\\*.scp"), Names{"one.scp"});
  CurrentDir cd(tmp.path());
  QCOMPARE(FindFiles("*.SCP"), Names{"top.scp"});
}

void TestFileSearch::starDotStarListsEveryFile() {
  QTemporaryDir tmp;
  for (const char* name : {"staidx0", "statics0.mul", "a.b.c", ".hidden"})
    WriteBytes(tmp.filePath(name).toStdString(), "x");
  QCOMPARE(FindFiles(tmp.path().toStdString() + "/*.*"), (Names{"a.b.c", "staidx0", "statics0.mul"}));
}

QTEST_GUILESS_MAIN(TestFileSearch)
#include "tst_filesearch.moc"
