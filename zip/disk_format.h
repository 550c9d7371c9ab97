// Formatting a disk for a span: TSHFormatThread does the work off the user-interface thread (at
// most one at a time). The format dialog that starts it in a program with widgets is on the
// widget side (zip/widgets/disk_format_dialog.h).
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
  // Runs the thread to its end while the caller's events keep being processed.
  void WaitLive();

 protected:
  void run() override;

 private:
  std::string root_, label_, error_;
  bool admitted_ = false;
  std::atomic<bool> succeeded_{false};
  static std::atomic<TSHFormatThread*> current_;
};

// What a format without a dialog says when another one runs.
inline constexpr const char* kAnotherFormatRuns = "Another disk is being formatted";

// Formats the disk in the drive on the thread alone while events keep being processed: 0 done,
// -1 failed (error says why), -3 no format could be started.
int FormatDiskOnThread(const std::string& root, const std::string& label, std::string& error);

}  // namespace mirnax
