#include "app/gui/form1.h"

#include <QAction>
#include <QBuffer>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTextCursor>

#include <algorithm>

#include "app/core/run.h"
#include "app/core/run_texts.h"
#include "app/gui/form1_layout.h"
#include "app/gui/map_picture.h"
#include "app/gui/server_folder.h"
#include "controls/gauge/cgauge.h"
#include "controls/jumpmemo/jumpmemo.h"
#include "mirnax/version.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/filesearch.h"
#include "toolkit/core/paths.h"
#include "toolkit/widgets/application.h"
#include "ui_form1.h"

namespace mirnax {

namespace {
// The window's caption; a folder chosen in the window follows it.
const QString Caption = QStringLiteral("Kevo - MIRNAX SPECIAL EDITION - " MIRNAX_CAPTION_VERSION);

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

// Keeps the window painting and answering the window system while a run holds the thread, at most
// every 50 ms; user input meanwhile is eaten by the window's event filter. The gauges call it once
// per batch of lines or per block, so the clock is only read every 256th call.
class TKeepAlive {
 public:
  void Tick() {
    if ((++calls_ & 0xFF) != 0 && started_) return;
    if (started_ && timer_.elapsed() < 50) return;
    started_ = true;
    timer_.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }

 private:
  QElapsedTimer timer_;
  bool started_ = false;  // a plain flag: asking the timer costs a call into Qt on every line
  unsigned calls_ = 0;
};

// A gauge as the run drives it; the gauge keeps the rules of range and percentage. Steps are
// counted here and handed to the gauge only when they reach the next whole percentage, so a step
// costs a comparison, not a division.
class TGaugeSink : public TProgressSink {
 public:
  TGaugeSink(TCGauge* gauge, TKeepAlive& alive) : gauge_(gauge), alive_(alive) {}
  void Begin(int32_t total) override {
    gauge_->SetMinValue(0);
    gauge_->SetMaxValue(total);
    gauge_->SetProgress(0);
    total_ = total;
    done_ = 0;
    Reached();
  }
  void Step(int32_t count = 1) override {
    if ((done_ += count) >= next_) {
      gauge_->SetProgress(static_cast<int32_t>(std::min<int64_t>(done_, total_)));
      Reached();
    }
    alive_.Tick();
  }
  void Add(int32_t count) override {
    gauge_->SetProgress(static_cast<int32_t>(std::min<int64_t>(done_, total_)));
    gauge_->AddProgress(count);
    done_ = gauge_->Progress();
    Reached();
    alive_.Tick();
  }

 private:
  // The first count of steps that shows a higher whole percentage than the gauge shows now:
  // done shows P while P * total <= done * 100 < (P + 1) * total.
  void Reached() {
    const int64_t percent = gauge_->PercentDone();
    next_ = total_ <= 0 || percent >= 100 ? INT64_MAX : ((percent + 1) * total_ + 99) / 100;
  }

  int64_t total_ = 0;
  int64_t done_ = 0;
  int64_t next_ = 0;
  TCGauge* gauge_;
  TKeepAlive& alive_;
};

// The window as the run's host: Memo1, the gauges and JumpMemo1's lines.
class TWindowHost : public TRunHost {
 public:
  explicit TWindowHost(Ui::TForm1& ui) : ui_(ui), step_(ui.CGauge1, alive_), total_(ui.CGauge2, alive_) {}

  void ClearLog() override {
    ui_.Memo1->clear();
    logLines_ = 0;
  }
  // An empty editor and one holding a single empty line look alike; the first line replaces
  // the empty document so a log that starts with an empty line keeps it.
  void Log(const std::string& line) override {
    QTextCursor cursor(ui_.Memo1->document());
    cursor.movePosition(QTextCursor::End);
    if (logLines_++ > 0) cursor.insertBlock();
    cursor.insertText(Q(line));
    ui_.Memo1->setTextCursor(cursor);
    // Shown before the work it announces starts ("Loading ..." of a large file), which holds
    // the thread for seconds.
    ui_.Memo1->viewport()->repaint();
    alive_.Tick();
  }
  void AppendToLastLine(const std::string& text) override {
    QTextCursor cursor(ui_.Memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Q(text));
  }
  // The only question a run asks may throw the statics away: Return answers No.
  bool AskYesNo(const std::string& text) override { return Dialogs().YesNo(text, "", mbNo); }
  // The same question with the map beside it: where the statics are and where the new items go.
  bool AskClearStatics(const TClearQuestion& question) override {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    MapPicture(question.IndexPath, question.Store, question.Outside).save(&buffer, "PNG");
    return Dialogs().YesNoWithPicture(RunText(SClearStatics), "", mbNo, png.toStdString());
  }
  TProgressSink& StepGauge() override { return step_; }
  TProgressSink& TotalGauge() override { return total_; }

 private:
  Ui::TForm1& ui_;
  int logLines_ = 0;
  TKeepAlive alive_;
  TGaugeSink step_;
  TGaugeSink total_;
};
}  // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm1>()),
      baseDir_(IncludeTrailingPathDelimiter(GetCurrentDir())),
      config_(baseDir_) {
  ui->setupUi(this);
  setWindowTitle(Caption);
  NameControls();
  folderKnown_ = IsServerFolder(baseDir_);

  for (QWidget* child : findChildren<QWidget*>())
    if (Form1Grows(child->objectName())) partPlaces_.emplace_back(child, child->geometry());
  // The designed size is the least; larger, the list and the log take the room (form1_layout.h).
  setMinimumSize(Form1PartSize);
  resize(Form1PartSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }

  connect(ui->Edit1, &QLineEdit::textChanged, this, Handler(this, &TForm1::Edit1Change));
  connect(ui->Edit2, &QLineEdit::textChanged, this, Handler(this, &TForm1::Edit2Change));
  connect(ui->Button1, &QPushButton::clicked, this, Handler(this, &TForm1::Button1Click));
  connect(ui->Button2, &QPushButton::clicked, this, Handler(this, &TForm1::Button2Click));
  connect(ui->Button3, &QPushButton::clicked, this, Handler(this, &TForm1::Button3Click));
  connect(ui->Button4, &QPushButton::clicked, this, Handler(this, &TForm1::Button4Click));
  connect(ui->Button5, &QPushButton::clicked, this, Handler(this, &TForm1::Button5Click));
  connect(ui->Button6, &QPushButton::clicked, this, Handler(this, &TForm1::Button6Click));

  auto* chooseFolder = new QAction(tr("Choose the server's folder..."), this);
  chooseFolder->setObjectName("ChooseFolderAction");
  chooseFolder->setShortcut(QKeySequence::Open);
  chooseFolder->setShortcutContext(Qt::WindowShortcut);
  connect(chooseFolder, &QAction::triggered, this, Handler(this, &TForm1::ChooseFolderClick));
  addAction(chooseFolder);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

TForm1::~TForm1() = default;

void TForm1::NameControls() {
  ui->Label1->setBuddy(ui->Edit1);
  ui->Label2->setBuddy(ui->Edit2);
  const struct {
    QWidget* control;
    QString name, description;
  } names[] = {
      {ui->Edit1, tr("Statics index file (Staidx0)"), tr("Full path of the statics index file; stored at every change")},
      {ui->Button1, tr("Choose the statics index file"), {}},
      {ui->Edit2, tr("Statics data file (Statics0)"), tr("Full path of the statics data file; stored at every change")},
      {ui->Button2, tr("Choose the statics data file"), {}},
      {ui->ListBox1, tr("World files"), tr("The world files of the STATICS folder; a click selects or unselects one")},
      {ui->Button6, {}, tr("List the world files of the STATICS folder again")},
      {ui->Button3, {}, tr("Select every world file")},
      {ui->Button5, {}, tr("Select no world file")},
      {ui->Memo1, tr("Run log"), tr("What the last run did")},
      {ui->CGauge1, tr("Progress of the current step"), {}},
      {ui->Button4, {}, tr("Freeze the selected world files into the statics files")},
      {ui->CGauge2, tr("Progress of the whole run"), {}},
      {ui->JumpMemo1, tr("World file loader"), {}},
  };
  for (const auto& n : names) {
    if (!n.name.isEmpty()) n.control->setAccessibleName(n.name);
    if (!n.description.isEmpty()) n.control->setAccessibleDescription(n.description);
  }
}

bool TForm1::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) {
    if (running_)
      activatePending_ = true;  // a box closed during a run: reload once the run is over
    else if (Application)
      Application->Guard([this] { FormActivate(); });
    else
      FormActivate();
  }
  return QWidget::event(e);
}

void TForm1::resizeEvent(QResizeEvent* e) {
  const QSize extra = (size() - Form1PartSize).expandedTo(QSize(0, 0));
  for (const auto& [control, part] : partPlaces_)
    control->setGeometry(Form1GrownRect(control->objectName(), part, extra));
  QWidget::resizeEvent(e);
}

void TForm1::closeEvent(QCloseEvent* e) {
  if (running_)
    e->ignore();
  else
    QWidget::closeEvent(e);
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
  // During a run the window takes no input; boxes the run shows (other windows) still do.
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
      if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == this) return true;
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, e);
}

void TForm1::FormActivate() {
  if (!folderKnown_ && !folderOffered_) OfferFolder();
  // Setting the fields raises their change handlers; they find the same text stored and write nothing.
  ui->Edit1->setText(Q(config_.IndexPath()));
  ui->Edit2->setText(Q(config_.DataPath()));
  Button6Click();
}

void TForm1::Edit1Change() { StorePath(&TStaticsConfig::StoreIndexPath, ui->Edit1); }
void TForm1::Edit2Change() { StorePath(&TStaticsConfig::StoreDataPath, ui->Edit2); }

void TForm1::StorePath(void (TStaticsConfig::*store)(const std::string&), const QLineEdit* edit) {
  if (!folderKnown_) return;  // no mirnax.ini in a folder that is no server's (the home folder)
  try {
    (config_.*store)(S(edit->text()));
    storeRefused_ = false;
  } catch (const Exception& e) {
    // Said once, not at every keystroke, until the file takes a path again.
    if (storeRefused_) return;
    storeRefused_ = true;
    Dialogs().Message(S(tr("The path cannot be stored: ")) + e.Message, Application ? Application->Title() : "", mtError);
  }
}

void TForm1::OfferFolder() {
  folderOffered_ = true;
  ui->Memo1->setPlainText(
      tr("There is neither a STATICS folder nor mirnax.ini in %1.\n"
         "Choose the server's folder (Ctrl+O, or the window's context menu);\n"
         "until then no path typed here is stored.")
          .arg(QDir::toNativeSeparators(QDir::currentPath())));
  ChooseFolder();
}

bool TForm1::ChooseFolder() {
  const std::vector<std::string> recent = TRecentFolders().List();
  TFolderDialogOptions options;
  options.Title = S(tr("Choose the server's folder"));
  options.InitialDir = recent.empty() ? baseDir_ : recent.front();
  options.Offered = recent;
  std::string folder;
  if (!Dialogs().ChooseFolder(options, folder)) return false;
  UseFolder(folder);
  return true;
}

void TForm1::UseFolder(const std::string& folder) {
  const QString path = QDir::cleanPath(QFileInfo(Q(folder)).absoluteFilePath());
  if (!QFileInfo(path).isDir() || !QDir::setCurrent(path))
    throw Exception(S(tr("Cannot work in %1: it is not a folder that can be opened").arg(path)));
  baseDir_ = IncludeTrailingPathDelimiter(GetCurrentDir());
  config_ = TStaticsConfig(baseDir_);
  folderKnown_ = true;
  TRecentFolders().Add(S(path));
  setWindowTitle(Caption + " - " + QDir::toNativeSeparators(path));
  ui->Memo1->clear();
}

void TForm1::ChooseFolderClick() {
  if (running_) return;
  if (ChooseFolder()) FormActivate();
}

void TForm1::ChoosePath(QLineEdit* edit, void (TForm1::*change)()) {
  TOpenDialogOptions options;
  options.InitialDir = ExtractFileDir(S(edit->text()));
  options.Filter = TOpenDialog1Settings::Filter;
  options.DefaultExt = TOpenDialog1Settings::DefaultExt;
  std::string fileName;
  if (!Dialogs().OpenFile(options, fileName)) return;
  const QString text = Q(fileName);
  if (edit->text() == text)
    (this->*change)();  // unchanged text raises no change event; store it all the same
  else
    edit->setText(text);
}

void TForm1::Button1Click() { ChoosePath(ui->Edit1, &TForm1::Edit1Change); }
void TForm1::Button2Click() { ChoosePath(ui->Edit2, &TForm1::Edit2Change); }

void TForm1::Button6Click() {
  ui->ListBox1->clear();
  for (const std::string& name : FindFiles(WorldFilePattern())) ui->ListBox1->addItem(Q(name));
}

void TForm1::Button3Click() { ui->ListBox1->selectAll(); }
void TForm1::Button5Click() { ui->ListBox1->clearSelection(); }

TRunRequest TForm1::Request() const {
  TRunRequest request;
  for (int i = 0; i < ui->ListBox1->count(); ++i) {
    const QListWidgetItem* item = ui->ListBox1->item(i);
    if (!item->isSelected()) {
      ++request.Unchosen;
      continue;
    }
    const std::string name = S(item->text());
    request.WorldFiles.push_back({name, WorldFilePath(baseDir_, name)});
  }
  request.IndexPath = S(ui->Edit1->text());
  request.DataPath = S(ui->Edit2->text());
  request.Map = config_.MapSize();  // read at every run, as the paths are
  return request;
}

void TForm1::Button4Click() {
  if (running_) return;
  // Whatever way the run ends, the window is usable again afterwards.
  struct TRunScope {
    TForm1& form;
    QPointer<QWidget> focus;
    explicit TRunScope(TForm1& f) : form(f), focus(f.focusWidget()) {
      form.running_ = true;
      form.activatePending_ = false;
      // Disabling the focused Start would hand the focus on to the next field as if tabbed to,
      // its whole text selected for the next stray key; nobody holds it during the run instead.
      if (form.ui->Button4->hasFocus()) form.ui->Button4->clearFocus();
      form.ui->Button4->setEnabled(false);
      qApp->installEventFilter(&form);
    }
    ~TRunScope() {
      qApp->removeEventFilter(&form);
      form.ui->Button4->setEnabled(true);
      form.running_ = false;
      if (focus) focus->setFocus(Qt::OtherFocusReason);
    }
  };
  {
    TRunScope scope(*this);
    TWindowHost host(*ui);
    RunFreeze(Request(), host);
  }
  if (activatePending_) {
    activatePending_ = false;
    FormActivate();
  }
}

}  // namespace mirnax
