// Where the freeze reads old statics files from and writes new ones to: files on disk, bytes in
// memory, or an index of empty entries that needs no file at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/map.h"

namespace mirnax {

class TFileStream;

// Positioned reads of an old statics file.
class TStaticsInput {
 public:
  virtual ~TStaticsInput() = default;
  virtual const std::string& Name() const = 0;
  virtual int64_t Size() const = 0;
  // Exactly count bytes from position, or EInOutError.
  virtual void ReadAt(int64_t position, void* buffer, size_t count) = 0;
};

// Sequential writes of a new statics file.
class TStaticsOutput {
 public:
  virtual ~TStaticsOutput() = default;
  virtual void Write(const void* buffer, size_t count) = 0;
};

class TMemoryStaticsInput : public TStaticsInput {
 public:
  TMemoryStaticsInput(std::string_view bytes, std::string name) : bytes_(bytes), name_(std::move(name)) {}
  const std::string& Name() const override { return name_; }
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  void ReadAt(int64_t position, void* buffer, size_t count) override;

 private:
  std::string_view bytes_;
  std::string name_;
};

class TMemoryStaticsOutput : public TStaticsOutput {
 public:
  void Write(const void* buffer, size_t count) override { Bytes.append(static_cast<const char*>(buffer), count); }
  std::string Bytes;
};

// An index of empty entries only (Extra 0), one per block of map, as a clear leaves it, without a
// file behind it.
class TClearedIndexInput : public TStaticsInput {
 public:
  explicit TClearedIndexInput(std::string name, const TMapSize& map = DefaultMapSize);
  const std::string& Name() const override { return name_; }
  int64_t Size() const override;
  void ReadAt(int64_t position, void* buffer, size_t count) override;

 private:
  std::string name_;
  int64_t size_;
  uint8_t entry_[IndexEntrySize];
};

// Reads ahead in large pieces: the blocks' data usually lies in block order, so most blocks are
// served from memory instead of a read of their own.
class TFileStaticsInput : public TStaticsInput {
 public:
  explicit TFileStaticsInput(TFileStream& file);
  const std::string& Name() const override;
  int64_t Size() const override { return size_; }
  void ReadAt(int64_t position, void* buffer, size_t count) override;

 private:
  void ReadDirect(int64_t position, void* buffer, size_t count);

  TFileStream& file_;
  int64_t size_;
  std::vector<uint8_t> ahead_;
  int64_t start_ = 0;
};

// Collects small writes (12-byte entries, short blocks) into large ones.
class TFileStaticsOutput : public TStaticsOutput {
 public:
  explicit TFileStaticsOutput(TFileStream& file);
  void Write(const void* data, size_t count) override;
  // Writes what is left, forces the file to disk and closes it, each step checked.
  void Commit();

 private:
  void FlushBuffer();

  TFileStream& file_;
  std::vector<uint8_t> buffer_;
};

}  // namespace mirnax
