// The main window: the two statics paths, the world file list, the log and the two gauges.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/core/config.h"

class QLineEdit;

namespace mirnax {

struct TRunRequest;
namespace Ui {
class TForm1;
}

// The open-file dialog's settings (OpenDialog1).
struct TOpenDialog1Settings {
  static constexpr const char* Filter = "MUL Files|*.mul|All files|*.*";
  static constexpr const char* DefaultExt = "*.mul";
};

// The controls come from the window's layout (form1.ui), kept privately under their designer
// names (ui->Edit1, ui->Button4, ui->CGauge1, ...); other code finds them by those object names.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // Takes the current directory as BaseDir, with BaseDir + "mirnax.ini" as its configuration file;
  // reads nothing yet.
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  const std::string& BaseDir() const { return baseDir_; }
  bool Running() const { return running_; }
  // Whether the window works in a server's folder (the start folder was one, or one was chosen):
  // until then no path typed is stored.
  bool FolderKnown() const { return folderKnown_; }

  // Handlers, as the window wires them.
  void FormActivate();
  void Edit1Change();
  void Edit2Change();
  void Button1Click();
  void Button2Click();
  void Button6Click();
  void Button3Click();
  void Button5Click();
  void Button4Click();
  // Ctrl+O, or the window's context menu: the folder dialog; a folder chosen becomes BaseDir and
  // the current directory, and the window reloads as on activation.
  void ChooseFolderClick();

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  // Names and descriptions for assistive tools, where a caption is missing or not enough.
  void NameControls();
  // Said in the log, then the folder dialog, once, when the start folder is no server's.
  void OfferFolder();
  bool ChooseFolder();
  void UseFolder(const std::string& folder);
  void ChoosePath(QLineEdit* edit, void (TForm1::*change)());
  // Stores the field's text through store; a file that refuses it is reported once.
  void StorePath(void (TStaticsConfig::*store)(const std::string&), const QLineEdit* edit);
  // The run as the list and the path fields ask for it now.
  TRunRequest Request() const;

  std::unique_ptr<Ui::TForm1> ui;
  // Each control with its place at the designed size, as the layout (form1.ui) gives it.
  std::vector<std::pair<QWidget*, QRect>> partPlaces_;
  std::string baseDir_;
  TStaticsConfig config_;
  bool folderKnown_ = false;
  bool folderOffered_ = false;
  bool running_ = false;
  bool activatePending_ = false;
  bool storeRefused_ = false;
};

}  // namespace mirnax
