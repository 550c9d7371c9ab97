// Test-side file access that does not go through the toolkit, so a fault in the toolkit's own
// file code cannot hide a fault it is meant to reveal; and the scaffolding of the file tests.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

#include <string>

namespace mirnax::support {

inline void WriteBytes(const std::string& path, const QByteArray& bytes) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
    qFatal("cannot write test file %s", path.c_str());
}

inline QByteArray ReadBytes(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read test file %s", path.c_str());
  return f.readAll();
}

inline QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string Str(const QByteArray& b) { return std::string(b.constData(), static_cast<size_t>(b.size())); }

// The message of the E that f throws, or "<no error>" when f returns; an exception of another
// type passes through and fails the test.
template <class E, class F>
QString ErrorOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return QString::fromStdString(e.Message);
  }
  return "<no error>";
}

// Changes the current directory for one scope, for paths relative to it.
class CurrentDir {
 public:
  explicit CurrentDir(const QString& dir) : old_(QDir::currentPath()) { QVERIFY(QDir::setCurrent(dir)); }
  ~CurrentDir() { QDir::setCurrent(old_); }

 private:
  QString old_;
};

}  // namespace mirnax::support
