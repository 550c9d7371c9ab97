#include "app/core/statics_io.h"

#include <algorithm>
#include <cstring>

#include "app/core/map.h"
#include "app/core/statics_format.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/fileio.h"
#include "toolkit/core/sysutils.h"

namespace mirnax {

namespace {
// Four of these buffers are in use while a freeze writes (two files read, two written): at 128 KB
// a read or a write costs little beside the bytes it moves, and they take half a megabyte in all.
constexpr size_t OutputBufferSize = size_t{128} << 10;
constexpr size_t InputBufferSize = size_t{128} << 10;

// A read of an input held in memory must lie inside it.
void CheckInside(const std::string& name, int64_t size, int64_t position, size_t count) {
  if (position < 0 || position > size || count > static_cast<size_t>(size - position)) {
    throw EInOutError(Format(ExceptionText(QT_TRANSLATE_NOOP("mirnax::Exception",
                                                             "Read error on %s: the file ends short of offset %lld"))
                                 .c_str(),
                             name.c_str(), static_cast<long long>(position) + static_cast<long long>(count)),
                      0);
  }
}
}  // namespace

void TMemoryStaticsInput::ReadAt(int64_t position, void* buffer, size_t count) {
  CheckInside(name_, Size(), position, count);
  if (count > 0) std::memcpy(buffer, bytes_.data() + position, count);
}

TClearedIndexInput::TClearedIndexInput(std::string name, const TMapSize& map)
    : name_(std::move(name)), size_(map.IndexFileSize()) {
  EncodeIndexEntry(StaticIndexEntry{}, entry_);
}

int64_t TClearedIndexInput::Size() const { return size_; }

void TClearedIndexInput::ReadAt(int64_t position, void* buffer, size_t count) {
  CheckInside(name_, Size(), position, count);
  auto* bytes = static_cast<uint8_t*>(buffer);
  size_t at = static_cast<size_t>(position % IndexEntrySize);
  for (size_t i = 0; i < count; ++i) {
    bytes[i] = entry_[at];
    if (++at == IndexEntrySize) at = 0;
  }
}

TFileStaticsInput::TFileStaticsInput(TFileStream& file) : file_(file), size_(file.Size()) {}

const std::string& TFileStaticsInput::Name() const { return file_.FileName(); }

void TFileStaticsInput::ReadAt(int64_t position, void* buffer, size_t count) {
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

void TFileStaticsInput::ReadDirect(int64_t position, void* buffer, size_t count) {
  if (file_.Position() != position) file_.Seek(position);
  file_.ReadBuffer(buffer, count);
}

// The buffer grows as it fills: the files of a small map never need all of it.
TFileStaticsOutput::TFileStaticsOutput(TFileStream& file) : file_(file) {}

void TFileStaticsOutput::Write(const void* data, size_t count) {
  if (buffer_.size() + count > OutputBufferSize) FlushBuffer();
  if (count >= OutputBufferSize) {
    file_.WriteBuffer(data, count);
    return;
  }
  // Grows by doubling, but never past OutputBufferSize: a vector left to grow on its own would
  // double past it.
  if (buffer_.size() + count > buffer_.capacity())
    buffer_.reserve(std::min(OutputBufferSize, std::max(buffer_.capacity() * 2, buffer_.size() + count)));
  const auto* p = static_cast<const uint8_t*>(data);
  buffer_.insert(buffer_.end(), p, p + count);
}

void TFileStaticsOutput::Commit() {
  FlushBuffer();
  file_.Flush();
  file_.Close();
}

void TFileStaticsOutput::FlushBuffer() {
  if (buffer_.empty()) return;
  file_.WriteBuffer(buffer_.data(), buffer_.size());
  buffer_.clear();
}

}  // namespace mirnax
