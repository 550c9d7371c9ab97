#include "zip/disk_format.h"

#include "toolkit/core/disks.h"
#include "toolkit/core/exceptions.h"

#include <QCoreApplication>

namespace mirnax {

std::atomic<TSHFormatThread*> TSHFormatThread::current_{nullptr};

TSHFormatThread::TSHFormatThread(const std::string& root, const std::string& label) : root_(root), label_(label) {
  TSHFormatThread* none = nullptr;
  admitted_ = current_.compare_exchange_strong(none, this);
}

TSHFormatThread::~TSHFormatThread() {
  wait();
  TSHFormatThread* self = this;
  current_.compare_exchange_strong(self, nullptr);
}

void TSHFormatThread::run() {
  if (!admitted_) {
    error_ = ExceptionText(kAnotherFormatRuns);
    return;
  }
  succeeded_ = Disks().Format(root_, label_, true, error_);
}

void TSHFormatThread::WaitLive() {
  while (!wait(10)) QCoreApplication::processEvents();
}

int FormatDiskOnThread(const std::string& root, const std::string& label, std::string& error) {
  TSHFormatThread thread(root, label);
  if (!thread.Admitted()) {
    error = ExceptionText(kAnotherFormatRuns);
    return -3;
  }
  thread.start();
  thread.WaitLive();
  error = thread.Error();
  return thread.Succeeded() ? 0 : -1;
}

}  // namespace mirnax
