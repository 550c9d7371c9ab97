// The refusals a freeze makes before it touches a file, and what it keeps of the files it replaces.
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "freeze_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/move_methods.h"

using mirnax::EFCreateError;
using mirnax::Exception;
using mirnax::SetFreeSpaceQuery;
using mirnax::TBlockStore;
using mirnax::TFreeSpaceQuery;
using mirnax::support::ErrorOf;

using namespace fixture;

class TestFreezeChecks : public QObject, TFreezeWorkspace {
  Q_OBJECT

 private slots:
  void init() { Begin(); }

  // Each refusal happens before anything is renamed: the files stay byte for byte as they were.
  void refusals_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    QTest::newRow("index missing") << "no index" << "Cannot open file %index";
    QTest::newRow("data missing") << "no data" << "Cannot open file %data";
    QTest::newRow("index truncated") << "short index"
                                     << "The statics index file %index is 4718580 bytes long: 393215 blocks. The statics "
                                        "index of a map of 6144x4096 tiles has exactly 4718592 bytes (393216 blocks of "
                                        "8x8 tiles, an entry of 12 bytes each).";
    QTest::newRow("index too long") << "long index" << "is 4718593 bytes long";
    QTest::newRow("entry past the end of the data")
        << "entry past end"
        << "The statics index file %index is damaged: entry 77 points outside the statics data file %data (offset 10, "
           "length 7; the data file has 16 bytes).";
    QTest::newRow("negative offset") << "negative offset" << "entry 77 points outside";
    QTest::newRow("negative length") << "negative length" << "entry 77 points outside";
    QTest::newRow("index left by an interrupted freeze")
        << "index xxx" << "The file %dir/staidx0.xxx is left from a freeze that did not finish";
    QTest::newRow("data left by an interrupted freeze")
        << "data xxx" << "The file %dir/statics0.xxx is left from a freeze that did not finish";
    QTest::newRow("one file given twice") << "same file" << "must be two different files";
    QTest::newRow("same temporary name") << "same temp" << "would both be kept as %dir/staidx0.xxx";
    QTest::newRow("same temporary name, folder spelled another way")
        << "same temp, other spelling" << "would both be kept as %dir/staidx0.xxx";
    QTest::newRow("temporary extension") << "xxx path" << "has the extension .xxx";
    QTest::newRow("more data than an offset can address") << "2 GB" << "more than a statics index can address";
  }
  void refusals() {
    QFETCH(QString, setup);
    QFETCH(QString, message);
    QByteArray index = EmptyIndex();
    SetEntry(index, 3, 0, 16);
    Write(index_, index);
    Write(data_, QByteArray(16, 'd'));
    TBlockStore store;
    store.Append(3, Item(1, 1, 1, 1, 1));
    if (setup == "no index") QFile::remove(index_);
    if (setup == "no data") QFile::remove(data_);
    if (setup == "short index") Write(index_, index.left(index.size() - 12));
    if (setup == "long index") Write(index_, index + "x");
    if (setup == "entry past end") SetEntry(index, 77, 10, 7), Write(index_, index);
    if (setup == "negative offset") SetEntry(index, 77, -5, 7), Write(index_, index);
    if (setup == "negative length") SetEntry(index, 77, 0, -7), Write(index_, index);
    if (setup == "index xxx") Write(Path("staidx0.xxx"), "previous index");
    if (setup == "data xxx") Write(Path("statics0.xxx"), "previous data");
    if (setup == "same file") QVERIFY(QFile::link(index_, data_ = Path("link.mul")));
    if (setup == "same temp") Write(data_ = Path("staidx0.dat"), "d");
    if (setup == "same temp, other spelling") {
      QVERIFY(QDir(dir_->path()).mkdir("sub"));
      Write(data_ = Path("sub/../staidx0.dat"), QByteArray(16, 'd'));
    }
    if (setup == "xxx path") QFile::rename(data_, data_ = Path("statics0.xxx"));
    if (setup == "2 GB") {
      // A sparse data file of 2 GB - 1 whose block 4 takes all of it but 6 bytes.
      QFile f(data_);
      QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(INT32_MAX));
      SetEntry(index, 4, 16, INT32_MAX - 16 - 6);
      Write(index_, index);
    }
    const QStringList before = Snapshot();
    const QString m = ErrorOf<Exception>([&] { Freeze(store); });
    message.replace("%index", index_).replace("%data", data_).replace("%dir", dir_->path());
    QVERIFY2(m.contains(message), qPrintable(m));
    QCOMPARE(Snapshot(), before);
  }

  // A data file under the journal's name, in any letter case, is refused by the freeze too, and
  // stays as it was (the freeze would delete it as its journal).
  void freezeRefusesTheJournalsName() {
    for (const QString name : {"staidx0.mul.freeze", "StaIdx0.Mul.Freeze"}) {
      data_ = Path(name);
      TBlockStore store;
      MakeBusyPair(store);
      const QStringList before = Snapshot();
      QVERIFY(ErrorOf<Exception>([&] { Freeze(store); }).contains("uses for its own working file"));
      QCOMPARE(Snapshot(), before);
      QFile::remove(data_);
    }
  }

  // A disk without room for the new pair beside the old one is found before anything moves, and
  // the refusal says how much is needed.
  void tooLittleFreeSpaceIsRefusedEarly() {
    TBlockStore store;
    MakeBusyPair(store);
    const QStringList before = Snapshot();
    const TFreeSpaceQuery previous = SetFreeSpaceQuery([](const std::string&) { return int64_t{4000000}; });
    const QString message = ErrorOf<Exception>([&] { Freeze(store); });
    SetFreeSpaceQuery(previous);
    // 4,718,592 bytes of index and 71 of data (43 old, four new records).
    QVERIFY2(message.startsWith("Not enough free space for the new statics: 4.7 MB is needed beside ") &&
                 message.endsWith(", 4.0 MB is free."),
             qPrintable(message));
    QCOMPARE(Snapshot(), before);
  }

  // A read-only statics file is refused before anything is written, even for a process that could
  // write it anyway.
  void readOnlyFilesAreRefused_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("index");
    for (const char* how : {"freeze", "clear and freeze", "clear"}) {
      QTest::addRow("%s, index", how) << how << true;
      QTest::addRow("%s, data", how) << how << false;
    }
  }
  void readOnlyFilesAreRefused() {
    QFETCH(QString, how);
    QFETCH(bool, index);
    TBlockStore store;
    MakeBusyPair(store);
    const QString readOnly = index ? index_ : data_;
    QVERIFY(::chmod(qPrintable(readOnly), 0444) == 0);
    const QStringList before = Snapshot();
    QCOMPARE(ErrorOf<EFCreateError>([&] { Rewrite(how, store); }), "Cannot create file " + readOnly + ": the file is read-only");
    QCOMPARE(Snapshot(), before);
  }

  void rewrites_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("freeze") << "freeze";
    QTest::newRow("clear and freeze") << "clear and freeze";
    QTest::newRow("clear") << "clear";
  }

  // A configured path that is a link stays a link; the file it leads to is replaced.
  void linksStayAndTheirTargetsAreReplaced_data() { rewrites_data(); }
  void linksStayAndTheirTargetsAreReplaced() {
    QFETCH(QString, how);
    TBlockStore store;
    MakeBusyPair(store);
    QVERIFY(QDir(dir_->path()).mkdir("real"));
    const QByteArray oldIndex = Read(index_), oldData = Read(data_);
    const TBlockStore none;
    const auto [index, data] = Merged(how == "clear" ? none : store, how == "freeze" ? oldIndex : EmptyIndex(),
                                      how == "freeze" ? oldData : QByteArray());
    QVERIFY(QFile::rename(index_, Path("real/idx.mul")) && QFile::rename(data_, Path("real/dat.mul")));
    QVERIFY(QFile::link("real/idx.mul", index_));  // relative to the link's folder
    QVERIFY(QFile::link("real/dat.mul", Path("statics0.lnk")) && QFile::link(Path("statics0.lnk"), data_));
    Rewrite(how, store);
    QCOMPARE(QFileInfo(index_).symLinkTarget(), Path("real/idx.mul"));
    QCOMPARE(QFileInfo(data_).symLinkTarget(), Path("statics0.lnk"));
    QCOMPARE(Read(Path("real/idx.mul")), index);
    QCOMPARE(Read(Path("real/dat.mul")), data);
    // The backup of a replaced target lies beside it.
    const QStringList pair = {"dat.mul", "idx.mul"};
    const QStringList backedUp = {"dat.mul", "dat.mul.bak", "idx.mul", "idx.mul.bak", "idx.mul.bak.freeze"};
    QCOMPARE(QDir(Path("real")).entryList(QDir::Files | QDir::Hidden), how == "clear" ? pair : backedUp);
    QCOMPARE(Leftovers(), QStringList({"statics0.lnk"}));
  }

  // The new files take over the owner, the group and the permission bits of the files they
  // replace: root freezing statics of another user leaves them that user's.
  void newFilesKeepTheModes_data() { rewrites_data(); }
  void newFilesKeepTheModes() {
    QFETCH(QString, how);
    TBlockStore store;
    MakeBusyPair(store);
    QVERIFY(::chmod(qPrintable(index_), 0640) == 0 && ::chmod(qPrintable(data_), 0604) == 0);
    const bool root = ::geteuid() == 0;
    if (root) QVERIFY(::chown(qPrintable(index_), 65534, 65534) == 0 && ::chown(qPrintable(data_), 65534, 0) == 0);
    Rewrite(how, store);
    QCOMPARE(ModeOf(index_), mode_t(0640));
    QCOMPARE(ModeOf(data_), mode_t(0604));
    if (!root) return;
    struct stat index {}, data {};
    QVERIFY(::stat(qPrintable(index_), &index) == 0 && ::stat(qPrintable(data_), &data) == 0);
    QCOMPARE(index.st_uid, uid_t(65534));
    QCOMPARE(index.st_gid, gid_t(65534));
    QCOMPARE(data.st_uid, uid_t(65534));
    QCOMPARE(data.st_gid, gid_t(0));
  }
};

QTEST_APPLESS_MAIN(TestFreezeChecks)

#include "tst_freeze_checks.moc"
