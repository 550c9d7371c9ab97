#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/safe_replace.h"

using mirnax::EInOutError;
using mirnax::TFileStream;
using mirnax::TSafeReplace;
using mirnax::support::ErrorOf;
using mirnax::support::ReadBytes;
using mirnax::support::WriteBytes;

namespace {
std::string Std(const QString& s) { return s.toStdString(); }
}  // namespace

class TestSafeReplace : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }
  QStringList Entries() const { return QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
  }

  // Through a link the target is replaced and the link stays; the target's permission bits are
  // kept; nothing is left beside it.
  void replacesTheTargetOfALink() {
    WriteBytes(Std(Path("real.ini")), "old");
    QVERIFY(::chmod(qPrintable(Path("real.ini")), 0604) == 0);
    QVERIFY(QFile::link(Path("real.ini"), Path("link.ini")));
    TSafeReplace replace(Std(Path("link.ini")));
    QCOMPARE(replace.Target(), Std(Path("real.ini")));
    replace.Write("new");
    QCOMPARE(ReadBytes(Std(Path("real.ini"))), QByteArray("old"));  // untouched until the commit
    replace.Commit();
    QCOMPARE(ReadBytes(Std(Path("real.ini"))), QByteArray("new"));
    QVERIFY(QFileInfo(Path("link.ini")).isSymLink());
    struct stat st {};
    QVERIFY(::stat(qPrintable(Path("real.ini")), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0604));
    QCOMPARE(Entries(), (QStringList{"link.ini", "real.ini"}));
  }

  // A replace given up before its commit (a failed write) leaves the file and removes its side file.
  void abandonedReplaceLeavesNothing() {
    WriteBytes(Std(Path("a.ini")), "old");
    const QString message = ErrorOf<EInOutError>([&] {
      TSafeReplace replace(Std(Path("a.ini")));
      replace.Write([](TFileStream& file) {
        file.WriteBuffer("half", 4);
        throw EInOutError("Write error on the disk: No space left on device", 28);
      });
      replace.Commit();
    });
    QCOMPARE(message, "Write error on " + Path("a.ini") + ": No space left on device");
    QCOMPARE(ReadBytes(Std(Path("a.ini"))), QByteArray("old"));
    QCOMPARE(Entries(), QStringList{"a.ini"});
  }
};

QTEST_APPLESS_MAIN(TestSafeReplace)
#include "tst_safe_replace.moc"
