// The window under a Russian locale: its texts and the run's log come from the Russian translation
// built into bin/translations.
#include <QDir>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/gui/form1.h"
#include "toolkit/core/translations.h"

using mirnax::TForm1;

class Form1RussianTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(mirnax::LoadTranslations(QLocale(QLocale::Russian, QLocale::Russia))); }

  void windowAndLogSpeakRussian_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("Start") << "Button4" << QString::fromUtf8("Пуск");
    QTest::newRow("Search") << "Button6" << QString::fromUtf8("Поиск");
    QTest::newRow("the designed names stay") << "Label1" << "Staidx0";
    QTest::newRow("the log of an empty run") << "Memo1" << QString::fromUtf8("Предметы не найдены");
  }
  void windowAndLogSpeakRussian() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("STATICS"));
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
      TForm1 form;
      form.FormActivate();
      form.Button4Click();  // nothing selected
      QWidget* w = form.findChild<QWidget*>(control);
      QVERIFY(w);
      const QVariant shown = w->property(qobject_cast<QPlainTextEdit*>(w) ? "plainText" : "text");
      QCOMPARE(shown.toString(), text);
    }
    QDir::setCurrent(old);
  }
};

QTEST_MAIN(Form1RussianTest)
#include "form1_russian_test.moc"
