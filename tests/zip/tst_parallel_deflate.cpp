// Members deflated on worker threads: the archive holds the same bytes whatever the thread count,
// and the same records as when the archive library deflates each member itself; the caller hears
// of the members in archive order on the committing thread; a cancel or an unreadable file fails the
// commit cleanly; and an Add through the component gives identical archives with one and many
// threads.
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

#include <sys/stat.h>

#include <cstdlib>
#include <thread>

#include "zip/libs/lib_common.h"
#include "zip/libs/zipdll/parallel_deflate.h"
#include "zip_test_support.h"

using ziplib::TParallelDeflate;
using ziplib::TReporter;

namespace {

// What the reporter passed on: each member's name and size, then its progress.
struct TCalls {
  struct TMember {
    std::string name;
    int64_t size = 0;
    int64_t progress = 0;
  };
  std::vector<TMember> members;
  std::thread::id thread = std::this_thread::get_id();
  bool otherThread = false;
  int cancelAtMember = -1;  // answer "stop" to this member's announcement (0 based)
};

int Record(ZCallBackStruct* record) {
  auto* calls = static_cast<TCalls*>(record->Caller);
  if (std::this_thread::get_id() != calls->thread) calls->otherThread = true;
  if (record->ActionCode == zaNewFile) {
    calls->members.push_back({record->Text, record->Size, 0});
    if (static_cast<int>(calls->members.size()) - 1 == calls->cancelAtMember) return 1;
  } else if (record->ActionCode == zaProgress && !calls->members.empty()) {
    calls->members.back().progress += record->Size;
  }
  return 0;
}

struct TAddition {
  QString path;
  std::string name;
};

struct TResult {
  bool committed = false;
  int error = ZIP_ER_OK;
};

// Adds the files to the archive at the level (replacing members of the same name), the way the
// zip library does: its members through the object when it takes them, else through a plain file
// source the archive library deflates itself.
TResult AddAll(const QString& archive, const std::vector<TAddition>& files, int threads, int level,
               TParallelDeflate::TLimits limits, TCalls& calls, const std::function<void()>& afterStat = {}) {
  int code = 0;
  zip_t* za = zip_open(archive.toUtf8().constData(), ZIP_CREATE, &code);
  if (za == nullptr) return {false, code};
  TReporter reporter(Record, nullptr, &calls);
  std::vector<struct stat> stats(files.size());
  for (size_t k = 0; k < files.size(); ++k)
    if (::stat(files[k].path.toUtf8().constData(), &stats[k]) != 0) return zip_discard(za), TResult{false, ZIP_ER_OPEN};
  if (afterStat) afterStat();
  TResult result;
  {
    TParallelDeflate deflater(threads, level, limits);
    for (size_t k = 0; k < files.size(); ++k) {
      const TAddition& file = files[k];
      const std::string path = file.path.toStdString();
      const struct stat& st = stats[k];
      zip_source_t* source = deflater.Source(za, path, file.name, st.st_size, st.st_mtime, reporter);
      if (source == nullptr) source = zip_source_file(za, path.c_str(), 0, -1);
      const zip_int64_t index = zip_file_add(za, file.name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
      if (index < 0) return zip_discard(za), TResult{false, ZIP_ER_INTERNAL};
      const auto i = static_cast<zip_uint64_t>(index);
      zip_file_set_mtime(za, i, st.st_mtime, 0);
      zip_set_file_compression(za, i, ZIP_CM_DEFLATE, static_cast<zip_uint32_t>(level));
      zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX, static_cast<zip_uint32_t>(st.st_mode) << 16);
    }
    deflater.Start();
    result.committed = zip_close(za) == 0;
    if (!result.committed) result.error = zip_error_code_zip(zip_get_error(za));
  }
  if (!result.committed) zip_discard(za);  // after the object is gone, as the zip library does
  return result;
}

uint32_t Get(const QByteArray& bytes, qsizetype at, int width) {
  uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

// The archive's central directory, an entry a line, without what depends on the deflated bytes:
// the compressed size and the local header's offset.
QList<QByteArray> Records(const QByteArray& archive) {
  const qsizetype end = archive.lastIndexOf(QByteArray("PK\x05\x06", 4));
  if (end < 0 || end + 22 > archive.size()) return {};
  QList<QByteArray> records;
  qsizetype at = Get(archive, end + 16, 4);
  for (uint32_t i = 0; i < Get(archive, end + 10, 2) && at + 46 <= end; ++i) {
    const qsizetype length = 46 + Get(archive, at + 28, 2) + Get(archive, at + 30, 2) + Get(archive, at + 32, 2);
    QByteArray record = archive.mid(at, length);
    record.replace(20, 4, QByteArray(4, 0)).replace(42, 4, QByteArray(4, 0));
    records << record;
    at += length;
  }
  return records;
}

bool Have(const char* tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); }

// The standard unzip tool's test of the archive, when it is installed.
bool UnzipAccepts(const QString& archive) {
  if (!Have("unzip")) return true;
  QProcess unzip;
  unzip.start("unzip", {"-tq", archive});
  return unzip.waitForFinished(60000) && unzip.exitStatus() == QProcess::NormalExit && unzip.exitCode() == 0;
}

}  // namespace

class TestParallelDeflate : public QObject, public TZipScene {
  Q_OBJECT

  std::vector<TAddition> files_;

  // Text, noise, a mix and edge sizes; the same in every run.
  void MakeFiles() {
    QRandomGenerator random(21);
    QByteArray text, noise(70000, '\0');
    while (text.size() < 400000) text += "member " + QByteArray::number(random.bounded(5000)) + " of the archive\n";
    for (char& c : noise) c = static_cast<char>(random.bounded(256));
    const std::pair<const char*, QByteArray> contents[] = {
        {"empty.txt", ""},           {"one.txt", "x"},
        {"text.txt", text},          {"noise.bin", noise},
        {"mixed.dat", text.left(90000) + noise.left(30000) + text.right(90000)},
        {"small.bin", noise.left(100)}, {"window.txt", text.left(65536)}};
    files_.clear();
    for (const auto& [name, bytes] : contents) {
      PutFile(Path(QString("in/") + name), bytes);
      files_.push_back({Path(QString("in/") + name), std::string("in/") + name});
    }
  }

 private slots:
  void init() {
    Start();
    MakeFiles();
  }
  void cleanup() { Finish(); }

  void sameBytesWhateverTheThreads_data();
  void sameBytesWhateverTheThreads();
  void replacedMembersKeepTheirPlace();
  void reportsInOrderOnTheCallingThread();
  void cancelStopsTheCommit();
  void unreadableFileFailsTheCommit();
  void threadsFromTheEnvironment();
  void addIsTheSameWithOneAndManyThreads();
  void addStoresWhatDoesNotShrink();
};

void TestParallelDeflate::sameBytesWhateverTheThreads_data() {
  QTest::addColumn<int>("level");
  QTest::addColumn<qint64>("window");
  QTest::addColumn<qint64>("largeMember");
  QTest::newRow("level 9") << 9 << qint64(64 << 20) << qint64(32 << 20);
  QTest::newRow("level 6, large members left to the library") << 6 << qint64(150000) << qint64(100000);
  QTest::newRow("level 1, one member at a time") << 1 << qint64(1) << qint64(1 << 20);
}

void TestParallelDeflate::sameBytesWhateverTheThreads() {
  QFETCH(int, level);
  QFETCH(qint64, window);
  QFETCH(qint64, largeMember);
  TCalls calls;
  QVERIFY(AddAll(Path("library.zip"), files_, 0, level, {}, calls).committed);
  const QByteArray library = GetFile(Path("library.zip"));
  QByteArray first;
  for (const int threads : {1, 2, 5}) {
    const QString name = Path(QString("threads%1.zip").arg(threads));
    QVERIFY(AddAll(name, files_, threads, level, {window, largeMember}, calls).committed);
    if (first.isEmpty()) first = GetFile(name);
    QVERIFY2(GetFile(name) == first, qPrintable(name));
  }
  // The records say what the library's own deflate would: method, level bits, version, CRC, sizes.
  QCOMPARE(Records(first), Records(library));
  QCOMPARE(Records(first).size(), static_cast<qsizetype>(files_.size()));
  QVERIFY(first.size() <= library.size() + 64);
  QVERIFY(UnzipAccepts(Path("threads2.zip")));
}

void TestParallelDeflate::replacedMembersKeepTheirPlace() {
  TCalls calls;
  const std::vector<TAddition> first = {files_[2], files_[3], files_[4], files_[1]};
  QVERIFY(AddAll(Path("library.zip"), first, 0, 9, {}, calls).committed);
  QVERIFY(QFile::copy(Path("library.zip"), Path("workers.zip")));
  // Members replaced out of order, a new one, and a name given twice (the first source let go
  // before it is written).
  const std::vector<TAddition> second = {{files_[6].path, "in/mixed.dat"}, {files_[5].path, "in/text.txt"},
                                         {files_[0].path, "in/new.txt"},   {files_[2].path, "in/twice.txt"},
                                         {files_[4].path, "in/twice.txt"}};
  QVERIFY(AddAll(Path("library.zip"), second, 0, 9, {}, calls).committed);
  calls = {};
  QVERIFY(AddAll(Path("workers.zip"), second, 2, 9, {1, 1 << 20}, calls).committed);
  QCOMPARE(Records(GetFile(Path("workers.zip"))), Records(GetFile(Path("library.zip"))));
  QVERIFY(UnzipAccepts(Path("workers.zip")));
  // Replaced members are the library's (its plain file source says nothing); the new ones are
  // reported once each.
  QStringList reported;
  for (const auto& member : calls.members) reported << QString::fromStdString(member.name);
  QCOMPARE(reported, QStringList({"in/new.txt", "in/twice.txt"}));
}

void TestParallelDeflate::reportsInOrderOnTheCallingThread() {
  TCalls calls;
  QVERIFY(AddAll(Path("a.zip"), files_, 3, 9, {}, calls).committed);
  QVERIFY(!calls.otherThread);
  QCOMPARE(calls.members.size(), files_.size());
  for (size_t i = 0; i < files_.size(); ++i) {
    QCOMPARE(calls.members[i].name, files_[i].name);
    QCOMPARE(calls.members[i].size, QFileInfo(files_[i].path).size());
    QCOMPARE(calls.members[i].progress, calls.members[i].size);
  }
}

void TestParallelDeflate::cancelStopsTheCommit() {
  for (const int threads : {1, 3}) {
    TCalls calls;
    calls.cancelAtMember = 3;
    const TResult result = AddAll(Path("cancelled.zip"), files_, threads, 9, {}, calls);
    QVERIFY(!result.committed);
    QCOMPARE(result.error, ZIP_ER_CANCELLED);
    QCOMPARE(calls.members.size(), size_t(4));
    QVERIFY(!QFile::exists(Path("cancelled.zip")));
  }
}

// A file gone before it is opened fails the commit before the member is announced; one that
// cannot be read (a folder here) after.
void TestParallelDeflate::unreadableFileFailsTheCommit() {
  for (const int threads : {1, 3}) {
    TCalls calls;
    const TResult result =
        AddAll(Path("vanished.zip"), files_, threads, 9, {}, calls, [this] { QFile::remove(files_[2].path); });
    QVERIFY(!result.committed);
    QCOMPARE(result.error, ZIP_ER_OPEN);
    QCOMPARE(calls.members.size(), size_t(2));
    QVERIFY(!QFile::exists(Path("vanished.zip")));
    MakeFiles();
  }
  QVERIFY(QDir().mkpath(Path("folder")));
  std::vector<TAddition> files = files_;
  files[3] = {Path("folder"), "in/folder"};
  TCalls calls;
  const TResult result = AddAll(Path("unreadable.zip"), files, 2, 9, {}, calls);
  QVERIFY(!result.committed);
  QCOMPARE(result.error, ZIP_ER_READ);
  QCOMPARE(calls.members.size(), size_t(4));
  QVERIFY(!QFile::exists(Path("unreadable.zip")));
}

void TestParallelDeflate::threadsFromTheEnvironment() {
  const QByteArray saved = qgetenv("MIRNAX_ZIP_THREADS");
  qputenv("MIRNAX_ZIP_THREADS", "3");
  QCOMPARE(ziplib::DeflateThreads(), 3);
  qputenv("MIRNAX_ZIP_THREADS", "0");
  QCOMPARE(ziplib::DeflateThreads(), 0);
  qunsetenv("MIRNAX_ZIP_THREADS");
  const int cores = ziplib::DeflateThreads();
  QVERIFY(cores >= 1);
  qputenv("MIRNAX_ZIP_THREADS", "several");
  QCOMPARE(ziplib::DeflateThreads(), cores);
  if (saved.isNull()) qunsetenv("MIRNAX_ZIP_THREADS");
  else qputenv("MIRNAX_ZIP_THREADS", saved);
}

// Through the component: the same archive with one thread and several, and the same records and
// reports as when the library deflates every member itself.
void TestParallelDeflate::addIsTheSameWithOneAndManyThreads() {
  const QByteArray saved = qgetenv("MIRNAX_ZIP_THREADS");
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  QList<QByteArray> archives;
  std::vector<std::vector<TZipRecorder::Progress>> reports;
  for (const char* threads : {"0", "1", "3"}) {
    qputenv("MIRNAX_ZIP_THREADS", threads);
    const QString name = Path(QString("add%1.zip").arg(threads));
    zip_->SetZipFileName(S(name));
    zip_->SetAddCompLevel(9);
    zip_->SetAddOptions({mirnax::AddDirNames, mirnax::AddRecurseDirs});
    zip_->FSpecArgs().Clear();
    zip_->FSpecArgs().Add("in");
    rec_.progress.clear();
    zip_->Add();
    QCOMPARE(zip_->SuccessCnt(), static_cast<int>(files_.size()));
    QVERIFY(UnzipAccepts(name));
    archives << GetFile(name);
    reports.push_back(rec_.progress);
  }
  QDir::setCurrent(previous);
  if (saved.isNull()) qunsetenv("MIRNAX_ZIP_THREADS");
  else qputenv("MIRNAX_ZIP_THREADS", saved);
  QCOMPARE(archives[2], archives[1]);
  QCOMPARE(Records(archives[1]), Records(archives[0]));
  for (size_t run = 1; run < reports.size(); ++run) {
    QCOMPARE(reports[run].size(), reports[0].size());
    for (size_t i = 0; i < reports[0].size(); ++i) {
      QCOMPARE(reports[run][i].type, reports[0][i].type);
      QCOMPARE(reports[run][i].name, reports[0][i].name);
      QCOMPARE(reports[run][i].size, reports[0][i].size);
    }
  }
}

// Files of 32 KB and more whose samples do not shrink are stored, each file judged by itself
// (noise.bin among files that shrink, whatever came before); smaller ones are always deflated.
void TestParallelDeflate::addStoresWhatDoesNotShrink() {
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir_->path());
  PutFile(Path("in/noise2.bin"), GetFile(Path("in/noise.bin")).right(40000));
  zip_->SetZipFileName(S(Path("methods.zip")));
  zip_->SetAddCompLevel(9);
  zip_->SetAddOptions({mirnax::AddDirNames, mirnax::AddRecurseDirs});
  zip_->FSpecArgs().Add("in");
  zip_->Add();
  QDir::setCurrent(previous);
  QCOMPARE(zip_->SuccessCnt(), static_cast<int>(files_.size()) + 1);
  QMap<QString, uint32_t> methods;
  for (const QByteArray& record : Records(GetFile(Path("methods.zip"))))
    methods[QString::fromLatin1(record.mid(46, Get(record, 28, 2)))] = Get(record, 10, 2);
  const QMap<QString, uint32_t> expected{{"in/empty.txt", 8}, {"in/one.txt", 8},   {"in/text.txt", 8},
                                         {"in/noise.bin", 0}, {"in/noise2.bin", 0}, {"in/mixed.dat", 8},
                                         {"in/small.bin", 8}, {"in/window.txt", 8}};
  QCOMPARE(methods, expected);
}

QTEST_MAIN(TestParallelDeflate)
#include "tst_parallel_deflate.moc"
