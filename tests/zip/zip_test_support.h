// What the zip tests share: a component wired to record its messages and progress, with the
// scripted dialogs installed, and file scaffolding in a temporary folder.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/file_helpers.h"
#include "toolkit/core/dialogs.h"
#include "zip/zip_builder.h"

struct TZipRecorder {
  struct Progress {
    mirnax::ProgressType type;
    std::string name;
    int64_t size;
  };
  std::vector<std::pair<int, std::string>> messages;
  std::vector<Progress> progress;
  int dirUpdates = 0;

  void Attach(mirnax::TZipBuilder& zip) {
    zip.OnMessage = [this](mirnax::TObject*, int code, const std::string& text) { messages.emplace_back(code, text); };
    zip.OnProgress = [this](mirnax::TObject*, mirnax::ProgressType type, const std::string& name, int64_t size) {
      progress.push_back({type, name, size});
    };
    zip.OnDirUpdate = [this](mirnax::TObject*) { ++dirUpdates; };
  }
  bool Said(const std::string& part) const {
    for (const auto& m : messages)
      if (m.second.find(part) != std::string::npos) return true;
    return false;
  }
  QString All() const {
    QString all;
    for (const auto& m : messages) all += QString::number(m.first) + ": " + QString::fromStdString(m.second) + "\n";
    return all;
  }
};

// Installs scripted dialogs for the life of the object.
struct TDialogsScope {
  mirnax::TScriptedDialogs dialogs;
  mirnax::TDialogs* previous;
  TDialogsScope() : previous(mirnax::SetDialogs(&dialogs)) {}
  ~TDialogsScope() { mirnax::SetDialogs(previous); }
};

inline std::string S(const QString& s) { return s.toStdString(); }

// Writes the file, making its folders first.
inline void PutFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  mirnax::support::WriteBytes(path.toStdString(), bytes);
}

// The file's bytes, or "<missing>".
inline QByteArray GetFile(const QString& path) {
  return QFile::exists(path) ? mirnax::support::ReadBytes(path.toStdString()) : QByteArray("<missing>");
}

inline QByteArray B(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

// What each case of a zip test starts from: a fresh folder, scripted dialogs, and a component
// whose reports are recorded. A test class derives from it beside QObject and calls Start in
// init and Finish in cleanup.
struct TZipScene {
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<TDialogsScope> dialogs_;
  std::unique_ptr<mirnax::TZipBuilder> zip_;
  TZipRecorder rec_;

  void Start() {
    dir_ = std::make_unique<QTemporaryDir>();
    dialogs_ = std::make_unique<TDialogsScope>();
    zip_ = std::make_unique<mirnax::TZipBuilder>();
    rec_ = {};
    rec_.Attach(*zip_);
  }
  void Finish() {
    zip_.reset();
    dialogs_.reset();
    dir_.reset();
  }
  QString Path(const QString& name) const { return dir_->filePath(name); }
};
