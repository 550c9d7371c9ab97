#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/app/core/statics_fixture.h"

using namespace fixture;

namespace {
constexpr int SmallBlocks = 8 * 5;  // a map of 64x40 tiles

struct TLookResult {
  int exitCode = -1;
  QString out, err;
};

// Every file of the folder with its bytes, mode and modification time to the nanosecond.
QStringList FilesAndTimes(const QString& dir) {
  QStringList files = Snapshot(dir);
  for (QString& f : files) {
    struct stat st {};
    ::stat(qPrintable(dir + "/" + f.section(' ', 0, 0)), &st);
    f += QString(", modified %1.%2").arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec);
  }
  return files;
}
}  // namespace

// --map-size and MapSize=, --check and --dry-run of mirnax-freeze, run as a user runs them.
class TestFreezeLook : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;

  QString Path(const QString& name) const { return dir_->filePath(name); }

  // With asNobody, a process that root would run drops to the user nobody first, so that a
  // read-only folder is read-only for it too.
  TLookResult Run(const QStringList& args, bool asNobody = false) {
    QProcess p;
    p.setWorkingDirectory(dir_->path());
    p.setChildProcessModifier([asNobody] {
      if (asNobody && ::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(99);
    });
    p.start(QFileInfo(QFile::symLinkTarget("/proc/self/exe")).absolutePath() + "/mirnax-freeze", args);
    if (!p.waitForFinished(120000)) qFatal("mirnax-freeze did not finish");
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
  }

  // The pair of a 64x40 map named in mirnax.ini (with mapSize as MapSize= when given): one old
  // record in block 1.
  void MakeSmallPair(const QByteArray& mapSize = {}) {
    QByteArray index;
    for (int b = 0; b < SmallBlocks; ++b) index += Entry(-1, -1);
    SetEntry(index, 1, 0, 7);
    Write(Path("idx.mul"), index);
    Write(Path("dat.mul"), Record(5, 5, 5, 5, 5));
    Write(Path("mirnax.ini"), "[KEVOMIRNAX]\r\nStaidx0=idx.mul\r\nStatics0=dat.mul\r\n" +
                                  (mapSize.isEmpty() ? QByteArray() : "MapSize=" + mapSize + "\r\n"));
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    Write(Path("w.scp"), WorldItem(1, 63, 39, 0) + WorldItem(2, 8, 9, 1) + WorldItem(3, 64, 0, 0));
  }
  void cleanup() { ::chmod(qPrintable(dir_->path()), 0700); }

  // The map size from the option or from mirnax.ini, which stays unwritten; both freeze alike.
  void mapSizeFromOptionOrIni() {
    MakeSmallPair();
    const TLookResult wrong = Run({"w.scp"});
    QCOMPARE(wrong.exitCode, 1);
    QVERIFY2(wrong.err.contains("480 bytes long: 40 blocks.") && wrong.err.contains("map of 6144x4096 tiles"),
             qPrintable(wrong.err));
    QCOMPARE(Run({"--map-size", "64x40", "w.scp"}).exitCode, 0);
    const QByteArray index = Read(Path("idx.mul")), data = Read(Path("dat.mul"));
    QCOMPARE(index.size(), SmallBlocks * EntrySize);
    QCOMPARE(EntryAt(index, 1 * 5 + 1), Entry(7, 7));
    QCOMPARE(EntryAt(index, SmallBlocks - 1), Entry(14, 7));
    QCOMPARE(data, Record(5, 5, 5, 5, 5) + Record(2, 0, 1, 1, 0) + Record(1, 7, 7, 0, 0));

    MakeSmallPair("64x40");
    const QByteArray ini = Read(Path("mirnax.ini"));
    const TLookResult r = Run({"w.scp"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("Skipped 1 items outside the map"));
    QCOMPARE(Read(Path("idx.mul")), index);
    QCOMPARE(Read(Path("dat.mul")), data);
    QCOMPARE(Read(Path("mirnax.ini")), ini);
  }

  // The default map given as a size freezes exactly as no size at all.
  void defaultMapGivenOrNot() {
    QByteArray index = EmptyIndex();
    SetEntry(index, 1, 0, 7);
    for (const char* prefix : {"a", "b"}) {
      Write(Path(QString(prefix) + "idx.mul"), index);
      Write(Path(QString(prefix) + "dat.mul"), Record(5, 5, 5, 5, 5));
    }
    QCOMPARE(Run({"--staidx=aidx.mul", "--statics=adat.mul", "w.scp"}).exitCode, 0);
    QCOMPARE(Run({"--map-size=6144x4096", "--staidx=bidx.mul", "--statics=bdat.mul", "w.scp"}).exitCode, 0);
    QCOMPARE(Read(Path("bidx.mul")), Read(Path("aidx.mul")));
    QCOMPARE(Read(Path("bdat.mul")), Read(Path("adat.mul")));
  }

  void badSizes() {
    MakeSmallPair("64x41");
    const auto before = FilesAndTimes(dir_->path());
    TLookResult r = Run({"w.scp"});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, "mirnax-freeze: " + Path("mirnax.ini") +
                        ", key MapSize: '64x41' is not a map size: give WIDTHxHEIGHT in tiles, each a multiple of 8 "
                        "from 8 to 32768 (6144x4096 by default)\n");
    r = Run({"--map-size", "64", "w.scp"});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.startsWith("mirnax-freeze: --map-size: '64' is not a map size"), qPrintable(r.err));
    QCOMPARE(Run({"--map-size"}).err, "mirnax-freeze: option --map-size needs a size, WIDTHxHEIGHT (see mirnax-freeze --help)\n");
    for (const QStringList& args : {QStringList{"--check", "w.scp"}, {"--check", "--clear"}, {"--check", "--dry-run"},
                                    {"--dry-run", "--undo"}})
      QCOMPARE(Run(args).exitCode, 2);
    QCOMPARE(FilesAndTimes(dir_->path()), before);
  }

  // --area takes the items inside it, says per world file how many it left out, and goes with a
  // freeze or a dry run only.
  void areaTakesItsItemsOnly() {
    MakeSmallPair("64x40");
    const TLookResult dry = Run({"--dry-run", "--area", "8,0,63,20", "w.scp"});
    QCOMPARE(dry.exitCode, 0);
    QVERIFY2(dry.out.contains("The Worldfile contains ... 1 Items\nSkipped 1 items outside the map\n"
                              "Left out 1 items outside the area 8,0,63,20\n"),
             qPrintable(dry.out));
    QCOMPARE(Run({"--area=8,0,63,20", "w.scp"}).exitCode, 0);
    QCOMPARE(Read(Path("dat.mul")), Record(5, 5, 5, 5, 5) + Record(2, 0, 1, 1, 0));
    const auto before = FilesAndTimes(dir_->path());
    for (const QStringList& args : {QStringList{"--area", "8,0,64,20", "w.scp"}, {"--area", "9,0,8,1", "w.scp"},
                                    {"--area", "1,2,3", "w.scp"}, {"--area"}, {"--undo", "--area", "0,0,1,1"},
                                    {"--check", "--area", "0,0,1,1"}, {"--undo", "--skip-duplicates"},
                                    {"--check", "--skip-duplicates"}}) {
      const TLookResult r = Run(args);
      QCOMPARE(r.exitCode, 2);
      QVERIFY2(r.err.count('\n') == 1 && r.err.endsWith("(see mirnax-freeze --help)\n"), qPrintable(r.err));
    }
    QCOMPARE(FilesAndTimes(dir_->path()), before);
  }

  // --unfreeze --copy writes the area's statics as a world file and leaves the pair; the file is
  // replaced only with --force; options that do not go with it are refused before anything.
  void unfreezeCopiesTheArea() {
    MakeSmallPair("64x40");
    const auto pair = [&] { return Read(Path("idx.mul")) + Read(Path("dat.mul")); };
    const QByteArray before = pair();
    TLookResult r = Run({"--unfreeze", "--copy", "--area", "0,8,7,15", "--out", "out.scp"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString("Reading the statics of the area 0,8,7,15 ...\n"
                            "1 statics of 1 blocks written to out.scp; the statics files are left as they are.\n"));
    QCOMPARE(Read(Path("out.scp")), QByteArray("[WORLDITEM 0005]\r\nSERIAL=040001\r\nID=0005\r\nCOLOR=0005\r\n"
                                              "P=5,13,5\r\n\r\n"));
    QCOMPARE(pair(), before);
    Write(Path("out.scp"), "mine");
    r = Run({"--unfreeze", "--copy", "--area", "0,8,7,15", "--out", "out.scp"});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, QString("mirnax-freeze: The file out.scp exists; give --force to replace it.\n"));
    QCOMPARE(Read(Path("out.scp")), QByteArray("mine"));
    QCOMPARE(Run({"--unfreeze", "--copy", "--force", "--area", "0,8,7,15", "--out", "out.scp"}).exitCode, 0);
    QVERIFY(Read(Path("out.scp")).startsWith("[WORLDITEM 0005]"));
    const auto files = FilesAndTimes(dir_->path());
    for (const QStringList& args :
         {QStringList{"--unfreeze", "--copy", "--out", "x.scp"}, {"--unfreeze", "--copy", "--area", "0,0,1,1"},
          {"--unfreeze", "--area", "0,0,64,1", "--out", "x.scp"}, {"--out", "x.scp", "w.scp"}, {"--copy"},
          {"--unfreeze", "--copy", "--area", "0,0,1,1", "--out", "x.scp", "w.scp"},
          {"--unfreeze", "--copy", "--clear", "--area", "0,0,1,1", "--out", "x.scp"},
          {"--unfreeze", "--copy", "--skip-duplicates", "--area", "0,0,1,1", "--out", "x.scp"},
          {"--unfreeze", "--copy", "--undo", "--area", "0,0,1,1", "--out", "x.scp"},
          {"--unfreeze", "--copy", "--area", "1,0,0,1", "--out", "x.scp"}}) {
      r = Run(args);
      QCOMPARE(r.exitCode, 2);
      QVERIFY2(r.err.count('\n') == 1 && r.err.endsWith("(see mirnax-freeze --help)\n"), qPrintable(r.err));
    }
    QCOMPARE(FilesAndTimes(dir_->path()), files);
  }

  // The operator's cycle: an area's statics taken out to a world file, then frozen back with
  // --keep, leaves the statics as they were; an undo of the unfreeze puts them back and leaves the
  // world file where it is.
  void unfreezeAndFreezeBack() {
    MakeSmallPair("64x40");
    const auto pair = [&] { return Read(Path("idx.mul")) + Read(Path("dat.mul")); };
    const QByteArray before = pair();
    TLookResult r = Run({"--unfreeze", "--area", "0,8,7,15", "--out", "out.scp"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString("Taking the statics of the area 0,8,7,15 out of the statics files ...\n"
                            "1 statics left the statics files, from 1 blocks; they are written to out.scp.\n"));
    QCOMPARE(Read(Path("dat.mul")), QByteArray());
    const QByteArray world = Read(Path("out.scp"));
    QVERIFY(world.startsWith("[WORLDITEM 0005]"));
    r = Run({"--undo"});
    QCOMPARE(r.out, "The statics from before the last unfreeze were put back as idx.mul and dat.mul. The world file " +
                        Path("out.scp") + " that the unfreeze wrote is left where it is.\n");
    QCOMPARE(pair(), before);
    QCOMPARE(Run({"--unfreeze", "--force", "--area", "0,8,7,15", "--out", "out.scp"}).exitCode, 0);
    r = Run({"--keep", "out.scp"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(pair(), before);
    QCOMPARE(Read(Path("out.scp")), world);
  }

  // 0 for a whole pair, 4 for an inconsistent one, 1 for one that cannot be read.
  void checkExitStatus() {
    MakeSmallPair("64x40");
    TLookResult r = Run({"--check"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString("Statics index file idx.mul: 40 entries (a map of 64x40 tiles has 40)\n"
                            "Statics data file dat.mul: 7 bytes\n"
                            "1 blocks with statics, 1 statics\n"
                            "The statics files are consistent.\n"));
    QByteArray index = Read(Path("idx.mul"));
    SetEntry(index, 2, 0, 7);  // shares block 1's record
    Write(Path("idx.mul"), index);
    r = Run({"--check"});
    QCOMPARE(r.exitCode, 4);
    QVERIFY2(r.out.contains("\nFault: Blocks 1 and 2 share data: bytes 0 to 6 of the data file belong to both.\n") &&
                 r.out.endsWith("The statics files are not consistent: 1 faults.\n"),
             qPrintable(r.out));
    QVERIFY(QFile::remove(Path("dat.mul")));
    r = Run({"--check"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.startsWith("mirnax-freeze: Cannot open file dat.mul"), qPrintable(r.err));
  }

  // A dry run leaves every file's bytes and times as they were.
  void dryRunTouchesNothing() {
    MakeSmallPair("64x40");
    const auto before = FilesAndTimes(dir_->path());
    const TLookResult r = Run({"--dry-run", "--clear", "w.scp"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains("\nA freeze would clear the current statics and write 2 items into 2 blocks.\n"),
             qPrintable(r.out));
    QCOMPARE(FilesAndTimes(dir_->path()), before);
  }

  // In a folder the process cannot write, the check works as anywhere, and the dry run says all a
  // freeze would do before it says why the freeze would stop there. Neither leaves a lock.
  void readOnlyFolder() {
    MakeSmallPair("64x40");
    for (const char* f : {"idx.mul", "dat.mul", "w.scp", "mirnax.ini"}) QVERIFY(::chmod(qPrintable(Path(f)), 0444) == 0);
    QVERIFY(::chmod(qPrintable(dir_->path()), 0555) == 0);
    const auto before = FilesAndTimes(dir_->path());
    TLookResult r = Run({"--check"}, true);
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.endsWith("The statics files are consistent.\n"));
    r = Run({"--dry-run", "w.scp"}, true);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.out.contains("Statics data file dat.mul: 7 bytes now, 21 bytes after the freeze.\n"), qPrintable(r.out));
    QVERIFY2(r.err.startsWith("mirnax-freeze: A freeze would stop: Cannot create file idx.mul"), qPrintable(r.err));
    QCOMPARE(FilesAndTimes(dir_->path()), before);
  }
};

QTEST_APPLESS_MAIN(TestFreezeLook)
#include "tst_freeze_look.moc"
