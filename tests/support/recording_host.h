// The run's host for tests: the log, the questions and both gauges' progress, recorded.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

#include "app/core/run.h"

namespace mirnax::support {

// Records what a step of the run reported: the total it began with, the units done since, and how
// many of them came through Add (which is always shown, so a per-line or per-block step must not use it).
class TRecordingGauge : public TProgressSink {
 public:
  void Begin(int32_t t) override {
    ++begins;
    total = t;
    done = 0;
  }
  void Step(int32_t count = 1) override { done += count; }
  void Add(int32_t count) override {
    ++adds;
    done += count;
  }
  int32_t begins = 0, total = 0, done = 0, adds = 0;
};

class TRecordingHost : public TRunHost {
 public:
  void ClearLog() override { log.clear(); }
  void Log(const std::string& line) override { log << QString::fromStdString(line); }
  void AppendToLastLine(const std::string& text) override { log.last() += QString::fromStdString(text); }
  bool AskYesNo(const std::string& text) override {
    questions << QString::fromStdString(text);
    return answer;
  }
  TProgressSink& StepGauge() override { return step; }
  TProgressSink& TotalGauge() override { return total; }

  QStringList log;
  QStringList questions;
  bool answer = false;  // to every question
  TRecordingGauge step, total;
};

}  // namespace mirnax::support
