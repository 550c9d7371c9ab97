#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "toolkit/core/dialogs.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/widgets/application.h"
#include "toolkit/widgets/qt_dialogs.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using mirnax::Application;
using mirnax::Dialogs;
using mirnax::EConvertError;
using mirnax::EFOpenError;
using mirnax::Exception;
using mirnax::Handler;
using mirnax::SetDialogs;
using mirnax::TApplication;
using mirnax::TQtDialogs;
using mirnax::TScriptedDialogs;
using mirnax::mtError;

namespace {
// Qt's frames between notify() and an event handler are built without exception support, so an
// error unwinding through them skips their destructors and loses the event's own copies (a few
// hundred bytes per error box). That is the price of going on after the error, not a leak of ours.
struct TQtUnwindLeak {
#if defined(__SANITIZE_ADDRESS__)
  __lsan::ScopedDisabler disabler;
#endif
};

const std::string kTitle = "KEVO - MIRNAX SPECIAL EDITION";

// A widget whose mouse handler fails while armed.
class TThrowingWidget : public QWidget {
 public:
  bool armed = true;
  int presses = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override {
    if (armed) throw EConvertError("'x1' is not a valid integer value");
    ++presses;
  }
};
}  // namespace

class TRunner : public QObject {
  Q_OBJECT
 public:
  int runs = 0;
  bool fail = true;
  void Run() {
    ++runs;
    if (fail) throw EFOpenError("Cannot open file STATICS\\a.scp");
  }
};

class TestApplication : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dialogs_ = std::make_unique<TScriptedDialogs>();
    SetDialogs(dialogs_.get());
  }
  void cleanup() { SetDialogs(nullptr); }

  void title();
  void qtBoxesWithoutAsking();
  void errorInWrappedSlot();
  void errorInEventHandler();
  void errorInQueuedCall();
  void otherErrors_data();
  void otherErrors();

 private:
  void ExpectOneError(const std::string& text) {
    QCOMPARE(dialogs_->Calls.size(), size_t{1});
    QCOMPARE(dialogs_->Calls[0].Kind, std::string("Message"));
    QCOMPARE(dialogs_->Calls[0].Text, text);
    QCOMPARE(dialogs_->Calls[0].Caption, kTitle);
    QCOMPARE(dialogs_->Calls[0].Type, mtError);
  }
  std::unique_ptr<TScriptedDialogs> dialogs_;
};

// A program with a QApplication that installs nothing gets real boxes; a test must install its own.
void TestApplication::qtBoxesWithoutAsking() {
  SetDialogs(nullptr);
  QVERIFY(dynamic_cast<TQtDialogs*>(&Dialogs()));
}

void TestApplication::title() {
  QCOMPARE(Application, qobject_cast<TApplication*>(qApp));
  Application->SetTitle(kTitle);
  QCOMPARE(Application->Title(), kTitle);
  // The title is the error box's caption only; as Qt's display name it would be appended to the
  // caption of every window on X11 and Wayland.
  QCOMPARE(QApplication::applicationDisplayName(), QApplication::applicationName());
}

void TestApplication::errorInWrappedSlot() {
  QPushButton button("Start");
  button.show();
  TRunner runner;
  QObject::connect(&button, &QPushButton::clicked, &runner, Handler(&runner, &TRunner::Run));
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(runner.runs, 1);
  ExpectOneError("Cannot open file STATICS\\a.scp");

  runner.fail = false;
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(runner.runs, 2);
  QCOMPARE(dialogs_->Calls.size(), size_t{1});
}

void TestApplication::errorInEventHandler() {
  // From the widget's creation on: a skipped QPointer also keeps the widget's weak-pointer block.
  [[maybe_unused]] const TQtUnwindLeak expected;
  TThrowingWidget w;
  w.resize(50, 50);
  w.show();
  QTest::mouseClick(&w, Qt::LeftButton);
  ExpectOneError("'x1' is not a valid integer value");
  QCOMPARE(w.presses, 0);

  w.armed = false;
  QTest::mouseClick(&w, Qt::LeftButton);
  QCOMPARE(w.presses, 1);
  QCOMPARE(dialogs_->Calls.size(), size_t{1});
}

void TestApplication::errorInQueuedCall() {
  int after = 0;
  QTimer::singleShot(0, qApp, [] { throw Exception("late failure"); });
  QTimer::singleShot(0, qApp, [&] { ++after; });
  QTRY_COMPARE(after, 1);
  ExpectOneError("late failure");
}

void TestApplication::otherErrors_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("text");
  QTest::newRow("out of memory") << 0 << "Out of memory";
  QTest::newRow("standard library error") << 1 << "vector::at";
}

void TestApplication::otherErrors() {
  QFETCH(int, kind);
  QFETCH(QString, text);
  Application->Guard([&] {
    if (kind == 0) throw std::bad_alloc();
    throw std::out_of_range("vector::at");
  });
  ExpectOneError(text.toStdString());
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication app(argc, argv);
  app.SetTitle(kTitle);
  TestApplication test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
