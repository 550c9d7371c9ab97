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

/// The zip component as a widget, to be placed on a form and hidden when the program runs.
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
  /// A hidden stand-in holding its own TZipBuilder.
  explicit TZipBuilderWidget(QWidget* parent = nullptr);
  ~TZipBuilderWidget() override;

  TZipBuilder& Builder() { return *builder_; }  ///< The component the form's properties are set on.
  /// Sets design mode: shown as the component's icon (in a form designer) or hidden (in the running program).
  void SetDesignMode(bool value);

  QString ZipFileName() const;  ///< The archive's file name.
  /// Sets the archive's file name; the archive's directory is read.
  void SetZipFileName(const QString& value);
  QString Password() const;  ///< The password of encrypted entries.
  void SetPassword(const QString& value);  ///< Sets Password.
  QString ExtrBaseDir() const;  ///< The folder extracted entries are written below.
  void SetExtrBaseDir(const QString& value);  ///< Sets ExtrBaseDir.
  /// The folder of the archive libraries; empty finds them in their usual places.
  QString DLLDirectory() const;
  void SetDLLDirectory(const QString& value);  ///< Sets DLLDirectory.
  QString TempDir() const;  ///< The folder for temporary files; empty uses the system's.
  void SetTempDir(const QString& value);  ///< Sets TempDir.
  QString SFXCaption() const;  ///< The caption of a self-extracting archive's dialog.
  void SetSFXCaption(const QString& value);  ///< Sets SFXCaption.
  QString SFXDefaultDir() const;  ///< The folder a self-extracting archive proposes.
  void SetSFXDefaultDir(const QString& value);  ///< Sets SFXDefaultDir.
  int AddCompLevel() const;  ///< The compression level, 0 (stored) to 9 (smallest).
  void SetAddCompLevel(int value);  ///< Sets AddCompLevel.
  qlonglong MaxVolumeSize() const;  ///< The largest size of one volume of a spanned archive, 0 for no limit.
  void SetMaxVolumeSize(qlonglong value);  ///< Sets MaxVolumeSize; negative values are ignored.
  bool Verbose() const;  ///< Whether the libraries report every step.
  void SetVerbose(bool value);  ///< Sets Verbose.
  bool Trace() const;  ///< Whether the libraries trace their work.
  void SetTrace(bool value);  ///< Sets Trace.
  bool Unattended() const;  ///< Whether no box asks or reports while working.
  void SetUnattended(bool value);  ///< Sets Unattended.
  bool ConfirmErase() const;  ///< Whether deleting from an archive asks first.
  void SetConfirmErase(bool value);  ///< Sets ConfirmErase.
  QString VersionInfo() const;  ///< The component's version.
  // The published properties under the names uic calls ("set" + the property's name), each
  // doing what its setter does.
  void setZipFileName(const QString& value) { SetZipFileName(value); }    ///< Sets ZipFileName, as SetZipFileName.
  void setPassword(const QString& value) { SetPassword(value); }          ///< Sets Password, as SetPassword.
  void setExtrBaseDir(const QString& value) { SetExtrBaseDir(value); }    ///< Sets ExtrBaseDir, as SetExtrBaseDir.
  void setDLLDirectory(const QString& value) { SetDLLDirectory(value); }  ///< Sets DLLDirectory, as SetDLLDirectory.
  void setTempDir(const QString& value) { SetTempDir(value); }            ///< Sets TempDir, as SetTempDir.
  void setSFXCaption(const QString& value) { SetSFXCaption(value); }      ///< Sets SFXCaption, as SetSFXCaption.
  /// Sets SFXDefaultDir, as SetSFXDefaultDir.
  void setSFXDefaultDir(const QString& value) { SetSFXDefaultDir(value); }
  void setAddCompLevel(int value) { SetAddCompLevel(value); }          ///< Sets AddCompLevel, as SetAddCompLevel.
  void setMaxVolumeSize(qlonglong value) { SetMaxVolumeSize(value); }  ///< Sets MaxVolumeSize, as SetMaxVolumeSize.
  void setVerbose(bool value) { SetVerbose(value); }                   ///< Sets Verbose, as SetVerbose.
  void setTrace(bool value) { SetTrace(value); }                       ///< Sets Trace, as SetTrace.
  void setUnattended(bool value) { SetUnattended(value); }             ///< Sets Unattended, as SetUnattended.
  void setConfirmErase(bool value) { SetConfirmErase(value); }         ///< Sets ConfirmErase, as SetConfirmErase.

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::unique_ptr<TZipBuilder> builder_;
};

}  // namespace mirnax
