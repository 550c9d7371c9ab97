// The zip page: a TZipBuilder behind a small archive manager. Open an archive and see its members,
// add files or a folder, delete the selected members, extract or test; the gauge follows
// OnProgress, the log shows OnMessage, and Cancel stops a running call. The archive can be spread
// over volumes (numbered files in a folder, or disks of a simulated removable drive with the disk
// prompts a user sees), joined back, made self-extracting and converted back.
#include <QCoreApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "controls/gauge/cgauge.h"
#include "demo/gallery/gallery_pages.h"
#include "toolkit/core/simulated_drive.h"
#include "zip/zip_builder.h"

using mirnax::AddDirNames;
using mirnax::AddEncrypt;
using mirnax::AddOpts;
using mirnax::AddRecurseDirs;
using mirnax::ExtrDirNames;
using mirnax::ExtrOpts;
using mirnax::ExtrOverWrite;
using mirnax::ExtrTest;
using mirnax::ProgressType;
using mirnax::TCGauge;
using mirnax::TObject;
using mirnax::TSimulatedDrive;
using mirnax::TZipBuilder;
using mirnax::ZipDirEntry;
using mirnax::ptEndOfBatch;
using mirnax::ptNewFile;
using mirnax::ptTotalFiles;
using mirnax::ptTotalSize;
using mirnax::ptUpdate;

namespace {

// The component lives as long as the page.
class TZipPage : public QWidget {
 public:
  explicit TZipPage(QWidget* parent);

 private:
  // Building the page.
  void MakeWidgets();
  void LayOut();
  void WatchComponent();
  void ConnectActions();
  void ShowProgress(ProgressType type, const std::string& name, int64_t size);
  // The buttons.
  void ChooseArchive();
  void PrepareAdd();
  void AddFiles();
  void AddFolder();
  void DeleteSelected();
  void ExtractTo(bool testOnly);
  void SpanToVolumes();
  void JoinVolumes();
  TSimulatedDrive& Drive();

  void ShowContents();
  void Run(const std::function<void()>& operation);
  void OpenArchive(const QString& path);
  void MakeSample();
  QString ChooseFolder(const QString& caption);

  // The page's own folder (private, of a name nobody can guess), removed with the page once the
  // component and the drive that work in it are gone.
  QTemporaryDir work_{QDir::temp().filePath("mirnax-gallery-zip-XXXXXX")};
  std::unique_ptr<TZipBuilder> zip_ = std::make_unique<TZipBuilder>();
  QLineEdit* archive_;
  QTreeWidget* members_;
  QLabel* comment_;
  TCGauge* gauge_;
  QPlainTextEdit* log_;
  QSpinBox* level_;
  QCheckBox* dirNames_;
  QCheckBox* overwrite_;
  QLineEdit* password_;
  QPushButton *open_, *addFiles_, *addFolder_, *remove_, *extract_, *test_;
  QPushButton *span_, *join_, *makeSfx_, *toZip_;
  QList<QPushButton*> actions_;
  QPushButton* cancel_;
  QSpinBox* volumeKb_;
  QCheckBox* floppy_;
  std::unique_ptr<TSimulatedDrive> drive_;
  QString spanned_;  // the output of the last span onto the drive
  int64_t total_ = 0;
  int64_t done_ = 0;
};

QString DosDate(uint16_t date, uint16_t time) {
  const QDate d(1980 + (date >> 9), (date >> 5) & 15, date & 31);
  const QTime t(time >> 11, (time >> 5) & 63, (time & 31) * 2);
  return QDateTime(d, t).toString("yyyy-MM-dd hh:mm");
}

TZipPage::TZipPage(QWidget* parent) : QWidget(parent) {
  MakeWidgets();
  LayOut();
  WatchComponent();
  ConnectActions();
  MakeSample();
}

void TZipPage::MakeWidgets() {
  archive_ = new QLineEdit(this);
  archive_->setAccessibleName(QCoreApplication::translate("Gallery", "Archive"));
  archive_->setPlaceholderText(QCoreApplication::translate("Gallery", "Archive file"));
  members_ = new QTreeWidget(this);
  members_->setObjectName("ZipMembers");
  members_->setAccessibleName(QCoreApplication::translate("Gallery", "Archive members"));
  members_->setHeaderLabels(
      {QCoreApplication::translate("Gallery", "Name"), QCoreApplication::translate("Gallery", "Size"),
       QCoreApplication::translate("Gallery", "Packed"), QCoreApplication::translate("Gallery", "Ratio"),
       QCoreApplication::translate("Gallery", "Date"), QCoreApplication::translate("Gallery", "Comment")});
  members_->setRootIsDecorated(false);
  members_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  members_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  members_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  comment_ = new QLabel(this);
  gauge_ = new TCGauge(this);
  gauge_->setAccessibleName(QCoreApplication::translate("Gallery", "Progress"));
  gauge_->setFixedHeight(22);
  log_ = new QPlainTextEdit(this);
  log_->setAccessibleName(QCoreApplication::translate("Gallery", "Messages"));
  log_->setReadOnly(true);
  log_->setMaximumBlockCount(2000);
  level_ = new QSpinBox(this);
  level_->setAccessibleName(QCoreApplication::translate("Gallery", "Compression level"));
  level_->setRange(0, 9);
  level_->setValue(zip_->AddCompLevel());
  dirNames_ = new QCheckBox(QCoreApplication::translate("Gallery", "Folder names"), this);
  dirNames_->setChecked(true);
  overwrite_ = new QCheckBox(QCoreApplication::translate("Gallery", "Overwrite"), this);
  password_ = new QLineEdit(this);
  password_->setAccessibleName(QCoreApplication::translate("Gallery", "Password"));
  password_->setEchoMode(QLineEdit::Password);
  password_->setPlaceholderText(QCoreApplication::translate("Gallery", "none"));
  volumeKb_ = new QSpinBox(this);
  volumeKb_->setAccessibleName(QCoreApplication::translate("Gallery", "Volume size (KB)"));
  volumeKb_->setRange(1, 4 * 1024 * 1024);
  volumeKb_->setValue(1);
  volumeKb_->setSuffix(" KB");
  floppy_ = new QCheckBox(QCoreApplication::translate("Gallery", "Simulated removable drive"), this);

  open_ = new QPushButton(QCoreApplication::translate("Gallery", "Open..."), this);
  addFiles_ = new QPushButton(QCoreApplication::translate("Gallery", "Add files..."), this);
  addFolder_ = new QPushButton(QCoreApplication::translate("Gallery", "Add folder..."), this);
  remove_ = new QPushButton(QCoreApplication::translate("Gallery", "Delete selected"), this);
  extract_ = new QPushButton(QCoreApplication::translate("Gallery", "Extract to..."), this);
  test_ = new QPushButton(QCoreApplication::translate("Gallery", "Test"), this);
  cancel_ = new QPushButton(QCoreApplication::translate("Gallery", "Cancel"), this);
  cancel_->setEnabled(false);
  span_ = new QPushButton(QCoreApplication::translate("Gallery", "Span to volumes..."), this);
  join_ = new QPushButton(QCoreApplication::translate("Gallery", "Join volumes..."), this);
  makeSfx_ = new QPushButton(QCoreApplication::translate("Gallery", "Make self-extracting"), this);
  toZip_ = new QPushButton(QCoreApplication::translate("Gallery", "Convert back"), this);
  actions_ = {open_, addFiles_, addFolder_, remove_, extract_, test_, span_, join_, makeSfx_, toZip_};
}

void TZipPage::LayOut() {
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QCoreApplication::translate("Gallery", "Archive:"), this));
  top->addWidget(archive_, 1);
  top->addWidget(open_);
  auto* options = new QHBoxLayout;
  options->addWidget(new QLabel(QCoreApplication::translate("Gallery", "Level:"), this));
  options->addWidget(level_);
  options->addWidget(dirNames_);
  options->addWidget(overwrite_);
  options->addWidget(new QLabel(QCoreApplication::translate("Gallery", "Password:"), this));
  options->addWidget(password_);
  options->addStretch(1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {addFiles_, addFolder_, remove_, extract_, test_, cancel_}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* volumes = new QHBoxLayout;
  volumes->addWidget(new QLabel(QCoreApplication::translate("Gallery", "Volume size:"), this));
  volumes->addWidget(volumeKb_);
  volumes->addWidget(floppy_);
  for (QPushButton* b : {span_, join_, makeSfx_, toZip_}) volumes->addWidget(b);
  volumes->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(members_, 3);
  layout->addWidget(comment_);
  layout->addLayout(options);
  layout->addLayout(buttons);
  layout->addLayout(volumes);
  layout->addWidget(gauge_);
  layout->addWidget(log_, 1);
}

void TZipPage::WatchComponent() {
  zip_->OnDirUpdate = [this](TObject*) { ShowContents(); };
  zip_->OnMessage = [this](TObject*, int code, const std::string& text) {
    log_->appendPlainText((code != 0 ? QString("[%1] ").arg(code) : QString()) + QString::fromStdString(text));
  };
  zip_->OnProgress = [this](TObject*, ProgressType type, const std::string& name, int64_t size) {
    ShowProgress(type, name, size);
  };
}

void TZipPage::ShowProgress(ProgressType type, const std::string& name, int64_t size) {
  switch (type) {
    case ptTotalSize:
      total_ = std::max<int64_t>(size, 1);
      done_ = 0;
      break;
    case ptNewFile:
      log_->appendPlainText(
          QCoreApplication::translate("Gallery", "  %1 (%2 bytes)").arg(QString::fromStdString(name)).arg(size));
      break;
    case ptUpdate:
      done_ += size;
      break;
    case ptEndOfBatch:
      done_ = total_;
      break;
    case ptTotalFiles:
      break;
  }
  gauge_->SetProgress(static_cast<int>(total_ > 0 ? done_ * 100 / total_ : 0));
}

void TZipPage::ConnectActions() {
  connect(archive_, &QLineEdit::returnPressed, this, [this] { OpenArchive(archive_->text()); });
  connect(open_, &QPushButton::clicked, this, &TZipPage::ChooseArchive);
  connect(addFiles_, &QPushButton::clicked, this, &TZipPage::AddFiles);
  connect(addFolder_, &QPushButton::clicked, this, &TZipPage::AddFolder);
  connect(remove_, &QPushButton::clicked, this, &TZipPage::DeleteSelected);
  connect(extract_, &QPushButton::clicked, this, [this] { ExtractTo(false); });
  connect(test_, &QPushButton::clicked, this, [this] { ExtractTo(true); });
  connect(cancel_, &QPushButton::clicked, this, [this] { zip_->SetCancel(true); });
  connect(span_, &QPushButton::clicked, this, &TZipPage::SpanToVolumes);
  connect(join_, &QPushButton::clicked, this, &TZipPage::JoinVolumes);
  connect(makeSfx_, &QPushButton::clicked, this, [this] {
    Run([this] {
      if (zip_->ConvertSFX() == 0) archive_->setText(QString::fromStdString(zip_->ZipFileName()));
    });
  });
  connect(toZip_, &QPushButton::clicked, this, [this] {
    Run([this] {
      if (zip_->ConvertZIP() == 0) archive_->setText(QString::fromStdString(zip_->ZipFileName()));
    });
  });
}

void TZipPage::ChooseArchive() {
  const QString path = QFileDialog::getSaveFileName(
      this, QCoreApplication::translate("Gallery", "Open or create an archive"), archive_->text(),
      QCoreApplication::translate("Gallery", "Zip archives (*.zip);;All files (*)"), nullptr,
      QFileDialog::DontConfirmOverwrite);
  if (!path.isEmpty()) OpenArchive(path);
}

void TZipPage::PrepareAdd() {
  zip_->SetAddCompLevel(level_->value());
  zip_->SetPassword(password_->text().toStdString());
  AddOpts options{AddRecurseDirs};
  if (dirNames_->isChecked()) options.Include(AddDirNames);
  if (!password_->text().isEmpty()) options.Include(AddEncrypt);
  zip_->SetAddOptions(options);
}

void TZipPage::AddFiles() {
  const QStringList files = QFileDialog::getOpenFileNames(this, QCoreApplication::translate("Gallery", "Add files"));
  if (files.isEmpty()) return;
  PrepareAdd();
  // Names are stored relative to the files' folder.
  QDir::setCurrent(QFileInfo(files.first()).absolutePath());
  for (const QString& f : files) zip_->FSpecArgs().Add(QDir::current().relativeFilePath(f).toStdString());
  Run([this] { zip_->Add(); });
}

void TZipPage::AddFolder() {
  const QString folder = ChooseFolder(QCoreApplication::translate("Gallery", "Add a folder"));
  if (folder.isEmpty()) return;
  PrepareAdd();
  QDir::setCurrent(QFileInfo(folder).absolutePath());
  zip_->FSpecArgs().Add(QFileInfo(folder).fileName().toStdString());
  Run([this] { zip_->Add(); });
}

void TZipPage::DeleteSelected() {
  for (QTreeWidgetItem* item : members_->selectedItems()) zip_->FSpecArgs().Add(item->text(0).toStdString());
  if (zip_->FSpecArgs().Count() == 0) return;
  Run([this] { zip_->Delete(); });
}

void TZipPage::ExtractTo(bool testOnly) {
  QString target;
  if (!testOnly && (target = ChooseFolder(QCoreApplication::translate("Gallery", "Extract to"))).isEmpty()) return;
  zip_->SetExtrBaseDir(target.toStdString());
  zip_->SetPassword(password_->text().toStdString());
  ExtrOpts options;
  if (dirNames_->isChecked()) options.Include(ExtrDirNames);
  if (overwrite_->isChecked()) options.Include(ExtrOverWrite);
  if (testOnly) options.Include(ExtrTest);
  zip_->SetExtrOptions(options);
  for (QTreeWidgetItem* item : members_->selectedItems()) zip_->FSpecArgs().Add(item->text(0).toStdString());
  Run([this] { zip_->Extract(); });
}

// The simulated drive: a folder whose disk is swapped each time a prompt is answered, each new disk
// as large as a volume.
TSimulatedDrive& TZipPage::Drive() {
  const int64_t size = int64_t{volumeKb_->value()} * 1024;
  if (!drive_)
    drive_ = std::make_unique<TSimulatedDrive>(work_.filePath("drive").toStdString(), "", size);
  drive_->SetBlankCapacity(size);
  return *drive_;
}

void TZipPage::SpanToVolumes() {
  const QString source = QString::fromStdString(zip_->ZipFileName());
  if (source.isEmpty()) return;
  QString folder = floppy_->isChecked() ? QString::fromStdString(Drive().Root())
                                        : ChooseFolder(QCoreApplication::translate("Gallery", "Span into folder"));
  if (folder.isEmpty()) return;
  const QString output = QDir(folder).filePath(QFileInfo(source).fileName());
  zip_->SetMaxVolumeSize(floppy_->isChecked() ? 0 : int64_t{volumeKb_->value()} * 1024);
  zip_->SetMinFreeVolumeSize(1024);
  Run([&] {
    if (zip_->WriteSpan(source.toStdString(), output.toStdString()) == 0) {
      log_->appendPlainText(QCoreApplication::translate("Gallery", "Spanned onto %1").arg(output));
      spanned_ = output;
    }
  });
}

void TZipPage::JoinVolumes() {
  QString last;
  if (floppy_->isChecked()) {
    // The set last spanned onto the drive, whatever archive is open now.
    const QString source = spanned_.isEmpty() ? QString::fromStdString(zip_->ZipFileName()) : spanned_;
    last = QDir(QString::fromStdString(Drive().Root())).filePath(QFileInfo(source).fileName());
  } else {
    last = QFileDialog::getOpenFileName(this, QCoreApplication::translate("Gallery", "Last volume of the set"),
                                        QDir::homePath(), QCoreApplication::translate("Gallery", "Archives (*.zip)"));
  }
  if (last.isEmpty()) return;
  std::string joined = work_.filePath("joined/").toStdString();
  QDir().mkpath(QString::fromStdString(joined));
  Run([&] {
    if (zip_->ReadSpan(last.toStdString(), joined) == 0) OpenArchive(QString::fromStdString(joined));
  });
}

QString TZipPage::ChooseFolder(const QString& caption) {
  return QFileDialog::getExistingDirectory(this, caption, QDir::homePath());
}

void TZipPage::Run(const std::function<void()>& operation) {
  const QString before = QDir::currentPath();
  for (QPushButton* b : actions_) b->setEnabled(false);
  cancel_->setEnabled(true);
  gauge_->SetProgress(0);
  operation();
  cancel_->setEnabled(false);
  for (QPushButton* b : actions_) b->setEnabled(true);
  QDir::setCurrent(before);
  log_->appendPlainText(QCoreApplication::translate("Gallery", "Done: %1 file(s)").arg(zip_->SuccessCnt()));
}

void TZipPage::OpenArchive(const QString& path) {
  archive_->setText(path);
  zip_->SetZipFileName(path.toStdString());
}

void TZipPage::ShowContents() {
  members_->clear();
  for (const ZipDirEntry& e : zip_->ZipContents()) {
    const QString ratio = e.UncompressedSize == 0
                              ? QString("-")
                              : QString("%1%").arg(100.0 - 100.0 * e.CompressedSize / e.UncompressedSize, 0, 'f', 1);
    auto* item = new QTreeWidgetItem(members_, {QString::fromStdString(e.FileName), QString::number(e.UncompressedSize),
                                                QString::number(e.CompressedSize), ratio,
                                                DosDate(e.ModifDate, e.ModifTime), QString::fromStdString(e.FileComment)});
    for (int column : {1, 2, 3}) item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
  }
  const QString comment = QString::fromStdString(zip_->ZipComment());
  comment_->setText(
      QCoreApplication::translate("Gallery", "%1 member(s)%2")
          .arg(zip_->Count())
          .arg(comment.isEmpty() ? QString() : QCoreApplication::translate("Gallery", "; comment: %1").arg(comment)));
}

// A small archive to look at, made by the component itself in the page's folder.
void TZipPage::MakeSample() {
  const QString folder = work_.path();
  QDir().mkpath(folder + "/sample/docs");
  const auto put = [&](const QString& name, const QByteArray& bytes) {
    QFile f(folder + "/sample/" + name);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
  };
  put("readme.txt", QByteArray("A sample archive made by TZipBuilder.\n").repeated(200));
  put("docs/notes.txt", QByteArray("notes ").repeated(1000));
  QByteArray noise(4096, '\0');
  for (int i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919) ^ (i >> 3));
  put("docs/noise.bin", noise);
  const QString before = QDir::currentPath();
  QDir::setCurrent(folder);
  zip_->SetUnattended(true);
  zip_->SetAddOptions({AddDirNames, AddRecurseDirs});
  zip_->SetZipFileName((folder + "/sample.zip").toStdString());
  zip_->FSpecArgs().Add("sample");
  zip_->Add();
  zip_->SetUnattended(false);
  QDir::setCurrent(before);
  archive_->setText(folder + "/sample.zip");
  ShowContents();
}

}  // namespace

QWidget* MakeZipPage(QWidget* parent) { return new TZipPage(parent); }
