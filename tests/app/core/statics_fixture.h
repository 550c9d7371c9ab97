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

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/core/progress.h"
#include "app/core/world_writer.h"
#include "support/statics_builder.h"
#include "tests/support/child_process.h"
#include "tests/support/file_helpers.h"

namespace fixture {
using mirnax::support::Blocks;
using mirnax::support::EntrySize;

inline QByteArray Q(const std::string& bytes) { return QByteArray(bytes.data(), qsizetype(bytes.size())); }
inline std::string_view View(const QByteArray& bytes) { return {bytes.constData(), size_t(bytes.size())}; }

inline QByteArray Entry(int32_t offset, int32_t length, const QByteArray& extra = QByteArray(4, '\0')) {
  return Q(mirnax::support::IndexEntry(offset, length, View(extra)));
}

inline QByteArray EmptyIndex() { return Q(mirnax::support::EmptyIndex()); }

inline void SetEntry(QByteArray& index, int block, int32_t offset, int32_t length,
                     const QByteArray& extra = QByteArray(4, '\0')) {
  index.replace(block * EntrySize, EntrySize, Entry(offset, length, extra));
}

inline QByteArray EntryAt(const QByteArray& index, int block) { return index.mid(block * EntrySize, EntrySize); }

inline QByteArray Record(uint16_t tile, uint8_t x, uint8_t y, int8_t z, uint16_t hue) {
  return Q(mirnax::support::StaticRecord(tile, x, y, z, hue));
}

// A world file record: header with the tile, a serial, a colour when given, the position.
inline QByteArray WorldItem(uint16_t tile, int x, int y, int z, uint16_t hue = 0) {
  std::string r;
  mirnax::AppendWorldItem(r, {.Tile = tile, .X = x, .Y = y, .Z = z, .Hue = hue});
  return Q(r);
}

inline void Write(const QString& path, const QByteArray& bytes) { mirnax::support::WriteBytes(path.toStdString(), bytes); }

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

using mirnax::support::RunInChild;
using mirnax::support::Send;

}  // namespace fixture
