// Test data for the statics files and world files, built in memory and written with Qt's own file
// classes, so a fault in the code under test cannot hide itself in the fixture.
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/file_helpers.h"

namespace fixture {
constexpr int Blocks = 0x60000;
constexpr int EntrySize = 12;

inline QByteArray Entry(int32_t offset, int32_t length, const QByteArray& extra = QByteArray(4, '\0')) {
  QByteArray e(EntrySize, '\0');
  qToLittleEndian<int32_t>(offset, e.data());
  qToLittleEndian<int32_t>(length, e.data() + 4);
  e.replace(8, 4, extra.left(4));
  return e;
}

inline QByteArray EmptyIndex() { return Entry(-1, -1).repeated(Blocks); }

inline void SetEntry(QByteArray& index, int block, int32_t offset, int32_t length,
                     const QByteArray& extra = QByteArray(4, '\0')) {
  index.replace(block * EntrySize, EntrySize, Entry(offset, length, extra));
}

inline QByteArray EntryAt(const QByteArray& index, int block) { return index.mid(block * EntrySize, EntrySize); }

// One 7-byte static record: tile, x, y, z, hue.
inline QByteArray Record(uint16_t tile, uint8_t x, uint8_t y, int8_t z, uint16_t hue) {
  QByteArray r(7, '\0');
  qToLittleEndian<uint16_t>(tile, r.data());
  r[2] = static_cast<char>(x);
  r[3] = static_cast<char>(y);
  r[4] = static_cast<char>(z);
  qToLittleEndian<uint16_t>(hue, r.data() + 5);
  return r;
}

// A world file record: header with the tile, a position and, when given, a colour.
inline QByteArray WorldItem(uint16_t tile, int x, int y, int z, uint16_t hue = 0) {
  QByteArray r = "[WORLDITEM " + QByteArray::number(tile, 16).rightJustified(4, '0') + "]\r\n";
  r += "SERIAL=040001\r\n";
  if (hue != 0) r += "COLOR=" + QByteArray::number(hue, 16).rightJustified(4, '0') + "\r\n";
  r += "P=" + QByteArray::number(x) + "," + QByteArray::number(y) + "," + QByteArray::number(z) + "\r\n\r\n";
  return r;
}

inline void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
    qFatal("cannot write test file %s", qPrintable(path));
}

inline QByteArray Read(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
  return f.readAll();
}

inline std::string Std(const QString& s) { return s.toStdString(); }

inline mode_t ModeOf(const QString& path) {
  struct stat st {};
  if (::stat(qPrintable(path), &st) != 0) return mode_t(-1);
  return st.st_mode & 07777;
}

// Every file of a folder (links followed) with its size, mode and a digest of its bytes: equal
// snapshots mean nothing was written, renamed, added, removed or made writable.
inline QStringList Snapshot(const QString& dir) {
  QStringList files;
  for (const QFileInfo& f : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
    // Past 64 MB (a sparse data file of 2 GB) the size stands for the bytes, to keep the tests fast.
    const QByteArray digest =
        f.size() > (64 << 20) ? "-" : QCryptographicHash::hash(Read(f.filePath()), QCryptographicHash::Sha1).toHex();
    files << QString("%1 %2 bytes, mode %3, %4")
                 .arg(f.fileName())
                 .arg(f.size())
                 .arg(ModeOf(f.filePath()), 0, 8)
                 .arg(QString::fromLatin1(digest));
  }
  return files;
}

// Runs f in a child process (the stop signals at their default) and returns its wait status;
// what f writes to the pipe comes back in message.
inline int InChild(const std::function<void(int pipeFd)>& f, QByteArray& message) {
  int fds[2];
  if (::pipe(fds) != 0) qFatal("pipe");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    // The test runner's own handlers (stack traces) are not the child's business.
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
    f(fds[1]);
    ::_exit(0);
  }
  ::close(fds[1]);
  char buf[4096];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0) message.append(buf, n);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

inline void Send(int fd, const std::string& text) {
  if (::write(fd, text.data(), text.size()) < 0) ::_exit(3);
}

}  // namespace fixture
