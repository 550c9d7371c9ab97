// What the memo tests share: expected widths from Qt's own measuring of the font in use, texts
// put into a memo, and a test case with scripted message boxes and a folder of its own.
#pragma once

#include <QFontMetrics>
#include <QObject>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "controls/jumpmemo/jumpmemo.h"
#include "toolkit/core/dialogs.h"
#include "toolkit/widgets/cp1251.h"

namespace {

// Expected widths come from Qt's own measuring of the font in use.
[[maybe_unused]] int Width(const mirnax::TJumpMemo& memo, std::string_view s) {
  return QFontMetrics(memo.font(), &memo.Buffer()).horizontalAdvance(mirnax::Cp1251ToQString(s));
}

[[maybe_unused]] int Height(const mirnax::TJumpMemo& memo) { return QFontMetrics(memo.font(), &memo.Buffer()).height(); }

[[maybe_unused]] std::vector<std::string> LinesOf(const mirnax::TJumpMemo& memo) {
  std::vector<std::string> out;
  for (int i = 0; i < memo.Lines().Count(); ++i) out.push_back(memo.Lines().Get(i));
  return out;
}

[[maybe_unused]] std::vector<std::string> Numbered(int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back("line " + std::to_string(i));
  return out;
}

// Loads lines only: no scan, no markers, as the application does.
[[maybe_unused]] void SetText(mirnax::TJumpMemo& memo, const std::vector<std::string>& lines) {
  memo.Lines().Clear();
  for (const auto& line : lines) memo.Lines().Add(line);
}

// The memo with a text through Add, as a program fills it.
[[maybe_unused]] void AddLines(mirnax::TJumpMemo& memo, const std::vector<std::string>& lines) {
  for (const auto& line : lines) memo.Add(line);
}

// Selects from one place to another with the mouse, as a user drags (the view unscrolled).
[[maybe_unused]] void Select(mirnax::TJumpMemo& memo, int line1, int col1, int line2, int col2) {
  const auto point = [&](int line, int col) {
    const std::string text = memo.Lines().Get(line);
    return QPoint(mirnax::TJumpMemo::LeftMargin + Width(memo, text.substr(0, static_cast<size_t>(col))) + 1,
                  line * memo.CharSize().y() + 2);
  };
  const QPoint from = point(line1, col1);
  const QPoint to = point(line2, col2);
  memo.MouseDown(Qt::LeftButton, {}, from.x(), from.y());
  memo.MouseMove({}, to.x(), to.y());
  memo.MouseUp(Qt::LeftButton, {}, to.x(), to.y());
}

}  // namespace

// The base of the memo's test cases: message boxes go to a script (nothing modal is shown) and
// are forgotten before each test; files go to a folder that lives as long as the test case.
class TMemoTestCase : public QObject {
  Q_OBJECT

 protected:
  mirnax::TScriptedDialogs dialogs_;
  QTemporaryDir dir_;

  std::string PathOf(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    mirnax::SetDialogs(&dialogs_);
  }
  void cleanupTestCase() { mirnax::SetDialogs(nullptr); }
  void init() { dialogs_.Calls.clear(); }
};
