// The lock of a statics pair: a lock file that cannot be taken stops the run at once, naming the
// lock file and the reason, instead of letting it go on unlocked or wait forever.
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include "freeze_fixture.h"
#include "toolkit/core/exceptions.h"

using mirnax::Exception;
using mirnax::TBlockStore;
using mirnax::support::ErrorOf;

using namespace fixture;

class TestStaticsLock : public QObject, TFreezeWorkspace {
  Q_OBJECT

  QString Lock() const { return index_ + ".lock"; }

  // The freeze of store in a child, as an ordinary user when the tests run as root (so that
  // permissions hold); with limit, under that file size limit. The child's output is the freeze's
  // error, or "frozen". A freeze that hangs is ended after ten seconds.
  mirnax::support::TChildResult FreezeInChild(const TBlockStore& store, rlim_t limit = RLIM_INFINITY) {
    return RunInChild([&](int pipe) {
      ::alarm(10);
      std::signal(SIGXFSZ, SIG_IGN);
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
      const rlimit rl{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &rl);
      try {
        Freeze(store);
      } catch (const Exception& e) {
        Send(pipe, e.Message);
        return 1;
      }
      Send(pipe, "frozen");
      return 0;
    });
  }

 private slots:
  // An empty pair that an ordinary user may rewrite, in a folder open to all.
  void init() {
    Begin();
    mirnax::ClearStatics(Pair());
    QVERIFY(::chmod(qPrintable(dir_->path()), 0777) == 0);
    for (const QString& file : {index_, data_}) QVERIFY(::chmod(qPrintable(file), 0666) == 0);
  }

  // A folder, a link or a file this user may not write under the lock's name: the freeze is refused
  // before anything is written, never run without the lock.
  void aLockFileThatCannotBeOpenedRefusesTheFreeze_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << "folder" << "it is a folder";
    QTest::newRow("symbolic link") << "link" << "it is a symbolic link";
    QTest::newRow("file this user may not write") << "read-only" << "Permission denied";
  }
  void aLockFileThatCannotBeOpenedRefusesTheFreeze() {
    QFETCH(QString, what);
    QFETCH(QString, reason);
    if (what == "folder") QVERIFY(QDir(dir_->path()).mkdir(ExtractName(Lock())));
    if (what == "link") QVERIFY(QFile::link(Path("elsewhere"), Lock()));
    if (what == "read-only") {
      Write(Lock(), "");
      QVERIFY(::chmod(qPrintable(Lock()), 0444) == 0);
    }
    TBlockStore store;
    store.Append(9, Item(1, 1, 1, 1, 1));
    const QStringList before = Snapshot();
    const auto child = FreezeInChild(store);
    QCOMPARE(QString::fromStdString(child.Output), "Cannot lock file " + Lock() + ": " + reason);
    QCOMPARE(child.ExitCode, 1);
    QCOMPARE(Snapshot(), before);
  }

  // A lock whose process number cannot be written (here: a file size limit of 0) fails at once,
  // leaves no empty lock file behind, and the next run takes the lock as usual.
  void aLockThatCannotNameItsHolderFailsAtOnce() {
    TBlockStore store;
    store.Append(9, Item(1, 1, 1, 1, 1));
    const QStringList before = Snapshot();
    const auto child = FreezeInChild(store, 0);
    QCOMPARE(child.Signal, 0);  // not ended by the alarm: no retry loop
    QCOMPARE(QString::fromStdString(child.Output), "Cannot lock file " + Lock() + ": File too large");
    QCOMPARE(Snapshot(), before);
    QVERIFY(!QFile::exists(Lock()));
    QCOMPARE(QString::fromStdString(FreezeInChild(store).Output), QString("frozen"));
    QCOMPARE(Read(data_), Record(1, 1, 1, 1, 1));
  }

 private:
  static QString ExtractName(const QString& path) { return QFileInfo(path).fileName(); }
};

QTEST_APPLESS_MAIN(TestStaticsLock)

#include "tst_statics_lock.moc"
