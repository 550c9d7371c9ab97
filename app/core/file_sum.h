// Checksums of whole files: of the world files frozen, and of the statics files a freeze moves and
// writes, so that a later run can tell a file is the one it knew.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct XXH3_state_s;

namespace mirnax {

// A file's size and checksum. Sums made now are XXH3 (64 bits); CRC-32 is what journals and
// records of earlier versions hold, and what a run computes beside XXH3 to compare with those.
struct TFileSum {
  int64_t Size = 0;
  std::optional<uint64_t> Xxh3;
  std::optional<uint32_t> Crc32;
  bool operator==(const TFileSum&) const = default;
};

// The file summed now is the one recorded: same size and, of the sums the record holds, XXH3
// when it has one, CRC-32 otherwise. A sum that has neither matches nothing.
bool SameFile(const TFileSum& recorded, const TFileSum& now);
bool SameFile(const std::optional<TFileSum>& recorded, const std::optional<TFileSum>& now);

// Builds a file's sum up as its bytes go by: always XXH3, and CRC-32 too when asked.
class TFileSummer {
 public:
  explicit TFileSummer(bool withCrc32 = false);
  ~TFileSummer();
  TFileSummer(const TFileSummer&) = delete;
  TFileSummer& operator=(const TFileSummer&) = delete;
  void Add(const void* bytes, size_t count);
  TFileSum Sum() const;

 private:
  struct TFree {
    void operator()(XXH3_state_s* state) const;
  };
  std::unique_ptr<XXH3_state_s, TFree> state_;
  int64_t size_ = 0;
  bool withCrc32_;
  uint32_t crc32_ = 0;
};

// The sum of the plain file native, or nothing when there is none (or it cannot be read whole:
// failure, when given, then says why: "it is not a regular file", the system's reason). CRC-32 is
// computed too when withCrc32.
std::optional<TFileSum> SumOfFile(const std::string& native, std::string* failure = nullptr, bool withCrc32 = false);
// The same, with whatever recorded needs to be compared with (SameFile).
std::optional<TFileSum> SumOfFileLike(const std::string& native, const std::optional<TFileSum>& recorded,
                                      std::string* failure = nullptr);

// "<size>:<sum>": XXH3 as 16 hex digits, or (a sum with no XXH3, carried over from an earlier
// version) CRC-32 as 8; and back, telling the two apart by the number of digits.
std::string SumText(const TFileSum& sum);
bool ParseSumText(std::string_view text, TFileSum& sum);

}  // namespace mirnax
