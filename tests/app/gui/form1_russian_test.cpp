// The window under a Russian locale: its texts, the run's log and what its components say (a
// memo's box, a toolkit error) come from the Russian translation built into bin/translations.
#include <QDir>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/gui/form1.h"
#include "controls/jumpmemo/jumpmemo.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/translations.h"

using mirnax::TForm1;
using mirnax::TScriptedDialogs;

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

  // What a component says, as the user sees it: a box's caption and text, or an error's message.
  void componentsSpeakRussian_data() {
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("said");
    QTest::newRow("a memo's box") << "memo"
                                  << QString::fromUtf8("Ошибка: Неверный диапазон страниц. Вызовите печать ещё раз");
    QTest::newRow("a toolkit error") << "file" << QString::fromUtf8("Не удаётся открыть файл no-such-file: ");
  }
  void componentsSpeakRussian() {
    QFETCH(QString, component);
    QFETCH(QString, said);
    TScriptedDialogs dialogs;
    mirnax::SetDialogs(&dialogs);
    std::string shown;
    if (component == "memo") {
      mirnax::TJumpMemo memo;
      memo.Add("line");
      memo.Print("never.txt", 3, 2, true, false);  // a reversed range of pages
      QCOMPARE(dialogs.Calls.size(), size_t{1});
      shown = dialogs.Calls[0].Caption + ": " + dialogs.Calls[0].Text;
    } else {
      try {
        mirnax::TFileStream file("no-such-file", mirnax::fmOpenRead);
      } catch (const mirnax::EFOpenError& e) {
        shown = e.Message.substr(0, e.Message.rfind(": ") + 2);  // the system's reason follows
      }
    }
    mirnax::SetDialogs(nullptr);
    QCOMPARE(QString::fromStdString(shown), said);
  }
};

QTEST_MAIN(Form1RussianTest)
#include "form1_russian_test.moc"
