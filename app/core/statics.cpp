#include "app/core/statics.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "toolkit/file_ops.h"
#include "app/core/stop_signals.h"
#include "toolkit/exceptions.h"
#include "toolkit/fileio.h"
#include "toolkit/paths.h"
#include "toolkit/sysutils.h"

namespace {
constexpr std::string_view TempExt = ".xxx";
// The old index is read this many entries at a time.
constexpr int32_t IndexChunkEntries = 4096;
constexpr size_t OutputBufferSize = size_t{1} << 20;
constexpr size_t InputBufferSize = size_t{1} << 20;
constexpr const char* PutBackNote = "\nThe statics files were put back as they were before the freeze.";

int32_t GetInt32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

void PutInt32(uint8_t* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

bool SameInode(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool SameFolder(const std::string& a, const std::string& b) {
  std::string dirA = ExtractFileDir(a), dirB = ExtractFileDir(b);
  if (dirA.empty()) dirA = ".";
  if (dirB.empty()) dirB = ".";
  return SameInode(dirA, dirB);
}

// True when both names lead to one file. A name that does not exist yet is compared by its folder,
// so "d/x.xxx" and "d/sub/../x.xxx" (or a folder reached through a link) count as one name.
bool SameFile(const std::string& a, const std::string& b) {
  if (a == b || SameInode(a, b)) return true;
  return ExtractFileName(a) == ExtractFileName(b) && SameFolder(a, b);
}

void RenameFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    const int error = errno;
    throw EInOutError(Format("Cannot rename %s to %s: %s", from.c_str(), to.c_str(), std::strerror(error)), error);
  }
}

// The file a configured path names, its links followed: a freeze replaces a link's target and
// keeps the link.
std::string StaticsFile(const std::string& path) { return ResolveLinks(NativePath(path)); }

// Gives a new file the permission bits of the file it replaces.
void SetMode(const std::string& native, mode_t mode) {
  if (::chmod(native.c_str(), mode) != 0) {
    const int error = errno;
    throw EInOutError(Format("Cannot set the permissions of %s: %s", native.c_str(), std::strerror(error)), error);
  }
}

// Reads ahead in large pieces: the blocks' data usually lies in block order, so most blocks are
// served from memory instead of a read of their own.
class TFileStaticsInput : public TStaticsInput {
 public:
  explicit TFileStaticsInput(TFileStream& file) : file_(file), size_(file.Size()) {}
  const std::string& Name() const override { return file_.FileName(); }
  int64_t Size() const override { return size_; }
  void ReadAt(int64_t position, void* buffer, size_t count) override {
    if (count == 0) return;
    if (position >= start_ && position - start_ + int64_t(count) <= int64_t(ahead_.size())) {
      std::memcpy(buffer, ahead_.data() + (position - start_), count);
      return;
    }
    if (count >= InputBufferSize || position < 0 || position + int64_t(count) > size_) {
      ReadDirect(position, buffer, count);  // too large to buffer, or a read that must fail
      return;
    }
    ahead_.resize(size_t(std::min<int64_t>(int64_t{InputBufferSize}, size_ - position)));
    start_ = position;
    try {
      ReadDirect(position, ahead_.data(), ahead_.size());
    } catch (...) {
      ahead_.clear();
      throw;
    }
    std::memcpy(buffer, ahead_.data(), count);
  }

 private:
  void ReadDirect(int64_t position, void* buffer, size_t count) {
    if (file_.Position() != position) file_.Seek(position);
    file_.ReadBuffer(buffer, count);
  }

  TFileStream& file_;
  int64_t size_;
  std::vector<uint8_t> ahead_;
  int64_t start_ = 0;
};

// Collects small writes (12-byte entries, short blocks) into large ones.
class TFileStaticsOutput : public TStaticsOutput {
 public:
  // A freeze that may be stopped checks for it on every write.
  explicit TFileStaticsOutput(TFileStream& file, TStopSignals* stop = nullptr) : file_(file), stop_(stop) {
    buffer_.reserve(OutputBufferSize);
  }
  void Write(const void* data, size_t count) override {
    if (stop_) stop_->Check();
    if (buffer_.size() + count > OutputBufferSize) FlushBuffer();
    if (count >= OutputBufferSize) {
      file_.WriteBuffer(data, count);
      return;
    }
    const auto* p = static_cast<const uint8_t*>(data);
    buffer_.insert(buffer_.end(), p, p + count);
  }
  // Writes what is left, forces the file to disk and closes it, each step checked.
  void Commit() {
    FlushBuffer();
    file_.Flush();
    file_.Close();
  }

 private:
  void FlushBuffer() {
    if (buffer_.empty()) return;
    file_.WriteBuffer(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

  TFileStream& file_;
  TStopSignals* stop_;
  std::vector<uint8_t> buffer_;
};

void CheckIndexSize(const TStaticsInput& index) {
  if (index.Size() != IndexFileSize) {
    throw Exception(Format("The statics index file %s is %lld bytes long; a statics index file has exactly %lld bytes "
                           "(%d entries of %d bytes).",
                           index.Name().c_str(), static_cast<long long>(index.Size()),
                           static_cast<long long>(IndexFileSize), BlockCount, IndexEntrySize));
  }
}

void CheckEntry(const StaticIndexEntry& e, int32_t block, const TStaticsInput& index, const TStaticsInput& data) {
  if (!HasStatics(e)) return;
  if (e.Offset >= 0 && e.Length > 0 && int64_t{e.Offset} + e.Length <= data.Size()) return;
  throw Exception(Format("The statics index file %s is damaged: entry %d points outside the statics data file %s "
                         "(offset %d, length %d; the data file has %lld bytes).",
                         index.Name().c_str(), block, data.Name().c_str(), e.Offset, e.Length,
                         static_cast<long long>(data.Size())));
}

void CheckTotal(int64_t total) {
  if (total > INT32_MAX) {
    throw Exception(Format("The statics data would grow to %lld bytes, more than a statics index can address "
                           "(%d bytes).",
                           static_cast<long long>(total), INT32_MAX));
  }
}

// The old index, entry by entry, read in chunks.
class TIndexReader {
 public:
  explicit TIndexReader(TStaticsInput& index) : index_(index), chunk_(size_t{IndexChunkEntries} * IndexEntrySize) {}
  StaticIndexEntry Entry(int32_t block) {
    const int32_t slot = block % IndexChunkEntries;
    if (slot == 0) {
      const int32_t entries = std::min(IndexChunkEntries, BlockCount - block);
      index_.ReadAt(int64_t{block} * IndexEntrySize, chunk_.data(), size_t(entries) * IndexEntrySize);
    }
    return DecodeIndexEntry(chunk_.data() + size_t(slot) * IndexEntrySize);
  }

 private:
  TStaticsInput& index_;
  std::vector<uint8_t> chunk_;
};

int64_t NewBlockSize(const StaticIndexEntry& e, uint32_t items) {
  return (HasStatics(e) ? int64_t{e.Length} : 0) + int64_t{StaticRecordSize} * items;
}
}  // namespace

StaticIndexEntry DecodeIndexEntry(const uint8_t* bytes) {
  StaticIndexEntry e;
  e.Offset = GetInt32(bytes);
  e.Length = GetInt32(bytes + 4);
  std::memcpy(e.Extra.data(), bytes + 8, e.Extra.size());
  return e;
}

void EncodeIndexEntry(const StaticIndexEntry& entry, uint8_t* bytes) {
  PutInt32(bytes, entry.Offset);
  PutInt32(bytes + 4, entry.Length);
  std::memcpy(bytes + 8, entry.Extra.data(), entry.Extra.size());
}

void EncodeStaticRecord(const StaticItem& item, uint8_t* bytes) {
  const auto tile = static_cast<uint16_t>(item.TileId - TileIdBase);
  bytes[0] = static_cast<uint8_t>(tile);
  bytes[1] = static_cast<uint8_t>(tile >> 8);
  bytes[2] = item.CellX;
  bytes[3] = item.CellY;
  bytes[4] = static_cast<uint8_t>(item.Z);
  bytes[5] = static_cast<uint8_t>(item.Hue);
  bytes[6] = static_cast<uint8_t>(item.Hue >> 8);
}

std::string FreezeTempName(std::string_view path) { return ChangeFileExt(path, TempExt); }

void TMemoryStaticsInput::ReadAt(int64_t position, void* buffer, size_t count) {
  if (position < 0 || position > Size() || count > static_cast<size_t>(Size() - position)) {
    throw EInOutError(Format("Read error on %s: the file ends short of offset %lld", name_.c_str(),
                             static_cast<long long>(position) + static_cast<long long>(count)),
                      0);
  }
  if (count > 0) std::memcpy(buffer, bytes_.data() + position, count);
}

int64_t ScanStaticsIndex(TStaticsInput& oldIndex, const TStaticsInput& oldData, const TBlockStore& store) {
  CheckIndexSize(oldIndex);
  TIndexReader reader(oldIndex);
  int64_t total = 0;
  for (int32_t b = 0; b < BlockCount; ++b) {
    const StaticIndexEntry e = reader.Entry(b);
    CheckEntry(e, b, oldIndex, oldData);
    total += NewBlockSize(e, store.Count(b));
  }
  CheckTotal(total);
  return total;
}

void MergeStatics(const TBlockStore& store, TStaticsInput& oldIndex, TStaticsInput& oldData, TStaticsOutput& newIndex,
                  TStaticsOutput& newData, TProgressSink& gauge, const TFreezeTestHook& testHook) {
  CheckIndexSize(oldIndex);
  gauge.Begin(BlockCount);
  TIndexReader reader(oldIndex);
  // A group of blocks is assembled at a time: each block's old bytes, then room for its new
  // records, which the store fills in for the whole group at once. A group ends early once it fills
  // the block buffer, so the buffer holds one large block at most, however many entries share it.
  constexpr int32_t Group = 64;
  size_t place[Group];  // where each block's new records go in the buffer
  std::vector<uint8_t> buffer(BlockBufferSize);
  std::vector<uint8_t> index(size_t{Group} * IndexEntrySize);
  int64_t offset = 0;
  for (int32_t first = 0, n = 0; first < BlockCount; first += n) {
    const int32_t most = std::min(Group, BlockCount - first);
    size_t used = 0;
    for (n = 0; n < most && used < BlockBufferSize; ++n) {
      const int32_t k = n;  // the block's place in the group
      StaticIndexEntry e = reader.Entry(first + k);
      CheckEntry(e, first + k, oldIndex, oldData);
      const int64_t size = NewBlockSize(e, store.Count(first + k));
      CheckTotal(offset + size);
      if (used + size_t(size) > buffer.size()) {
        buffer.reserve(used + size_t(size));  // exactly: one block may be most of a 2 GB file
        buffer.resize(used + size_t(size));
      }
      if (HasStatics(e)) oldData.ReadAt(e.Offset, buffer.data() + used, static_cast<size_t>(e.Length));
      place[k] = used + (HasStatics(e) ? static_cast<size_t>(e.Length) : 0);
      if (size != 0) {
        e.Offset = static_cast<int32_t>(offset);
        e.Length = static_cast<int32_t>(size);
      } else {
        e.Offset = -1;
        e.Length = -1;
      }
      EncodeIndexEntry(e, index.data() + size_t(k) * IndexEntrySize);
      used += size_t(size);
      offset += size;
    }
    store.WalkChains(first, n, [&](int32_t k, const StaticItem& item) {
      EncodeStaticRecord(item, buffer.data() + place[k]);
      place[k] += StaticRecordSize;
    });
    if (used > 0) newData.Write(buffer.data(), used);
    newIndex.Write(index.data(), size_t(n) * IndexEntrySize);
    for (int32_t k = 0; k < n; ++k) {
      gauge.Step();
      if (testHook) testHook(fpBlockWritten, first + k);
    }
  }
}

namespace {
// The freeze's journal: one line beside the index, written before the first rename and removed
// last, that says which of the two pairs (the configured files or the ".xxx" files) is whole when a
// freeze ends early. Each line starts with its step; a line is replaced whole, never rewritten.
constexpr std::string_view JournalExt = ".freeze";
constexpr std::string_view JournalMoving =
    "moving: the .xxx files are the previous statics, the files under the configured names are not complete\n";
constexpr std::string_view JournalComplete =
    "complete: the files under the configured names are the complete new statics, the .xxx files may be deleted\n";

enum TJournalStep { jsNone, jsMoving, jsComplete };

std::string JournalName(const std::string& nativeIndex) { return nativeIndex + std::string(JournalExt); }

TJournalStep ReadJournal(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return jsNone;
  char text[32];
  const ssize_t n = ::read(fd, text, sizeof text);
  ::close(fd);
  const std::string_view line(text, n > 0 ? size_t(n) : 0);
  const auto step = [&](std::string_view known) { return line.starts_with(known.substr(0, known.find(':') + 1)); };
  if (step(JournalComplete)) return jsComplete;
  if (step(JournalMoving)) return jsMoving;
  return jsNone;
}

// Writes the line beside the journal and moves it over the journal, forcing both to disk, so the
// journal holds the old line or the new one whatever happens.
void WriteJournal(const std::string& name, std::string_view line) {
  TSideFile side(name, name);
  TFileStream file(side.Name(), fmOpenReadWrite);
  file.WriteBuffer(line.data(), line.size());
  file.Flush();
  file.Close();
  RenameFile(side.Name(), name);
  side.Keep();
  SyncFolderOf(name);
}

// Refuses to go on beside a ".xxx" file, and tells from the journal what to do with it.
void RefuseLeftovers(const std::string& index, const std::string& indexTemp, const std::string& data,
                     const std::string& dataTemp) {
  const bool indexLeft = PathExists(indexTemp), dataLeft = PathExists(dataTemp);
  if (!indexLeft && !dataLeft) return;
  const auto both = [&](const std::string& a, const std::string& b) {
    return indexLeft && dataLeft ? a + " and " + b : indexLeft ? a : b;
  };
  switch (ReadJournal(JournalName(index))) {
    case jsComplete:
      throw Exception(Format("A freeze was interrupted after it had completed the new statics files %s and %s. The "
                             "previous statics left as %s are no longer needed: delete %s, then start again.",
                             index.c_str(), data.c_str(), both(indexTemp, dataTemp).c_str(),
                             both(indexTemp, dataTemp).c_str()));
    case jsMoving:
      throw Exception(Format("A freeze did not finish: the previous statics are kept as %s, and what it wrote under "
                             "the configured names is not complete. Put back %s, then start again.",
                             both(indexTemp, dataTemp).c_str(),
                             both(indexTemp + " as " + index, dataTemp + " as " + data).c_str()));
    case jsNone:
      break;
  }
  throw Exception(Format("The file %s is left from a freeze that did not finish and may hold the only copy of the "
                         "previous statics. Put it back or remove it, then start again.",
                         (indexLeft ? indexTemp : dataTemp).c_str()));
}
}  // namespace

void CheckStaticsPaths(const std::string& indexPath, const std::string& dataPath) {
  // An empty path names no file; opening or creating it fails with the system's message.
  if (indexPath.empty() || dataPath.empty()) return;
  const std::string index = StaticsFile(indexPath);
  const std::string data = StaticsFile(dataPath);
  for (const std::string* path : {&indexPath, &dataPath, &index, &data}) {
    if (SameText(ExtractFileExt(*path), TempExt)) {
      throw Exception(Format("The statics file %s has the extension %s, which is kept for the previous files while "
                             "the statics are rewritten. Rename it.",
                             path->c_str(), std::string(TempExt).c_str()));
    }
  }
  if (SameFile(index, data)) {
    throw Exception(Format("The statics index file and the statics data file must be two different files (%s, %s).",
                           indexPath.c_str(), dataPath.c_str()));
  }
  const std::string indexTemp = NativePath(FreezeTempName(index));
  const std::string dataTemp = NativePath(FreezeTempName(data));
  if (SameFile(indexTemp, dataTemp)) {
    throw Exception(Format("The statics index file %s and the statics data file %s would both be kept as %s while "
                           "the statics are rewritten. Give them different names.",
                           indexPath.c_str(), dataPath.c_str(), indexTemp.c_str()));
  }
  RefuseLeftovers(index, indexTemp, data, dataTemp);
}

namespace {
// Refuses, as "Cannot create file", a statics file that must not or cannot be replaced: a read-only
// one (no write permission for anyone, or none for this process), one that is no plain file, or
// one whose folder takes no new files. Returns the file's permission bits, or nothing when there
// is no file yet.
std::optional<mode_t> CheckReplaceable(const std::string& path, const std::string& native) {
  std::string dir = ExtractFileDir(native);
  if (dir.empty()) dir = ".";
  if (::access(dir.c_str(), W_OK | X_OK) != 0) throw EFCreateError(Format(SFCreateError, path.c_str()));
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) {
    if (errno == ENOENT) return std::nullopt;
    throw EFCreateError(Format(SFCreateError, path.c_str()));
  }
  if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(native.c_str(), W_OK) != 0)
    throw EFCreateError(Format(SFCreateError, path.c_str()));
  return st.st_mode & 07777;
}

// Writes a new file under a side name; a failure is reported against the configured path.
void WriteSideFile(const TSideFile& side, const std::string& path, std::optional<mode_t> mode,
                   const std::function<void(TFileStream&)>& fill) {
  try {
    TFileStream file(side.Name(), fmOpenReadWrite);
    if (mode) SetMode(side.Name(), *mode);
    fill(file);
    file.Flush();
    file.Close();
  } catch (const EStreamError&) {
    throw EFCreateError(Format(SFCreateError, path.c_str()));
  } catch (const EInOutError& e) {
    if (e.ErrorCode == 0) throw;
    throw EInOutError(Format("Write error on %s: %s", path.c_str(), std::strerror(e.ErrorCode)), e.ErrorCode);
  }
}
}  // namespace

void CheckClearStatics(const std::string& indexPath, const std::string& dataPath) {
  for (const std::string* path : {&indexPath, &dataPath})
    if (path->empty()) throw EFCreateError(Format(SFCreateError, ""));
  CheckStaticsPaths(indexPath, dataPath);
  CheckReplaceable(indexPath, StaticsFile(indexPath));
  CheckReplaceable(dataPath, StaticsFile(dataPath));
}

void ClearStatics(const std::string& indexPath, const std::string& dataPath) {
  CheckClearStatics(indexPath, dataPath);
  const std::string index = StaticsFile(indexPath);
  const std::string data = StaticsFile(dataPath);
  const std::optional<mode_t> indexMode = CheckReplaceable(indexPath, index);
  const std::optional<mode_t> dataMode = CheckReplaceable(dataPath, data);
  bool indexCleared = false;
  try {
    TSideFile newIndex(index, indexPath);
    TSideFile newData(data, dataPath);
    WriteSideFile(newIndex, indexPath, indexMode, [](TFileStream& file) {
      StaticIndexEntry empty;
      std::vector<uint8_t> chunk(size_t{IndexChunkEntries} * IndexEntrySize);
      for (size_t i = 0; i < chunk.size(); i += IndexEntrySize) EncodeIndexEntry(empty, chunk.data() + i);
      for (int32_t b = 0; b < BlockCount; b += IndexChunkEntries)
        file.WriteBuffer(chunk.data(), size_t(std::min(IndexChunkEntries, BlockCount - b)) * IndexEntrySize);
    });
    WriteSideFile(newData, dataPath, dataMode, [](TFileStream&) {});
    // An empty index with the old data is a valid pair on its own, so the index goes first.
    RenameFile(newIndex.Name(), index);
    newIndex.Keep();
    indexCleared = true;
    RenameFile(newData.Name(), data);
    newData.Keep();
  } catch (const EFCreateError&) {
    throw;  // raised before anything was moved
  } catch (Exception& e) {
    e.Message += indexCleared ? "\nThe statics index file was cleared; the statics data file was left as it was."
                              : "\nThe statics files were left as they were.";
    throw;
  }
  SyncFolderOf(index);
  SyncFolderOf(data);
}

namespace {
// An old index of empty entries only (Extra 0), as a clear leaves it.
class TClearedIndexInput : public TStaticsInput {
 public:
  explicit TClearedIndexInput(std::string name) : name_(std::move(name)) {
    EncodeIndexEntry(StaticIndexEntry{}, entry_);
  }
  const std::string& Name() const override { return name_; }
  int64_t Size() const override { return IndexFileSize; }
  void ReadAt(int64_t position, void* buffer, size_t count) override {
    if (position < 0 || position > Size() || count > static_cast<size_t>(Size() - position)) {
      throw EInOutError(Format("Read error on %s: the file ends short of offset %lld", name_.c_str(),
                               static_cast<long long>(position) + static_cast<long long>(count)),
                        0);
    }
    auto* bytes = static_cast<uint8_t*>(buffer);
    size_t at = static_cast<size_t>(position % IndexEntrySize);
    for (size_t i = 0; i < count; ++i) {
      bytes[i] = entry_[at];
      if (++at == IndexEntrySize) at = 0;
    }
  }

 private:
  std::string name_;
  uint8_t entry_[IndexEntrySize];
};

// One of the two files a freeze rewrites.
struct TFrozenFile {
  std::string native;  // where the file is
  std::string temp;    // its ".xxx" name
  std::optional<mode_t> mode;  // the permission bits the new file takes over
  bool existed = true;  // a clear may find no file; it has nothing to keep then
  bool moved = false;
  bool created = false;
};

// Moves the ".xxx" files back over whatever the freeze wrote under the configured paths, and
// removes a new file where there was none before; returns the note for the error message.
std::string PutBack(TFrozenFile& index, TFrozenFile& data) {
  if (!index.moved && !index.created && !data.moved && !data.created) {
    ::unlink(JournalName(index.native).c_str());
    return "";
  }
  // Both files are restored before any text is built.
  int errors[2] = {0, 0};
  TFrozenFile* files[2] = {&data, &index};
  for (int i = 0; i < 2; ++i) {
    TFrozenFile& f = *files[i];
    if (f.moved) {
      if (::rename(f.temp.c_str(), f.native.c_str()) != 0) errors[i] = errno;
    } else if (f.created) {
      ::unlink(f.native.c_str());
    }
  }
  if (errors[0] == 0 && errors[1] == 0) {
    ::unlink(JournalName(index.native).c_str());  // nothing is left over for it to explain
    return PutBackNote;
  }
  std::string note, left;
  for (int i = 0; i < 2; ++i) {
    if (errors[i] == 0) continue;
    note += Format("\nCannot rename %s to %s: %s", files[i]->temp.c_str(), files[i]->native.c_str(),
                   std::strerror(errors[i]));
  }
  if (errors[1] != 0) left = index.temp;
  if (errors[0] != 0) left += (left.empty() ? "" : " and ") + data.temp;
  return note + Format("\nThe previous statics are kept as %s; put them back by hand.", left.c_str());
}

void DeleteTemp(const std::string& temp) {
  if (::unlink(temp.c_str()) != 0) {
    const int error = errno;
    throw EInOutError(Format("The statics were frozen, but %s could not be deleted: %s", temp.c_str(),
                             std::strerror(error)),
                      error);
  }
}
}  // namespace

namespace {
void Freeze(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath, TProgressSink& gauge,
            const TFreezeTestHook& testHook, bool cleared) {
  TStopSignals stop;
  if (cleared)
    CheckClearStatics(indexPath, dataPath);
  else
    CheckStaticsPaths(indexPath, dataPath);
  TFrozenFile index, data;
  index.native = StaticsFile(indexPath);
  data.native = StaticsFile(dataPath);
  index.temp = FreezeTempName(index.native);
  data.temp = FreezeTempName(data.native);
  // The old files stay open through the renames, so what was checked is what gets read. After a
  // clear there is nothing to read: every entry is empty.
  std::optional<TFileStream> oldIndexFile, oldDataFile;
  std::unique_ptr<TStaticsInput> oldIndex, oldData;
  if (cleared) {
    oldIndex = std::make_unique<TClearedIndexInput>(indexPath);
    oldData = std::make_unique<TMemoryStaticsInput>(std::string_view(), dataPath);
  } else {
    oldIndexFile.emplace(indexPath, fmOpenRead);
    oldDataFile.emplace(dataPath, fmOpenRead);
    oldIndex = std::make_unique<TFileStaticsInput>(*oldIndexFile);
    oldData = std::make_unique<TFileStaticsInput>(*oldDataFile);
  }
  ScanStaticsIndex(*oldIndex, *oldData, store);
  index.mode = CheckReplaceable(indexPath, index.native);
  data.mode = CheckReplaceable(dataPath, data.native);
  index.existed = index.mode.has_value();
  data.existed = data.mode.has_value();

  if (testHook) testHook(fpChecked, -1);
  stop.Check();
  const std::string journal = JournalName(index.native);
  WriteJournal(journal, JournalMoving);
  try {
    if (index.existed) {
      MoveNoReplace(index.native, index.temp);
      index.moved = true;
    }
    if (testHook) testHook(fpIndexMoved, -1);
    stop.Check();
    if (data.existed) {
      MoveNoReplace(data.native, data.temp);
      data.moved = true;
    }
    if (testHook) testHook(fpDataMoved, -1);
    stop.Check();
    TFileStream newIndexFile(index.native, fmCreate);
    index.created = true;
    TFileStream newDataFile(data.native, fmCreate);
    data.created = true;
    if (index.mode) SetMode(index.native, *index.mode);
    if (data.mode) SetMode(data.native, *data.mode);
    TFileStaticsOutput newIndex(newIndexFile, &stop);
    TFileStaticsOutput newData(newDataFile);
    MergeStatics(store, *oldIndex, *oldData, newIndex, newData, gauge, testHook);
    newIndex.Commit();
    newData.Commit();
    // The new names reach the disk before the journal calls them complete; the journal's own
    // sync covers the index's folder.
    if (!SameFolder(index.native, data.native)) SyncFolderOf(data.native);
    if (testHook) testHook(fpNewFilesFlushed, -1);
    // The last point at which a stop puts the previous files back; past it the freeze finishes.
    stop.Check();
    WriteJournal(journal, JournalComplete);
  } catch (Exception& e) {
    e.Message += PutBack(index, data);
    throw;
  } catch (const std::bad_alloc&) {
    EOutOfMemory e;
    e.Message += PutBack(index, data);
    throw e;
  } catch (...) {
    PutBack(index, data);
    throw;
  }
  if (testHook) testHook(fpMarkedComplete, -1);
  if (index.moved) DeleteTemp(index.temp);
  if (testHook) testHook(fpIndexTempDeleted, -1);
  if (data.moved) DeleteTemp(data.temp);
  // Not synced: should the deletions be lost, the journal still says the ".xxx" files may go.
  ::unlink(journal.c_str());
}
}  // namespace

void FreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                   TProgressSink& gauge, const TFreezeTestHook& testHook) {
  Freeze(store, indexPath, dataPath, gauge, testHook, false);
}

void ClearAndFreezeStatics(const TBlockStore& store, const std::string& indexPath, const std::string& dataPath,
                           TProgressSink& gauge, const TFreezeTestHook& testHook) {
  Freeze(store, indexPath, dataPath, gauge, testHook, true);
}
