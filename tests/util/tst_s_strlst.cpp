#include <QtTest>
#include <string>
#include <vector>

#include "tests/support/file_helpers.h"
#include "toolkit/core/exceptions.h"
#include "util/s_strlst.h"

using mirnax::CopyLine;
using mirnax::EFOpenError;
using mirnax::EListError;
using mirnax::ExtractLine;
using mirnax::TObject;
using mirnax::TS_StringList;
using mirnax::TStringList;
using mirnax::TStrings;
using mirnax::support::ErrorOf;
using mirnax::support::WriteBytes;

namespace {

QByteArrayList Lines(const TStrings& list) {
  QByteArrayList lines;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string_view line = list.View(i);
    lines << QByteArray(line.data(), static_cast<qsizetype>(line.size()));
  }
  return lines;
}

class TTag : public TObject {};

}  // namespace

class TstSStrLst : public QObject {
  Q_OBJECT

 private slots:
  void addTStringsKeepsObjects() {
    TTag one, two;
    TStringList source;
    source.AddObject("one", &one);
    source.Add("plain");
    source.AddObject("two", &two);
    TS_StringList list;
    list.Add("first");
    list.AddTStrings(source);
    QCOMPARE(Lines(list), (QByteArrayList{"first", "one", "plain", "two"}));
    QCOMPARE(list.GetObject(0), nullptr);
    QCOMPARE(list.GetObject(1), &one);
    QCOMPARE(list.GetObject(2), nullptr);
    QCOMPARE(list.GetObject(3), &two);

    list.AddTStrings(list);  // onto itself: the lines as they were, once
    QCOMPARE(list.Count(), 8);
    QCOMPARE(list.GetObject(7), &two);
  }

  void loadFromFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::newRow("CR") << QByteArray("a\rbc\r") << QByteArrayList{"a", "bc"};
    QTest::newRow("LF") << QByteArray("a\nbc\n") << QByteArrayList{"a", "bc"};
    QTest::newRow("CR LF") << QByteArray("a\r\nbc\r\n") << QByteArrayList{"a", "bc"};
    QTest::newRow("mixed") << QByteArray("a\rb\nc\r\nd\n\re") << QByteArrayList{"a", "b", "c", "d", "", "e"};
    QTest::newRow("last line without end") << QByteArray("a\r\nlast") << QByteArrayList{"a", "last"};
    QTest::newRow("empty lines") << QByteArray("\r\n\n\r") << QByteArrayList{"", "", ""};
    QTest::newRow("empty file") << QByteArray() << QByteArrayList{};
    QTest::newRow("NUL kept") << QByteArray("a\0b\r\n\0\n", 7) << QByteArrayList{QByteArray("a\0b", 3), QByteArray("\0", 1)};
    QTest::newRow("8-bit bytes") << QByteArray("\xC0\xFF\x1A\r\n") << QByteArrayList{"\xC0\xFF\x1A"};
  }
  void loadFromFile() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArrayList, lines);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.filePath("world.scp").toStdString();
    WriteBytes(path, content);
    TS_StringList list;
    list.Add("stale");
    list.LoadFromFile(path);
    QCOMPARE(Lines(list), lines);
  }

  void loadMissingFile() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("missing.scp").toStdString();
    TS_StringList list;
    list.Add("kept");
    QCOMPARE(ErrorOf<EFOpenError>([&] { list.LoadFromFile(path); }), QString::fromStdString("Cannot open file " + path + ": No such file or directory"));
    QCOMPARE(Lines(list), QByteArrayList{"kept"});
  }

  void indexError_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("Count") << 3;
    QTest::newRow("-1") << -1;
  }
  void indexError() {
    QFETCH(int, index);
    TS_StringList list;
    list.SetText("a\nb\nc\n");
    QCOMPARE(ErrorOf<EListError>([&] { list.Get(index); }), QString("List index out of bounds (%1)").arg(index));
  }

  void addOwnLineAfterManyDeletes() {
    // Deleting a long line leaves most of the store dead; adding a view of a surviving line makes
    // the store compact itself while the view still points into it.
    TS_StringList list;
    list.Add(std::string(100000, 'x'));
    list.Add("survivor");
    list.Delete(0);
    list.Add(list.View(0));
    list.Put(0, list.View(1));
    QCOMPARE(Lines(list), (QByteArrayList{"survivor", "survivor"}));
  }

  void extractLine_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<int>("stop");  // where the last call leaves the position
    QTest::newRow("CR LF then NUL") << QByteArray("ab\r\ncd") << QByteArrayList{"ab", "cd"} << 6;
    QTest::newRow("CR alone") << QByteArray("ab\rcd") << QByteArrayList{"ab", "cd"} << 5;
    QTest::newRow("LF alone") << QByteArray("ab\ncd") << QByteArrayList{"ab", "cd"} << 5;
    QTest::newRow("LF CR is two ends") << QByteArray("ab\n\rcd") << QByteArrayList{"ab", "", "cd"} << 6;
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"} << 5;
    QTest::newRow("end-of-file mark") << QByteArray("ab\r\ncd\x1A" "ef") << QByteArrayList{"ab", "cd"} << 6;
    QTest::newRow("empty text") << QByteArray("") << QByteArrayList{""} << 0;
  }
  void extractLine() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArrayList, lines);
    QFETCH(int, stop);
    const char* begin = text.constData();  // QByteArray keeps a NUL after its data
    const char* p = begin;
    QByteArrayList got;
    std::string s;
    do {
      p = ExtractLine(p, s);
      got << QByteArray::fromStdString(s);
    } while (*p != '\0' && *p != 26);
    QCOMPARE(got, lines);
    QCOMPARE(static_cast<int>(p - begin), stop);
    // At the end the position stays put.
    QCOMPARE(ExtractLine(p, s), p);
    QVERIFY(s.empty());
  }

  void copyLineRoundTrip() {
    const std::vector<std::string> lines{"first", "", "third line"};
    std::vector<char> buffer(64, '#');
    char* p = buffer.data();
    for (const std::string& line : lines) p = CopyLine(p, line);
    *p = '\0';
    QCOMPARE(QByteArray(buffer.data()), QByteArray("first\r\n\r\nthird line\r\n"));
    QCOMPARE(buffer[static_cast<size_t>(p - buffer.data()) + 1], '#');  // nothing written past the end

    const char* q = buffer.data();
    std::vector<std::string> back;
    std::string s;
    while (*q != '\0') {
      q = ExtractLine(q, s);
      back.push_back(s);
    }
    QVERIFY(back == lines);
  }
};

QTEST_APPLESS_MAIN(TstSStrLst)
#include "tst_s_strlst.moc"
