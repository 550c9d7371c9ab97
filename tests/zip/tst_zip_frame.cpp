// The component's frame: setter rules, option bits, messages and exceptions, the
// libraries' callback, password prompts, name conversion, and loading the two libraries.
#include <QCoreApplication>
#include <QtTest>

#include "zip/zip_messages.h"
#include "zip_fixture.h"
#include "zip_test_support.h"

using mirnax::AddDirNames;
using mirnax::AddDiskSpanErase;
using mirnax::AddEncrypt;
using mirnax::AddMove;
using mirnax::AddOpts;
using mirnax::AddZipTime;
using mirnax::CPOpts;
using mirnax::EZipBuilder;
using mirnax::ExtrOpts;
using mirnax::ExtrTest;
using mirnax::FormatZipMessage;
using mirnax::SFXCheckSize;
using mirnax::SFXOpts;
using mirnax::TStringList;
using mirnax::TZipBuilder;
using mirnax::ZipMessageText;
using mirnax::ZipMsgMissingPrefix;
using mirnax::cpAUTO;
using mirnax::cpNone;
using mirnax::cpOEM;
using mirnax::ptTotalFiles;
using mirnax::ptTotalSize;
using mirnax::ptUpdate;

using namespace zipfixture;

namespace {
// A program whose own folder and the component library's private folder are of the test's choosing.
class TRelocatedZip : public TZipBuilder {
 public:
  std::string program, privateFiles;

 protected:
  std::string ProgramFolder() const override { return program; }
  std::string PrivateFolder() const override { return privateFiles; }
};
}  // namespace

class TestZipFrame : public QObject {
  Q_OBJECT

 private slots:
  void setterRules();
  void optionBits();
  void messages();
  void missingMessageText();
  void exceptionForms();
  void callback();
  void callbackCancels();
  void passwords_data();
  void passwords();
  void addPasswordConfirmation();
  void unattendedPasswords();
  void nameConversion_data();
  void nameConversion();
  void strings();
  void libraries();
  void librarySearchOrder_data();
  void librarySearchOrder();
  void longRecordForms();
  void brokenLibraries();
};

void TestZipFrame::setterRules() {
  TZipBuilder zip;
  zip.SetDLLDirectory("C:\\dlls\\\\");
  QCOMPARE(zip.DLLDirectory(), std::string("C:\\dlls\\"));  // one separator only
  zip.SetDLLDirectory("C:\\dlls\\");                         // the same value: nothing changes
  QCOMPARE(zip.DLLDirectory(), std::string("C:\\dlls\\"));
  zip.SetDLLDirectory("/opt/dlls/");
  QCOMPARE(zip.DLLDirectory(), std::string("/opt/dlls"));

  zip.SetVersionInfo("2.0");
  QCOMPARE(zip.VersionInfo(), std::string("1.52 M"));

  zip.SetMaxVolumeSize(int64_t(5) << 32);  // beyond 32 bits
  zip.SetMaxVolumeSize(-1);
  QCOMPARE(zip.MaxVolumeSize(), int64_t(5) << 32);
  zip.SetKeepFreeOnDisk1(1000);
  zip.SetKeepFreeOnDisk1(-5);
  QCOMPARE(zip.KeepFreeOnDisk1(), int64_t(1000));
  zip.SetMinFreeVolumeSize(0);
  QCOMPARE(zip.MinFreeVolumeSize(), int64_t(65536));
  zip.SetMinFreeVolumeSize(1);
  QCOMPARE(zip.MinFreeVolumeSize(), int64_t(1));

  TStringList masks;
  masks.Add("a.txt");
  masks.Add("b\\*.c");
  zip.SetFSpecArgs(masks);
  masks.Clear();
  QCOMPARE(zip.FSpecArgs().Count(), 2);  // a copy, not the caller's list
}

void TestZipFrame::optionBits() {
  QCOMPARE(AddOpts{AddDirNames}.ToBits(), uint16_t(1));
  QCOMPARE(AddOpts{AddEncrypt}.ToBits(), uint16_t(1 << 8));
  QCOMPARE(AddOpts{AddDiskSpanErase}.ToBits(), uint16_t(1 << 11));
  QCOMPARE(ExtrOpts{ExtrTest}.ToBits(), uint8_t(1 << 4));
  QCOMPARE(SFXOpts{SFXCheckSize}.ToBits(), uint8_t(1 << 4));
  QCOMPARE(int(ptTotalSize), 4);
  AddOpts set{AddMove, AddZipTime};
  set.Exclude(AddMove);
  QVERIFY(!set.Contains(AddMove) && set.Contains(AddZipTime));
}

void TestZipFrame::messages() {
  TDialogsScope scope;
  TZipBuilder zip;
  TZipRecorder rec;
  rec.Attach(zip);
  const std::string expected = *ZipMessageText(10301) + " (more)";

  zip.ShowZipMessage(10301, " (more)");
  QCOMPARE(scope.dialogs.Calls.size(), size_t(1));
  QCOMPARE(scope.dialogs.Calls[0].Text, expected);

  zip.SetUnattended(true);
  zip.ShowZipMessage(10301, " (more)");
  QCOMPARE(scope.dialogs.Calls.size(), size_t(1));  // no box when unattended
  QCOMPARE(rec.messages.size(), size_t(2));
  QCOMPARE(rec.messages[1], std::make_pair(0, expected));
  QCOMPARE(zip.ErrCode(), 10301);
  QCOMPARE(zip.Message(), expected);

  zip.ShowExceptionError(EZipBuilder(11036, false));
  QCOMPARE(zip.ErrCode(), 11036);
  QCOMPARE(rec.messages.back(), std::make_pair(0, *ZipMessageText(11036)));
}

void TestZipFrame::missingMessageText() {
  TDialogsScope scope;
  TZipBuilder zip;
  zip.SetUnattended(true);
  zip.ShowZipMessage(10999, "!");
  QCOMPARE(zip.Message(),
           std::string("ZipMsgXX.res is probably not bound to the executable\nMissing String ID is: 10999!"));
  QCOMPARE(zip.LoadZipStr(10999, "fallback"), std::string("fallback"));
  QVERIFY(zip.LoadZipStr(10102, "fallback") != "fallback");
}

void TestZipFrame::exceptionForms() {
  const EZipBuilder plain(11036, false);
  QVERIFY(!plain.DisplayMsg);
  QCOMPARE(plain.ResId, 11036);
  const EZipBuilder disk(11038, 3);
  QVERIFY(disk.DisplayMsg);
  QVERIFY2(disk.Message.find('3') != std::string::npos && disk.Message.find('%') == std::string::npos, disk.Message.c_str());
  const EZipBuilder drive(11004, std::string("/media/usb/"));
  QVERIFY2(drive.Message.find("/media/usb/") != std::string::npos, drive.Message.c_str());
  const EZipBuilder missing(10998, 7);
  QCOMPARE(missing.Message, std::string(ZipMsgMissingPrefix) + "10998");
  // A placeholder of the wrong kind never reads an argument that is not there.
  QCOMPARE(FormatZipMessage("disk %s of 100%%", "2"), std::string("disk 2 of 100%%"));
  QCOMPARE(FormatZipMessage("no placeholder", "2"), std::string("no placeholder"));
}

namespace {
ZCallBackStruct Record(TZipBuilder& zip, int action, int error, int size, const char* text) {
  ZCallBackStruct r{};
  r.Caller = &zip;
  r.ActionCode = action;
  r.ErrorCode = error;
  r.Size = size;
  std::strncpy(r.Text, text, sizeof r.Text - 1);
  return r;
}
}  // namespace

void TestZipFrame::callback() {
  TZipBuilder zip;
  TZipRecorder rec;
  rec.Attach(zip);
  auto send = [&](int action, int error, int size, const char* text) {
    ZCallBackStruct r = Record(zip, action, error, size, text);
    return TZipBuilder::ZCallback(&r);
  };
  QCOMPARE(send(zaNewFile, 0, 1234, "dir/sub/file.txt"), 0);
  send(zaProgress, 0, 512, "ignored");
  send(zaEndOfBatch, 0, 99, "");
  send(zaTotalFiles, 0, 3, "");
  send(zaTotalSize, 0, 4096, "");
  QCOMPARE(rec.progress.size(), size_t(5));
  QCOMPARE(rec.progress[0].name, std::string("dir\\sub\\file.txt"));
  QCOMPARE(rec.progress[0].size, int64_t(1234));
  QCOMPARE(rec.progress[1].type, ptUpdate);
  QCOMPARE(rec.progress[1].name, std::string());
  QCOMPARE(rec.progress[2].size, int64_t(0));
  QCOMPARE(rec.progress[3].type, ptTotalFiles);
  QCOMPARE(rec.progress[4].size, int64_t(4096));

  send(zaMessage, 0x1FF, 0, "bad/name.txt  \r\n\t");
  QCOMPARE(zip.Message(), std::string("bad/name.txt"));  // messages keep the platform's '/'
  QCOMPARE(zip.ErrCode(), -1);  // the low byte, sign-extended
  QCOMPARE(rec.messages.back().first, 0x1FF);
  send(zaMessage, 0, 0, "note");
  QCOMPARE(zip.ErrCode(), -1);  // a message without an error keeps the code
  QCOMPARE(rec.messages.back().second, std::string("note"));
}

void TestZipFrame::callbackCancels() {
  TZipBuilder zip;
  bool pumped = false;
  QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { pumped = true; }, Qt::QueuedConnection);
  ZCallBackStruct r = Record(zip, zaProgress, 0, 1, "");
  QCOMPARE(TZipBuilder::ZCallback(&r), 0);
  QVERIFY(pumped);  // pending events ran inside the callback
  zip.SetCancel(true);
  QCOMPARE(TZipBuilder::ZCallback(&r), 1);
}

void TestZipFrame::passwords_data() {
  QTest::addColumn<int>("type");
  QTest::addColumn<int>("length");
  QTest::addColumn<QString>("prompt");
  QTest::addColumn<bool>("accepted");
  QTest::newRow("confirm, 80 characters") << 0 << 80 << "Confirm Password" << true;
  QTest::newRow("extract, 81 characters") << 1 << 81 << "Enter Password" << false;
  QTest::newRow("new archive, empty") << 2 << 0 << "Enter Password for New Archive" << false;
  QTest::newRow("new archive, short") << 2 << 6 << "Enter Password for New Archive" << true;
}

void TestZipFrame::passwords() {
  QFETCH(int, type);
  QFETCH(int, length);
  QFETCH(QString, prompt);
  QFETCH(bool, accepted);
  TDialogsScope scope;
  const std::string answer(static_cast<size_t>(length), 'p');
  scope.dialogs.AnswerInput(true, answer);
  TZipBuilder zip;
  QCOMPARE(zip.GetPassword(type), accepted ? answer : std::string());
  QCOMPARE(scope.dialogs.Calls[0].Caption, std::string("Password"));
  QCOMPARE(QString::fromStdString(scope.dialogs.Calls[0].Text), prompt);
}

void TestZipFrame::addPasswordConfirmation() {
  TDialogsScope scope;
  TZipBuilder zip;
  zip.SetPassword("old");
  scope.dialogs.AnswerInput(true, "Secret");
  scope.dialogs.AnswerInput(true, "secret");
  QCOMPARE(zip.GetAddPassword(), std::string());
  QCOMPARE(zip.ErrCode(), 10104);  // compared with letter case
  QCOMPARE(zip.Password(), std::string());
  scope.dialogs.AnswerInput(true, "Secret");
  scope.dialogs.AnswerInput(true, "Secret");
  QCOMPARE(zip.GetAddPassword(), std::string("Secret"));
  QCOMPARE(zip.Password(), std::string("Secret"));
  scope.dialogs.AnswerInput(false, "");  // cancelled: the second question is not asked
  const size_t before = scope.dialogs.Calls.size();
  QCOMPARE(zip.GetAddPassword(), std::string());
  QCOMPARE(scope.dialogs.Calls.size(), before + 1);
}

void TestZipFrame::unattendedPasswords() {
  TDialogsScope scope;
  TZipBuilder zip;
  zip.SetUnattended(true);
  zip.SetPassword("kept");
  QCOMPARE(zip.GetAddPassword(), std::string());
  QCOMPARE(zip.ErrCode(), 10150);
  QCOMPARE(zip.GetExtrPassword(), std::string());
  QCOMPARE(zip.ErrCode(), 10151);
  QVERIFY(scope.dialogs.Calls.empty());
}

void TestZipFrame::nameConversion_data() {
  QTest::addColumn<int>("codePage");
  QTest::addColumn<int>("host");
  QTest::addColumn<int>("madeBy");
  QTest::addColumn<int>("flags");
  QTest::addColumn<bool>("converted");
  QTest::newRow("auto, FAT") << int(cpAUTO) << 0 << 20 << 0 << true;
  QTest::newRow("auto, HPFS") << int(cpAUTO) << 6 << 20 << 0 << true;
  QTest::newRow("auto, NTFS 5.0") << int(cpAUTO) << 11 << 50 << 0 << true;
  QTest::newRow("auto, NTFS other") << int(cpAUTO) << 11 << 20 << 0 << false;
  QTest::newRow("auto, Unix") << int(cpAUTO) << 3 << 20 << 0 << false;
  QTest::newRow("OEM, Unix") << int(cpOEM) << 3 << 20 << 0 << true;
  QTest::newRow("none, FAT") << int(cpNone) << 0 << 20 << 0 << false;
  QTest::newRow("OEM, flagged UTF-8") << int(cpOEM) << 0 << 20 << 0x800 << false;
}

void TestZipFrame::nameConversion() {
  QFETCH(int, codePage);
  QFETCH(int, host);
  QFETCH(int, madeBy);
  QFETCH(int, flags);
  QFETCH(bool, converted);
  QTemporaryDir dir;
  const QString path = dir.filePath("names.zip");
  const std::string stored = "dir/\x9A" "mlaut\xC3";
  TMember m{stored, "x", "", static_cast<uint16_t>(flags), static_cast<uint8_t>(host), static_cast<uint8_t>(madeBy)};
  PutFile(path, B(MakeArchive({m}, "c\x81")));
  TZipBuilder zip;
  zip.SetCodePage(CPOpts(codePage));
  zip.SetZipFileName(S(path));
  QCOMPARE(zip.Count(), 1);
  const QByteArray expected = converted ? QString::fromUtf8("dir\\Ümlaut├").toUtf8() : QByteArray("dir\\\x9Amlaut\xC3");
  QCOMPARE(B(zip.ZipContents()[0].FileName), expected);
  // The archive comment follows the rules of the last entry read (it has no UTF-8 flag).
  const bool commentConverted = codePage == cpOEM || (converted && flags == 0);
  QCOMPARE(B(zip.ZipComment()), commentConverted ? QString::fromUtf8("cü").toUtf8() : QByteArray("c\x81"));
}

void TestZipFrame::strings() {
  QCOMPARE(TZipBuilder::AppendSlash(""), std::string(""));
  QCOMPARE(TZipBuilder::AppendSlash("C:\\dir"), std::string("C:\\dir\\"));
  QCOMPARE(TZipBuilder::AppendSlash("C:\\dir\\"), std::string("C:\\dir\\"));
  QCOMPARE(TZipBuilder::ReplaceForwardSlash("a/b/c"), std::string("a\\b\\c"));
}

void TestZipFrame::libraries() {
  TDialogsScope scope;
  TZipBuilder zip;
  zip.SetTrace(true);
  TZipRecorder rec;
  rec.Attach(zip);
  QVERIFY(zip.GetZipVers() > 150);
  QVERIFY(zip.GetUnzVers() > 151);
  QVERIFY2(rec.Said("libzipdll.so") && rec.Said("libunzdll.so"), qPrintable(rec.All()));
  // A folder without the libraries falls back to the program's folder.
  zip.SetDLLDirectory("/nonexistent/folder/");
  QVERIFY(zip.GetZipVers() > 150);
}

// A library is loaded from DLLDirectory, else the program's folder, else the component library's
// private folder: the test puts the build that reports version 150 where it must be found and the
// ordinary build in a later folder.
void TestZipFrame::librarySearchOrder_data() {
  QTest::addColumn<QString>("longForm");
  QTest::addColumn<QString>("ordinary");
  QTest::addColumn<int>("version");
  QTest::newRow("DLLDirectory first") << "dlls" << "program" << 150;
  QTest::newRow("then the program's folder") << "program" << "private" << 150;
  QTest::newRow("then the private folder") << "private" << "" << 150;
  QTest::newRow("nowhere") << "" << "" << 0;
}

void TestZipFrame::librarySearchOrder() {
  QFETCH(QString, longForm);
  QFETCH(QString, ordinary);
  QFETCH(int, version);
  TDialogsScope scope;
  QTemporaryDir dir;
  const QString built = QCoreApplication::applicationDirPath();
  for (const QString folder : {"dlls", "program", "private"}) QVERIFY(QDir().mkpath(dir.filePath(folder)));
  if (!longForm.isEmpty())
    QVERIFY(QFile::copy(built + "/longform/libzipdll.so", dir.filePath(longForm + "/libzipdll.so")));
  if (!ordinary.isEmpty()) QVERIFY(QFile::copy(built + "/libzipdll.so", dir.filePath(ordinary + "/libzipdll.so")));
  TRelocatedZip zip;
  zip.SetUnattended(true);
  zip.program = S(dir.filePath("program"));
  zip.privateFiles = S(dir.filePath("private"));
  zip.SetDLLDirectory(S(dir.filePath("dlls")));
  QCOMPARE(zip.GetZipVers(), version);
  // Found nowhere: the message names the private folder, where an install puts the library.
  if (version == 0)
    QVERIFY2(zip.Message().find(zip.privateFiles + "/libzipdll.so") != std::string::npos, zip.Message().c_str());
}

void TestZipFrame::longRecordForms() {
  // Libraries that report the older versions read the long forms; a round trip through both
  // proves the component writes them as they expect.
  TDialogsScope scope;
  QTemporaryDir dir;
  PutFile(dir.filePath("in/one.txt"), "first file");
  PutFile(dir.filePath("in/two.txt"), "second file");
  TZipBuilder zip;
  zip.SetUnattended(true);
  zip.SetDLLDirectory(S(QCoreApplication::applicationDirPath() + "/longform"));
  QCOMPARE(zip.GetZipVers(), 150);
  QCOMPARE(zip.GetUnzVers(), 151);
  zip.SetZipFileName(S(dir.filePath("long.zip")));
  zip.FSpecArgs().Add(S(dir.filePath("in/one.txt")));
  zip.FSpecArgs().Add(S(dir.filePath("in/two.txt")));
  zip.Add();
  QCOMPARE(zip.SuccessCnt(), 2);
  QCOMPARE(zip.Count(), 2);
  zip.SetExtrBaseDir(S(dir.filePath("out")));
  QDir().mkpath(dir.filePath("out"));
  zip.FSpecArgs().Add("two.txt");
  zip.Extract();
  QCOMPARE(zip.SuccessCnt(), 1);
  QCOMPARE(GetFile(dir.filePath("out/two.txt")), QByteArray("second file"));
  QVERIFY(!QFile::exists(dir.filePath("out/one.txt")));
}

void TestZipFrame::brokenLibraries() {
  TDialogsScope scope;
  QTemporaryDir dir;
  TZipBuilder zip;
  TZipRecorder rec;
  rec.Attach(zip);
  zip.SetUnattended(true);
  PutFile(dir.filePath("in.txt"), "x");
  zip.SetZipFileName(S(dir.filePath("t.zip")));

  // A file of the library's name that is no library: reported, nothing done.
  PutFile(dir.filePath("junk/libzipdll.so"), "not a shared object");
  zip.SetDLLDirectory(S(dir.filePath("junk")));
  QCOMPARE(zip.GetZipVers(), 0);
  QCOMPARE(zip.ErrCode(), 10604);
  zip.FSpecArgs().Add(S(dir.filePath("in.txt")));
  zip.Add();
  QCOMPARE(zip.SuccessCnt(), 0);
  QVERIFY(!QFile::exists(dir.filePath("t.zip")));

  // A library without the entry points: both are reported and neither is called.
  QDir().mkpath(dir.filePath("other"));
  QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/libunzdll.so", dir.filePath("other/libzipdll.so")));
  zip.SetDLLDirectory(S(dir.filePath("other")));
  rec.messages.clear();
  zip.FSpecArgs().Add(S(dir.filePath("in.txt")));
  zip.Add();
  QCOMPARE(zip.SuccessCnt(), 0);
  QVERIFY(rec.Said(*ZipMessageText(10602)) && rec.Said(*ZipMessageText(10603)));
  QVERIFY(!QFile::exists(dir.filePath("t.zip")));
}

QTEST_GUILESS_MAIN(TestZipFrame)
#include "tst_zip_frame.moc"
