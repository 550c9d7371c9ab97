#include "app/core/duplicates.h"

#include <cstring>

#include "app/core/statics_format.h"
#include "toolkit/core/fileio.h"

namespace mirnax {

namespace {
std::vector<uint8_t> ReadWhole(const std::string& path) {
  TFileStream file(path, fmOpenRead);
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  file.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

uint64_t RecordOf(const uint8_t* bytes) {
  uint64_t record = 0;
  std::memcpy(&record, bytes, StaticRecordSize);
  return record;
}
}  // namespace

size_t TStaticDuplicates::THash::operator()(const TKey& k) const noexcept {
  // The record's bytes and the block mixed by multiplication: records of one block differ little.
  return size_t((k.Record ^ (uint64_t(uint32_t(k.Block)) << 56 | uint32_t(k.Block))) * 0x9E3779B97F4A7C15ull >> 7);
}

TStaticDuplicates::TStaticDuplicates(const TStaticsPair* pair, const TMapSize& map) : blocks_(map.BlockCount()) {
  if (pair == nullptr) return;
  index_ = ReadWhole(pair->Index.Native);
  data_ = ReadWhole(pair->Data.Native);
}

bool TStaticDuplicates::Seen(int32_t block, const StaticItem& item) {
  uint8_t bytes[8] = {};
  EncodeStaticRecord(item, bytes);
  const uint64_t record = RecordOf(bytes);
  if (block >= 0 && block < blocks_ && (size_t(block) + 1) * IndexEntrySize <= index_.size()) {
    const StaticIndexEntry e = DecodeIndexEntry(index_.data() + size_t(block) * IndexEntrySize);
    if (HasStatics(e) && e.Offset >= 0 && e.Length > 0 && size_t(e.Offset) + size_t(e.Length) <= data_.size()) {
      const uint8_t* at = data_.data() + e.Offset;
      for (int32_t n = e.Length / StaticRecordSize; n > 0; --n, at += StaticRecordSize)
        if (RecordOf(at) == record) return true;
    }
  }
  return !added_.insert({block, record}).second;
}

}  // namespace mirnax
