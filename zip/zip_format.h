// Formatting a disk for a span: TSHFormatThread does the work off the user-interface thread (at
// most one at a time), and the format dialog shows the drive and the fixed label and starts it.
#pragma once

#include <QThread>

#include <atomic>
#include <string>

namespace mirnax {

class TSHFormatThread : public QThread {
 public:
  // Formats the disk in the drive at root with the label (quick format) once started.
  TSHFormatThread(const std::string& root, const std::string& label);
  ~TSHFormatThread() override;
  // false when another format thread exists: this one then does nothing.
  bool Admitted() const { return admitted_; }
  bool Succeeded() const { return succeeded_; }
  const std::string& Error() const { return error_; }

 protected:
  void run() override;

 private:
  std::string root_, label_, error_;
  bool admitted_ = false;
  std::atomic<bool> succeeded_{false};
  static std::atomic<TSHFormatThread*> current_;
};

// Formats the disk in the drive: with widgets, through the format dialog (which starts by itself
// and closes when done unless confirmErase asks the user to start and close it); without, on the
// thread alone while events keep being processed. 0 done, -1 failed, -2 cancelled by the user,
// -3 no format could be started.
int RunZipFormat(const std::string& root, const std::string& label, bool confirmErase, std::string& error);

}  // namespace mirnax
