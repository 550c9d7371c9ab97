#include "components/zip_builder_widget.h"

#include <QPainter>

#include "zip/zip_builder.h"

namespace mirnax {

namespace {
constexpr int IconSize = 28;  // the size a non-visual component takes on a form

std::string Bytes(const QString& value) { return value.toStdString(); }
QString Text(const std::string& value) { return QString::fromStdString(value); }
}  // namespace

TZipBuilderWidget::TZipBuilderWidget(QWidget* parent) : QWidget(parent), builder_(std::make_unique<TZipBuilder>()) {
  setFixedSize(IconSize, IconSize);
  setToolTip("TZipBuilder");
  SetDesignMode(false);
}

TZipBuilderWidget::~TZipBuilderWidget() = default;

void TZipBuilderWidget::SetDesignMode(bool value) { setVisible(value); }

QString TZipBuilderWidget::ZipFileName() const { return Text(builder_->ZipFileName()); }
void TZipBuilderWidget::SetZipFileName(const QString& value) { builder_->SetZipFileName(Bytes(value)); }
QString TZipBuilderWidget::Password() const { return Text(builder_->Password()); }
void TZipBuilderWidget::SetPassword(const QString& value) { builder_->SetPassword(Bytes(value)); }
QString TZipBuilderWidget::ExtrBaseDir() const { return Text(builder_->ExtrBaseDir()); }
void TZipBuilderWidget::SetExtrBaseDir(const QString& value) { builder_->SetExtrBaseDir(Bytes(value)); }
QString TZipBuilderWidget::DLLDirectory() const { return Text(builder_->DLLDirectory()); }
void TZipBuilderWidget::SetDLLDirectory(const QString& value) { builder_->SetDLLDirectory(Bytes(value)); }
QString TZipBuilderWidget::TempDir() const { return Text(builder_->TempDir()); }
void TZipBuilderWidget::SetTempDir(const QString& value) { builder_->SetTempDir(Bytes(value)); }
QString TZipBuilderWidget::SFXCaption() const { return Text(builder_->SFXCaption()); }
void TZipBuilderWidget::SetSFXCaption(const QString& value) { builder_->SetSFXCaption(Bytes(value)); }
QString TZipBuilderWidget::SFXDefaultDir() const { return Text(builder_->SFXDefaultDir()); }
void TZipBuilderWidget::SetSFXDefaultDir(const QString& value) { builder_->SetSFXDefaultDir(Bytes(value)); }
int TZipBuilderWidget::AddCompLevel() const { return builder_->AddCompLevel(); }
void TZipBuilderWidget::SetAddCompLevel(int value) { builder_->SetAddCompLevel(value); }
qlonglong TZipBuilderWidget::MaxVolumeSize() const { return builder_->MaxVolumeSize(); }
void TZipBuilderWidget::SetMaxVolumeSize(qlonglong value) { builder_->SetMaxVolumeSize(value); }
bool TZipBuilderWidget::Verbose() const { return builder_->Verbose(); }
void TZipBuilderWidget::SetVerbose(bool value) { builder_->SetVerbose(value); }
bool TZipBuilderWidget::Trace() const { return builder_->Trace(); }
void TZipBuilderWidget::SetTrace(bool value) { builder_->SetTrace(value); }
bool TZipBuilderWidget::Unattended() const { return builder_->Unattended(); }
void TZipBuilderWidget::SetUnattended(bool value) { builder_->SetUnattended(value); }
bool TZipBuilderWidget::ConfirmErase() const { return builder_->ConfirmErase(); }
void TZipBuilderWidget::SetConfirmErase(bool value) { builder_->SetConfirmErase(value); }
QString TZipBuilderWidget::VersionInfo() const { return Text(builder_->VersionInfo()); }

void TZipBuilderWidget::paintEvent(QPaintEvent*) {
  // A zipped folder: a box with a zipper down the middle.
  QPainter p(this);
  const QRect box = rect().adjusted(2, 4, -3, -3);
  p.fillRect(rect(), palette().button());
  p.setPen(QColor(0x80, 0x60, 0x20));
  p.setBrush(QColor(0xf0, 0xc8, 0x60));
  p.drawRect(box);
  p.setPen(QColor(0x40, 0x40, 0x40));
  const int mid = box.center().x();
  for (int y = box.top() + 2; y < box.bottom() - 1; y += 3) p.drawLine(mid - 2, y, mid + 2, y);
  p.drawRect(QRect(mid - 2, box.bottom() - 6, 4, 5));
}

}  // namespace mirnax
