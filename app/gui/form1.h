// The main window: the two statics paths, the world file list, the log and the two gauges.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "app/core/config.h"
#include "toolkit/inifile.h"

#include "ui_form1.h"

// The open-file dialog's settings (OpenDialog1).
struct TOpenDialog1Settings {
  static constexpr const char* Filter = "MUL Files|*.mul|All files|*.*";
  static constexpr const char* DefaultExt = "*.mul";
};

// The controls come from the window's layout (form1.ui) under their designer names: Edit1,
// Button4, ListBox1, Memo1, CGauge1, JumpMemo1, ...
class TForm1 : public QWidget, public Ui::TForm1 {
  Q_OBJECT
 public:
  // Takes the current directory as BaseDir and opens BaseDir + "mirnax.ini"; reads nothing yet.
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  const std::string& BaseDir() const { return baseDir_; }
  TIniFile& IniFile() { return *iniFile_; }
  bool Running() const { return running_; }

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

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  class Host;
  void ChoosePath(QLineEdit* edit, void (TForm1::*change)());
  void StorePath(const char* key, QLineEdit* edit);

  std::string baseDir_;
  std::unique_ptr<TIniFile> iniFile_;
  bool running_ = false;
  bool activatePending_ = false;
};
