// The pair as a run resolves it once: where each file is, and the names of the working files
// beside them.
#include <QDir>
#include <QTest>

#include <unistd.h>

#include "freeze_fixture.h"

using mirnax::TStaticsPair;

using namespace fixture;

namespace {
QString Text(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

class TestStaticsPair : public QObject, TFreezeWorkspace {
  Q_OBJECT

  // The row's text with %d for the folder.
  QString In(QString text) const { return text.replace("%d", dir_->path()); }

 private slots:
  void init() {
    Begin();
    QVERIFY(QDir(dir_->path()).mkpath("real") && QDir(dir_->path()).mkpath("sub"));
    Write(index_, "index");
    Write(data_, "data");
  }

  // setup: what else is on disk; the paths as configured; what they resolve to.
  void filesAndTheirTempNames_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("nativeIndex");
    QTest::addColumn<QString>("nativeData");
    QTest::addColumn<QString>("indexTemp");
    QTest::addColumn<QString>("dataTemp");
    QTest::addColumn<bool>("oneFolder");
    QTest::newRow("plain") << "" << "%d/staidx0.mul" << "%d/statics0.mul" << "%d/staidx0.mul"
                           << "%d/statics0.mul" << "%d/staidx0.xxx" << "%d/statics0.xxx" << true;
    QTest::newRow("relative to the current folder")
        << "cd" << "staidx0.mul" << "./statics0.mul" << "staidx0.mul" << "./statics0.mul" << "staidx0.xxx"
        << "./statics0.xxx" << true;
    QTest::newRow("a link relative to its folder")
        << "index link" << "%d/staidx0.mul" << "%d/statics0.mul" << "%d/real/idx.mul" << "%d/statics0.mul"
        << "%d/real/idx.xxx" << "%d/statics0.xxx" << false;
    QTest::newRow("a link to a link")
        << "data links" << "%d/staidx0.mul" << "%d/statics0.mul" << "%d/staidx0.mul" << "%d/real/dat.mul"
        << "%d/staidx0.xxx" << "%d/real/dat.xxx" << false;
    QTest::newRow("letter case as on disk") << "" << "%d/STAIDX0.MUL" << "%d/Statics0.Mul" << "%d/staidx0.mul"
                                            << "%d/statics0.mul" << "%d/staidx0.xxx" << "%d/statics0.xxx" << true;
    QTest::newRow("written with backslashes") << "backslashes" << "%d\\staidx0.mul" << "%d/statics0.mul"
                                              << "%d/staidx0.mul" << "%d/statics0.mul" << "%d/staidx0.xxx"
                                              << "%d/statics0.xxx" << true;
    QTest::newRow("a missing file keeps its spelling")
        << "" << "%d/STAIDX1.MUL" << "%d/statics0.mul" << "%d/STAIDX1.MUL" << "%d/statics0.mul" << "%d/STAIDX1.xxx"
        << "%d/statics0.xxx" << true;
    QTest::newRow("no extension") << "" << "%d/staidx0" << "%d/statics0.mul" << "%d/staidx0" << "%d/statics0.mul"
                                  << "%d/staidx0.xxx" << "%d/statics0.xxx" << true;
    QTest::newRow("a .xxx file left in another letter case")
        << "STAIDX0.XXX" << "%d/staidx0.mul" << "%d/statics0.mul" << "%d/staidx0.mul" << "%d/statics0.mul"
        << "%d/STAIDX0.XXX" << "%d/statics0.xxx" << true;
    QTest::newRow("one folder reached two ways")
        << "" << "%d/staidx0.mul" << "%d/sub/../statics0.mul" << "%d/staidx0.mul" << "%d/sub/../statics0.mul"
        << "%d/staidx0.xxx" << "%d/sub/../statics0.xxx" << true;
    QTest::newRow("two folders") << "" << "%d/staidx0.mul" << "%d/sub/statics0.mul" << "%d/staidx0.mul"
                                 << "%d/sub/statics0.mul" << "%d/staidx0.xxx" << "%d/sub/statics0.xxx" << false;
  }
  void filesAndTheirTempNames() {
    QFETCH(QString, setup);
    QFETCH(QString, index);
    QFETCH(QString, data);
    QFETCH(QString, nativeIndex);
    QFETCH(QString, nativeData);
    QFETCH(QString, indexTemp);
    QFETCH(QString, dataTemp);
    QFETCH(bool, oneFolder);
    if (setup == "index link") {
      QVERIFY(QFile::rename(index_, Path("real/idx.mul")) && QFile::link("real/idx.mul", index_));
    } else if (setup == "data links") {
      QVERIFY(QFile::rename(data_, Path("real/dat.mul")));
      QVERIFY(QFile::link(Path("real/dat.mul"), Path("statics0.lnk")) && QFile::link("statics0.lnk", data_));
    } else if (setup.endsWith(".XXX")) {
      Write(Path(setup), "left");
    }
    if (setup == "backslashes") index.replace("%d", QString(dir_->path()).replace('/', '\\'));
    const QString cwd = QDir::currentPath();
    if (setup == "cd") QVERIFY(QDir::setCurrent(dir_->path()));
    const TStaticsPair pair = Resolved(Std(In(index)), Std(In(data)));
    QDir::setCurrent(cwd);
    QVERIFY(pair.Given());
    QCOMPARE(Text(pair.Index.Given), In(index));
    QCOMPARE(Text(pair.Data.Given), In(data));
    QCOMPARE(Text(pair.Index.Native), In(nativeIndex));
    QCOMPARE(Text(pair.Data.Native), In(nativeData));
    QCOMPARE(Text(pair.Index.Temp), In(indexTemp));
    QCOMPARE(Text(pair.Data.Temp), In(dataTemp));
    QCOMPARE(pair.OneFolder, oneFolder);
  }

  // The working files live beside the index as the pair resolves it: beside a link's target, not
  // the link; each file's backup beside the file.
  void workingNames_data() {
    QTest::addColumn<bool>("link");
    QTest::newRow("the index itself") << false;
    QTest::newRow("the index through a link") << true;
  }
  void workingNames() {
    QFETCH(bool, link);
    if (link) QVERIFY(QFile::rename(index_, Path("real/idx.mul")) && QFile::link("real/idx.mul", index_));
    const QString i = link ? Path("real/idx.mul") : index_;
    const TStaticsPair pair = Pair();
    QCOMPARE(Text(pair.Journal), i + ".freeze");
    QCOMPARE(Text(pair.Lock), i + ".lock");
    QCOMPARE(Text(pair.BackupRecord), i + ".bak.freeze");
    QCOMPARE(Text(pair.FrozenRecord), i + ".frozen");
    QCOMPARE(Text(pair.FrozenRecordBackup), i + ".frozen.bak");
    QCOMPARE(Text(pair.Index.Backup), i + ".bak");
    QCOMPARE(Text(pair.Index.Folder), link ? Path("real") : dir_->path());
    QCOMPARE(Text(pair.Data.Backup), data_ + ".bak");
    QStringList names;
    for (const std::string& name : pair.WorkingNames()) names << Text(name);
    QCOMPARE(names, QStringList({i + ".freeze", i + ".lock", i + ".bak", data_ + ".bak", i + ".bak.freeze",
                                 i + ".frozen", i + ".frozen.bak"}));
  }

  // A working file a run finds is named as spelt on disk, so a journal left beside an index that is
  // configured in capitals (and moved away by the freeze that left it) is still found.
  void workingFilesFoundInAnotherLetterCase() {
    QVERIFY(QFile::rename(index_, Path("staidx0.xxx")));
    Write(index_ + ".freeze", "journal");
    Write(index_ + ".frozen", "record");
    const TStaticsPair pair = Resolved(Std(Path("STAIDX0.MUL")), Data());
    QCOMPARE(Text(pair.Index.Native), Path("STAIDX0.MUL"));
    QCOMPARE(Text(pair.Index.Temp), Path("staidx0.xxx"));
    QCOMPARE(Text(pair.Journal), index_ + ".freeze");
    QCOMPARE(Text(pair.FrozenRecord), index_ + ".frozen");
    QCOMPARE(Text(pair.Lock), Path("STAIDX0.MUL.lock"));  // looked up when it is taken
  }

  // An empty path names no file, and no working file either.
  void anEmptyPathNamesNothing() {
    const TStaticsPair pair = Resolved("", Data());
    QVERIFY(!pair.Given());
    QVERIFY(pair.Index.Native.empty() && pair.Index.Temp.empty() && pair.Index.Backup.empty());
    QVERIFY(pair.Journal.empty() && pair.Lock.empty() && pair.FrozenRecord.empty());
    QVERIFY(pair.WorkingNames().empty());
    QCOMPARE(Text(pair.Data.Native), data_);
  }

  // The pair resolved again after a recovery moved files finds them where they are now.
  void resolvedAgainAfterFilesMoved() {
    QVERIFY(QFile::rename(index_, Path("staidx0.xxx")));
    const TStaticsPair before = Resolved(Std(Path("STAIDX0.MUL")), Data());
    QVERIFY(QFile::rename(Path("staidx0.xxx"), index_));
    QCOMPARE(Text(before.Index.Native), Path("STAIDX0.MUL"));
    QCOMPARE(Text(before.Again().Index.Native), index_);
  }
};

QTEST_APPLESS_MAIN(TestStaticsPair)

#include "tst_statics_pair.moc"
