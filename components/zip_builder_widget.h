// TZipBuilder on a form: the non-visual component held by a small stand-in widget, so that a form
// designer can place it and edit its published properties. At run time the stand-in is hidden and
// the program works with Builder().
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "mirnax/mirnax_export.h"

namespace mirnax {

class TZipBuilder;

class MIRNAX_EXPORT TZipBuilderWidget : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString ZipFileName READ ZipFileName WRITE SetZipFileName)
  Q_PROPERTY(QString Password READ Password WRITE SetPassword)
  Q_PROPERTY(QString ExtrBaseDir READ ExtrBaseDir WRITE SetExtrBaseDir)
  Q_PROPERTY(QString DLLDirectory READ DLLDirectory WRITE SetDLLDirectory)
  Q_PROPERTY(QString TempDir READ TempDir WRITE SetTempDir)
  Q_PROPERTY(QString SFXCaption READ SFXCaption WRITE SetSFXCaption)
  Q_PROPERTY(QString SFXDefaultDir READ SFXDefaultDir WRITE SetSFXDefaultDir)
  Q_PROPERTY(int AddCompLevel READ AddCompLevel WRITE SetAddCompLevel)
  Q_PROPERTY(qlonglong MaxVolumeSize READ MaxVolumeSize WRITE SetMaxVolumeSize)
  Q_PROPERTY(bool Verbose READ Verbose WRITE SetVerbose)
  Q_PROPERTY(bool Trace READ Trace WRITE SetTrace)
  Q_PROPERTY(bool Unattended READ Unattended WRITE SetUnattended)
  Q_PROPERTY(bool ConfirmErase READ ConfirmErase WRITE SetConfirmErase)
  Q_PROPERTY(QString VersionInfo READ VersionInfo)

 public:
  explicit TZipBuilderWidget(QWidget* parent = nullptr);
  ~TZipBuilderWidget() override;

  TZipBuilder& Builder() { return *builder_; }
  /// Shown as the component's icon (in a form designer) or hidden (in the running program).
  void SetDesignMode(bool value);

  QString ZipFileName() const;
  void SetZipFileName(const QString& value);
  QString Password() const;
  void SetPassword(const QString& value);
  QString ExtrBaseDir() const;
  void SetExtrBaseDir(const QString& value);
  QString DLLDirectory() const;
  void SetDLLDirectory(const QString& value);
  QString TempDir() const;
  void SetTempDir(const QString& value);
  QString SFXCaption() const;
  void SetSFXCaption(const QString& value);
  QString SFXDefaultDir() const;
  void SetSFXDefaultDir(const QString& value);
  int AddCompLevel() const;
  void SetAddCompLevel(int value);
  qlonglong MaxVolumeSize() const;
  void SetMaxVolumeSize(qlonglong value);
  bool Verbose() const;
  void SetVerbose(bool value);
  bool Trace() const;
  void SetTrace(bool value);
  bool Unattended() const;
  void SetUnattended(bool value);
  bool ConfirmErase() const;
  void SetConfirmErase(bool value);
  QString VersionInfo() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::unique_ptr<TZipBuilder> builder_;
};

}  // namespace mirnax
