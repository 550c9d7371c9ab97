#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/support/file_helpers.h"
#include "tests/toolkit/core/string_list_probes.h"
#include "toolkit/core/classes.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"

using mirnax::EFCreateError;
using mirnax::EFOpenError;
using mirnax::EListError;
using mirnax::EStringListError;
using mirnax::ReadWholeFile;
using mirnax::TDuplicates;
using mirnax::TObject;
using mirnax::TStringList;
using mirnax::TStrings;
using mirnax::dupAccept;
using mirnax::dupError;
using mirnax::dupIgnore;
using mirnax::support::Bytes;
using mirnax::support::ErrorOf;
using mirnax::support::ReadBytes;
using mirnax::support::Str;
using mirnax::support::WriteBytes;

namespace {
std::vector<TObject*> Objects(const TStrings& l) {
  std::vector<TObject*> out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l.GetObject(i));
  return out;
}

std::vector<std::string> Split(const QByteArrayList& list) {
  std::vector<std::string> out;
  for (const QByteArray& b : list) out.push_back(Str(b));
  return out;
}

// Distinct objects to attach; the lists never own them.
struct Tag : TObject {
  explicit Tag(int v) : value(v) {}
  int value;
};
}  // namespace

class TestClasses : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(dir_.isValid()); }

  void loadFromFileLineEnds_data();
  void loadFromFileLineEnds();
  void everyByteRoundTrips();
  void lineEndsAtEveryPlace();
  void longLine();
  void loadErrorsLeaveListAlone_data();
  void loadErrorsLeaveListAlone();
  void saveToMissingFolder();
  void text();

  void indexErrors_data();
  void indexErrors();
  void objectsTravelWithLines();
  void objectsOfSortedList();
  void selfAliasing_data();
  void selfAliasing();

  void sortedDuplicates_data();
  void sortedDuplicates();
  void sortedAddObjectKeepsExistingObject();
  void findPositions_data();
  void findPositions();
  void sortedRefusesPlacedChanges();
  void caseSensitivity();

 private:
  std::string Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)).toStdString(); }
  QTemporaryDir dir_;
};

void TestClasses::loadFromFileLineEnds_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QByteArrayList>("lines");
  QTest::newRow("LF") << QByteArray("a\nbb\n") << QByteArrayList{"a", "bb"};
  QTest::newRow("CR LF") << QByteArray("a\r\nbb\r\n") << QByteArrayList{"a", "bb"};
  QTest::newRow("CR only") << QByteArray("a\rbb\r") << QByteArrayList{"a", "bb"};
  QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd\r\n") << QByteArrayList{"a", "b", "c", "d"};
  QTest::newRow("last line without end") << QByteArray("a\nlast") << QByteArrayList{"a", "last"};
  QTest::newRow("empty file") << QByteArray() << QByteArrayList{};
  QTest::newRow("one LF") << QByteArray("\n") << QByteArrayList{""};
  QTest::newRow("one CR") << QByteArray("\r") << QByteArrayList{""};
  QTest::newRow("blank lines") << QByteArray("\n\r\n\n") << QByteArrayList{"", "", ""};
  QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"};
  QTest::newRow("LF CR") << QByteArray("a\n\rb") << QByteArrayList{"a", "", "b"};
  QTest::newRow("NUL kept") << QByteArray("a\0b\n\0\nc\0", 8)
                            << QByteArrayList{QByteArray("a\0b", 3), QByteArray("\0", 1), QByteArray("c\0", 2)};
  QTest::newRow("end-of-file mark kept") << QByteArray("a\x1A\n") << QByteArrayList{"a\x1A"};
}

void TestClasses::loadFromFileLineEnds() {
  QFETCH(QByteArray, bytes);
  QFETCH(QByteArrayList, lines);
  const std::string file = Path("lines.txt");
  WriteBytes(file, bytes);

  TStringList l;
  l.Add("old content");
  l.LoadFromFile(file);
  QCOMPARE(Lines(l), Split(lines));

  TStringList fromText;
  fromText.SetText(Str(bytes));
  QCOMPARE(Lines(fromText), Split(lines));

  // A sorted list takes each line to its place; the line ends are read the same way.
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.SetDuplicates(dupAccept);
  sorted.SetCaseSensitive(true);
  sorted.LoadFromFile(file);
  std::vector<std::string> expected = Split(lines);
  std::sort(expected.begin(), expected.end());
  QCOMPARE(Lines(sorted), expected);
}

void TestClasses::everyByteRoundTrips() {
  // One line of every byte but CR and LF, then one line per byte.
  QByteArray bytes;
  for (int c = 0; c < 256; ++c)
    if (c != '\r' && c != '\n') bytes.append(static_cast<char>(c));
  bytes.append("\r\n");
  for (int c = 0; c < 256; ++c)
    if (c != '\r' && c != '\n') bytes.append(static_cast<char>(c)).append("\r\n");
  const std::string in = Path("bytes.txt"), out = Path("bytes-out.txt");
  WriteBytes(in, bytes);

  TStringList l;
  l.LoadFromFile(in);
  QCOMPARE(l.Count(), 1 + 254);
  QCOMPARE(l.View(0).size(), size_t{254});
  QCOMPARE(l.Get(1), std::string(1, '\0'));
  QCOMPARE(l.Get(254), std::string(1, '\xFF'));
  QCOMPARE(Bytes(l.Text()), bytes);
  l.SaveToFile(out);
  QCOMPARE(ReadBytes(out), bytes);
}

void TestClasses::lineEndsAtEveryPlace() {
  // The line ends are searched for several bytes at a time: put them at every place of such a
  // piece, beside bytes that differ from CR or LF in one bit or only in the high bit.
  const char alphabet[] = {'a', '\r', '\n', '\0', '\x0C', '\x0B', '\x8D', '\x8A', '\xFF', '\r', '\n'};
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 40, 'x');
    for (char& c : text) c = alphabet[random() % sizeof alphabet];
    std::vector<std::string> expected;
    for (size_t p = 0; p < text.size();) {
      size_t stop = p;
      while (stop < text.size() && text[stop] != '\r' && text[stop] != '\n') ++stop;
      expected.push_back(text.substr(p, stop - p));
      if (stop < text.size() && text[stop] == '\r') ++stop;
      if (stop < text.size() && text[stop] == '\n') ++stop;
      p = stop;
    }
    TStringList l;
    l.SetText(text);
    QCOMPARE(Lines(l), expected);
  }
}

void TestClasses::longLine() {
  std::string line;
  for (int i = 0; i < 100000; ++i) line.push_back(static_cast<char>('a' + i % 26));
  const std::string file = Path("long.txt");
  WriteBytes(file, Bytes("first\n" + line + "\r\nlast"));
  TStringList l;
  l.LoadFromFile(file);
  QCOMPARE(l.Count(), 3);
  QCOMPARE(l.Get(0), std::string("first"));
  QVERIFY(l.Get(1) == line);
  QCOMPARE(l.Get(2), std::string("last"));
}

void TestClasses::loadErrorsLeaveListAlone_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("makeFolder");
  QTest::newRow("missing file") << "missing.scp" << false;
  QTest::newRow("folder") << "folder.scp" << true;
}

void TestClasses::loadErrorsLeaveListAlone() {
  QFETCH(QString, name);
  QFETCH(bool, makeFolder);
  if (makeFolder) QVERIFY(QDir(dir_.path()).mkdir(name));
  const std::string file = Path(name.toUtf8().constData());
  TStringList l;
  l.Add("kept");
  const QString reason = makeFolder ? "Is a directory" : "No such file or directory";
  QCOMPARE(ErrorOf<EFOpenError>([&] { l.LoadFromFile(file); }), "Cannot open file " + QString::fromStdString(file) + ": " + reason);
  QCOMPARE(Lines(l), std::vector<std::string>{"kept"});
}

void TestClasses::saveToMissingFolder() {
  const std::string file = Path("no-such-folder/out.txt");
  TStringList l;
  l.Add("x");
  QCOMPARE(ErrorOf<EFCreateError>([&] { l.SaveToFile(file); }), "Cannot create file " + QString::fromStdString(file) + ": No such file or directory");
}

void TestClasses::text() {
  TStringList l;
  QCOMPARE(l.Text(), std::string());
  l.Add("a");
  l.Add("");
  l.Add("b");
  QCOMPARE(l.Text(), std::string("a\r\n\r\nb\r\n"));
  TStringList again;
  again.SetText(l.Text());
  QCOMPARE(Lines(again), Lines(l));
}

void TestClasses::indexErrors_data() {
  QTest::addColumn<int>("op");
  QTest::addColumn<int>("index");
  enum { get, put, del, ins, getObj, putObj, exch };
  // The list used has 3 lines.
  QTest::newRow("Get -1") << int(get) << -1;
  QTest::newRow("Get Count") << int(get) << 3;
  QTest::newRow("Put -1") << int(put) << -1;
  QTest::newRow("Put Count") << int(put) << 3;
  QTest::newRow("Delete -1") << int(del) << -1;
  QTest::newRow("Delete Count") << int(del) << 3;
  QTest::newRow("Insert -1") << int(ins) << -1;
  QTest::newRow("Insert Count+1") << int(ins) << 4;
  QTest::newRow("GetObject -1") << int(getObj) << -1;
  QTest::newRow("GetObject Count") << int(getObj) << 3;
  QTest::newRow("PutObject Count") << int(putObj) << 3;
  QTest::newRow("Exchange Count") << int(exch) << 3;
  QTest::newRow("Get far out") << int(get) << 1000000;
}

void TestClasses::indexErrors() {
  QFETCH(int, op);
  QFETCH(int, index);
  Tag t1(1);
  TStringList l;
  l.Add("zero");
  l.AddObject("one", &t1);
  l.Add("two");
  const std::vector<std::string> lines = Lines(l);
  const std::vector<TObject*> objects = Objects(l);
  Tag other(9);
  try {
    switch (op) {
      case 0: l.Get(index); break;
      case 1: l.Put(index, "new"); break;
      case 2: l.Delete(index); break;
      case 3: l.Insert(index, "new"); break;
      case 4: l.GetObject(index); break;
      case 5: l.PutObject(index, &other); break;
      case 6: l.Exchange(0, index); break;
    }
    QFAIL("no exception");
  } catch (const EListError& e) {
    QCOMPARE(e.Message, "List index out of bounds (" + std::to_string(index) + ")");
  }
  QCOMPARE(Lines(l), lines);
  QCOMPARE(Objects(l), objects);
  // Insert at Count is an append, not an error.
  l.Insert(l.Count(), "end");
  QCOMPARE(l.Get(3), std::string("end"));
}

void TestClasses::objectsTravelWithLines() {
  Tag a(1), b(2), c(3), d(4);
  TStringList l;
  l.Add("plain");  // a line added before any object exists keeps a null object
  l.AddObject("a", &a);
  l.AddObject("b", &b);
  QCOMPARE(Objects(l), (std::vector<TObject*>{nullptr, &a, &b}));

  l.Exchange(1, 2);
  QCOMPARE(Lines(l), (std::vector<std::string>{"plain", "b", "a"}));
  QCOMPARE(Objects(l), (std::vector<TObject*>{nullptr, &b, &a}));

  l.InsertObject(0, "c", &c);
  l.Insert(2, "no object");
  QCOMPARE(Lines(l), (std::vector<std::string>{"c", "plain", "no object", "b", "a"}));
  QCOMPARE(Objects(l), (std::vector<TObject*>{&c, nullptr, nullptr, &b, &a}));

  l.Delete(1);
  QCOMPARE(Objects(l), (std::vector<TObject*>{&c, nullptr, &b, &a}));
  l.Put(2, "B");  // changing the text keeps the object
  QCOMPARE(l.GetObject(2), static_cast<TObject*>(&b));

  TStringList other;
  other.AddObject("d", &d);
  other.AddStrings(l);
  QCOMPARE(Lines(other), (std::vector<std::string>{"d", "c", "no object", "B", "a"}));
  QCOMPARE(Objects(other), (std::vector<TObject*>{&d, &c, nullptr, &b, &a}));

  TStringList copy;
  copy.Add("replaced");
  copy.Assign(other);
  QCOMPARE(Lines(copy), Lines(other));
  QCOMPARE(Objects(copy), Objects(other));
  TStringList constructed(other);
  QCOMPARE(Objects(constructed), Objects(other));

  // Swap exchanges lines, objects and the sorted setting; both lists stay usable.
  TStringList small;
  small.SetSorted(true);
  small.Add("zz");
  small.Add("aa");
  copy.Swap(small);
  QCOMPARE(Lines(copy), (std::vector<std::string>{"aa", "zz"}));
  QVERIFY(copy.Sorted() && !small.Sorted());
  QCOMPARE(Lines(small), Lines(other));
  QCOMPARE(Objects(small), Objects(other));
  small.Add("after");
  copy.Add("mm");
  QCOMPARE(small.Get(5), std::string("after"));
  QCOMPARE(Lines(copy), (std::vector<std::string>{"aa", "mm", "zz"}));

  // Adding a list to itself doubles it; assigning it to itself changes nothing.
  l.AddStrings(l);
  QCOMPARE(Lines(l), (std::vector<std::string>{"c", "no object", "B", "a", "c", "no object", "B", "a"}));
  QCOMPARE(Objects(l), (std::vector<TObject*>{&c, nullptr, &b, &a, &c, nullptr, &b, &a}));
  l.Assign(l);
  QCOMPARE(l.Count(), 8);

  l.Clear();
  QCOMPARE(l.Count(), 0);
  l.Add("fresh");
  QCOMPARE(l.GetObject(0), static_cast<TObject*>(nullptr));
}

void TestClasses::objectsOfSortedList() {
  Tag a(1), b(2), c(3);
  TStringList l;
  l.AddObject("charlie", &c);
  l.AddObject("alpha", &a);
  l.AddObject("bravo", &b);
  l.SetSorted(true);
  QCOMPARE(Lines(l), (std::vector<std::string>{"alpha", "bravo", "charlie"}));
  QCOMPARE(Objects(l), (std::vector<TObject*>{&a, &b, &c}));
  Tag d(4);
  QCOMPARE(l.AddObject("another", &d), 1);
  QCOMPARE(Objects(l), (std::vector<TObject*>{&a, &d, &b, &c}));

  TStringList unsorted;
  unsorted.AddObject("zulu", &d);
  unsorted.AddObject("alpha", &a);
  unsorted.Sort();
  QCOMPARE(Objects(unsorted), (std::vector<TObject*>{&a, &d}));
}

void TestClasses::selfAliasing_data() {
  QTest::addColumn<bool>("compacting");
  QTest::newRow("small list") << false;
  // Enough dead bytes that the next stored line compacts the store first.
  QTest::newRow("store about to compact") << true;
}

void TestClasses::selfAliasing() {
  QFETCH(bool, compacting);
  const std::string zero(40, '0'), one(80, '1'), two = "two";
  TStringList l;
  l.Add(zero);
  l.Add(one);
  l.Add(two);
  auto prepare = [&] {
    if (!compacting) return;
    l.Add(std::string(200000, 'x'));
    l.Delete(l.Count() - 1);
  };

  prepare();
  l.Put(0, l.View(1));  // longer than the line it replaces
  QCOMPARE(Lines(l), (std::vector<std::string>{one, one, two}));
  prepare();
  l.Put(1, l.View(2));  // shorter
  QCOMPARE(Lines(l), (std::vector<std::string>{one, two, two}));
  prepare();
  l.Put(0, l.View(0));
  QCOMPARE(l.Get(0), one);
  prepare();
  l.Put(0, l.View(0).substr(10, 5));  // part of itself
  QCOMPARE(l.Get(0), one.substr(10, 5));
  prepare();
  l.Add(l.View(1));
  prepare();
  l.Insert(0, l.View(3));
  QCOMPARE(Lines(l), (std::vector<std::string>{two, one.substr(10, 5), two, two, two}));
  prepare();
  l.Add(l.View(0).substr(1));
  QCOMPARE(l.Get(5), std::string("wo"));
  prepare();
  l.Put(5, l.View(0).substr(3));  // the empty end of a line
  l.Put(4, std::string_view());
  QCOMPARE(l.Get(5), std::string());
  QCOMPARE(l.Get(4), std::string());
  QCOMPARE(l.Get(3), two);
}

void TestClasses::sortedDuplicates_data() {
  QTest::addColumn<int>("rule");
  QTest::addColumn<QByteArrayList>("after");
  QTest::addColumn<bool>("raises");
  QTest::newRow("dupIgnore") << int(dupIgnore) << QByteArrayList{"a", "B", "c"} << false;
  QTest::newRow("dupAccept") << int(dupAccept) << QByteArrayList{"a", "b", "B", "c"} << false;
  QTest::newRow("dupError") << int(dupError) << QByteArrayList{"a", "B", "c"} << true;
}

void TestClasses::sortedDuplicates() {
  QFETCH(int, rule);
  QFETCH(QByteArrayList, after);
  QFETCH(bool, raises);
  TStringList l;
  l.SetSorted(true);
  l.SetDuplicates(static_cast<TDuplicates>(rule));
  l.Add("c");
  l.Add("a");
  l.Add("B");
  try {
    const int at = l.Add("b");
    QVERIFY(!raises);
    QCOMPARE(at, 1);
  } catch (const EListError& e) {
    QVERIFY(raises);
    QCOMPARE(e.Message, std::string("String list does not allow duplicates"));
  }
  QCOMPARE(Lines(l), Split(after));
  QCOMPARE(l.IndexOf("C"), l.Count() - 1);
  QCOMPARE(l.IndexOf("d"), -1);
}

void TestClasses::sortedAddObjectKeepsExistingObject() {
  Tag first(1), second(2);
  TStringList l;
  l.SetSorted(true);
  l.AddObject("name", &first);
  QCOMPARE(l.AddObject("NAME", &second), 0);
  QCOMPARE(l.Count(), 1);
  QCOMPARE(l.GetObject(0), static_cast<TObject*>(&first));
}

void TestClasses::findPositions_data() {
  QTest::addColumn<QByteArray>("s");
  QTest::addColumn<bool>("found");
  QTest::addColumn<int>("index");
  // The list holds b, d, f.
  QTest::newRow("before all") << QByteArray("a") << false << 0;
  QTest::newRow("first") << QByteArray("b") << true << 0;
  QTest::newRow("between") << QByteArray("c") << false << 1;
  QTest::newRow("middle other case") << QByteArray("D") << true << 1;
  QTest::newRow("last") << QByteArray("f") << true << 2;
  QTest::newRow("after all") << QByteArray("g") << false << 3;
  QTest::newRow("prefix of a line") << QByteArray("") << false << 0;
}

void TestClasses::findPositions() {
  QFETCH(QByteArray, s);
  QFETCH(bool, found);
  QFETCH(int, index);
  TStringList l;
  l.SetSorted(true);
  for (const char* s2 : {"f", "b", "d"}) l.Add(s2);
  int at = -1;
  QCOMPARE(l.Find(s.toStdString(), at), found);
  QCOMPARE(at, index);

  TStringList empty;
  empty.SetSorted(true);
  QVERIFY(!empty.Find("x", at));
  QCOMPARE(at, 0);
}

void TestClasses::sortedRefusesPlacedChanges() {
  TStringList l;
  l.SetSorted(true);
  l.Add("a");
  l.Add("c");
  for (const std::function<void()>& change : std::vector<std::function<void()>>{
           [&] { l.Insert(0, "z"); },
           [&] { l.Put(0, "z"); },
       }) {
    QCOMPARE(ErrorOf<EListError>(change), QString("Operation not allowed on sorted list"));
    QCOMPARE(Lines(l), (std::vector<std::string>{"a", "c"}));
  }
  // Unsorted again, the same calls are allowed.
  l.SetSorted(false);
  l.Insert(0, "z");
  QCOMPARE(l.Get(0), std::string("z"));
}

void TestClasses::caseSensitivity() {
  TStringList l;
  l.Add("b");
  l.Add("B");
  l.Add("a");
  QCOMPARE(l.IndexOf("A"), 2);
  l.SetCaseSensitive(true);
  QCOMPARE(l.IndexOf("A"), -1);
  QCOMPARE(l.IndexOf("B"), 1);
  l.SetSorted(true);
  QCOMPARE(Lines(l), (std::vector<std::string>{"B", "a", "b"}));
  l.SetCaseSensitive(false);  // the order is redone under the new rule
  int at = -1;
  QVERIFY(l.Find("A", at));
  QCOMPARE(at, 0);
  // Cyrillic letters of the 8-bit text compare without regard to case too.
  TStringList cyr;
  cyr.Add("\xC0\xC1");  // capital
  QCOMPARE(cyr.IndexOf("\xE0\xE1"), 0);
}

QTEST_GUILESS_MAIN(TestClasses)
#include "tst_classes.moc"
