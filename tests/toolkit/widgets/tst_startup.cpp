// The arguments of a window program, checked before any display is opened.
#include <QtTest>

#include <string>
#include <vector>

#include "toolkit/widgets/startup.h"

class TestStartup : public QObject {
  Q_OBJECT

 private slots:
  void arguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("positional");
    QTest::newRow("none") << QStringList{} << "" << QStringList{};
    QTest::newRow("one folder") << QStringList{"/srv/shard"} << "" << QStringList{"/srv/shard"};
    QTest::newRow("two folders") << QStringList{"a", "b"} << "unexpected argument 'b'" << QStringList{"a"};
    QTest::newRow("unknown long") << QStringList{"--bogus"} << "unknown option '--bogus'" << QStringList{};
    QTest::newRow("unknown short") << QStringList{"-x"} << "unknown option '-x'" << QStringList{};
    QTest::newRow("ours with value") << QStringList{"--page", "gauge"} << "" << QStringList{};
    QTest::newRow("ours with =value") << QStringList{"--page=gauge", "a"} << "" << QStringList{"a"};
    QTest::newRow("ours without value") << QStringList{"--page"} << "option '--page' needs a value" << QStringList{};
    QTest::newRow("Qt's with value") << QStringList{"-platform", "offscreen", "a"} << "" << QStringList{"a"};
    QTest::newRow("Qt's with two dashes") << QStringList{"--style=fusion"} << "" << QStringList{};
    QTest::newRow("Qt's flag") << QStringList{"-reverse"} << "" << QStringList{};
    QTest::newRow("a flag given a value") << QStringList{"-reverse=1"} << "unknown option '-reverse=1'" << QStringList{};
    QTest::newRow("after --") << QStringList{"--", "-dash"} << "" << QStringList{"-dash"};
    QTest::newRow("a lone dash") << QStringList{"-"} << "" << QStringList{"-"};
  }
  void arguments() {
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    QFETCH(QStringList, positional);
    std::vector<std::string> storage{"program"};
    for (const QString& a : args) storage.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& s : storage) argv.push_back(s.data());
    std::vector<std::string> found;
    const std::optional<std::string> said =
        mirnax::ArgumentError(static_cast<int>(argv.size()), argv.data(), {{"--page"}, 1}, found);
    QCOMPARE(QString::fromStdString(said.value_or("")), error);
    QStringList got;
    for (const std::string& f : found) got.push_back(QString::fromStdString(f));
    QCOMPARE(got, positional);
  }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
