#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "mirnax/version.h"
#include "tests/app/core/statics_fixture.h"

using namespace fixture;

namespace {
// The program is built into the folder of this test.
QString FreezeProgram() { return QFileInfo(QFile::symLinkTarget("/proc/self/exe")).absolutePath() + "/mirnax-freeze"; }

struct TResult {
  int exitCode = -1;
  QString out;
  QString err;
  QStringList lines() const {
    QStringList l = out.split('\n');
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
  }
};
}  // namespace

class TestMirnaxFreeze : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString workingDir_;  // where the program runs; the workspace unless set

  QString Path(const QString& name) const { return dir_->filePath(name); }

  TResult Run(const QStringList& args, qint64 fileSizeLimit = 0, const QString& output = {}) {
    QProcess p;
    p.setWorkingDirectory(workingDir_.isEmpty() ? dir_->path() : workingDir_);
    const bool closedPipe = output == "closed pipe";  // a pipe made in the child, not a file
    if (!output.isEmpty() && !closedPipe) p.setStandardOutputFile(output);
    p.setChildProcessModifier([fileSizeLimit, closedPipe] {
      if (fileSizeLimit > 0) {
        rlimit rl{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &rl);
      }
      if (closedPipe) {
        // A pipe whose reader is gone, with the signal that comes of writing to it at its default.
        int fds[2];
        if (::pipe(fds) != 0 || ::dup2(fds[1], STDOUT_FILENO) < 0) ::_exit(99);
        ::close(fds[0]);
        std::signal(SIGPIPE, SIG_DFL);
      }
    });
    p.start(FreezeProgram(), args);
    if (!p.waitForFinished(120000)) qFatal("mirnax-freeze did not finish");
    TResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
  }

  // The statics pair of the workspace, named in mirnax.ini: one old record in block 1.
  void MakeStatics(const QString& index = "staidx0.mul", const QString& data = "statics0.mul") {
    QByteArray bytes = EmptyIndex();
    SetEntry(bytes, 1, 0, 7);
    Write(Path(index), bytes);
    Write(Path(data), Record(5, 5, 5, 5, 5));
  }

  QStringList Snapshot() const { return fixture::Snapshot(dir_->path()); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    workingDir_.clear();
    QVERIFY(dir_->isValid() && QDir(dir_->path()).mkdir("STATICS"));
    Write(Path("mirnax.ini"), "[KEVOMIRNAX]\r\nStaidx0=" + Path("staidx0.mul").toUtf8() +
                                  "\r\nStatics0=statics0.mul\r\n");
  }

  void helpPrintsTheUsage() {
    const TResult r = Run({"--help"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith(
        "Usage: mirnax-freeze [--clear | --keep] [--area X1,Y1,X2,Y2] [--skip-duplicates] [--staidx FILE]\n"));
    // The folder pattern as this platform writes it, and where the files a run uses are.
    QVERIFY(r.out.contains("STATICS/*.SCP") && !r.out.contains('\\'));
    QVERIFY(r.out.contains("\nFiles:\n") && r.out.contains("mirnax.ini") && r.out.contains(".xxx") &&
            r.out.contains(".freeze"));
    QVERIFY(r.out.contains("3 the statics were frozen but the log could not be written"));
    QCOMPARE(r.err, QString());
  }

  void badArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("complaint");
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "mirnax-freeze: unknown option --bogus";
    QTest::newRow("short unknown option") << QStringList{"-x", "a.scp"} << "mirnax-freeze: unknown option -x";
    QTest::newRow("missing file name") << QStringList{"a.scp", "--staidx"}
                                       << "mirnax-freeze: option --staidx needs a file name";
    QTest::newRow("clear and keep") << QStringList{"--clear", "--keep"}
                                    << "mirnax-freeze: --clear and --keep exclude each other";
    QTest::newRow("undo with world files") << QStringList{"--undo", "a.scp"}
                                           << "mirnax-freeze: --undo takes no world files and no other option than --staidx and --statics";
  }
  void badArguments() {
    QFETCH(QStringList, args);
    QFETCH(QString, complaint);
    MakeStatics();
    Write(Path("a.scp"), WorldItem(1, 1, 1, 1));
    const auto before = Snapshot();
    const TResult r = Run(args);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.err, complaint + " (see mirnax-freeze --help)\n");  // one line; the usage only with --help
    QCOMPARE(r.out, QString());
    QCOMPARE(Snapshot(), before);
  }

  // Without world files: every file the window's Search lists, in its order; --keep by default;
  // the paths from mirnax.ini, which is never written.
  void defaultsTakeTheSearchListAndTheIniPaths() {
    MakeStatics();
    Write(Path("STATICS/b.scp"), WorldItem(2, 2, 2, 2));
    Write(Path("STATICS/A.SCP"), WorldItem(1, 1, 1, 1) + WorldItem(3, 1, 9, 0));
    Write(Path("STATICS/.hidden.scp"), WorldItem(9, 9, 9, 9));
    Write(Path("STATICS/notes.txt"), WorldItem(9, 9, 9, 9));
    QVERIFY(QDir(Path("STATICS")).mkdir("folder.scp"));
    const QByteArray ini = Read(Path("mirnax.ini"));
    const QDateTime iniTime = QFileInfo(Path("mirnax.ini")).lastModified();
    const TResult r = Run({});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines(), QStringList({"", "Loading ... A.SCP", "Parsing ... A.SCP", "The Worldfile contains ... 2 Items",
                                     "", "Loading ... b.scp", "Parsing ... b.scp", "The Worldfile contains ... 1 Items",
                                     "", "Start freezing.... OK", "Process finished"}));
    QCOMPARE(r.err, QString());  // no progress bar when stderr is no terminal
    QCOMPARE(Read(Path("statics0.mul")),
             Record(1, 1, 1, 1, 0) + Record(2, 2, 2, 2, 0) + Record(5, 5, 5, 5, 5) + Record(3, 1, 1, 0, 0));
    QCOMPARE(Read(Path("mirnax.ini")), ini);
    QCOMPARE(QFileInfo(Path("mirnax.ini")).lastModified(), iniTime);
    QVERIFY(QDir(dir_->path()).entryList({"*.xxx"}).isEmpty());
  }

  void clearWithPathsAsGiven() {
    MakeStatics();
    QVERIFY(QDir(dir_->path()).mkpath("other") && QDir(dir_->path()).mkpath("worlds"));
    MakeStatics("other/idx.mul", "other/dat.mul");
    Write(Path("worlds/x.scp"), WorldItem(7, 16, 0, 0));
    const auto ini = Snapshot();
    const TResult r = Run({"--clear", "--staidx", "other/idx.mul", "--statics=other/dat.mul", "worlds/x.scp"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines(), QStringList({"", "Loading ... worlds/x.scp", "Parsing ... worlds/x.scp",
                                     "The Worldfile contains ... 1 Items", "", "Clean statics.... OK", "",
                                     "Start freezing.... OK", "Process finished"}));
    QCOMPARE(Read(Path("other/dat.mul")), Record(7, 0, 0, 0, 0));
    QByteArray index = EmptyIndex();
    SetEntry(index, 1024, 0, 7);
    QCOMPARE(Read(Path("other/idx.mul")), index);
    QCOMPARE(Snapshot(), ini);  // the pair named in mirnax.ini is untouched
  }

  // --undo puts back the pair the last freeze replaced, byte for byte; after a freeze with
  // --no-backup the files are not those the backup's freeze wrote, and it says so.
  void undoPutsThePreviousStaticsBack() {
    MakeStatics();
    Write(Path("a.scp"), WorldItem(7, 16, 0, 0));
    const QByteArray index = Read(Path("staidx0.mul")), data = Read(Path("statics0.mul"));
    QCOMPARE(Run({"a.scp"}).exitCode, 0);
    QVERIFY(Read(Path("statics0.mul")) != data);
    TResult r = Run({"--undo"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, "The statics from before the last freeze were put back as " + Path("staidx0.mul") +
                        " and statics0.mul.\n");  // as mirnax.ini names them
    QCOMPARE(Read(Path("staidx0.mul")), index);
    QCOMPARE(Read(Path("statics0.mul")), data);

    // The undo forgot that a.scp was frozen; frozen twice after it, the terminal says so on stderr
    // with the way back, and the run goes on.
    QCOMPARE(Run({"a.scp"}).err, QString());
    const TResult again = Run({"--no-backup", "a.scp"});
    QCOMPARE(again.exitCode, 0);
    QVERIFY2(again.err.startsWith("mirnax-freeze: a.scp was frozen into these statics before, on "), qPrintable(again.err));
    QVERIFY(again.err.contains("mirnax-freeze --undo"));
    const auto before = Snapshot();
    r = Run({"--undo"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("are not the ones the last freeze wrote"), qPrintable(r.err));
    QCOMPARE(Snapshot(), before);
  }

  // The undo finds the files of a freeze run in another folder, whatever paths each was given.
  void undoFromAnotherFolder() {
    MakeStatics();
    Write(Path("a.scp"), WorldItem(7, 16, 0, 0));
    const QByteArray index = Read(Path("staidx0.mul")), data = Read(Path("statics0.mul"));
    QCOMPARE(Run({"a.scp"}).exitCode, 0);  // the data file relative to the workspace
    QVERIFY(QDir(dir_->path()).mkdir("elsewhere"));
    workingDir_ = Path("elsewhere");
    const TResult r = Run({"--undo", "--staidx", "../staidx0.mul", "--statics", "../statics0.mul"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(Read(Path("staidx0.mul")), index);
    QCOMPARE(Read(Path("statics0.mul")), data);
  }

  // After "--" every argument is a world file, even one that looks like an option.
  void doubleDashEndsTheOptions() {
    MakeStatics();
    Write(Path("--clear"), WorldItem(7, 16, 0, 0));
    const TResult r = Run({"--", "--clear"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines().mid(0, 4), QStringList({"", "Loading ... --clear", "Parsing ... --clear",
                                               "The Worldfile contains ... 1 Items"}));
    QCOMPARE(Read(Path("statics0.mul")), Record(5, 5, 5, 5, 5) + Record(7, 0, 0, 0, 0));  // kept, not cleared
  }

  void noItemsIsNoError() {
    MakeStatics();
    Write(Path("STATICS/empty.scp"), "// nothing saved yet\r\n");
    const auto before = Snapshot();
    const TResult r = Run({});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.lines().last(), QString("No items found"));
    QCOMPARE(Snapshot(), before);
  }

  // A run that could do nothing says why on one line and fails before anything is read or written.
  void nothingToDoFails_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ini");  // false: no mirnax.ini
    QTest::addColumn<QString>("error");
    QTest::newRow("no world files here") << QStringList{} << true
                                         << "mirnax-freeze: no world files: none given and none matches STATICS/*.SCP in ";
    QTest::newRow("no statics paths") << QStringList{"a.scp"} << false << "mirnax-freeze: no statics index path: ";
    QTest::newRow("only the index given") << QStringList{"--staidx", "i.mul", "a.scp"} << false
                                          << "mirnax-freeze: no statics data path: ";
  }
  void nothingToDoFails() {
    QFETCH(QStringList, args);
    QFETCH(bool, ini);
    QFETCH(QString, error);
    MakeStatics();
    if (!ini) QVERIFY(QFile::remove(Path("mirnax.ini")));
    Write(Path("a.scp"), WorldItem(1, 1, 1, 1));
    const auto before = Snapshot();
    const TResult r = Run(args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.startsWith(error) && r.err.count('\n') == 1, qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(Snapshot(), before);
  }

  void versionIsTheBuildsVersion() {
    const TResult r = Run({"--version"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString("mirnax-freeze " MIRNAX_VERSION "\n"));
  }

  void errorsStopWithTheirMessage_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("arg");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("position that is no number") << "P=5,6" << "STATICS/bad.scp" << "mirnax-freeze: '' is not a valid integer value\n"
                                                << "Error in STATICS/bad.scp, line 2";
    QTest::newRow("missing world file") << "missing" << "STATICS/bad.scp"
                                        << "mirnax-freeze: STATICS/bad.scp: No such file or directory\n" << "";
    QTest::newRow("empty world file name is a name as given") << "good" << ""
                                                              << "mirnax-freeze: : No such file or directory\n" << "";
    QTest::newRow("leftover of an interrupted freeze")
        << "leftover" << "STATICS/bad.scp" << "mirnax-freeze: The file %1 is left from a freeze that did not finish"
        << "Start freezing....";
  }
  void errorsStopWithTheirMessage() {
    QFETCH(QString, setup);
    QFETCH(QString, arg);
    QFETCH(QString, error);
    QFETCH(QString, lastLine);
    MakeStatics();
    if (setup != "missing")
      Write(Path("STATICS/bad.scp"), setup == "P=5,6" ? "[WORLDITEM 0001]\r\nP=5,6\r\n\r\n" : WorldItem(1, 1, 1, 1));
    if (setup == "leftover") Write(Path("statics0.xxx"), "previous data");
    const auto before = Snapshot();
    const TResult r = Run({arg});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.startsWith(error.replace("%1", "statics0.xxx")), qPrintable(r.err));  // as mirnax.ini names it
    // A world file that cannot be read is refused before the run logs anything.
    QCOMPARE(r.lines().isEmpty() ? QString() : r.lines().last(), lastLine);
    QCOMPARE(Snapshot(), before);
  }

  // A log nobody can take (a pipe whose reader is gone, a full disk) does not stop the run: the
  // statics are frozen, then the program says so and ends with a status of its own, 3, never 1
  // (stopped, statics restored), which a script might answer with a second freeze.
  void logWriteFailuresAreReportedAfterTheRun_data() {
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("reason");
    QTest::newRow("closed pipe") << "closed pipe" << "Broken pipe";
    QTest::newRow("full device") << "/dev/full" << "No space left on device";
  }
  void logWriteFailuresAreReportedAfterTheRun() {
    QFETCH(QString, output);
    QFETCH(QString, reason);
    MakeStatics();
    Write(Path("STATICS/a.scp"), WorldItem(7, 16, 0, 0));
    const TResult r = Run({"--clear"}, 0, output);
    QCOMPARE(r.exitCode, 3);
    QCOMPARE(r.err, "mirnax-freeze: the statics were frozen, but the log could not be written to standard output: " +
                        reason + "\n");
    QCOMPARE(Read(Path("statics0.mul")), Record(7, 0, 0, 0, 0));
    QVERIFY(QDir(dir_->path()).entryList({"*.xxx", "*.mul.freeze"}).isEmpty());
  }

  // With stderr on a terminal the progress bar is drawn there: each line's label, the step's bar
  // and both percentages, full at the end, and the line cleared before the program ends. The log
  // on stdout (a pipe) stays plain.
  void progressBarOnATerminal() {
    MakeStatics();
    Write(Path("STATICS/a.scp"), WorldItem(7, 16, 0, 0));
    int out[2];
    QVERIFY(::pipe(out) == 0);
    int master = -1;
    const QByteArray program = FreezeProgram().toLocal8Bit();
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    QVERIFY(pid >= 0);
    if (pid == 0) {
      ::close(out[0]);
      if (::dup2(out[1], STDOUT_FILENO) < 0 || ::chdir(qPrintable(dir_->path())) != 0) ::_exit(99);
      ::execl(program.constData(), program.constData(), "--clear", static_cast<char*>(nullptr));
      ::_exit(98);
    }
    ::close(out[1]);
    QByteArray terminal;
    char buf[4096];
    ssize_t n;
    // The terminal ends with an error (EIO) once the program has closed it.
    while ((n = ::read(master, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
      if (n > 0) terminal.append(buf, n);
    ::close(master);
    QByteArray log;
    while ((n = ::read(out[0], buf, sizeof buf)) > 0) log.append(buf, n);
    ::close(out[0]);
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, terminal.constData());
    QCOMPARE(log, QByteArray("\nLoading ... a.scp\nParsing ... a.scp\nThe Worldfile contains ... 1 Items\n\n"
                             "Clean statics.... OK\n\nStart freezing.... OK\nProcess finished\n"));
    const QByteArray full = QByteArray("Start freezing.... OK").leftJustified(36, ' ') + " [" +
                            QByteArray(30, '#') + "] 100%  total 100%\033[K";
    QVERIFY2(terminal.contains("\r" + full), terminal.constData());
    QVERIFY2(terminal.contains("\rLoading ... a.scp"), terminal.constData());
    QVERIFY2(terminal.endsWith("\r\033[K"), terminal.constData());
    QVERIFY(!terminal.contains("Process finished\n"));
  }

  // Only plain files are read: a pipe as the world file, the index or mirnax.ini would wait for a
  // writer forever, a device like /dev/zero never ends. Each is refused at once, touching nothing.
  void onlyPlainFilesAreRead_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");
    QTest::newRow("pipe as world file") << QStringList{"STATICS/pipe"} << "Cannot open file STATICS/pipe: it is not a "
                                                                          "regular file";
    QTest::newRow("device as world file") << QStringList{"/dev/zero"} << "Cannot open file /dev/zero: it is not a "
                                                                          "regular file";
    QTest::newRow("pipe as index") << QStringList{"--staidx", "STATICS/pipe", "STATICS/a.scp"}
                                   << "Cannot open file STATICS/pipe: it is not a regular file";
  }
  void onlyPlainFilesAreRead() {
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    MakeStatics();
    Write(Path("STATICS/a.scp"), WorldItem(1, 1, 1, 1));
    QVERIFY(::mkfifo(qPrintable(Path("STATICS/pipe")), 0600) == 0);
    const auto before = Snapshot();
    const TResult r = Run(args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(error), qPrintable(r.err));
    QCOMPARE(Snapshot(), before);
  }

  // Before the freeze (here: while a large world file is read) a signal ends the program as it
  // always does.
  void aSignalBeforeTheFreezeEndsTheProgram() {
    MakeStatics();
    QByteArray world;
    for (int i = 0; i < 400000; ++i) world += WorldItem(1, i % 6000, i % 4000, 0);
    Write(Path("STATICS/a.scp"), world);
    const auto before = Snapshot();
    QProcess p;
    p.setWorkingDirectory(dir_->path());
    p.start(FreezeProgram(), {"--clear", "STATICS/a.scp"});
    QVERIFY(p.waitForStarted());
    // "Loading ..." is written once the parse has begun.
    while (!p.readAllStandardOutput().contains("Loading") && p.state() == QProcess::Running) p.waitForReadyRead(100);
    p.terminate();
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::CrashExit);
    QCOMPARE(Snapshot(), before);
  }

  // The file size limit makes a write fail halfway through the new index; the program must not die
  // of the signal that comes with it, and puts the previous files back.
  void writeLimitPutsTheFilesBack() {
    MakeStatics();
    Write(Path("STATICS/a.scp"), WorldItem(1, 1, 1, 1));
    const auto before = Snapshot();
    const TResult r = Run({}, 1 << 20);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("File too large") && r.err.contains("put back as they were"), qPrintable(r.err));
    QCOMPARE(r.lines().last(), QString("Start freezing...."));
    QCOMPARE(Snapshot(), before);
  }
};

QTEST_APPLESS_MAIN(TestMirnaxFreeze)
#include "tst_mirnax_freeze.moc"
