#include <QTemporaryDir>
#include <QTest>

#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/move_methods.h"
#include "toolkit/core/posix_files.h"

using mirnax::EFCreateError;
using mirnax::EInOutError;
using mirnax::MoveNoReplaceBy;
using mirnax::TMoveMethod;
using mirnax::TSideFile;
using mirnax::mmCheckedRename;
using mirnax::mmLink;
using mirnax::mmRenameNoReplace;
using mirnax::support::ErrorOf;
using mirnax::support::ReadBytes;
using mirnax::support::WriteBytes;

namespace {
std::string Std(const QString& s) { return s.toStdString(); }
void Write(const QString& path, const QByteArray& bytes) { WriteBytes(Std(path), bytes); }
QByteArray Read(const QString& path) { return ReadBytes(Std(path)); }
}  // namespace

class TestPosixFiles : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
  }

  // Every way of moving, including the fallbacks for file systems without the better ones.
  void moves_data() {
    QTest::addColumn<int>("method");
    QTest::newRow("rename without replacing") << int(mmRenameNoReplace);
    QTest::newRow("link, then unlink") << int(mmLink);
    QTest::newRow("checked rename") << int(mmCheckedRename);
  }
  void moves() {
    QFETCH(int, method);
    Write(Path("a.mul"), "statics");
    MoveNoReplaceBy(TMoveMethod(method), Std(Path("a.mul")), Std(Path("a.xxx")));
    QVERIFY(!QFile::exists(Path("a.mul")));
    QCOMPARE(Read(Path("a.xxx")), QByteArray("statics"));
  }

  void neverReplaces_data() { moves_data(); }
  void neverReplaces() {
    QFETCH(int, method);
    Write(Path("a.mul"), "statics");
    Write(Path("a.xxx"), "the only copy");
    QCOMPARE(ErrorOf<EInOutError>([&] { MoveNoReplaceBy(TMoveMethod(method), Std(Path("a.mul")), Std(Path("a.xxx"))); }),
             "Cannot rename " + Path("a.mul") + " to " + Path("a.xxx") + ": File exists");
    QCOMPARE(Read(Path("a.mul")), QByteArray("statics"));
    QCOMPARE(Read(Path("a.xxx")), QByteArray("the only copy"));
  }

  void missingSourceFails_data() { moves_data(); }
  void missingSourceFails() {
    QFETCH(int, method);
    QVERIFY_THROWS_EXCEPTION(EInOutError, MoveNoReplaceBy(TMoveMethod(method), Std(Path("none")), Std(Path("none.xxx"))));
    QVERIFY(!QFile::exists(Path("none.xxx")));
  }

  // Side files of one name get names of their own beside it, and go unless kept.
  void sideFiles() {
    const std::string base = Std(Path("staidx0.mul"));
    Write(Path("staidx0.mul"), "statics");
    std::string kept;
    {
      TSideFile a(base, "a"), b(base, "b");
      QVERIFY(a.Name() != b.Name());
      for (const TSideFile* side : {&a, &b}) {
        QVERIFY(QString::fromStdString(side->Name()).startsWith(Path("staidx0.mul.")));
        QCOMPARE(Read(QString::fromStdString(side->Name())), QByteArray());
      }
      a.Keep();
      kept = a.Name();
    }
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files),
             QStringList({"staidx0.mul", QString::fromStdString(kept).section('/', -1)}));
    QCOMPARE(Read(Path("staidx0.mul")), QByteArray("statics"));
    QCOMPARE(ErrorOf<EFCreateError>([&] { TSideFile none(Std(Path("missing/staidx0.mul")), "staidx0.mul"); }),
             QString("Cannot create file staidx0.mul: No such file or directory"));
  }
};

QTEST_APPLESS_MAIN(TestPosixFiles)
#include "tst_posix_files.moc"
